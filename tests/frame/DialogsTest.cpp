// The add-in's dialogs as the user meets them, through the real library
// started on the simulator: the about box from the add-in's own resources,
// and one command at a time. While a dialog or message of the add-in is up,
// the host's windows refuse the user's input, so a menu pick made meanwhile
// runs no second command; they come back on every way out. Every text the
// user reads is French.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <thread>

#include "responder/DialogWindows.h"
#include "frame/FrameHost.h"
#include "resources/ResourceIds.h"

namespace frametest {
namespace {

namespace dialogs = testsupport::dialogs;

// A window of the host's thread standing for the host's main window, the
// whole screen: a click in it is the user picking "Décompacter" in the
// host's menu.
struct HostWindow {
  HWND window = nullptr;
  std::vector<bool> enables;  // WM_ENABLE as it came
  int picks = 0;              // picks that reached the window (each ran the command)
  HANDLE clicked = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // a click met the window
} host;

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_ENABLE) host.enables.push_back(wParam != 0);
  if (message == WM_LBUTTONDOWN) {
    ++host.picks;
    Started().sim.pickMenu(L"D\u00E9compacter");
  }
  // Sent for every mouse message the window meets; when it is disabled (hit
  // test HTERROR) the click goes no further.
  if (message == WM_SETCURSOR && HIWORD(lParam) == WM_LBUTTONUP) SetEvent(host.clicked);
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND HostMainWindow() {
  if (!host.window) {
    WNDCLASSW type{};
    type.lpfnWndProc = HostWindowProc;
    type.lpszClassName = L"HostMainWindow";
    RegisterClassW(&type);
    host.window = CreateWindowExW(0, type.lpszClassName, L"SolidWorks", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  nullptr, nullptr);
  }
  return host.window;
}

// The user's click into the host's main window, as the system gets it from
// the mouse, near the bottom right corner of the screen (the window manager
// puts dialogs near the top left one); false when a dialog covers the spot.
bool ClickIntoTheHost(HWND dialog = nullptr) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  const POINT spot{width - 20, height - 20};
  RECT covered{};
  if (dialog && GetWindowRect(dialog, &covered) && PtInRect(&covered, spot)) return false;
  INPUT input[3]{};
  for (INPUT& event : input) event.type = INPUT_MOUSE;
  // Absolute positions run from 0 to 65535 across the screen.
  input[0].mi = {MulDiv(spot.x, 65535, width - 1), MulDiv(spot.y, 65535, height - 1), 0,
                 MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 0, 0};
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ResetEvent(host.clicked);
  return SendInput(3, input, sizeof(INPUT)) == 3;
}

// What the user met while a command ran.
struct Meeting {
  bool sawDialog = false, hostEnabled = true, clickMet = false, forced = false;
  std::vector<std::wstring> messages;  // read and closed with OK
};

// Runs the command on this thread, the host's. Meanwhile the user waits for
// the first dialog it shows, clicks into the host's main window, hands the
// dialog to answer (none: a message box, read as those after it), and reads
// and closes every message box after it. What is left open after 20 s is
// closed by force.
Meeting WhileTheUserActs(const std::function<void()>& command, const std::function<void(HWND)>& answer) {
  Meeting met;
  std::atomic<bool> done{false};
  std::thread user([&] {
    const ULONGLONG end = GetTickCount64() + 20000;
    std::set<HWND> handled;
    for (; !done; Sleep(10)) {
      for (HWND dialog : dialogs::visibleDialogs(GetCurrentProcessId())) {
        if (!met.sawDialog) {
          met.sawDialog = true;
          met.hostEnabled = IsWindowEnabled(HostMainWindow());
          met.clickMet = ClickIntoTheHost(dialog) && WaitForSingleObject(host.clicked, 5000) == WAIT_OBJECT_0;
          if (answer) answer(*handled.insert(dialog).first);
        }
        if (GetTickCount64() > end) {
          met.forced = true;
          dialogs::pressButton(dialog, IDCANCEL);
          dialogs::askToClose(dialog);
        }
        if (!handled.insert(dialog).second || dialogs::classify(dialog) != dialogs::DialogKind::MessageBox) continue;
        met.messages.push_back(dialogs::textOf(GetDlgItem(dialog, dialogs::kMessageTextId)));
        dialogs::pressButton(dialog, IDOK);
      }
    }
  });
  command();
  done = true;
  user.join();
  return met;
}

