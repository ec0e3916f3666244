// Drives real message boxes and save-file dialogs through DialogResponder.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>

#include <string>
#include <vector>

#include "responder/DialogResponder.h"
#include "support/DialogResponderGTest.h"

using testsupport::CheckedDialogResponder;
using testsupport::DialogResponder;
using testsupport::OtherDialogs;

namespace {

constexpr DWORD kWaitMs = 10000;
const wchar_t kPartFilter[] = L"Fichiers Pi\u00e8ce (*.SLDPRT)\0*.SLDPRT\0";

// A save request as the add-in makes it: one filter entry, a default
// extension, a proposed name and only OFN_HIDEREADONLY.
struct PartSaveRequest {
  wchar_t file[MAX_PATH] = L"bride.SLDPRT";
  OPENFILENAMEW ofn{};
  PartSaveRequest() {
    ofn.lStructSize = sizeof ofn;
    ofn.lpstrFilter = kPartFilter;
    ofn.lpstrDefExt = L"SLDPRT";
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.Flags = OFN_HIDEREADONLY;
  }
  BOOL run() { return GetSaveFileNameW(&ofn); }
};

std::wstring tempFolder() {
  wchar_t path[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, path);
  return path;
}

std::wstring childExe() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"dialog_responder_child.exe";
}

// An application dialog that is not a message box although it has a static
// with id 0xFFFF (as resource statics often do): it has its own button id.
class ApplicationDialog {
 public:
  ApplicationDialog() {
    std::vector<WORD> t = buildTemplate();
    window_ = CreateDialogIndirectParamW(GetModuleHandleW(nullptr),
                                         reinterpret_cast<LPCDLGTEMPLATEW>(t.data()), nullptr,
                                         &ApplicationDialog::proc, 0);
  }
  ~ApplicationDialog() {
    if (IsWindow(window_)) DestroyWindow(window_);
  }
  HWND window() const { return window_; }

 private:
  static INT_PTR CALLBACK proc(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_INITDIALOG) return TRUE;
    if (message == WM_CLOSE) {
      DestroyWindow(window);
      return TRUE;
    }
    return FALSE;
  }
  static void addText(std::vector<WORD>& t, const wchar_t* text) {
    for (; *text; ++text) t.push_back(*text);
    t.push_back(0);
  }
  static void addItem(std::vector<WORD>& t, DWORD style, short y, WORD id, WORD cls, const wchar_t* text) {
    while (t.size() % 2) t.push_back(0);  // DWORD alignment
    t.insert(t.end(), {LOWORD(style), HIWORD(style), 0, 0, 10, static_cast<WORD>(y), 100, 14, id,
                       0xFFFF, cls});
    addText(t, text);
    t.push_back(0);  // no creation data
  }
  static std::vector<WORD> buildTemplate() {
    const DWORD style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME;
    std::vector<WORD> t = {LOWORD(style), HIWORD(style), 0, 0, 2, 0, 0, 150, 60, 0, 0};
    addText(t, L"Dravik");
    addItem(t, WS_CHILD | WS_VISIBLE, 5, 0xFFFF, 0x0082, L"Pr\u00eat");
    addItem(t, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 25, 1001, 0x0080, L"Installer");
    return t;
  }
  HWND window_ = nullptr;
};

