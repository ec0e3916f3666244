// The resources built into Dravik_Installer.exe, read from the program file
// itself: dialog templates control by control, strings, icon, logo and
// version block.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/InstallerWindow.h"

using ::testing::ElementsAre;

namespace {

// The program's resources, loaded as data (nothing of it runs).
class InstallerResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryExA(installer_test::kInstallerProgram, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << GetLastError();
  }
  void TearDown() override {
    if (module != nullptr) FreeLibrary(module);
  }

  std::vector<unsigned char> Resource(LPCSTR type, int id) const {
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (info == nullptr) return {};
    const auto* data = static_cast<const unsigned char*>(LockResource(LoadResource(module, info)));
    return std::vector<unsigned char>(data, data + SizeofResource(module, info));
  }

  HMODULE module = nullptr;
};

// ---- a reader for extended dialog templates ----------------------------------

struct DialogItem {
  DWORD exStyle, style;
  short x, y, cx, cy;
  int id;
  std::string windowClass;  // "#128" for an ordinal class (0x80 button, 0x82 static)
  std::string text;         // "#129" for an ordinal (a resource id)
};

struct DialogTemplate {
  DWORD exStyle, style;
  short x, y, cx, cy;
  std::string title, font;
  int pointSize = 0;
  std::vector<DialogItem> items;
};

class TemplateReader {
 public:
  explicit TemplateReader(const std::vector<unsigned char>& bytes) : bytes_(bytes) {}

  DialogTemplate Read() {
    DialogTemplate dialog{};
    EXPECT_EQ(Word(), 1);       // dlgVer
    EXPECT_EQ(Word(), 0xFFFF);  // signature of the extended form
    Dword();                    // help id
    dialog.exStyle = Dword();
    dialog.style = Dword();
    const int count = Word();
    dialog.x = Short(), dialog.y = Short(), dialog.cx = Short(), dialog.cy = Short();
    EXPECT_EQ(NameOrOrdinal(), "");  // no menu
    EXPECT_EQ(NameOrOrdinal(), "");  // the standard dialog class
    dialog.title = NameOrOrdinal();
    if (dialog.style & DS_SETFONT) {
      dialog.pointSize = Word();
      Word();  // weight
      Word();  // italic, charset
      dialog.font = NameOrOrdinal();
    }
    for (int i = 0; i < count && !failed_; ++i) {
      Align();
      DialogItem item{};
      Dword();  // help id
      item.exStyle = Dword();
      item.style = Dword();
      item.x = Short(), item.y = Short(), item.cx = Short(), item.cy = Short();
      item.id = static_cast<int>(Dword());
      item.windowClass = PredefinedClass(NameOrOrdinal());
      item.text = NameOrOrdinal();
      at_ += Word();  // creation data
      dialog.items.push_back(item);
    }
    EXPECT_FALSE(failed_) << "template ends early";
    return dialog;
  }

 private:
  unsigned Word() {
    if (at_ + 2 > bytes_.size()) {
      failed_ = true;
      return 0;
    }
    const unsigned value = bytes_[at_] | (bytes_[at_ + 1] << 8);
    at_ += 2;
    return value;
  }
  // A predefined class may be stored by name or by ordinal; both mean the same.
  static std::string PredefinedClass(const std::string& name) {
    if (_stricmp(name.c_str(), "Button") == 0) return "#128";
    if (_stricmp(name.c_str(), "Static") == 0) return "#130";
    return name;
  }
  short Short() { return static_cast<short>(Word()); }
  DWORD Dword() {
    const DWORD low = Word();
    return low | (static_cast<DWORD>(Word()) << 16);
  }
  void Align() { at_ = (at_ + 3) & ~size_t{3}; }
  // A resource text is UTF-16; the installer's are plain ASCII, so each
  // character is kept as one byte (a wider one would show as '?').
  std::string NameOrOrdinal() {
    const unsigned first = Word();
    if (first == 0) return "";
    if (first == 0xFFFF) return "#" + std::to_string(Word());
    std::string text(1, first < 0x80 ? static_cast<char>(first) : '?');
    for (unsigned c = Word(); c != 0 && !failed_; c = Word()) text += c < 0x80 ? static_cast<char>(c) : '?';
    return text;
  }

