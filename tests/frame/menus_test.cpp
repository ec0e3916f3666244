// The menu passes: which entries are installed for which document kind,
// once per kind and process, and what each pass asks the host.
#include <gtest/gtest.h>

#include "FrameTestFixture.h"

using frametest::ScriptedHost;


namespace {

using Calls = std::vector<std::wstring>;

const Calls kPassWithoutDocument = {L"GetMenuFrame", L"ActiveDocument"};
const Calls kPassWithoutInstall = {L"GetMenuFrame", L"ActiveDocument", L"DocumentKind"};

Calls PassInstalling(const std::wstring& kindSuffix) {
  return {
      L"GetMenuFrame",
      L"ActiveDocument",
      L"DocumentKind",
      L"AddTopMenu(Compression@&Outils, 0)",
      L"AddMenuEntry(Compression@&Outils, Compacter, -1, ZELM_Compact@Compacter" + kindSuffix + L")",
      L"AddMenuEntry(Compression@&Outils, Décompacter, -1, ZELM_Compact@DeCompacter" + kindSuffix + L")",
  };
}

VARIANT Long(long value) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = value;
  return v;
}

VARIANT NoDocument() {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_DISPATCH;
  v.pdispVal = nullptr;
  return v;
}

}  // namespace

class FrameMenuPass : public frametest::RunningHostTest {
 protected:
  // One activation event with the given document kind active (0: none).
  Calls PassWith(long kind) {
    host->activeKind = kind;
    host->calls.clear();
    EXPECT_EQ(S_OK, host->Raise(2, {NoDocument(), Long(kind)}));
    EXPECT_EQ(0, ScriptedHost::liveObjects) << "the pass kept the document or the menu frame";
    return host->calls;
  }
};

TEST_F(FrameMenuPass, NoDocumentAtStartInstallsNothingUntilAPartIsActive) {
  Start();
  EXPECT_EQ(kPassWithoutDocument, PassWith(0));
  EXPECT_EQ(PassInstalling(L"Part"), PassWith(1));
}

TEST_F(FrameMenuPass, EachKindIsInstalledOnceAndEveryPassAsksForTheFrameFirst) {
  host->activeKind = 1;
  addin = Load();
  ASSERT_EQ(97001, addin.InitUserDLL3());
  EXPECT_EQ(PassInstalling(L"Part"), host->calls) << "a part active at start-up";

  EXPECT_EQ(kPassWithoutInstall, PassWith(1));
  EXPECT_EQ(PassInstalling(L"Asm"), PassWith(2));
  EXPECT_EQ(kPassWithoutInstall, PassWith(2));
  EXPECT_EQ(kPassWithoutInstall, PassWith(1));
  EXPECT_EQ(kPassWithoutDocument, PassWith(0));
}

TEST_F(FrameMenuPass, ADrawingOrAnUnknownKindGetsNoMenusAndChangesNoFlag) {
  Start();
  EXPECT_EQ(kPassWithoutInstall, PassWith(3));
  EXPECT_EQ(kPassWithoutInstall, PassWith(3));
  EXPECT_EQ(kPassWithoutInstall, PassWith(7));
  EXPECT_EQ(PassInstalling(L"Asm"), PassWith(2));
  EXPECT_EQ(PassInstalling(L"Part"), PassWith(1));
}