TEST(FrameDialogs, WhileADialogIsUpThePicksOfTheUserRunNoSecondCommandAndEveryWayOutGivesTheHostBack) {
  StartedAddin& addin = Started();
  HostMainWindow();
  const std::wstring source = addin.folder.file(L"bloc.SLDPRT"), taken = addin.folder.file(L"occupe.SLDPRT");
  ASSERT_TRUE(hostsim::writePartFixture(source, L"box:0,0,0,10,20,5") && testsupport::WriteFileBytes(taken, "occup\xC3\xA9"));
  const std::wstring error = L"Erreur du logiciel h\u00F4te pendant l'op\u00E9ration ";
  std::wstring caption;  // of the about box
  BITMAP logo{};
  bool cancelShown = true;
  const auto typed = [](const std::wstring& path) {
    return [path](HWND dialog) {
      dialogs::typeFileName(dialog, path);
      dialogs::pressButton(dialog, IDOK);
    };
  };
  struct Case {
    const char* what;
    const wchar_t* command;
    std::function<void(HWND)> answer;
    std::vector<std::wstring> messages;
    std::vector<bool> enables;  // of the host's window
    const wchar_t* failing;     // a host operation that fails
  };
  const Case cases[] = {
      {"about box, OK",
       L"AboutTessora",
       [&](HWND dialog) {
         caption = dialogs::textOf(dialog);
         GetObjectW(reinterpret_cast<HBITMAP>(SendDlgItemMessageW(dialog, IDC_ABOUT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                    sizeof logo, &logo);
         cancelShown = IsWindowVisible(GetDlgItem(dialog, IDCANCEL));
         dialogs::pressButton(dialog, IDOK);
       },
       {}, {false, true}, nullptr},
      {"about box, close box", L"AboutTessora",
       [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }, {}, {false, true}, nullptr},
      {"about box, Escape", L"AboutTessora",
       [](HWND dialog) { PostMessageW(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); }, {}, {false, true}, nullptr},
      {"save dialog, Cancel", L"CompacterPart", [](HWND dialog) { dialogs::pressButton(dialog, IDCANCEL); }, {},
       {false, true}, nullptr},
      {"save dialog, a free path", L"CompacterPart", typed(addin.folder.file(L"copie.SLDPRT")),
       {L"Fichier compact\u00E9 avec succ\u00E8s dans le dossier\n" + addin.folder.path()},
       {false, true, false, true}, nullptr},
      {"save dialog, a taken path", L"CompacterPart", typed(taken),
       {L"Le pi\u00E8ce existe d\u00E9j\u00E0 dans le dossier.\nRemplacement impossible."}, {false, true, false, true},
       nullptr},
      // The host's own description, as it gave it.
      {"save dialog, then the host failing", L"CompacterPart", typed(addin.folder.file(L"autre.SLDPRT")),
       {error + L"DocumentFlag.\nDocument verrouill\u00E9 par un autre poste"}, {false, true, false, true},
       L"DocumentFlag"},
      // The add-in's own description of an answer it cannot read.
      {"an unreadable answer", L"CompacterPart", nullptr,
       {error + L"ActiveDocument.\nr\u00E9ponse d'un type inattendu"}, {false, true}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const std::wstring& path : addin.sim.openDocumentPaths()) addin.sim.close(path.substr(path.rfind(L'\\') + 1));
    ASSERT_TRUE(addin.sim.open(source));
    if (c.failing) addin.sim.failCall(c.failing, 1, L"Document verrouill\u00E9 par un autre poste");
    if (!c.answer) addin.tap.active = HostTap::ActiveAnswer::Text;
    host.enables.clear();
    host.picks = 0;

    const Meeting met = WhileTheUserActs([&] { addin.sim.invokeExport(c.command); }, c.answer);

    addin.tap.active = HostTap::ActiveAnswer::Simulator;
    EXPECT_TRUE(met.sawDialog);
    EXPECT_FALSE(met.hostEnabled) << "the host's window took input while the dialog was up";
    EXPECT_TRUE(met.clickMet) << "the click did not reach the host's window";
    EXPECT_EQ(host.picks, 0) << "a second command ran while the first one's dialog was up";
    EXPECT_EQ(met.messages, c.messages);
    EXPECT_EQ(host.enables, c.enables);
    EXPECT_TRUE(IsWindowEnabled(HostMainWindow()));
    EXPECT_FALSE(met.forced) << "a dialog did not close";
  }
  // The about box: template 7015 and bitmap 7017 of the add-in's library.
  EXPECT_EQ(caption, L"A propos de TESSORA");
  EXPECT_EQ(logo.bmWidth, 148);
  EXPECT_EQ(logo.bmHeight, 88);
  EXPECT_FALSE(cancelShown);

  // With no dialog up, the same click is a pick that runs the command.
  addin.sim.clearCallLog();
  ASSERT_TRUE(ClickIntoTheHost());
  for (ULONGLONG end = GetTickCount64() + 5000; GetTickCount64() < end;) {
    if (MsgWaitForMultipleObjects(1, &host.clicked, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
  }
  ASSERT_EQ(host.picks, 1);
  EXPECT_EQ(addin.sim.callLines().back(), L"Document.RebuildModel()");
}

// What a user sees of the library in its file properties.
TEST(FrameDialogs, TheVersionBlockReadsInFrench) {
  const std::wstring library = AddinInApps();
  std::vector<BYTE> block(GetFileVersionInfoSizeW(library.c_str(), nullptr));
  ASSERT_FALSE(block.empty());
  ASSERT_TRUE(GetFileVersionInfoW(library.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
  const auto field = [&](const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040c04b0\\") + name;
    return VerQueryValueW(block.data(), path.c_str(), &value, &length) ? static_cast<const wchar_t*>(value) : L"";
  };
  EXPECT_STREQ(field(L"ProductName"), L"Biblioth\u00E8que de liaison dynamique ZELM_Compact.");
  EXPECT_STREQ(field(L"FileVersion"), L"1999-222");
}

}  // namespace
}  // namespace frametest
