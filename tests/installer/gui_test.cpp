// The real installer, driven through its dialog under Wine: the start-up
// search, the button states, the about box, and install and uninstall of the
// sample distribution on the test's drives.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/InstallerDrives.h"
#include "support/InstallerWindow.h"

using namespace installer_test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

enum Control { kQuitter = IDOK, kAnnuler = IDCANCEL, kPanel = 1000, kInstall = 1001, kUninstall = 1002,
               kWindows95 = 1003, kWindowsNt = 1004, kKillMaster = 1006 };

constexpr char kHostNotFound[] = "SolidWorks n'est pas trouv\xE9,\nInstaller SolidWorks avant d'installer vos DLL...";
constexpr char kHostFolder[] = "D:\\Programmes\\SolidWorks";
const std::string kApps = std::string(kHostFolder) + "\\Apps";
const std::string kSample = "T:\\sample-distribution";

// The companion files the sample's Script.txt lists.
const char* const kCompanions[] = {"\\Aide\\Lisez-moi.txt", "\\Aide\\Images\\Schema.txt", "\\Modeles\\Gabarit.txt",
                                   "\\Compact.ini"};

class InstallerGui : public InstallerDrives {
 protected:
  void SetUp() override {
    InstallerDrives::SetUp();
    ASSERT_TRUE(IsFile(kSample + "\\Script.txt")) << "the sample distribution is not next to the tests";
    CopyTree(kSample, kDistribution);
  }

  std::unique_ptr<InstallerWindow> Start() {
    auto window = std::make_unique<InstallerWindow>(kDistribution);
    EXPECT_TRUE(window->started());
    if (window->started()) {
      EXPECT_TRUE(window->waitForSearch()) << "the search did not end";
    }
    return window;
  }

  static std::optional<std::string> Distributed(const std::string& rest) {
    return ReadFileBytes(std::string(kDistribution) + rest);
  }

  void ExpectInstalled(const std::string& build) {
    EXPECT_EQ(ReadFileBytes(kApps + "\\ZELM_Compact.dll"), Distributed(build + "\\ZELM_Compact.dll"));
    for (const char* companion : kCompanions)
      EXPECT_EQ(ReadFileBytes(kApps + companion), Distributed(std::string("\\DATA_CM") + companion)) << companion;
  }
};

TEST_F(InstallerGui, WithoutTheHostItSaysSoAndOffersNoAction) {
  auto installer = Start();
  ASSERT_TRUE(installer->started());
  EXPECT_THAT(installer->messages(), ElementsAre(kHostNotFound));
  EXPECT_THAT(installer->captions(), ElementsAre("Dravik_Installer"));
  Sleep(300);  // nothing turns on later either
  EXPECT_FALSE(installer->isEnabled(kInstall));
  EXPECT_FALSE(installer->isEnabled(kUninstall));
  EXPECT_TRUE(installer->isEnabled(kQuitter));
  EXPECT_TRUE(installer->click(kQuitter));
  EXPECT_EQ(installer->waitForExit(10000), 0);
}

