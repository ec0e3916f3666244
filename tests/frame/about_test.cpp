// The about box (template and bitmap from the add-in's own library) and the
// library's version block. The controls' places are pinned in the stored
// template (template_test.cpp); here, what the shown box holds.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "FrameHarness.h"

namespace {

constexpr wchar_t kCaption[] = L"A propos de TESSORA";
constexpr int kTextId = 1001;
constexpr int kPictureId = 1002;

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

// Old-style dialog templates turn a control's WS_BORDER into a client edge.
bool HasBorder(HWND control) {
  return (GetWindowLongW(control, GWL_STYLE) & WS_BORDER) || (GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

// Runs AboutTessora on this thread while another thread waits for the box,
// inspects it, then closes it with `close`. If the box does not close, it is
// ended with OK after a few seconds and the test fails.
void RunAboutBox(void (*aboutTessora)(), const std::function<void(HWND)>& inspect,
                 const std::function<void(HWND)>& close) {
  std::atomic<HWND> seen{nullptr};
  std::atomic<bool> returned{false};
  std::atomic<bool> forced{false};
  std::thread watcher([&] {
    HWND dialog = nullptr;
    for (int i = 0; i < 200 && !dialog && !returned; ++i) {
      dialog = FindWindowW(L"#32770", kCaption);
      if (!dialog) Sleep(25);
    }
    seen = dialog;
    if (!dialog) return;
    for (int i = 0; i < 200 && !IsWindowVisible(dialog) && !returned; ++i) Sleep(25);
    inspect(dialog);
    if (const char* hold = getenv("FRAME_ABOUT_HOLD_MS")) Sleep(atoi(hold));  // for a screenshot
    close(dialog);
    for (int i = 0; i < 200 && !returned; ++i) Sleep(25);
    if (!returned) {
      forced = true;
      PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    }
  });
  aboutTessora();
  returned = true;
  watcher.join();
  ASSERT_NE(nullptr, seen.load()) << "the about box did not appear";
  EXPECT_FALSE(forced) << "the about box did not close";
  EXPECT_FALSE(IsWindow(seen)) << "the about box outlived AboutTessora";
}

class FrameAbout : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    frametest::ClearHostProgIds();
    addin = frametest::LoadAddin(frametest::AddinPathInApps());
    ASSERT_NE(nullptr, addin.AboutTessora);
    // No host is registered: the add-in starts without one, silently.
    ASSERT_EQ(97001, addin.InitUserDLL3());
  }
  frametest::AddinExports addin;
};

}  // namespace

TEST_F(FrameAbout, ShowsTheTemplateOfTheAddinsOwnLibrary) {
  RunAboutBox(
      addin.AboutTessora,
      [](HWND dialog) {
        EXPECT_EQ(kCaption, WindowText(dialog));
        LONG style = GetWindowLongW(dialog, GWL_STYLE);
        EXPECT_EQ(LONG(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME),
                  style & (WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME));
        EXPECT_EQ(nullptr, GetWindow(dialog, GW_OWNER)) << "the about box has no parent window";

        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)), sizeof font, &font);
        EXPECT_STREQ(L"MS Sans Serif", font.lfFaceName);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), font.lfHeight);
        ReleaseDC(nullptr, screen);

        HWND ok = GetDlgItem(dialog, IDOK);
        ASSERT_NE(nullptr, ok);
        EXPECT_EQ(L"OK", WindowText(ok));
        EXPECT_EQ(BS_DEFPUSHBUTTON, GetWindowLongW(ok, GWL_STYLE) & 0x0F);
        EXPECT_TRUE(IsWindowVisible(ok));

        HWND cancel = GetDlgItem(dialog, IDCANCEL);
        ASSERT_NE(nullptr, cancel);
        EXPECT_EQ(L"Cancel", WindowText(cancel));
        EXPECT_FALSE(IsWindowVisible(cancel));
        EXPECT_FALSE(IsWindowEnabled(cancel));

        HWND text = GetDlgItem(dialog, kTextId);
        ASSERT_NE(nullptr, text);
        EXPECT_EQ(L" 12, rue des Ateliers Verts\n 54890 Sorvilly-les-Forges\n Tél. : 01 99 00 12 34\n"
                  L" www.tessora.example\n Mathis Vandel\n Module 1.001 du 1999-180",
                  WindowText(text));
        LONG textStyle = GetWindowLongW(text, GWL_STYLE);
        EXPECT_EQ(SS_CENTER, textStyle & SS_TYPEMASK);
        EXPECT_TRUE(textStyle & SS_SUNKEN);
        EXPECT_TRUE(HasBorder(text));

        HWND picture = GetDlgItem(dialog, kPictureId);
        ASSERT_NE(nullptr, picture);
        LONG pictureStyle = GetWindowLongW(picture, GWL_STYLE);
        EXPECT_EQ(SS_BITMAP, pictureStyle & SS_TYPEMASK);
        EXPECT_TRUE(pictureStyle & SS_SUNKEN);
        EXPECT_TRUE(HasBorder(picture));
        auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
        ASSERT_NE(nullptr, bitmap) << "bitmap 7017 was not found in the add-in's resources";
        BITMAP info{};
        GetObjectW(bitmap, sizeof info, &info);
        EXPECT_EQ(148, info.bmWidth);
        EXPECT_EQ(88, info.bmHeight);
      },
      [](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0); });
}

