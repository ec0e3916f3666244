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

  // Class ("static" by ordinal or name), title, id, exact style, place.
  const struct {
    bool isStatic;
    const wchar_t* title;  // nullptr: checked below
    WORD id;
    DWORD style;
    std::vector<short> place;
  } expected[] = {
      {false, L"OK", IDOK, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, {198, 66, 50, 14}},
      // Hidden and disabled.
      {false, L"Cancel", IDCANCEL, WS_CHILD | WS_TABSTOP | WS_DISABLED | BS_PUSHBUTTON, {7, 66, 50, 14}},
      // The picture names bitmap 7017.
      {true, L"#7017", 1002, WS_CHILD | WS_VISIBLE | WS_BORDER | SS_BITMAP | SS_SUNKEN, {7, 7, 101, 57}},
      {true, nullptr, 1001, WS_CHILD | WS_VISIBLE | WS_GROUP | WS_BORDER | SS_CENTER | SS_SUNKEN, {115, 7, 133, 57}},
  };
  for (size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(i);
    const Item& item = items[i];
    EXPECT_EQ(expected[i].isStatic, IsStaticClass(item.className));
    if (!expected[i].isStatic) {
      EXPECT_EQ(L"#128", item.className);
    }
    if (expected[i].title) {
      EXPECT_EQ(expected[i].title, item.title);
    }
    EXPECT_EQ(expected[i].id, item.id);
    EXPECT_EQ(expected[i].style, item.style);
    EXPECT_EQ(expected[i].place, (std::vector<short>{item.x, item.y, item.cx, item.cy}));
  }
  const Item& text = items[3];
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
