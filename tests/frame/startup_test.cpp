// InitUserDLL3: finding the host, the self-load, the sink and the first
// menu pass, through the real add-in library.
#include <gtest/gtest.h>

#include "FrameTestFixture.h"

using frametest::AddinExports;
using frametest::CreatableClass;
using FrameStartupOnHost = frametest::RunningHostTest;
using frametest::ScriptedHost;
using FrameStartup = frametest::FrameTest;

namespace {

const std::vector<std::wstring> kPartMenuPass = {
    L"GetMenuFrame",
    L"ActiveDocument",
    L"DocumentKind",
    L"AddTopMenu(Compression@&Outils, 0)",
    L"AddMenuEntry(Compression@&Outils, Compacter, -1, ZELM_Compact@CompacterPart)",
    L"AddMenuEntry(Compression@&Outils, Décompacter, -1, ZELM_Compact@DeCompacterPart)",
};

}  // namespace

TEST_F(FrameStartupOnHost, StartsOnTheRunningHostAdvisesItsSinkAndMakesAMenuPass) {
  host->activeKind = 1;
  AddinExports addin = Load();
  ASSERT_NE(nullptr, addin.InitUserDLL3);

  EXPECT_EQ(97001, addin.InitUserDLL3());

  EXPECT_EQ(1, host->advises);
  EXPECT_EQ(0, host->unadvises);
  EXPECT_EQ(kPartMenuPass, host->calls);
  EXPECT_EQ(0, ScriptedHost::liveObjects) << "the menu pass kept a document or menu frame";
  EXPECT_TRUE(messageTexts().empty());
}

TEST_F(FrameStartupOnHost, WithNoActiveDocumentTheFirstPassOnlyAsksForFrameAndDocument) {
  Start();  // activeKind 0
  AddinExports again = Load();
  EXPECT_EQ(97001, again.InitUserDLL3()) << "a second call answers as the first did";
  EXPECT_EQ(1, host->advises) << "a second call must not advise a second sink";
  EXPECT_TRUE(host->calls.empty());
}

TEST_F(FrameStartupOnHost, SelfLoadFailureAnswersMinusOneAndKeepsTheHostWithoutSinkOrMenus) {
  // A copy under another name, in a folder of its own that is also the
  // current folder: loading "ZELM_Compact.dll" by name finds no module of
  // that name loaded, and none in the executable's folder, the system
  // folders, the current folder or PATH.
  std::wstring folder = frametest::FreshTempFolder(L"frame-selfload");
  std::wstring renamed = folder + L"\\ZELM_Renamed.dll";
  ASSERT_TRUE(CopyFileW(frametest::AddinPathInApps().c_str(), renamed.c_str(), FALSE));
  ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
  host->activeKind = 1;
  AddinExports addin = frametest::LoadAddin(renamed);
  ASSERT_NE(nullptr, addin.InitUserDLL3);
  ULONG referencesBefore = host->references();

  EXPECT_EQ(-1, addin.InitUserDLL3());

  EXPECT_EQ(std::vector<std::wstring>{L"Impossible d'ouvrir ZELM_Compact.DLL"}, messageTexts());
  EXPECT_EQ(nullptr, GetModuleHandleW(L"ZELM_Compact.dll"));
  EXPECT_EQ(referencesBefore + 1, host->references()) << "the attached host stays attached";
  EXPECT_EQ(0, host->advises);
  EXPECT_TRUE(host->calls.empty()) << "no menu pass after a failed self-load";
}

TEST_F(FrameStartupOnHost, TheLibraryStaysLoadedAndAdvisedWhenTheHostLetsItGo) {
  Start();
  ASSERT_TRUE(FreeLibrary(addin.module));
  EXPECT_NE(nullptr, GetModuleHandleW(L"ZELM_Compact.dll"));
  EXPECT_EQ(0, host->unadvises);

  host->activeKind = 1;
  VARIANT result;
  VariantInit(&result);
  EXPECT_EQ(S_OK, host->Raise(3, {}, &result));
  EXPECT_EQ(VT_BOOL, result.vt);
}

TEST_F(FrameStartupOnHost, WithoutClassInformationNoSinkIsAdvisedButTheAddinStarts) {
  RunHostWith({false, true, true});
  host->activeKind = 1;

  EXPECT_EQ(97001, Load().InitUserDLL3());
  EXPECT_EQ(0, host->advises);
  EXPECT_EQ(kPartMenuPass, host->calls) << "the first menu pass still runs";
}

TEST_F(FrameStartupOnHost, WithoutAnEventsConnectionPointNoSinkIsAdvised) {
  RunHostWith({true, true, false});
  EXPECT_EQ(97001, Load().InitUserDLL3());
  EXPECT_EQ(0, host->advises);
}

TEST_F(FrameStartup, ARegisteredNameWithoutAClassIsNoError) {
  frametest::RegisterProgId(L"SldPart.Document", frametest::kTestPartDocumentClsid);
  EXPECT_EQ(97001, Load().InitUserDLL3());
  EXPECT_TRUE(messageTexts().empty());
}

TEST_F(FrameStartup, ACreationThatFailsWithAnErrorIsReported) {
  frametest::RegisterProgId(L"SldPart.Document", frametest::kTestPartDocumentClsid);
  CreatableClass failing(frametest::kTestPartDocumentClsid, [](REFIID, void**) { return E_OUTOFMEMORY; });
  ASSERT_TRUE(failing.registered());

  EXPECT_EQ(97001, Load().InitUserDLL3());
  EXPECT_EQ(std::vector<std::wstring>{L"IDP_FAILED_TO_CREATE"}, messageTexts());
}

namespace {
// An object that answers IUnknown only.
class PlainObject : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = IsEqualIID(iid, IID_IUnknown) ? this : nullptr;
    if (!*object) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  ULONG references = 1;
};
}  // namespace

TEST_F(FrameStartup, ACreatedObjectWithoutAutomationIsReportedAndReleased) {
  static PlainObject plain;
  frametest::RegisterProgId(L"SldPart.Document", frametest::kTestPartDocumentClsid);
  CreatableClass odd(frametest::kTestPartDocumentClsid,
                     [](REFIID iid, void** object) { return plain.QueryInterface(iid, object); });

  EXPECT_EQ(97001, Load().InitUserDLL3());
  EXPECT_EQ(std::vector<std::wstring>{L"IDP_FAILED_TO_CREATE"}, messageTexts());
  EXPECT_EQ(1u, plain.references) << "the unusable object was not released";
}

TEST_F(FrameStartupOnHost, AHostFailureInTheFirstMenuPassIsToldAndTheAddinStillStarts) {
  host->activeKind = 1;
  host->failNext = L"GetMenuFrame";
  AddinExports addin = Load();
  ASSERT_NE(nullptr, addin.InitUserDLL3);

  EXPECT_EQ(97001, addin.InitUserDLL3());

  EXPECT_EQ(std::vector<std::wstring>{L"Erreur du logiciel hôte pendant l'opération GetMenuFrame.\nscripted failure"},
            messageTexts());
  EXPECT_EQ(1, host->advises);
  host->calls.clear();
  VARIANT none;
  VariantInit(&none);
  VARIANT kind;
  VariantInit(&kind);
  kind.vt = VT_I4;
  kind.lVal = 1;
  EXPECT_EQ(S_OK, host->Raise(2, {none, kind}));
  EXPECT_EQ(kPartMenuPass, host->calls) << "the next event installs the entries";
}