TEST_F(InstallerGui, ShowsItsStatesOpensTheAboutBoxRefusesCloseAndEndsOnEnter) {
  MakeHost(kHostFolder);
  auto installer = Start();
  ASSERT_TRUE(installer->started());
  EXPECT_EQ(installer->title(), "Installation de ZELM_Compact.dll");
  EXPECT_EQ(installer->text(kQuitter), "Quitter");
  EXPECT_EQ(installer->text(kInstall), "Installer");
  EXPECT_EQ(installer->text(kUninstall), "Desintaller");
  EXPECT_EQ(installer->text(kWindows95), "Window 95 ou Plus");
  EXPECT_EQ(installer->text(kWindowsNt), "Windows NT 4 ou Plus");
  const std::string rule(36, '-');
  EXPECT_EQ(installer->text(kPanel),
            "\nTESSORA DLL Installation \n" + rule + "\nPour SolidWorks version 98/230\n" + rule +
                "\nDravik Outillage, 4 quai des Forges\nTel. 00 00 00 00 00\nversion 99/228");
  EXPECT_TRUE(installer->isChecked(kWindows95));
  EXPECT_FALSE(installer->isChecked(kWindowsNt));
  EXPECT_TRUE(installer->isEnabled(kInstall));
  EXPECT_FALSE(installer->isEnabled(kUninstall));
  for (int hidden : {kAnnuler, kKillMaster}) {
    EXPECT_FALSE(installer->isVisible(hidden)) << hidden;
    EXPECT_FALSE(installer->isEnabled(hidden)) << hidden;
  }
  DWORD_PTR defaultId = 0;
  SendMessageTimeoutA(installer->dialog(), DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 5000, &defaultId);
  EXPECT_EQ(LOWORD(defaultId), IDOK);

  // The system menu entry's command, as picking "&A propos de
  // Dravik_Installer..." sends it (Wine does not show another process's
  // menus, so the entry itself is not read here).
  PostMessageA(installer->dialog(), WM_SYSCOMMAND, 0x0010, 0);
  HWND about = nullptr;
  for (int i = 0; i < 250 && about == nullptr; ++i) {
    for (HWND other : installer->otherDialogs()) about = other;
    if (about == nullptr) Sleep(20);
  }
  ASSERT_NE(about, nullptr) << "no about box";
  EXPECT_EQ(WindowText(about), "A propos de Dravik_Installer");
  std::vector<std::string> texts;
  for (HWND child = GetWindow(about, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
    texts.push_back(WindowText(child));
  EXPECT_THAT(texts, ::testing::IsSupersetOf({"Dravik_Installer version 1.0", "OK"}));
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(GetDlgItem(about, IDOK), BM_CLICK, 0, 0, SMTO_NORMAL, 5000, &ignored);
  for (int i = 0; i < 250 && IsWindow(about); ++i) Sleep(20);
  EXPECT_FALSE(IsWindow(about));

  // A close request is refused while Annuler is disabled.
  PostMessageA(installer->dialog(), WM_CLOSE, 0, 0);
  EXPECT_EQ(installer->waitForExit(500), -1);
  EXPECT_TRUE(IsWindow(installer->dialog()));

  // The dialog's own message loop hands Enter to the dialog manager, which
  // presses the default button.
  const HWND focus = GetDlgItem(installer->dialog(), kWindows95);
  PostMessageA(focus, WM_KEYDOWN, VK_RETURN, 0x001C0001);
  PostMessageA(focus, WM_KEYUP, VK_RETURN, 0xC01C0001);
  EXPECT_EQ(installer->waitForExit(10000), 0);
  EXPECT_THAT(installer->messages(), IsEmpty());
}

TEST_F(InstallerGui, InstallsAndUninstallsTheBuildTheRadioButtonsChoose) {
  MakeHost(kHostFolder);
  auto installer = Start();
  ASSERT_TRUE(installer->started());

  ASSERT_TRUE(installer->click(kInstall));
  ExpectInstalled("\\DATA_95");
  EXPECT_FALSE(installer->isEnabled(kInstall));
  EXPECT_TRUE(installer->isEnabled(kUninstall));

  ASSERT_TRUE(installer->click(kUninstall));
  EXPECT_FALSE(Exists(kApps));
  EXPECT_TRUE(IsFile(std::string(kHostFolder) + "\\sldworks.exe"));
  EXPECT_TRUE(installer->isEnabled(kInstall));
  EXPECT_FALSE(installer->isEnabled(kUninstall));

  ASSERT_TRUE(installer->click(kWindowsNt));
  EXPECT_TRUE(installer->isChecked(kWindowsNt));
  EXPECT_FALSE(installer->isChecked(kWindows95));
  ASSERT_TRUE(installer->click(kInstall));
  ExpectInstalled("\\DATA_NT");

  ASSERT_TRUE(installer->click(kUninstall));
  ASSERT_TRUE(installer->click(kWindows95));
  EXPECT_TRUE(installer->isChecked(kWindows95));
  EXPECT_FALSE(installer->isChecked(kWindowsNt));
  ASSERT_TRUE(installer->click(kInstall));
  ExpectInstalled("\\DATA_95");

  EXPECT_THAT(installer->messages(), IsEmpty());
  EXPECT_TRUE(installer->click(kQuitter));
  EXPECT_EQ(installer->waitForExit(10000), 0);
}

TEST_F(InstallerGui, AnInstalledAddinOffersOnlyUninstall) {
  MakeHost(kHostFolder);
  WriteFileBytes(kApps + "\\ZELM_Compact.dll", "installed earlier");
  auto installer = Start();
  ASSERT_TRUE(installer->started());
  EXPECT_FALSE(installer->isEnabled(kInstall));
  EXPECT_TRUE(installer->isEnabled(kUninstall));
  EXPECT_THAT(installer->messages(), IsEmpty());
}

TEST_F(InstallerGui, AFailedInstallReportsAndKeepsTheButtons) {
  MakeHost(kHostFolder);
  WriteFileBytes(kApps, "a file where the folder should be");
  auto installer = Start();
  ASSERT_TRUE(installer->started());
  ASSERT_TRUE(installer->click(kInstall));
  EXPECT_THAT(installer->messages(), ElementsAre("ERREUR:\nTransfert du fichier ZELM_Compact.dll impossible.",
                                                 "ERREUR:\nCreation du dossier impossible."));
  EXPECT_TRUE(installer->isEnabled(kInstall));
  EXPECT_FALSE(installer->isEnabled(kUninstall));
}

TEST_F(InstallerGui, AReadOnlyCompanionIsReportedWhenUninstalling) {
  MakeHost(kHostFolder);
  SetReadOnly(std::string(kDistribution) + "\\DATA_CM\\Compact.ini");
  auto installer = Start();
  ASSERT_TRUE(installer->started());
  ASSERT_TRUE(installer->click(kInstall));
  ASSERT_TRUE(installer->click(kUninstall));
  EXPECT_THAT(installer->messages(), ElementsAre("ERREUR:\nSuppression du fichier impossible."));
  EXPECT_THAT(ListFolder(kApps), ElementsAre("Compact.ini"));
  EXPECT_TRUE(installer->isEnabled(kInstall));  // the library itself is gone
  EXPECT_FALSE(installer->isEnabled(kUninstall));
}

}  // namespace