TEST_F(FrameAbout, ClosesOnItsCloseBoxAndOnEscapeWithCancelStillHidden) {
  const std::function<void(HWND)> closers[] = {
      [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
      [](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); },
  };
  for (const auto& close : closers) {
    RunAboutBox(
        addin.AboutTessora, [](HWND) {},
        [&](HWND dialog) {
          HWND cancel = GetDlgItem(dialog, IDCANCEL);
          close(dialog);
          Sleep(50);
          if (IsWindow(cancel)) {
            EXPECT_FALSE(IsWindowVisible(cancel));
          }
        });
  }
}

TEST(FrameAboutBeforeStart, TheAboutBoxNeedsNoApplicationObject) {
  frametest::AddinExports addin = frametest::LoadAddin(frametest::AddinPathInApps());
  ASSERT_NE(nullptr, addin.AboutTessora);
  RunAboutBox(
      addin.AboutTessora, [](HWND dialog) { EXPECT_EQ(kCaption, WindowText(dialog)); },
      [](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0); });
}

namespace {

std::wstring VersionString(const std::vector<BYTE>& block, const std::wstring& name) {
  void* value = nullptr;
  UINT length = 0;
  std::wstring path = L"\\StringFileInfo\\040c04b0\\" + name;
  if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || !value) return L"<missing>";
  return std::wstring(static_cast<const wchar_t*>(value));
}

}  // namespace

TEST(FrameVersionBlock, CarriesTheLibrarysNamesAndVersions) {
  std::wstring path = frametest::AddinPathInApps();
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  ASSERT_NE(0u, size);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));

  EXPECT_EQ(L"1999-222", VersionString(block, L"FileVersion"));
  EXPECT_EQ(L"1999-222", VersionString(block, L"ProductVersion"));
  EXPECT_EQ(L"Compacteur de fichier SolidWorks sldprt & sldasm", VersionString(block, L"Comments"));
  EXPECT_EQ(L"ZELM_Compact", VersionString(block, L"InternalName"));
  EXPECT_EQ(L"ZELM_Compact.dll", VersionString(block, L"FileDescription"));
  EXPECT_EQ(L"ZELM_Compact.dll", VersionString(block, L"OriginalFilename"));
  // The accent must arrive as U+00E8, not as two bytes of UTF-8.
  EXPECT_EQ(L"Biblioth\u00e8que de liaison dynamique ZELM_Compact.", VersionString(block, L"ProductName"));

  struct Translation {
    WORD language, codePage;
  }* translation = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length));
  ASSERT_GE(length, sizeof(Translation));
  EXPECT_EQ(0x040c, translation->language);
  EXPECT_EQ(1200, translation->codePage);
}
