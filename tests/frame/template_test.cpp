// Dialog template 7015 and bitmap 7017 as they are stored in the library:
// every value exactly as the resource script gives it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "FrameHarness.h"

namespace {

// Reads a classic (non-EX) dialog template.
class TemplateReader {
 public:
  explicit TemplateReader(const BYTE* data) : p_(data), start_(data) {}
  template <typename T>
  T Read() {
    T value;
    memcpy(&value, p_, sizeof value);
    p_ += sizeof value;
    return value;
  }
  // A string, or an ordinal written as 0xFFFF then its value (returned as "#n").
  std::wstring ReadNameOrOrdinal() {
    WORD first = Read<WORD>();
    if (first == 0xFFFF) return L"#" + std::to_wstring(Read<WORD>());
    std::wstring text;
    for (WORD c = first; c != 0; c = Read<WORD>()) text += static_cast<wchar_t>(c);
    return text;
  }
  void AlignToDword() {
    while ((p_ - start_) % 4) ++p_;
  }

 private:
  const BYTE* p_;
  const BYTE* start_;
};

struct Item {
  DWORD style;
  short x, y, cx, cy;
  WORD id;
  std::wstring className, title;
};

// The predefined static class, by ordinal (0x0082) or by name: resource
// compilers differ in which they write, and the dialog manager takes both.
bool IsStaticClass(const std::wstring& name) { return name == L"#130" || _wcsicmp(name.c_str(), L"Static") == 0; }

const BYTE* Resource(HMODULE module, int id, LPCWSTR type, DWORD* size = nullptr) {
  HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), type);
  if (!found) return nullptr;
  if (size) *size = SizeofResource(module, found);
  return static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
}

class FrameResources : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryExW(frametest::AddinPathInApps().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
  }
  HMODULE module = nullptr;
};

}  // namespace

TEST_F(FrameResources, AboutTemplateIsExactlyAsDesigned) {
  const BYTE* data = Resource(module, 7015, MAKEINTRESOURCEW(5) /* RT_DIALOG */);
  ASSERT_NE(nullptr, data);
  TemplateReader reader(data);
  DWORD style = reader.Read<DWORD>();
  ASSERT_NE(0xFFFF0001u, style) << "an extended template";
  EXPECT_EQ(DWORD(DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU), style);
  reader.Read<DWORD>();  // extended style
  WORD count = reader.Read<WORD>();
  short x = reader.Read<short>(), y = reader.Read<short>(), cx = reader.Read<short>(), cy = reader.Read<short>();
  EXPECT_EQ(0, x);
  EXPECT_EQ(0, y);
  EXPECT_EQ(255, cx);
  EXPECT_EQ(87, cy);
  EXPECT_EQ(L"", reader.ReadNameOrOrdinal()) << "menu";
  EXPECT_EQ(L"", reader.ReadNameOrOrdinal()) << "class";
  EXPECT_EQ(L"A propos de TESSORA", reader.ReadNameOrOrdinal());
  EXPECT_EQ(8, reader.Read<WORD>());
  EXPECT_EQ(L"MS Sans Serif", reader.ReadNameOrOrdinal());

  std::vector<Item> items;
  for (WORD i = 0; i < count; ++i) {
    reader.AlignToDword();
    Item item;
    item.style = reader.Read<DWORD>();
    reader.Read<DWORD>();
    item.x = reader.Read<short>();
    item.y = reader.Read<short>();
    item.cx = reader.Read<short>();
    item.cy = reader.Read<short>();
    item.id = reader.Read<WORD>();
    item.className = reader.ReadNameOrOrdinal();
    item.title = reader.ReadNameOrOrdinal();
    WORD extra = reader.Read<WORD>();
    for (WORD b = 0; b < extra; ++b) reader.Read<BYTE>();
    items.push_back(item);
  }
  ASSERT_EQ(4u, items.size());

  const std::wstring kButton = L"#128";
  const Item& ok = items[0];
  EXPECT_EQ(kButton, ok.className);
  EXPECT_EQ(L"OK", ok.title);
  EXPECT_EQ(IDOK, ok.id);
  EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON), ok.style);
  EXPECT_EQ((std::vector<short>{198, 66, 50, 14}), (std::vector<short>{ok.x, ok.y, ok.cx, ok.cy}));

  const Item& cancel = items[1];
  EXPECT_EQ(kButton, cancel.className);
  EXPECT_EQ(L"Cancel", cancel.title);
  EXPECT_EQ(IDCANCEL, cancel.id);
  EXPECT_EQ(DWORD(WS_CHILD | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON), cancel.style) << "hidden and disabled";
  EXPECT_EQ((std::vector<short>{7, 66, 50, 14}), (std::vector<short>{cancel.x, cancel.y, cancel.cx, cancel.cy}));

  const Item& picture = items[2];
  EXPECT_TRUE(IsStaticClass(picture.className));
  EXPECT_EQ(L"#7017", picture.title) << "the picture names bitmap 7017";
  EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE | WS_BORDER | SS_BITMAP | SS_SUNKEN), picture.style);
  EXPECT_EQ((std::vector<short>{7, 7, 101, 57}), (std::vector<short>{picture.x, picture.y, picture.cx, picture.cy}));

  const Item& text = items[3];
  EXPECT_TRUE(IsStaticClass(text.className));
  EXPECT_EQ(DWORD(WS_CHILD | WS_VISIBLE | WS_GROUP | WS_BORDER | SS_CENTER | SS_SUNKEN), text.style);
  EXPECT_EQ((std::vector<short>{115, 7, 133, 57}), (std::vector<short>{text.x, text.y, text.cx, text.cy}));
  // Six lines, the last one fixed.
  size_t breaks = 0;
  for (wchar_t c : text.title) breaks += c == L'\n';
  EXPECT_EQ(5u, breaks);
  EXPECT_EQ(L"\n Module 1.001 du 1999-180", text.title.substr(text.title.rfind(L'\n')));
}

TEST_F(FrameResources, LogoIsA148By88BitmapOf24BitsAPixel) {
  DWORD size = 0;
  const BYTE* data = Resource(module, 7017, MAKEINTRESOURCEW(2) /* RT_BITMAP */, &size);
  ASSERT_NE(nullptr, data);
  ASSERT_GE(size, sizeof(BITMAPINFOHEADER));
  BITMAPINFOHEADER header;
  memcpy(&header, data, sizeof header);
  EXPECT_EQ(148, header.biWidth);
  EXPECT_EQ(88, header.biHeight);
  EXPECT_EQ(24, header.biBitCount);
  EXPECT_EQ(DWORD(BI_RGB), header.biCompression);
  EXPECT_EQ(sizeof header + 88u * ((148u * 3 + 3) / 4 * 4), size);
}