  const std::vector<unsigned char>& bytes_;
  size_t at_ = 0;
  bool failed_ = false;
};

// One control as the template must hold it: where, what, and the style bits
// that must be set and clear beyond its kind.
struct ExpectedItem {
  int id;
  const char* windowClass;  // "#128" button, "#130" static
  const char* text;         // nullptr: not checked
  short x, y, cx, cy;
  DWORD kind;  // the low bits that say which button or static
  DWORD set, clear;
};

void ExpectItems(const std::vector<DialogItem>& items, const std::vector<ExpectedItem>& expected) {
  ASSERT_EQ(items.size(), expected.size());
  for (size_t i = 0; i < items.size(); ++i) {
    const DialogItem& item = items[i];
    const ExpectedItem& want = expected[i];
    SCOPED_TRACE("control " + std::to_string(i) + " id " + std::to_string(want.id));
    EXPECT_EQ(item.id, want.id);
    EXPECT_EQ(item.windowClass, want.windowClass);
    if (want.text != nullptr) {
      EXPECT_EQ(item.text, want.text);
    }
    EXPECT_EQ((std::vector<short>{item.x, item.y, item.cx, item.cy}), (std::vector<short>{want.x, want.y, want.cx, want.cy}));
    EXPECT_EQ(item.style & 0x0F, want.kind);
    EXPECT_EQ(item.style & want.set, want.set);
    EXPECT_EQ(item.style & want.clear, 0u);
  }
}

TEST_F(InstallerResources, TheMainDialogTemplate) {
  const DialogTemplate dialog = TemplateReader(Resource(RT_DIALOG, 102)).Read();
  EXPECT_EQ(dialog.cx, 308);
  EXPECT_EQ(dialog.cy, 118);
  EXPECT_EQ(dialog.title, "Dravik_Installer");
  EXPECT_EQ(dialog.font, "MS Sans Serif");
  EXPECT_EQ(dialog.pointSize, 8);
  const DWORD wanted = WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_POPUP;
  EXPECT_EQ(dialog.style & wanted, wanted);
  EXPECT_EQ(dialog.style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0u);
  EXPECT_TRUE(dialog.exStyle & WS_EX_APPWINDOW);
  // The panel starts the group that holds both radio buttons.
  ExpectItems(dialog.items,
              {
                  {IDOK, "#128", "Quitter", 251, 97, 50, 14, BS_DEFPUSHBUTTON, WS_VISIBLE | WS_TABSTOP, WS_DISABLED},
                  {IDCANCEL, "#128", "Annuler", 231, 90, 7, 14, BS_PUSHBUTTON, WS_DISABLED | WS_TABSTOP, WS_VISIBLE},
                  {-1, "#130", "#129", 7, 7, 122, 71, SS_BITMAP, WS_VISIBLE | SS_CENTERIMAGE | WS_BORDER, WS_DISABLED | WS_TABSTOP},
                  {1000, "#130", nullptr, 141, 7, 160, 71, SS_CENTER, WS_VISIBLE | SS_SUNKEN | WS_BORDER | WS_GROUP,
                   WS_DISABLED | WS_TABSTOP},
                  {1001, "#128", "Installer", 121, 81, 96, 12, BS_PUSHBUTTON, WS_VISIBLE | WS_DISABLED | WS_TABSTOP, WS_GROUP},
                  {1002, "#128", "Desintaller", 121, 99, 96, 12, BS_PUSHBUTTON, WS_VISIBLE | WS_DISABLED | WS_TABSTOP, WS_GROUP},
                  {1003, "#128", "Window 95 ou Plus", 9, 82, 96, 10, BS_AUTORADIOBUTTON, WS_VISIBLE,
                   WS_DISABLED | WS_TABSTOP | WS_GROUP},
                  {1004, "#128", "Windows NT 4 ou Plus", 9, 97, 100, 14, BS_AUTORADIOBUTTON, WS_VISIBLE,
                   WS_DISABLED | WS_TABSTOP | WS_GROUP},
                  {1006, "#128", "kill master", 249, 82, 52, 12, BS_PUSHBUTTON, WS_DISABLED | WS_TABSTOP, WS_VISIBLE | WS_GROUP},
              });
  ASSERT_EQ(dialog.items.size(), 9u);
  EXPECT_TRUE(dialog.items[2].exStyle & WS_EX_STATICEDGE);
}