// Runs this thread's messages until `done` holds or the time is up.
template <typename Done>
bool pumpUntil(Done done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (!done()) {
    if (GetTickCount64() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  return true;
}

}  // namespace

TEST(DialogResponderMessageBox, RecordsExactTextAndCaptionAndPressesOk) {
  DialogResponder responder;
  const wchar_t text[] = L"Fichier compact\u00e9 avec succ\u00e8s dans le dossier\nC:\\Pi\u00e8ces\\";
  EXPECT_EQ(MessageBoxW(nullptr, text, L"Compression \u00e9t\u00e9", MB_OK), IDOK);
  ASSERT_EQ(responder.messages().size(), 1u);
  EXPECT_EQ(responder.messages()[0].text, text);
  EXPECT_EQ(responder.messages()[0].caption, L"Compression \u00e9t\u00e9");
  EXPECT_NO_UNEXPECTED_DIALOGS(responder);
}

TEST(DialogResponderMessageBox, BoxWithChoiceIsAnsweredAndReportedUnexpected) {
  DialogResponder responder;
  EXPECT_EQ(MessageBoxW(nullptr, L"Continuer ?", L"Question", MB_YESNO), IDYES);
  ASSERT_EQ(responder.unexpected().size(), 1u);
  EXPECT_NE(responder.unexpected()[0].find(L"Continuer ?"), std::wstring::npos);
  EXPECT_EQ(responder.messages().size(), 1u);
}

TEST(DialogResponderMessageBox, WatchesAnotherProcess) {
  const std::wstring text = L"Installation termin\u00e9e.\nRed\u00e9marrez l'application.";
  std::wstring commandLine = L"\"" + childExe() + L"\" \"" + text + L"\" \"Dravik\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  ASSERT_TRUE(CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                             nullptr, &startup, &child))
      << GetLastError();
  DialogResponder responder(child.dwProcessId);
  EXPECT_TRUE(responder.waitForMessages(1, kWaitMs));
  const bool exited = WaitForSingleObject(child.hProcess, kWaitMs) == WAIT_OBJECT_0;
  if (!exited) TerminateProcess(child.hProcess, 1);
  DWORD exitCode = 0;
  GetExitCodeProcess(child.hProcess, &exitCode);
  CloseHandle(child.hThread);
  CloseHandle(child.hProcess);

  ASSERT_TRUE(exited);
  EXPECT_EQ(exitCode, static_cast<DWORD>(IDOK));
  ASSERT_EQ(responder.messages().size(), 1u);
  EXPECT_EQ(responder.messages()[0].text, text);
  EXPECT_EQ(responder.messages()[0].caption, L"Dravik");
  EXPECT_NO_UNEXPECTED_DIALOGS(responder);
}

TEST(DialogResponderSaveDialog, QueuedPathIsTypedAndDefaultExtensionAdded) {
  DialogResponder responder;
  const std::wstring typed = tempFolder() + L"copie";
  responder.queueSavePath(typed);
  PartSaveRequest request;
  ASSERT_TRUE(request.run()) << CommDlgExtendedError();
  // Wine appends the extension of the filter's pattern, lower-cased.
  EXPECT_EQ(CompareStringOrdinal(request.file, -1, (typed + L".SLDPRT").c_str(), -1, TRUE), CSTR_EQUAL)
      << testsupport::narrowForReport(request.file);
  EXPECT_EQ(responder.pendingSaveAnswers(), 0u);
  EXPECT_NO_UNEXPECTED_DIALOGS(responder);
}

TEST(DialogResponderSaveDialog, QueuedCancelEndsWithoutErrorAndTheRequestIsRecorded) {
  DialogResponder responder;
  responder.queueSaveCancel();
  PartSaveRequest request;
  EXPECT_FALSE(request.run());
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_STREQ(request.file, L"bride.SLDPRT");
  ASSERT_EQ(responder.saveDialogs().size(), 1u);
  const auto record = responder.saveDialogs()[0];
  EXPECT_EQ(record.answer, L"cancel");
  EXPECT_TRUE(record.flagsKnown);
  EXPECT_EQ(record.filter, L"Fichiers Pi\u00e8ce (*.SLDPRT)|*.SLDPRT|");
  EXPECT_EQ(record.defaultExtension, L"SLDPRT");
  EXPECT_EQ(record.initialName, L"bride.SLDPRT");
  EXPECT_EQ(record.flags, static_cast<DWORD>(OFN_HIDEREADONLY));
  EXPECT_EQ(record.fileType, L"Fichiers Pi\u00e8ce (*.SLDPRT)");
  EXPECT_FALSE(record.hadOwner);
  EXPECT_NO_UNEXPECTED_DIALOGS(responder);
}

TEST(DialogResponderSaveDialog, RecordsRequestOfEightBitCaller) {
  DialogResponder responder;
  responder.queueSaveCancel();
  char file[MAX_PATH] = "ensemble.SLDASM";
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.lpstrFilter = "Fichiers Assemblage (*.SLDASM)\0*.SLDASM\0";
  ofn.lpstrDefExt = "SLDASM";
  ofn.lpstrFile = file;
  ofn.nMaxFile = MAX_PATH;
  ofn.Flags = OFN_HIDEREADONLY;
  EXPECT_FALSE(GetSaveFileNameA(&ofn));
  ASSERT_EQ(responder.saveDialogs().size(), 1u);
  const auto record = responder.saveDialogs()[0];
  EXPECT_TRUE(record.flagsKnown);
  EXPECT_EQ(record.filter, L"Fichiers Assemblage (*.SLDASM)|*.SLDASM|");
  EXPECT_EQ(record.defaultExtension, L"SLDASM");
  EXPECT_EQ(record.initialName, L"ensemble.SLDASM");
  EXPECT_EQ(record.flags, static_cast<DWORD>(OFN_HIDEREADONLY));
}

TEST(DialogResponderSaveDialog, AnswersQueuedInOrder) {
  DialogResponder responder;
  responder.queueSaveCancel();
  responder.queueSavePath(tempFolder() + L"second.SLDPRT");
  PartSaveRequest first, second;
  EXPECT_FALSE(first.run());
  EXPECT_TRUE(second.run());
  EXPECT_EQ(std::wstring(second.file), tempFolder() + L"second.SLDPRT");
  ASSERT_EQ(responder.saveDialogs().size(), 2u);
  EXPECT_EQ(responder.saveDialogs()[0].answer, L"cancel");
  EXPECT_EQ(responder.saveDialogs()[1].answer, tempFolder() + L"second.SLDPRT");
}

TEST(DialogResponderSaveDialog, CheckedResponderFailsTestOnUnqueuedDialog) {
  EXPECT_NONFATAL_FAILURE(
      {
        CheckedDialogResponder responder;
        PartSaveRequest request;
        request.run();
      },
      "save dialog with no queued answer");
}

TEST(DialogResponderSaveDialog, RefusedPathDoesNotHang) {
  // The dialog refuses a path in a missing folder, says so in a message box
  // and stays open; the responder answers the box and then cancels the
  // dialog, so the call returns.
  DialogResponder responder;
  responder.queueSavePath(tempFolder() + L"no such folder\\copie.SLDPRT");
  PartSaveRequest request;
  request.ofn.Flags |= OFN_PATHMUSTEXIST;
  EXPECT_FALSE(request.run());
  EXPECT_EQ(responder.messages().size(), 1u);
  ASSERT_EQ(responder.unexpected().size(), 1u);
  EXPECT_NE(responder.unexpected()[0].find(L"still open"), std::wstring::npos);
}

TEST(DialogResponderEvents, UnqueuedSaveDialogIsCancelledAndReportedInTheOrderMet) {
  using testsupport::DialogEventKind;
  DialogResponder responder;
  MessageBoxW(nullptr, L"premier", L"", MB_OK);
  PartSaveRequest request;
  EXPECT_FALSE(request.run());  // nothing queued: reported, then recorded
  MessageBoxW(nullptr, L"second", L"", MB_OK);
  ASSERT_EQ(responder.unexpected().size(), 1u);
  EXPECT_NE(responder.unexpected()[0].find(L"save dialog"), std::wstring::npos);
  ASSERT_EQ(responder.saveDialogs().size(), 1u);
  EXPECT_EQ(responder.saveDialogs()[0].answer, L"cancel");
  const auto events = responder.events();
  ASSERT_EQ(events.size(), 4u);
  EXPECT_EQ(events[0].kind, DialogEventKind::MessageBox);
  EXPECT_EQ(events[0].index, 0u);
  EXPECT_EQ(events[1].kind, DialogEventKind::Unexpected);
  EXPECT_EQ(events[2].kind, DialogEventKind::SaveDialog);
  EXPECT_EQ(events[3].kind, DialogEventKind::MessageBox);
  EXPECT_EQ(events[3].index, 1u);
  EXPECT_EQ(responder.messages()[1].text, L"second");
}

TEST(DialogResponderOtherDialog, IsClosedAndReportedByDefault) {
  DialogResponder responder;
  ApplicationDialog dialog;
  ASSERT_NE(dialog.window(), nullptr);
  EXPECT_TRUE(pumpUntil([&] { return !IsWindow(dialog.window()); }, kWaitMs));
  ASSERT_EQ(responder.unexpected().size(), 1u);
  EXPECT_NE(responder.unexpected()[0].find(L"unknown dialog"), std::wstring::npos);
  EXPECT_TRUE(responder.messages().empty());
}

TEST(DialogResponderOtherDialog, IsLeftAloneWhenAskedWhileBoxesAreAnswered) {
  DialogResponder responder(GetCurrentProcessId(), OtherDialogs::LeaveAlone);
  ApplicationDialog dialog;
  ASSERT_NE(dialog.window(), nullptr);
  pumpUntil([] { return false; }, 300);  // several scans see the dialog
  EXPECT_EQ(MessageBoxW(dialog.window(), L"Installation termin\u00e9e.", L"Dravik", MB_OK), IDOK);
  pumpUntil([] { return false; }, 300);
  EXPECT_TRUE(IsWindowVisible(dialog.window()));
  ASSERT_EQ(responder.messages().size(), 1u);
  EXPECT_EQ(responder.messages()[0].text, L"Installation termin\u00e9e.");
  EXPECT_NO_UNEXPECTED_DIALOGS(responder);
}

TEST(DialogResponderWaits, TimeOutWhenNothingComes) {
  DialogResponder responder;
  const ULONGLONG start = GetTickCount64();
  EXPECT_FALSE(responder.waitForMessages(1, 200));
  EXPECT_FALSE(responder.waitForSaveDialogs(1, 200));
  EXPECT_LT(GetTickCount64() - start, 2000u);
}
