#include "simcard/capture_dialogs.h"

#include <cstdio>

#include "simcard/capture_resource.h"

namespace simcard {
namespace {

struct Input {
  const char* name;
  std::uint8_t mode;  // MODE bits 2-0 of 0x02
};
const Input inputs[] = {{"Composite 1", 0}, {"Composite 2", 1}, {"Composite 3", 2},
                        {"Composite 4", 3}, {"S-Video 1", 6},   {"S-Video 2", 7}};

// Colour standards offered: CSTD and the field rate that go with each.
struct Standard {
  int button;
  std::uint8_t cstd;
  bool sixty;
};
const Standard standards[] = {{IDC_PAL, 0, false}, {IDC_NTSC, 0, true}, {IDC_SECAM, 5, false}};

int currentStandardButton(const Registers& regs) {
  if (sixtyHertz(regs)) return IDC_NTSC;
  return colourStandard(regs) == 5 ? IDC_SECAM : IDC_PAL;
}

void initSource(HWND dlg, SharedDecoder& decoder) {
  const Registers& regs = decoder.registers();
  HWND list = GetDlgItem(dlg, IDC_INPUT);
  int selected = 0;
  for (int i = 0; i < static_cast<int>(std::size(inputs)); ++i) {
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(inputs[i].name));
    if ((regs[kInputMode] & 7) == inputs[i].mode) selected = i;
  }
  SendMessageA(list, CB_SETCURSEL, selected, 0);
  CheckRadioButton(dlg, IDC_PAL, IDC_SECAM, currentStandardButton(regs));
}

void applySource(HWND dlg, SharedDecoder& decoder) {
  Registers& regs = decoder.registers();
  LRESULT input = SendDlgItemMessageA(dlg, IDC_INPUT, CB_GETCURSEL, 0, 0);
  if (input >= 0 && input < static_cast<LRESULT>(std::size(inputs)))
    decoder.write(kInputMode, static_cast<std::uint8_t>((regs[kInputMode] & ~7) | inputs[input].mode));
  for (const Standard& s : standards) {
    if (IsDlgButtonChecked(dlg, s.button) != BST_CHECKED) continue;
    decoder.write(kChroma, static_cast<std::uint8_t>((regs[kChroma] & ~0x70) | (s.cstd << 4)));
    decoder.write(kSyncControl, static_cast<std::uint8_t>(s.sixty ? regs[kSyncControl] | kFsel
                                                                  : regs[kSyncControl] & ~kFsel));
  }
}

INT_PTR CALLBACK sourceProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(dlg, DWLP_USER, lp);
      initSource(dlg, *reinterpret_cast<SharedDecoder*>(lp));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK) applySource(dlg, *reinterpret_cast<SharedDecoder*>(GetWindowLongPtrA(dlg, DWLP_USER)));
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) EndDialog(dlg, LOWORD(wp));
      return TRUE;
  }
  return FALSE;
}

struct InfoText {
  const char* caption;
  const char* text;
};

INT_PTR CALLBACK infoProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_INITDIALOG: {
      auto* info = reinterpret_cast<const InfoText*>(lp);
      SetWindowTextA(dlg, info->caption);
      SetDlgItemTextA(dlg, IDC_INFO_TEXT, info->text);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) EndDialog(dlg, LOWORD(wp));
      return TRUE;
  }
  return FALSE;
}

void showInfo(HINSTANCE dll, HWND owner, const char* caption, const char* text) {
  InfoText info{caption, text};
  DialogBoxParamA(dll, MAKEINTRESOURCEA(IDD_INFO), owner, infoProc, reinterpret_cast<LPARAM>(&info));
}

}  // namespace

void showSourceDialog(HINSTANCE dll, HWND owner, SharedDecoder& decoder) {
  DialogBoxParamA(dll, MAKEINTRESOURCEA(IDD_SOURCE), owner, sourceProc, reinterpret_cast<LPARAM>(&decoder));
}

void showFormatDialog(HINSTANCE dll, HWND owner, int frameWidth, int frameHeight) {
  char text[128];
  snprintf(text, sizeof text, "Frame size: %d x %d\r\nPixel format: RGB, 24 bits", frameWidth, frameHeight);
  showInfo(dll, owner, "Video Format", text);
}

void showDisplayDialog(HINSTANCE dll, HWND owner, bool overlay, bool scale) {
  char text[128];
  snprintf(text, sizeof text, "Overlay: %s\r\nScaled to the window: %s", overlay ? "on" : "off",
           scale ? "yes" : "no");
  showInfo(dll, owner, "Video Display", text);
}

void showCompressionDialog(HINSTANCE dll, HWND owner) {
  showInfo(dll, owner, "Video Compression", "Compression: none (full frames)");
}

}  // namespace simcard
