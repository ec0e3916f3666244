#include "frame/AddinApp.h"

#include "Messages.h"
#include "command/Dialogs.h"
#include "frame/AddinAboutDialog.h"
#include "frame/CommandBarrier.h"
#include "frame/HostConnection.h"

namespace zelm {

// 1. The host; 2. the library kept loaded; 3. the host's events heard;
// 4. the first menu pass.
void AddinApp::Start() {
  started_ = true;
  host_ = HostApplication(FindHostApplication());
  if (!LoadOwnLibrary()) {
    ShowMessage(messages::kCannotLoadItself);
    return;
  }
  ListenToHost();
  // The add-in is in place by now: a host failure in the first menu pass is
  // told to the user and does not undo the start (the next host event makes
  // another pass).
  RunCommand([this] { menus_.InstallForActiveDocument(); });
}

// Loading ourselves by name takes one more reference on the library, which
// is never given back: the add-in stays in the process until it ends, so the
// sink the host holds can never point into an unloaded library.
//
// By name, the loader first looks for an already loaded module of that base
// name (wherever it was loaded from), then searches the executable's folder,
// the system folders, the current folder and PATH (Windows and Wine alike).
// A library loaded under another name therefore does not find itself.
bool AddinApp::LoadOwnLibrary() {
  ownModule_ = LoadLibraryW(L"ZELM_Compact.dll");
  return ownModule_ != nullptr;
}

// Without a host there is nothing to listen to; whether advising worked is
// not looked at, since the add-in works without events (only its menus do
// not appear).
void AddinApp::ListenToHost() {
  eventSink_ = HostEventSink::Create(menus_);
  if (host_) eventSink_->Connect(host_.Get());
}

void AddinApp::RunMenuCommand(CommandFunction command) noexcept {
  if (commandRunning_) {
    ShowMessageNoThrow(messages::kCommandRunning);
    return;
  }
  commandRunning_ = true;
  CommandContext context{host_, {}};
  RunCommand([&] { command(context); }, context.failureLines);
  ReportLinesLeft(context.failureLines);
  commandRunning_ = false;
}

// The dialog reads its template and bitmap from the module it is given: the
// library as it loaded itself, or, before that, as the loader loaded it.
void AddinApp::ShowAbout() const { AddinAboutDialog(ownModule_ ? ownModule_ : libraryModule_).DoModal(); }

}  // namespace zelm