TEST_F(InstallerResources, TheAboutBoxTemplate) {
  const DialogTemplate about = TemplateReader(Resource(RT_DIALOG, 100)).Read();
  EXPECT_EQ(about.cx, 235);
  EXPECT_EQ(about.cy, 55);
  EXPECT_EQ(about.title, "A propos de Dravik_Installer");
  EXPECT_EQ(about.font, "MS Sans Serif");
  // An icon control takes its size from the icon: the template holds 0 x 0.
  ExpectItems(about.items, {
                               {-1, "#130", "#128", 11, 17, 0, 0, SS_ICON, 0, 0},
                               {-1, "#130", "Dravik_Installer version 1.0", 40, 10, 119, 8, SS_LEFT, SS_NOPREFIX, 0},
                               {-1, "#130", nullptr, 40, 25, 119, 8, SS_LEFT, 0, 0},
                               {IDOK, "#128", "OK", 178, 7, 50, 14, BS_DEFPUSHBUTTON, 0, 0},
                           });
}

TEST_F(InstallerResources, TheStrings) {
  char text[256] = {};
  ASSERT_GT(LoadStringA(module, 101, text, sizeof text), 0);
  EXPECT_STREQ(text, "&A propos de Dravik_Installer...");
  ASSERT_GT(LoadStringA(module, 102, text, sizeof text), 0);
  EXPECT_STREQ(text, "ZELM_Compact.dll");
}

TEST_F(InstallerResources, TheIconHasA32And16PixelImageIn16Colours) {
  const std::vector<unsigned char> group = Resource(RT_GROUP_ICON, 128);
  ASSERT_GE(group.size(), 6u + 2 * 14);
  ASSERT_EQ(group[4] | (group[5] << 8), 2);  // image count
  std::vector<int> sizes;
  for (int i = 0; i < 2; ++i) {
    const unsigned char* entry = &group[6 + 14 * i];
    EXPECT_EQ(entry[0], entry[1]);                 // square
    EXPECT_EQ(entry[2], 16);                       // colours
    EXPECT_EQ(entry[6] | (entry[7] << 8), 4);      // bits per pixel
    sizes.push_back(entry[0]);
  }
  EXPECT_THAT(sizes, ElementsAre(32, 16));
}

TEST_F(InstallerResources, TheLogoIs148By88In24BitColour) {
  const std::vector<unsigned char> bitmap = Resource(RT_BITMAP, 129);
  ASSERT_GE(bitmap.size(), sizeof(BITMAPINFOHEADER));
  BITMAPINFOHEADER header;
  memcpy(&header, bitmap.data(), sizeof header);
  EXPECT_EQ(header.biWidth, 148);
  EXPECT_EQ(header.biHeight, 88);
  EXPECT_EQ(header.biBitCount, 24);
}

TEST_F(InstallerResources, TheVersionBlock) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(installer_test::kInstallerProgram, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> block(size);
  ASSERT_TRUE(GetFileVersionInfoA(installer_test::kInstallerProgram, 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwProductVersionLS, 0x00000001u);
  WORD* translation = nullptr;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
  EXPECT_EQ(translation[0], 0x040C);
  auto value = [&](const char* name) {
    char* text = nullptr;
    UINT chars = 0;
    const std::string path = std::string("\\StringFileInfo\\040C04E4\\") + name;
    if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&text), &chars)) return std::string("<none>");
    return std::string(text);
  };
  EXPECT_EQ(value("InternalName"), "Dravik_Installer");
  EXPECT_EQ(value("OriginalFilename"), "Dravik_Installer.EXE");
}

}  // namespace
