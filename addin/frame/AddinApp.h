#pragma once
// The add-in object: its connection to the host, its hold on its own
// library, its event sink and menus, and the one command running at a time.
// The library entry (frame/Exports.cpp) owns it and never destroys it: it
// lives until the process ends, since the host may keep the sink advised
// that long, and nothing is torn down when the host lets the library go.
// Everything else gets what it needs from it by reference.
#include <windows.h>

#include "command/CommandContext.h"
#include "frame/EventSink.h"
#include "frame/Menus.h"
#include "host/ComRef.h"
#include "host/HostObjects.h"

namespace zelm {

class AddinApp {
 public:
  // `libraryModule`: the library's own module, as the loader handed it to
  // the library entry.
  explicit AddinApp(HMODULE libraryModule) noexcept : libraryModule_(libraryModule) {}
  AddinApp(const AddinApp&) = delete;
  AddinApp& operator=(const AddinApp&) = delete;

  // Connects to the host, keeps the library loaded, listens to the host's
  // events and makes the first menu pass. Runs once: HasStarted from then on.
  void Start();
  bool HasStarted() const noexcept { return started_; }
  // The start loaded the library for good (it is in the process until the
  // process ends); false when the library could not load itself.
  bool StaysLoaded() const noexcept { return ownModule_ != nullptr; }

  // Runs one of the menu commands behind the barrier, one at a time, with a
  // context of its own. A command that reaches the add-in while another is
  // still running (a menu pick posted while the first one's dialog was up, a
  // host event) is refused with a message, and the first one goes on
  // undisturbed. Before the start there is no host: the command finds no
  // document.
  void RunMenuCommand(CommandFunction command) noexcept;

  // The about box, with the template and bitmap of the add-in's own library.
  void ShowAbout() const;

 private:
  bool LoadOwnLibrary();
  void ListenToHost();

  HMODULE libraryModule_;
  // The library loaded once more by name, so that it stays in the process
  // whatever the host does; never freed.
  HMODULE ownModule_ = nullptr;
  // The host application, owned; commands only invoke operations on it.
  HostApplication host_;
  Menus menus_{host_};
  // Holds the sink's first reference, until the process ends. The sink stays
  // advised on the host for as long.
  ComRef<HostEventSink> eventSink_;
  bool started_ = false;
  bool commandRunning_ = false;
};

}  // namespace zelm
