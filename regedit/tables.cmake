# quorvex_tables: the decoder's register lists, field tables and field arithmetic, shared by
# the editor and qvx. Included by the Windows build and by the host build alike.
get_filename_component(QUORVEX_ROOT ${CMAKE_CURRENT_LIST_DIR}/.. ABSOLUTE)
add_library(quorvex_tables STATIC ${CMAKE_CURRENT_LIST_DIR}/register_map.cpp)
target_include_directories(quorvex_tables PUBLIC ${QUORVEX_ROOT})
if(COMMAND product_code)
  product_code(quorvex_tables)
endif()
