// The real Dravik_Installer.exe, started in a copy of the sample distribution
// and used as a user would: its buttons, its messages (answered and recorded
// by the dialog responder), the keyboard, and the files it leaves on disk.
// One program run per scenario.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "installer/InstallerDrives.h"
#include "support/DialogResponderGTest.h"

using namespace installer_test;
using ::testing::ElementsAreArray;

namespace {

enum Control { kQuitter = IDOK, kInstall = 1001, kUninstall = 1002, kWindows95 = 1003, kWindowsNt = 1004 };
constexpr DWORD kPollMs = 20;
constexpr DWORD kTimeoutMs = 20000;
const std::string kApps = "D:\\SW\\Apps";

// Polls `done` until it holds; false after kTimeoutMs.
template <typename Condition>
bool WaitFor(Condition done) {
  for (DWORD waited = 0; waited < kTimeoutMs; waited += kPollMs) {
    if (done()) return true;
    Sleep(kPollMs);
  }
  return done();
}

std::string ToCodePage1252(const std::wstring& text) {
  std::string bytes(text.size() * 2, '\0');
  const int size = WideCharToMultiByte(1252, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                                       static_cast<int>(bytes.size()), nullptr, nullptr);
  bytes.resize(size);
  return bytes;
}

// Real keyboard input to the foreground window: the keys of a chord go down
// in order and come up in reverse.
void Press(std::initializer_list<WORD> chord) {
  std::vector<INPUT> inputs;
  for (int up = 0; up < 2; ++up) {
    for (size_t i = 0; i < chord.size(); ++i) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = up ? chord.begin()[chord.size() - 1 - i] : chord.begin()[i];
      input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
      inputs.push_back(input);
    }
  }
  ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
}

// The running program, its main dialog and a responder for its message boxes.
class Installer {
 public:
  explicit Installer(const std::string& folder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    char commandLine[] = "Dravik_Installer.exe";
    if (!CreateProcessA("T:\\Dravik_Installer.exe", commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                        &startup, &process_)) {
      ADD_FAILURE() << "cannot start the installer: " << GetLastError();
      return;
    }
    responder_ = std::make_unique<testsupport::CheckedDialogResponder>(process_.dwProcessId);
    // The main dialog is the one with "Installer" in it; the search is over
    // when an action button is enabled or its message has been answered.
    EXPECT_TRUE(WaitFor([&] { return (dialog = Dialog(true)) != nullptr; })) << "no dialog";
    EXPECT_TRUE(WaitFor([&] { return enabled(kInstall) || enabled(kUninstall) || !responder_->messages().empty(); }));
    EXPECT_TRUE(WaitFor([&] { return Dialog(false) == nullptr; })) << "a box stays open";
  }

  ~Installer() {
    if (!responder_) return;
    if (running()) {
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 99);
    }
    responder_.reset();  // fails the test on any unexpected dialog
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  bool enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }
  bool checked(int id) const {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 5000, &state);
    return state == BST_CHECKED;
  }
  bool running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

  // Clicks a button and returns once the program has handled the click, its
  // message boxes included.
  void click(int id) {
    DWORD_PTR ignored = 0;
    EXPECT_TRUE(SendMessageTimeoutA(GetDlgItem(dialog, id), BM_CLICK, 0, 0, SMTO_NORMAL, kTimeoutMs, &ignored)) << id;
  }

  // The texts of the message boxes so far. Each box must have shown one OK
  // button and the exclamation icon, captioned with the program's name.
  std::vector<std::string> messages() const {
    std::vector<std::string> texts;
    for (const auto& box : responder_->messages()) {
      texts.push_back(ToCodePage1252(box.text));
      EXPECT_TRUE(box.styleKnown) << texts.back();
      EXPECT_EQ(box.style, UINT{MB_OK | MB_ICONEXCLAMATION}) << texts.back();
      EXPECT_EQ(box.caption, L"Dravik_Installer") << texts.back();
    }
    return texts;
  }

  long waitForExit() {
    if (WaitForSingleObject(process_.hProcess, kTimeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.hProcess, &code);
    return static_cast<long>(code);
  }

  // A visible dialog of the program: its main one, or any other (the about
  // box, a message box).
  HWND Dialog(bool main) const {
    for (HWND window = GetTopWindow(nullptr); window != nullptr; window = GetWindow(window, GW_HWNDNEXT)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      char name[16] = {};
      GetClassNameA(window, name, sizeof name);
      if (owner == process_.dwProcessId && IsWindowVisible(window) && std::string(name) == "#32770" &&
          (GetDlgItem(window, kInstall) != nullptr) == main)
        return window;
    }
    return nullptr;
  }

  HWND dialog = nullptr;

 private:
  PROCESS_INFORMATION process_{};
  std::unique_ptr<testsupport::CheckedDialogResponder> responder_;
};

class InstallerDialog : public InstallerDrives {
 protected:
  void SetUp() override {
    InstallerDrives::SetUp();
    CopyTree("T:\\sample-distribution", kDistribution);
  }
  // Apps holds the library from `build` and the sample's companion tree.
  static void ExpectInstalled(const std::string& build) {
    const std::string dist = kDistribution;
    EXPECT_EQ(ReadFileBytes(kApps + "\\ZELM_Compact.dll"), ReadFileBytes(dist + build + "\\ZELM_Compact.dll"));
    for (const char* companion : {"\\Aide\\Lisez-moi.txt", "\\Aide\\Images\\Schema.txt", "\\Modeles\\Gabarit.txt",
                                  "\\Compact.ini"})
      EXPECT_EQ(ReadFileBytes(kApps + companion), ReadFileBytes(dist + "\\DATA_CM" + companion)) << companion;
  }
};

