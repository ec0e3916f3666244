// Drives real message boxes, save-file dialogs and an application dialog
// through DialogResponder. Another process's dialogs are watched by the
// installer's suite (InstallerDialogTest), which answers the real installer.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>

#include "support/DialogResponderGTest.h"
#include "support/TestFiles.h"

using testsupport::CheckedDialogResponder;
using hostsim::DialogResponder;
using hostsim::OtherDialogs;

namespace {

const std::wstring kTemp = [] {
  wchar_t path[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, path);
  return std::wstring(path);
}();

// A save request as the add-in makes it (wide), or as an 8-bit program does.
template <typename Request, typename Char>
BOOL askSave(BOOL(WINAPI* ask)(Request*), Char* file, const Char* filter, const Char* extension, DWORD flags = 0) {
  Request request{};
  request.lStructSize = sizeof request;
  request.lpstrFilter = filter;
  request.lpstrDefExt = extension;
  request.lpstrFile = file;
  request.nMaxFile = MAX_PATH;
  request.Flags = OFN_HIDEREADONLY | flags;
  return ask(&request);
}
BOOL askSave(wchar_t* file, DWORD flags = 0) {
  return askSave(GetSaveFileNameW, file, L"Fichiers Pièce (*.SLDPRT)\0*.SLDPRT\0", L"SLDPRT", flags);
}

// Runs this thread's messages until `done` holds or the time is up.
template <typename Done>
bool pumpUntil(Done done, DWORD timeoutMs) {
  for (const ULONGLONG end = GetTickCount64() + timeoutMs; !done();) {
    if (GetTickCount64() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);
  }
  return true;
}

TEST(DialogResponder, RecordsEachMessageBoxAndPressesItsFirstButton) {
  DialogResponder responder;
  const wchar_t text[] = L"Fichier compacté avec succès dans le dossier\nC:\\Pièces\\";
  EXPECT_FALSE(responder.waitForMessages(1, 50)) << "a wait ends when its time is up";
  EXPECT_EQ(MessageBoxW(nullptr, text, L"Compression été", MB_OK), IDOK);
  EXPECT_NO_UNEXPECTED_DIALOGS(responder);
  EXPECT_EQ(MessageBoxW(nullptr, L"Continuer ?", L"Question", MB_YESNO), IDYES);
  ASSERT_TRUE(responder.waitForMessages(2, 0));
  EXPECT_EQ(responder.messages()[0].text, text);
  EXPECT_EQ(responder.messages()[0].caption, L"Compression été");
  ASSERT_EQ(responder.unexpected().size(), 1u) << "a box with a choice was not expected";
  EXPECT_NE(responder.unexpected()[0].find(L"Continuer ?"), std::wstring::npos);
}

// Answers in the order queued: a cancel (the request recorded as the caller
// made it), a path typed (the dialog adds the extension), another for an
// 8-bit caller; an unqueued dialog is cancelled and fails a checked test.
TEST(DialogResponder, AnswersSaveDialogsInTheOrderQueuedAndRecordsTheirRequests) {
  DialogResponder responder;
  responder.queueSaveCancel();
  responder.queueSavePath(kTemp + L"copie");
  responder.queueSavePath(kTemp + L"assemblage");
  wchar_t first[MAX_PATH] = L"bride.SLDPRT", second[MAX_PATH] = L"bride.SLDPRT";
  char eightBit[MAX_PATH] = "ensemble.SLDASM";
  EXPECT_FALSE(askSave(first));
  EXPECT_EQ(CommDlgExtendedError(), 0u);
  EXPECT_STREQ(first, L"bride.SLDPRT");
  ASSERT_TRUE(askSave(second)) << CommDlgExtendedError();
  EXPECT_EQ(CompareStringOrdinal(second, -1, (kTemp + L"copie.SLDPRT").c_str(), -1, TRUE), CSTR_EQUAL)
      << testsupport::Utf8(second);
  EXPECT_TRUE(askSave(GetSaveFileNameA, eightBit, "Fichiers Assemblage (*.SLDASM)\0*.SLDASM\0", "SLDASM"));
  EXPECT_EQ(responder.pendingSaveAnswers(), 0u);
  EXPECT_NO_UNEXPECTED_DIALOGS(responder);
  ASSERT_TRUE(responder.waitForSaveDialogs(3, 0));
  const auto records = responder.saveDialogs();
  const hostsim::SaveDialogRecord& cancelled = records[0];
  EXPECT_TRUE(cancelled.flagsKnown);
  EXPECT_EQ(cancelled.filter + L" " + cancelled.defaultExtension + L" " + cancelled.initialName + L" " + cancelled.fileType,
            L"Fichiers Pièce (*.SLDPRT)|*.SLDPRT| SLDPRT bride.SLDPRT Fichiers Pièce (*.SLDPRT)");
  EXPECT_EQ(cancelled.flags, static_cast<DWORD>(OFN_HIDEREADONLY));
  EXPECT_FALSE(cancelled.hadOwner);
  EXPECT_EQ(records[0].answer + L" " + records[1].answer, L"cancel " + kTemp + L"copie");
  EXPECT_EQ(records[2].filter + L" " + records[2].defaultExtension + L" " + records[2].initialName,
            L"Fichiers Assemblage (*.SLDASM)|*.SLDASM| SLDASM ensemble.SLDASM");

  // One responder per process at a time: a second one would race the first
  // for the next dialog, and miss it when the first closes it sooner.
  responder.stop();
  EXPECT_NONFATAL_FAILURE(
      {
        CheckedDialogResponder checked;
        wchar_t file[MAX_PATH] = L"bride.SLDPRT";
        EXPECT_FALSE(askSave(file));
        EXPECT_EQ(checked.saveDialogs().at(0).answer, L"cancel");
      },
      "save dialog with no queued answer");
}

// The dialog refuses a path in a missing folder, says so in a message box and
// stays open: the responder answers the box, then cancels the dialog.
TEST(DialogResponder, ADialogThatStaysOpenAfterItsAnswerIsCancelled) {
  DialogResponder responder;
  responder.queueSavePath(kTemp + L"no such folder\\copie.SLDPRT");
  wchar_t file[MAX_PATH] = L"bride.SLDPRT";
  EXPECT_FALSE(askSave(file, OFN_PATHMUSTEXIST));
  EXPECT_EQ(responder.messages().size(), 1u);
  ASSERT_EQ(responder.unexpected().size(), 1u);
  EXPECT_NE(responder.unexpected()[0].find(L"still open"), std::wstring::npos);
}

// A dialog of the program's own (a static 0xFFFF as message boxes have, but
// a button id of its own) is closed and reported, or left to the test.
TEST(DialogResponder, AnotherDialogIsClosedAndReportedOrLeftAlone) {
  for (OtherDialogs others : {OtherDialogs::CloseAndReport, OtherDialogs::LeaveAlone}) {
    DialogResponder responder(GetCurrentProcessId(), others);
    HWND dialog = CreateWindowExW(0, L"#32770", L"Dravik", WS_POPUP | WS_CAPTION, 0, 0, 300, 120, nullptr, nullptr,
                                  nullptr, nullptr);
    auto procedure = +[](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
      return message == WM_CLOSE && DestroyWindow(window);
    };
    SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(procedure));
    CreateWindowExW(0, L"Static", L"Prêt", WS_CHILD | WS_VISIBLE, 10, 5, 100, 14, dialog, HMENU(0xFFFF), nullptr, nullptr);
    CreateWindowExW(0, L"Button", L"Installer", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 25, 100, 14, dialog,
                    HMENU(1001), nullptr, nullptr);
    ShowWindow(dialog, SW_SHOW);  // complete before the responder sees it
    if (others == OtherDialogs::CloseAndReport) {
      EXPECT_TRUE(pumpUntil([&] { return !IsWindow(dialog); }, 10000));
      ASSERT_EQ(responder.unexpected().size(), 1u);
      EXPECT_NE(responder.unexpected()[0].find(L"unknown dialog"), std::wstring::npos);
    } else {
      // The second box is answered in a later scan than the one that met the
      // dialog: by then the responder has made up its mind about it.
      for (int box = 0; box < 2; ++box)
        EXPECT_EQ(MessageBoxW(dialog, L"Installation terminée.", L"Dravik", MB_OK), IDOK);
      for (MSG msg; PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&msg);  // a close it posted
      EXPECT_TRUE(IsWindow(dialog));
      EXPECT_NO_UNEXPECTED_DIALOGS(responder);
      DestroyWindow(dialog);
    }
    EXPECT_EQ(responder.messages().size(), others == OtherDialogs::LeaveAlone ? 2u : 0u);
  }
}

