# What a release holds: the delivered programs, each carrying the project's version resource,
# and the delivered files, packed by CPack beside README.txt into
# build/vistrel-toolset-<version>-win32.zip.

# deliver_program(target DESCRIPTION text)
# Marks a program as delivered: a VERSIONINFO resource with the project's version, its file
# name and the description goes into it, and the program goes into the package.
function(deliver_program target)
  cmake_parse_arguments(D "" "DESCRIPTION" "" ${ARGN})
  get_target_property(base ${target} OUTPUT_NAME)
  get_target_property(suffix ${target} SUFFIX)
  if(NOT base)
    set(base ${target})
  endif()
  if(NOT suffix)
    set(suffix ${CMAKE_EXECUTABLE_SUFFIX})
  endif()
  set(VERSION_FILE_NAME ${base}${suffix})
  set(VERSION_DESCRIPTION "${D_DESCRIPTION}")
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  install(TARGETS ${target} RUNTIME DESTINATION .)
  set_property(GLOBAL APPEND PROPERTY DELIVERED_FILES ${VERSION_FILE_NAME})
endfunction()

# deliver_file(path)
# A file that goes into the package when the build has made it (a generated page, say).
function(deliver_file path)
  install(FILES ${path} DESTINATION . OPTIONAL)
  set_property(GLOBAL APPEND PROPERTY DELIVERED_OPTIONAL ${path})
endfunction()

# package_delivery(readme)
# Called once, after every program was marked: README.txt (from readme, with CRLF line ends
# and the version filled in), the list of delivered files for the package test, and CPack.
function(package_delivery readme)
  set(text ${CMAKE_BINARY_DIR}/README.txt)
  configure_file(${readme} ${text} @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${text} DESTINATION .)
  get_property(programs GLOBAL PROPERTY DELIVERED_FILES)
  get_property(optional GLOBAL PROPERTY DELIVERED_OPTIONAL)
  list(JOIN programs "\n" program_lines)
  list(JOIN optional "\n" optional_lines)
  file(WRITE ${CMAKE_BINARY_DIR}/delivered.txt "${program_lines}\nREADME.txt\n")
  file(WRITE ${CMAKE_BINARY_DIR}/delivered-optional.txt "${optional_lines}\n")

  set(CPACK_GENERATOR ZIP PARENT_SCOPE)
  set(CPACK_PACKAGE_NAME vistrel-toolset PARENT_SCOPE)
  set(CPACK_PACKAGE_FILE_NAME vistrel-toolset-${PROJECT_VERSION}-win32 PARENT_SCOPE)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF PARENT_SCOPE)
endfunction()
