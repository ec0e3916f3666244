// The real Dravik_Installer.exe, started in the sample distribution
// and used as a user would: its buttons, its messages (answered and recorded
// by the dialog responder), the keyboard, and the files it leaves on disk.
// One program run per scenario.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>

#include "installer/InstallerDrives.h"
#include "support/DialogResponderGTest.h"
#include "responder/DialogWindows.h"

using namespace installer_test;
using ::testing::ElementsAre;

namespace {

enum Control { kQuitter = IDOK, kInstall = 1001, kUninstall = 1002, kWindows95 = 1003, kWindowsNt = 1004 };
const std::string kApps = "D:\\SW\\Apps";
// The sample distribution, copied afresh by every build.
constexpr char kSample[] = "T:\\sample-distribution";

// Polls `done` every 20 ms until it holds; false after 20 s.
template <typename Condition>
bool WaitFor(Condition done) {
  for (int polls = 0; polls < 1000 && !done(); ++polls) Sleep(20);
  return done();
}

// Real keyboard input to the foreground window, chord after chord: the keys
// of a chord go down in order and come up in reverse.
void Press(const std::vector<std::vector<WORD>>& chords) {
  std::vector<INPUT> inputs;
  for (const auto& chord : chords) {
    for (size_t i = 0; i < 2 * chord.size(); ++i) {
      INPUT input{};
      input.type = INPUT_KEYBOARD;
      input.ki.wVk = i < chord.size() ? chord[i] : chord[2 * chord.size() - 1 - i];
      input.ki.dwFlags = i < chord.size() ? 0 : KEYEVENTF_KEYUP;
      inputs.push_back(input);
    }
  }
  ASSERT_EQ(SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)), inputs.size());
}

// The running program, its main dialog, and a responder that answers and
// records its message boxes.
class Installer {
 public:
  // Starts the program and waits until its start-up search is over: an
  // action button is enabled, or its message has been answered.
  explicit Installer(const char* folder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    char commandLine[] = "Dravik_Installer.exe";
    if (!CreateProcessA("T:\\Dravik_Installer.exe", commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                        &process_))
      return;
    responder_ = std::make_unique<testsupport::CheckedDialogResponder>(process_.dwProcessId);
    EXPECT_TRUE(WaitFor([&] { return (dialog = Dialog(true)) != nullptr; })) << "no dialog";
    EXPECT_TRUE(WaitFor([&] { return !Offered().empty() || !responder_->messages().empty(); }));
    EXPECT_TRUE(WaitFor([&] { return Dialog(false) == nullptr; })) << "a box stays open";
  }

  ~Installer() {
    if (!responder_) return;
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(process_.hProcess, 99);
    responder_.reset();  // fails the test on any unexpected dialog
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
  }

  bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(dialog, id)); }
  // The action the dialog offers: "Installer", "Desintaller" or "" (none).
  std::string Offered() const {
    return std::string(Enabled(kInstall) ? "Installer" : "") + (Enabled(kUninstall) ? "Desintaller" : "");
  }
  bool Checked(int id) const { return Send(GetDlgItem(dialog, id), BM_GETCHECK) == BST_CHECKED; }
  // Return once the program has handled the click, its message boxes
  // included; Command sends what a click sends, as another program could,
  // whatever the button shows.
  void Click(int id) const { Send(GetDlgItem(dialog, id), BM_CLICK); }
  void Command(int id) const { Send(dialog, WM_COMMAND, id); }
  // STILL_ACTIVE while the program runs after waiting `wait` ms for its end.
  DWORD ExitCode(DWORD wait = 20000) const {
    DWORD code = 0;
    WaitForSingleObject(process_.hProcess, wait);
    return GetExitCodeProcess(process_.hProcess, &code) ? code : 0xFFFF;
  }

  // The texts of the message boxes so far. Each box must have had one OK
  // button and the exclamation icon, and the program's name as its caption.
  std::vector<std::wstring> Messages() const {
    std::vector<std::wstring> texts;
    for (const auto& box : responder_->messages()) {
      texts.push_back(box.text);
      EXPECT_TRUE(box.styleKnown && box.style == UINT{MB_OK | MB_ICONEXCLAMATION}) << box.style;
      EXPECT_EQ(box.caption, L"Dravik_Installer");
    }
    return texts;
  }

  // A visible dialog of the program: the main one, or another (the about
  // box, a message box).
  HWND Dialog(bool main) const {
    for (HWND window : hostsim::dialogs::visibleDialogs(process_.dwProcessId))
      if ((GetDlgItem(window, kInstall) != nullptr) == main) return window;
    return nullptr;
  }

  HWND dialog = nullptr;

 private:
  DWORD_PTR Send(HWND window, UINT message, WPARAM wParam = 0) const {
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutA(window, message, wParam, 0, SMTO_NORMAL, 20000, &result)) << message;
    return result;
  }

  PROCESS_INFORMATION process_{};
  std::unique_ptr<testsupport::CheckedDialogResponder> responder_;
};