// A dialog its program takes down while the responder looks at it (here: it
// hides itself when the responder asks for its title) is not reported.
TEST(DialogResponder, ADialogThatGoesWhileLookedAtIsNoUnexpectedOne) {
  DialogResponder responder;
  HWND dialog = CreateWindowExW(0, L"#32770", L"Progression", WS_POPUP | WS_CAPTION, 0, 0, 300, 120, nullptr, nullptr,
                                nullptr, nullptr);
  static bool asked;
  asked = false;
  auto procedure = +[](HWND window, UINT message, WPARAM, LPARAM) -> INT_PTR {
    if (message != WM_GETTEXTLENGTH || !InSendMessage()) return FALSE;
    asked = true;
    ShowWindow(window, SW_HIDE);
    return FALSE;
  };
  SetWindowLongPtrW(dialog, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(procedure));
  ShowWindow(dialog, SW_SHOW);
  EXPECT_TRUE(pumpUntil([&] { return asked; }, 10000));
  // Answered in a later scan: by then the responder is done with the dialog.
  EXPECT_EQ(MessageBoxW(nullptr, L"Terminé.", L"Dravik", MB_OK), IDOK);
  EXPECT_NO_UNEXPECTED_DIALOGS(responder);
  DestroyWindow(dialog);
}

}  // namespace
