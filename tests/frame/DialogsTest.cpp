// The add-in's dialogs as the user meets them, through the real library
// started on the simulator: the about box from the add-in's own resources,
// the save dialog and the message boxes. While one is up, the host's windows
// take no input, so no menu pick can run a second command; they take it
// again on every way out.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <set>
#include <thread>

#include "frame/FrameHost.h"
#include "resources/ResourceIds.h"
#include "responder/DialogWindows.h"

namespace frametest {
namespace {

namespace dialogs = hostsim::dialogs;

// A window of the host's thread standing for the host's main window, the
// whole screen: a click in it is the user picking "Décompacter" in the
// host's menu. The WM_ENABLE it got, and the picks that reached it.
std::vector<bool> hostEnables;
int picks = 0;
HANDLE clicked = CreateEventW(nullptr, FALSE, FALSE, nullptr);  // a click met the window

HWND HostMainWindow() {
  static HWND window = [] {
    WNDCLASSW type{};
    type.lpfnWndProc = [](HWND window, UINT message, WPARAM wParam, LPARAM lParam) -> LRESULT {
      if (message == WM_ENABLE) hostEnables.push_back(wParam != 0);
      if (message == WM_LBUTTONDOWN && ++picks) Started().sim.pickMenu(L"D\u00E9compacter");
      // Sent for every mouse message the window meets; when it is disabled
      // (hit test HTERROR) the click goes no further.
      if (message == WM_SETCURSOR && HIWORD(lParam) == WM_LBUTTONUP) SetEvent(clicked);
      return DefWindowProcW(window, message, wParam, lParam);
    };
    type.lpszClassName = L"HostMainWindow";
    RegisterClassW(&type);
    return CreateWindowExW(0, type.lpszClassName, L"SolidWorks", WS_POPUP | WS_VISIBLE, 0, 0,
                           GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr, nullptr,
                           nullptr);
  }();
  return window;
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
  ResetEvent(clicked);
  return SendInput(3, input, sizeof(INPUT)) == 3;
}

// What the user met while a command ran.
struct Meeting {
  bool sawDialog = false, hostEnabled = true, clickMet = false, forced = false;
  std::vector<std::wstring> messages;  // read and closed with OK
};

// Runs the command on this thread, the host's. Meanwhile the user waits for
// the first dialog it shows, clicks into the host's main window, hands the
// dialog to `answer`, and reads and closes every message box after it. What is left open after 20 s is closed by force.
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
          met.clickMet = ClickIntoTheHost(dialog) && WaitForSingleObject(clicked, 5000) == WAIT_OBJECT_0;
          answer(*handled.insert(dialog).first);
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

TEST(FrameDialogs, WhileADialogIsUpTheHostTakesNoInputAndEveryWayOutGivesItBack) {
  StartedAddin& addin = Started();
  HostMainWindow();
  const std::wstring source = addin.folder.file(L"bloc.SLDPRT");
  ASSERT_TRUE(hostsim::writePartFixture(source, L"box:0,0,0,10,20,5"));
  std::wstring caption;  // of the about box
  BITMAP logo{};
  bool cancelShown = true;
  const struct {
    const char* what;
    const wchar_t* command;
    std::function<void(HWND)> answer;
    std::vector<std::wstring> messages;
    std::vector<bool> enables;  // of the host's window
  } cases[] = {
      {"about box, OK", L"AboutTessora",
       [&](HWND dialog) {
         caption = dialogs::textOf(dialog);
         GetObjectW(reinterpret_cast<HBITMAP>(SendDlgItemMessageW(dialog, IDC_ABOUT_PICTURE, STM_GETIMAGE, IMAGE_BITMAP, 0)),
                    sizeof logo, &logo);
         cancelShown = IsWindowVisible(GetDlgItem(dialog, IDCANCEL));
         dialogs::pressButton(dialog, IDOK);
       },
       {}, {false, true}},
      {"about box, close box", L"AboutTessora", [](HWND dialog) { PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); },
       {}, {false, true}},
      {"about box, Escape", L"AboutTessora",
       [](HWND dialog) { PostMessageW(GetDlgItem(dialog, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); }, {}, {false, true}},
      {"save dialog, Cancel", L"CompacterPart", [](HWND dialog) { dialogs::pressButton(dialog, IDCANCEL); }, {},
       {false, true}},
      // Then the message box, which takes the host's input again.
      {"save dialog, a free path", L"CompacterPart",
       [&](HWND dialog) {
         dialogs::typeFileName(dialog, addin.folder.file(L"copie.SLDPRT"));
         dialogs::pressButton(dialog, IDOK);
       },
       {L"Fichier compact\u00E9 avec succ\u00E8s dans le dossier\n" + addin.folder.path()}, {false, true, false, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    CloseAll(addin.sim);
    ASSERT_TRUE(addin.sim.open(source));
    hostEnables.clear();
    picks = 0;

    const Meeting met = WhileTheUserActs([&] { addin.sim.invokeExport(c.command); }, c.answer);

    EXPECT_TRUE(met.sawDialog);
    EXPECT_FALSE(met.hostEnabled) << "the host's window took input while the dialog was up";
    EXPECT_TRUE(met.clickMet) << "the click did not reach the host's window";
    EXPECT_EQ(picks, 0) << "a second command ran while the first one's dialog was up";
    EXPECT_EQ(met.messages, c.messages);
    EXPECT_EQ(hostEnables, c.enables);
    EXPECT_TRUE(IsWindowEnabled(HostMainWindow()));
    EXPECT_FALSE(met.forced) << "a dialog did not close";
  }
  // The about box: template and logo of the add-in's own library, without
  // the hidden Cancel.
  EXPECT_EQ(caption, L"A propos de TESSORA");
  EXPECT_GT(logo.bmWidth, 0) << "no logo";
  EXPECT_FALSE(cancelShown);

  // With no dialog up, the same click is a pick that runs the command.
  addin.sim.clearCallLog();
  ASSERT_TRUE(ClickIntoTheHost());
  for (ULONGLONG end = GetTickCount64() + 5000; GetTickCount64() < end;) {
    if (MsgWaitForMultipleObjects(1, &clicked, FALSE, 100, QS_ALLINPUT) == WAIT_OBJECT_0) break;
    for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
  }
  ASSERT_EQ(picks, 1);
  EXPECT_EQ(addin.sim.callLines().back(), L"Document.RebuildModel()");
}

}  // namespace
}  // namespace frametest
