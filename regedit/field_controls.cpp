// Register transfers between the copy and the chip, and between the copy and the controls.
#include "regedit/field_controls.h"

#include <commctrl.h>

#include <cstring>

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

void setRange(HWND upDown, int low, int high) {
  SendMessageA(upDown, UDM_SETRANGE, 0, upDownRange(low, high));
}

// UDM_GETPOS gives the position in its low 16 bits, signed.
int upDownPosition(HWND upDown) {
  LRESULT r = SendMessageA(upDown, UDM_GETPOS, 0, 0);
  return static_cast<short>(LOWORD(r));
}

// Which controls one showing of the shadow sets: every one as the dialog opens, afterwards only
// those that show something else. Each control set draws itself at once, as it always has:
// under Wine that is cheaper than suspending the dialog's drawing and repainting the changed
// controls whole in one pass (see docs/performance.md, "Editor actions within one frame").
struct ControlUpdate {
  bool everyControl;
  bool wanted(bool showsSomethingElse) const { return everyControl || showsSomethingElse; }
};

// Whether a list holds its options in order, with the down-arrow key opening it.
bool listIsFilled(HWND list, const ComboField& f) {
  if (SendMessageA(list, CB_GETCOUNT, 0, 0) != f.optionCount) return false;
  if (!SendMessageA(list, CB_GETEXTENDEDUI, 0, 0)) return false;
  for (int i = 0; i < f.optionCount; ++i) {
    char text[128];
    LRESULT len = SendMessageA(list, CB_GETLBTEXTLEN, i, 0);
    if (len == CB_ERR || len >= static_cast<LRESULT>(sizeof text)) return false;
    SendMessageA(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
    if (std::strcmp(text, f.options[i]) != 0) return false;
  }
  return true;
}

void showList(HWND dialog, const ComboField& f, ControlUpdate update) {
  HWND list = GetDlgItem(dialog, f.id);
  int value = comboValue(f, registerShadow);
  bool filled = !update.everyControl && listIsFilled(list, f);
  bool selected = SendMessageA(list, CB_GETCURSEL, 0, 0) == value;
  if (!update.wanted(!filled || !selected)) return;
  if (!filled) {
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < f.optionCount; ++i)
      SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(f.options[i]));
    SendMessageA(list, CB_SETEXTENDEDUI, TRUE, 0);
  }
  SendMessageA(list, CB_SETCURSEL, value, 0);
}

void showCheck(HWND dialog, const CheckField& f, ControlUpdate update) {
  HWND box = GetDlgItem(dialog, f.id);
  WPARAM state = checkValue(f, registerShadow) ? BST_CHECKED : BST_UNCHECKED;
  if (update.wanted(static_cast<WPARAM>(SendMessageA(box, BM_GETCHECK, 0, 0)) != state))
    CheckDlgButton(dialog, f.id, static_cast<UINT>(state));
}

// Whether a number box shows the text its up-down writes for the position.
bool boxShows(HWND box, int position) {
  char wanted[16], shown[16];
  wsprintfA(wanted, "%d", position);  // snprintf would link MinGW's own printf, 30 KiB
  int n = GetWindowTextA(box, shown, sizeof shown);
  return n < static_cast<int>(sizeof shown) - 1 && std::strcmp(shown, wanted) == 0;
}

bool upDownHasRange(HWND upDown, SpinRange range) {
  int low = 0, high = 0;
  SendMessageA(upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
               reinterpret_cast<LPARAM>(&high));
  return low == range.low && high == range.high;
}

// A number field is compared by what its box shows, so a text that another program put
// there is replaced by the field's value, as the position's text always replaced it.
void showNumber(HWND dialog, int upDownId, SpinRange range, int position, ControlUpdate update) {
  HWND upDown = GetDlgItem(dialog, upDownId);
  HWND box = reinterpret_cast<HWND>(SendMessageA(upDown, UDM_GETBUDDY, 0, 0));
  bool shown = upDownHasRange(upDown, range) && boxShows(box, position);
  if (!update.wanted(!shown)) return;
  setRange(upDown, range.low, range.high);
  SendMessageA(upDown, UDM_SETPOS, 0, static_cast<LPARAM>(static_cast<WORD>(position)));
}

void showControls(HWND dialog, ControlUpdate update) {
  for (const ComboField& f : comboFields) showList(dialog, f, update);
  for (const CheckField& f : checkFields) showCheck(dialog, f, update);
  for (const SpinField& f : spinFields) {
    int value = spinValue(f, registerShadow);
    showNumber(dialog, f.upDownId, spinRange(f, value), value, update);
  }
  for (const WideSpinField& f : wideSpinFields)
    showNumber(dialog, f.upDownId, {0, kWideMax}, wideValue(f, registerShadow), update);
}

}  // namespace

void fillControls(HWND dialog) { showControls(dialog, ControlUpdate{true}); }

void refreshControls(HWND dialog) { showControls(dialog, ControlUpdate{false}); }

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
