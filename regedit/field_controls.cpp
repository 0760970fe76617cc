// Register transfers between the copy and the chip, and between the copy and the controls.
#include "regedit/field_controls.h"

#include <commctrl.h>

#include "regedit/i2c_link.h"

namespace quorvex {

RegisterShadow registerShadow{defaultRegisters};

void pushRegister(std::uint8_t subaddress) {
  writeRegister(subaddress, registerShadow.bytes[subaddress]);
}

void pullRegister(std::uint8_t subaddress) {
  std::uint8_t value;
  if (readRegister(subaddress, value)) registerShadow.bytes[subaddress] = value;
}

void pullAll() {
  LinkBatch batch;
  for (const std::uint8_t* s = readableRegisters; *s != kListEnd; ++s) pullRegister(*s);
}

void pushAll() {
  LinkBatch batch;
  for (const std::uint8_t* s = writableRegisters; *s != kListEnd; ++s) pushRegister(*s);
}

void resetAll() {
  registerShadow.bytes = defaultRegisters;
  pushAll();
}

namespace {

LRESULT sendItem(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

// Up-down range: upper limit in the low 16 bits, lower limit in the high 16 bits.
LPARAM upDownRange(int low, int high) {
  return static_cast<LPARAM>(MAKELONG(static_cast<WORD>(high), static_cast<WORD>(low)));
}

void refreshList(HWND dialog, const ComboField& f) {
  sendItem(dialog, f.id, CB_RESETCONTENT, 0, 0);
  for (int i = 0; i < f.optionCount; ++i)
    sendItem(dialog, f.id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.options[i]));
  sendItem(dialog, f.id, CB_SETEXTENDEDUI, TRUE, 0);
  sendItem(dialog, f.id, CB_SETCURSEL, comboValue(f, registerShadow), 0);
}

void setRange(HWND upDown, int low, int high) {
  SendMessageA(upDown, UDM_SETRANGE, 0, upDownRange(low, high));
}

void refreshSpin(HWND dialog, int upDownId, int low, int high, int position) {
  setRange(GetDlgItem(dialog, upDownId), low, high);
  sendItem(dialog, upDownId, UDM_SETPOS, 0, static_cast<LPARAM>(static_cast<WORD>(position)));
}

// UDM_GETPOS gives the position in its low 16 bits, signed.
int upDownPosition(HWND upDown) {
  LRESULT r = SendMessageA(upDown, UDM_GETPOS, 0, 0);
  return static_cast<short>(LOWORD(r));
}

}  // namespace

void refreshControls(HWND dialog) {
  for (const ComboField& f : comboFields) refreshList(dialog, f);
  for (const CheckField& f : checkFields)
    CheckDlgButton(dialog, f.id, checkValue(f, registerShadow) ? BST_CHECKED : BST_UNCHECKED);
  for (const SpinField& f : spinFields) {
    int value = spinValue(f, registerShadow);
    SpinRange range = spinRange(f, value);
    refreshSpin(dialog, f.upDownId, range.low, range.high, value);
  }
  for (const WideSpinField& f : wideSpinFields)
    refreshSpin(dialog, f.upDownId, 0, kWideMax, wideValue(f, registerShadow));
}

bool listFieldChanged(HWND dialog, int id) {
  const ComboField* f = findComboField(id);
  if (!f) return false;
  int index = static_cast<int>(sendItem(dialog, id, CB_GETCURSEL, 0, 0));
  setComboValue(*f, registerShadow, index);
  pushRegister(f->subaddress);
  return true;
}

bool bitFieldClicked(HWND dialog, int id) {
  const CheckField* f = findCheckField(id);
  if (!f) return false;
  setCheckValue(*f, registerShadow, IsDlgButtonChecked(dialog, id) == BST_CHECKED);
  pushRegister(f->subaddress);
  return true;
}

bool numberFieldMoved(HWND, HWND upDown) {
  int id = GetDlgCtrlID(upDown);
  if (const SpinField* f = findSpinField(id)) {
    int position = upDownPosition(upDown);
    SpinRange range = spinRange(*f, position);  // a value moved into the range stays in it
    setRange(upDown, range.low, range.high);
    setSpinValue(*f, registerShadow, position);
    pushRegister(f->subaddress);
    return true;
  }
  if (const WideSpinField* f = findWideSpinField(id)) {
    setWideValue(*f, registerShadow, upDownPosition(upDown));
    LinkBatch batch;
    pushRegister(f->lowSubaddress);
    pushRegister(f->highSubaddress);
    return true;
  }
  return false;
}

namespace {

// The widest option text in pixels, or 0 when one cannot be fetched or measured.
LONG widestOption(HWND list, HDC dc, int count) {
  LONG widest = 0;
  for (int i = 0; i < count; ++i) {
    char text[512];
    // CB_GETLBTEXT has no size argument: check the length first so the buffer cannot overflow.
    LRESULT len = SendMessageA(list, CB_GETLBTEXTLEN, i, 0);
    if (len == CB_ERR || len >= static_cast<LRESULT>(sizeof text)) return 0;
    len = SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    if (len == CB_ERR) return 0;
    SIZE size;
    if (!GetTextExtentPoint32A(dc, text, static_cast<int>(len), &size)) return 0;
    if (size.cx > widest) widest = size.cx;
  }
  return widest;
}

}  // namespace

void fitDropDownWidth(HWND list) {
  int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
  if (count <= 0) return;
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(list, WM_GETFONT, 0, 0));
  if (!font) return;
  HDC dc = GetDC(list);
  if (!dc) return;
  HGDIOBJ previous = SelectObject(dc, font);
  LONG widest = widestOption(list, dc, count);
  if (widest != 0) SendMessageA(list, CB_SETDROPPEDWIDTH, widest + 8, 0);
  SelectObject(dc, previous);
  ReleaseDC(list, dc);
}

}  // namespace quorvex