// Apps holds the library from `build` and the sample's companion tree.
void ExpectInstalled(const std::string& build) {
  const std::string dist = kSample;
  EXPECT_EQ(ReadFileBytes(kApps + "\\ZELM_Compact.dll"), ReadFileBytes(dist + build + "\\ZELM_Compact.dll"));
  for (const char* companion : {"\\Aide\\Lisez-moi.txt", "\\Aide\\Images\\Schema.txt", "\\Modeles\\Gabarit.txt",
                                "\\Compact.ini"})
    EXPECT_EQ(ReadFileBytes(kApps + companion), ReadFileBytes(dist + "\\DATA_CM" + companion)) << companion;
}

using InstallerDialog = InstallerDrives;

TEST_F(InstallerDialog, WithoutTheHostItSaysSoAndOnlyQuitterEndsIt) {
  Installer installer(kSample);
  ASSERT_NE(installer.dialog, nullptr);
  // Neither action runs when another program sends its command: the host
  // folder is only the last drive searched, Y:.
  installer.Command(kUninstall);
  installer.Command(kInstall);
  EXPECT_FALSE(Exists("Y:\\Apps"));
  EXPECT_THAT(installer.Messages(),
              ElementsAre(L"SolidWorks n'est pas trouv\u00e9,\nInstaller SolidWorks avant d'installer vos DLL..."));
  EXPECT_EQ(installer.Offered(), "");

  // Escape, Ctrl+Break and Alt+F4 are refused while "Annuler" is disabled.
  // The arrow key after them checks the other radio button: once it has, the
  // keys before it have been handled.
  SetForegroundWindow(installer.dialog);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == installer.dialog; }));
  PostMessageA(installer.dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(installer.dialog, kWindows95)), TRUE);
  Press({{VK_ESCAPE}, {VK_CONTROL, VK_CANCEL}, {VK_MENU, VK_F4}, {VK_DOWN}});
  EXPECT_TRUE(WaitFor([&] { return installer.Checked(kWindowsNt) || installer.ExitCode(0) != STILL_ACTIVE; }));
  EXPECT_EQ(installer.ExitCode(0), STILL_ACTIVE) << "a key ended the installer";
  EXPECT_FALSE(installer.Checked(kWindows95));

  // Enter presses the default button, "Quitter", from anywhere.
  Press({{VK_RETURN}});
  EXPECT_EQ(installer.ExitCode(), 0u);

  // Found with the add-in in its Apps folder: only "Desintaller" is offered,
  // and "Installer" sent all the same does nothing.
  MakeHost("D:\\SW");
  MakeEntry(kApps + "\\ZELM_Compact.dll", "installed");
  Installer installed(kSample);
  EXPECT_EQ(installed.Offered(), "Desintaller");
  installed.Command(kInstall);
  EXPECT_EQ(ReadFileBytes(kApps + "\\ZELM_Compact.dll"), "installed");
  EXPECT_FALSE(Exists(kApps + "\\Compact.ini"));
  EXPECT_THAT(installed.Messages(), ::testing::IsEmpty());
}

