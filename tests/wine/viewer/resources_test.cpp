// The viewer's popup menu and accelerator table as they are built into vistrel.exe.
#include <gtest/gtest.h>

#include <string>

#include "tests/wine/harness/harness.h"

namespace {

class ViewerResources : public testing::Test {
 protected:
  void SetUp() override {
    char out[512];
    ASSERT_GT(GetEnvironmentVariableA("VT_OUT", out, sizeof out), 0u);
    module = LoadLibraryExA((std::string(out) + "\\vistrel.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }
  HMODULE module = nullptr;
};

// One line per item: text, id, and the state the resource gives it; submenus indented.
std::string describe(HMENU menu, const std::string& indent) {
  std::string text;
  for (int i = 0; i < GetMenuItemCount(menu); i++) {
    char label[128] = "";
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    item.dwTypeData = label;
    item.cch = sizeof label;
    GetMenuItemInfoA(menu, i, TRUE, &item);
    if (item.fType & MFT_SEPARATOR) {
      text += indent + "-\n";
      continue;
    }
    text += indent + label;
    if (!item.hSubMenu) text += " " + std::to_string(item.wID);
    if (item.fState & MFS_GRAYED) text += " grayed";
    if (item.fState & MFS_CHECKED) text += " checked";
    text += "\n";
    if (item.hSubMenu) text += describe(item.hSubMenu, indent + "  ");
  }
  return text;
}

TEST_F(ViewerResources, PopupMenuHasEveryItemInOrder) {
  HMENU menu = LoadMenuA(module, MAKEINTRESOURCEA(200));
  ASSERT_NE(menu, nullptr);
  EXPECT_EQ(describe(menu, ""),
            "MyMenu\n"
            "  &Source... 100 grayed\n"
            "  &Format... 101 grayed\n"
            "  &Display... 102 grayed\n"
            "  &Compression... 103\n"
            "  -\n"
            "  &Predefined size\n"
            "    1:&1\tCtrl+1 120\n"
            "    1:&2\tCtrl+2 121\n"
            "    1:&4\tCtrl+4 122\n"
            "    1:&6\tCtrl+6 123\n"
            "  &Restore aspect ratio 110\n"
            "  -\n"
            "  &Window/Full Screen\tF12 113\n"
            "  Disable screen sa&ver 111\n"
            "  &Topmost window 112\n"
            "  -\n"
            "  &Volume...\tV 114\n"
            "  -\n"
            "  Free&ze/Unfreeze\tSpace 108\n"
            "  &Grab to clipboard\tG 109\n"
            "  -\n"
            "  Hacker Z&one\n"
            "    &Enable SECAM\tS 107\n"
            "    Tweak QUO&RVEX... 119\n"
            "  -\n"
            "  &Help...\tF1 106\n"
            "  &About... 104\n"
            "  -\n"
            "  E&xit\tAlt+F4 105\n");
  DestroyMenu(menu);
}

// Virtual-key entries; Ctrl only where listed, so a key without Ctrl matches only while Ctrl is up.
TEST_F(ViewerResources, AcceleratorTableMatchesTheKeys) {
  HACCEL table = LoadAcceleratorsA(module, MAKEINTRESOURCEA(201));
  ASSERT_NE(table, nullptr);
  ACCEL entries[32];
  int count = CopyAcceleratorTableA(table, entries, 32);
  std::string text;
  for (int i = 0; i < count; i++) {
    char line[64];
    snprintf(line, sizeof line, "%s0x%02X %d\n", entries[i].fVirt & FCONTROL ? "Ctrl+" : "", entries[i].key,
             entries[i].cmd);
    text += line;
    EXPECT_EQ(entries[i].fVirt & ~(FCONTROL | FNOINVERT), FVIRTKEY) << line;
  }
  EXPECT_EQ(text,
            "0x20 108\n0x47 109\nCtrl+0x47 109\n0x53 107\nCtrl+0x53 107\n0x56 114\n0x70 106\n0x7B 113\n"
            "Ctrl+0x31 120\nCtrl+0x32 121\nCtrl+0x34 122\nCtrl+0x36 123\n");
  DestroyAcceleratorTable(table);
}

TEST_F(ViewerResources, ClassIconIs32By32In16Colours) {
  HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(1000), MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  auto* dir = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
  ASSERT_NE(dir, nullptr);
  // GRPICONDIR: reserved, type, count; then 14-byte entries: width, height, colours ...
  EXPECT_EQ(dir[4], 1);
  EXPECT_EQ(dir[6], 32);
  EXPECT_EQ(dir[7], 32);
  EXPECT_EQ(dir[8], 16);
}

}  // namespace
