#include "simcard/shared_decoder.h"

#include <windows.h>

#include <string>

#include "simcard/sim_env.h"
#include "simcard/text_values.h"

namespace simcard {
namespace {

std::string statePath() {
  if (auto p = envText("SIMCARD_STATE"); p && !p->empty()) return *p;
  char temp[MAX_PATH];
  DWORD n = GetTempPathA(MAX_PATH, temp);
  return std::string(temp, n < MAX_PATH ? n : 0) + "simcard-decoder.bin";
}

unsigned chipVersion() {
  auto text = envText("SIMCARD_CHIP_VERSION");
  auto n = text ? parseDecimal(*text) : std::nullopt;
  return n && *n <= 15 ? *n : 1;
}

// Writes the power-on state beside path and renames it into place, so that a chip another
// process creates at the same moment is never seen half written.
void createPoweredOn(const std::string& path) {
  if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return;
  std::string temp = path + "." + std::to_string(GetCurrentProcessId()) + ".new";
  HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return;
  Registers regs = powerOnRegisters(chipVersion());
  DWORD written = 0;
  bool ok = WriteFile(h, regs.data(), kRegisterCount, &written, nullptr) && written == kRegisterCount;
  CloseHandle(h);
  if (!ok || !MoveFileA(temp.c_str(), path.c_str())) DeleteFileA(temp.c_str());
}

}  // namespace

SharedDecoder::~SharedDecoder() {
  if (regs_) UnmapViewOfFile(regs_);
  if (mapping_) CloseHandle(mapping_);
  if (file_) CloseHandle(file_);
}

bool SharedDecoder::open() {
  if (regs_) return true;
  auto pinText = envText("SIMCARD_STATUS");
  auto pins = parseStatusPins(pinText ? *pinText : "");
  pins_ = pins ? *pins : StatusPins{};

  std::string path = statePath();
  createPoweredOn(path);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  file_ = h;
  mapping_ = CreateFileMappingA(h, nullptr, PAGE_READWRITE, 0, kRegisterCount, nullptr);
  if (!mapping_) return false;
  regs_ = static_cast<Registers*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, kRegisterCount));
  return regs_ != nullptr;
}

std::uint8_t SharedDecoder::read(unsigned subaddress) const {
  return readValue(*regs_, subaddress, GetTickCount(), pins_);
}

void SharedDecoder::write(unsigned subaddress, std::uint8_t value) {
  if (subaddress < kRegisterCount && !isReadOnly(subaddress)) (*regs_)[subaddress] = value;
}

}  // namespace simcard