TEST_F(InstallerDialog, WithoutTheHostItSaysSoAndOnlyQuitterEndsIt) {
  Installer installer(kDistribution);
  ASSERT_NE(installer.dialog, nullptr);
  EXPECT_THAT(installer.messages(),
              ElementsAreArray({"SolidWorks n'est pas trouv\xE9,\nInstaller SolidWorks avant d'installer vos DLL..."}));
  EXPECT_FALSE(installer.enabled(kInstall));
  EXPECT_FALSE(installer.enabled(kUninstall));

  // Escape, Ctrl+Break and Alt+F4 are refused while "Annuler" is disabled.
  // The arrow key after them checks the other radio button: once it has, the
  // keys before it have been handled.
  SetForegroundWindow(installer.dialog);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == installer.dialog; }));
  PostMessageA(installer.dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(installer.dialog, kWindows95)), TRUE);
  Press({VK_ESCAPE});
  Press({VK_CONTROL, VK_CANCEL});
  Press({VK_MENU, VK_F4});
  Press({VK_DOWN});
  EXPECT_TRUE(WaitFor([&] { return installer.checked(kWindowsNt) || !installer.running(); }));
  EXPECT_TRUE(installer.running()) << "a key ended the installer";
  EXPECT_FALSE(installer.checked(kWindows95));

  // Enter presses the default button, "Quitter", from anywhere.
  Press({VK_RETURN});
  EXPECT_EQ(installer.waitForExit(), 0);
}

TEST_F(InstallerDialog, InstallsAndUninstallsTheBuildTheRadioButtonsChoose) {
  MakeHost("D:\\SW");
  Installer installer(kDistribution);
  ASSERT_NE(installer.dialog, nullptr);
  EXPECT_TRUE(installer.enabled(kInstall));
  EXPECT_FALSE(installer.enabled(kUninstall));
  EXPECT_TRUE(installer.checked(kWindows95));

  // The system menu's entry opens the about box; its OK button ends it.
  PostMessageA(installer.dialog, WM_SYSCOMMAND, 0x0010, 0);
  HWND about = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (about = installer.Dialog(false)) != nullptr; }));
  PostMessageA(about, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }));

  installer.click(kInstall);
  ExpectInstalled("\\DATA_95");
  EXPECT_FALSE(installer.enabled(kInstall));
  EXPECT_TRUE(installer.enabled(kUninstall));

  installer.click(kUninstall);
  EXPECT_FALSE(Exists(kApps));
  EXPECT_TRUE(Exists("D:\\SW\\sldworks.exe"));
  EXPECT_TRUE(installer.enabled(kInstall));
  EXPECT_FALSE(installer.enabled(kUninstall));

  installer.click(kWindowsNt);
  EXPECT_FALSE(installer.checked(kWindows95));
  installer.click(kInstall);
  ExpectInstalled("\\DATA_NT");
  installer.click(kUninstall);
  installer.click(kWindows95);
  installer.click(kInstall);
  ExpectInstalled("\\DATA_95");

  EXPECT_THAT(installer.messages(), ::testing::IsEmpty());
  installer.click(kQuitter);
  EXPECT_EQ(installer.waitForExit(), 0);
}

TEST_F(InstallerDialog, AFailedStepReportsAndKeepsTheButtons) {
  MakeHost("D:\\SW");
  WriteFileBytes(kApps + "\\ZELM_Compact.dll", "installed earlier");
  WriteFileBytes(std::string(kDistribution) + "\\Script.txt", "CD:\\Aide\r\n");
  Installer installer(kDistribution);
  ASSERT_NE(installer.dialog, nullptr);
  EXPECT_FALSE(installer.enabled(kInstall));
  EXPECT_TRUE(installer.enabled(kUninstall));

  std::vector<std::string> expected = {"ERREUR:\nSuppression du fichier ZELM_Compact.dll impossible."};
  {
    DeleteBlocker inUse(kApps + "\\ZELM_Compact.dll");
    installer.click(kUninstall);
  }
  EXPECT_THAT(installer.messages(), ElementsAreArray(expected));
  EXPECT_FALSE(installer.enabled(kInstall));
  EXPECT_TRUE(installer.enabled(kUninstall));

  // The library goes, "Apps" cannot: the uninstall still succeeded.
  expected.push_back("ERREUR:\nSuppression du fichier Apps impossible.");
  {
    DeleteBlocker inUse(kApps);
    installer.click(kUninstall);
  }
  EXPECT_THAT(installer.messages(), ElementsAreArray(expected));
  EXPECT_TRUE(IsFolder(kApps));
  EXPECT_FALSE(Exists(kApps + "\\ZELM_Compact.dll"));
  EXPECT_TRUE(installer.enabled(kInstall));
  EXPECT_FALSE(installer.enabled(kUninstall));

  DeleteFileA((std::string(kDistribution) + "\\DATA_95\\ZELM_Compact.dll").c_str());
  expected.push_back("ERREUR:\nTransfert du fichier ZELM_Compact.dll impossible.");
  installer.click(kInstall);
  EXPECT_THAT(installer.messages(), ElementsAreArray(expected));
  EXPECT_TRUE(installer.enabled(kInstall));
  EXPECT_FALSE(installer.enabled(kUninstall));
}

}  // namespace