// One program run through the states a host without the add-in goes
// through: each build as the radio buttons choose, and failed steps that are
// told and leave the buttons as they were.
TEST_F(InstallerDialog, InstallsAndUninstallsTheChosenBuildAndAFailedStepKeepsTheButtons) {
  const std::string build95 = std::string(kSample) + "\\DATA_95\\ZELM_Compact.dll";
  MakeHost("D:\\SW");
  Installer installer(kSample);
  ASSERT_NE(installer.dialog, nullptr);
  EXPECT_EQ(installer.Offered(), "Installer");
  EXPECT_TRUE(installer.Checked(kWindows95));

  // The system menu's entry opens the about box; its OK button ends it.
  PostMessageA(installer.dialog, WM_SYSCOMMAND, 0x0010, 0);
  HWND about = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (about = installer.Dialog(false)) != nullptr; }));
  PostMessageA(about, WM_COMMAND, IDOK, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(about); }));

  installer.Command(kUninstall);  // not offered: nothing, not even a message
  installer.Click(kInstall);
  ExpectInstalled("\\DATA_95");
  EXPECT_EQ(installer.Offered(), "Desintaller");
  installer.Click(kUninstall);
  EXPECT_FALSE(Exists(kApps));
  EXPECT_TRUE(Exists("D:\\SW\\sldworks.exe"));
  EXPECT_EQ(installer.Offered(), "Installer");

  installer.Click(kWindowsNt);
  EXPECT_FALSE(installer.Checked(kWindows95));
  installer.Click(kInstall);
  ExpectInstalled("\\DATA_NT");
  EXPECT_THAT(installer.Messages(), ::testing::IsEmpty());

  // Everything goes but "Apps", held open: told, and the uninstall succeeded.
  std::vector<std::wstring> expected = {L"ERREUR:\nSuppression du fichier Apps impossible."};
  {
    const Handle inUse = BlockDeletion(kApps);
    installer.Click(kUninstall);
  }
  EXPECT_EQ(installer.Messages(), expected);
  int left = 0;
  ForEachEntry(kApps, [&](const std::string&, bool) { ++left; });
  EXPECT_TRUE(IsFolder(kApps) && left == 0);
  EXPECT_EQ(installer.Offered(), "Installer");

  // Back to the 95 build, missing from the distribution: told, still to install.
  installer.Click(kWindows95);
  ASSERT_TRUE(MoveFileA(build95.c_str(), (build95 + ".away").c_str()));
  installer.Click(kInstall);
  expected.push_back(L"ERREUR:\nTransfert du fichier ZELM_Compact.dll impossible.");
  EXPECT_EQ(installer.Messages(), expected);
  EXPECT_EQ(installer.Offered(), "Installer");
  EXPECT_TRUE(Exists(kApps + "\\Compact.ini")) << "the companions go all the same";
  ASSERT_TRUE(MoveFileA((build95 + ".away").c_str(), build95.c_str()));
  installer.Click(kInstall);
  EXPECT_EQ(installer.Offered(), "Desintaller");

  // The library held open cannot go: told, and still installed.
  {
    const Handle inUse = BlockDeletion(kApps + "\\ZELM_Compact.dll");
    installer.Click(kUninstall);
  }
  expected.push_back(L"ERREUR:\nSuppression du fichier ZELM_Compact.dll impossible.");
  EXPECT_EQ(installer.Messages(), expected);
  EXPECT_EQ(installer.Offered(), "Desintaller");
  EXPECT_FALSE(Exists(kApps + "\\Compact.ini")) << "the companions go all the same";
}

// A host whose Apps folder holds links off the drives (make_test_drives.py):
// to a file, to a folder, and one whose target is missing, which Wine shows
// nowhere. Each entry that would go through one is refused with its usual
// message, and what is behind the links stays as it was. The host is found
// on K:, after F:, a drive without a medium.
TEST_F(InstallerDialog, NeverWritesOrDeletesThroughALinkBelowApps) {
  ASSERT_TRUE(GetLogicalDrives() & (1 << ('F' - 'A')));
  const std::string apps = "K:\\linked\\SW\\Apps", dist = kDistribution;
  MakeHost("K:\\linked\\SW");
  for (const char* file : {"\\DATA_95\\ZELM_Compact.dll", "\\DATA_CM\\Aide\\Lisez-moi.txt", "\\DATA_CM\\Compact.ini",
                           "\\DATA_CM\\Modeles\\Gabarit.txt"})
    MakeEntry(dist + file, file);
  MakeEntry(dist + "\\Script.txt", "CF:\\Aide\\Lisez-moi.txt\nCF:\\Compact.ini\nCD:\\Modeles\nCF:\\Modeles\\Gabarit.txt\n");
  const auto expectBehindUntouched = [&] {
    int inFolder = 0;
    ForEachEntry(apps + "\\Modeles", [&](const std::string&, bool) { ++inFolder; });
    EXPECT_TRUE(IsFolder(apps + "\\Modeles") && inFolder == 0);
    EXPECT_EQ(ReadFileBytes(apps + "\\Aide\\Lisez-moi.txt"), "off the drives");
    EXPECT_FALSE(Exists(apps + "\\Compact.ini"));
  };

  Installer installer(kDistribution);
  ASSERT_EQ(installer.Offered(), "Installer");
  installer.Click(kInstall);
  EXPECT_EQ(ReadFileBytes(apps + "\\ZELM_Compact.dll"), "\\DATA_95\\ZELM_Compact.dll");
  expectBehindUntouched();
  installer.Click(kUninstall);
  EXPECT_FALSE(Exists(apps + "\\ZELM_Compact.dll"));
  expectBehindUntouched();
  const std::wstring copy = L"ERREUR:\nTransfert du fichier impossible.", create = L"ERREUR:\nCreation du dossier impossible.",
                     remove = L"ERREUR:\nSuppression du fichier impossible.";
  EXPECT_THAT(installer.Messages(), ElementsAre(copy, copy, create, remove, remove, remove));
  EXPECT_EQ(installer.Offered(), "Installer");
}

}  // namespace
