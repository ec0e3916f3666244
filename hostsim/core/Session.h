// The simulator's state that every automation object shares: the open
// documents and which one is active, the menus add-ins added, the loaded
// add-ins, the event sinks, the call log, the planned answers and the reference
// audit. Document-level changes made here raise the host's events.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ComRef.h"
#include "core/CallLog.h"
#include "core/Document.h"

namespace hostsim {

struct MenuEntry {
  int documentKind;
  std::wstring menu, item, callback;
  long position;
  bool topMenu;
};

struct LoadedAddin {
  std::wstring path;
  HMODULE module;
};

// The time spent answering clients' calls, without the time the clients'
// own event handlers take inside a call: a benchmark tells by it how much of
// a client's run was the host's work. Calls nest (an event handler calls
// back), so the clock follows who is running: the host inside a call, the
// client inside an event.
class HostClock {
 public:
  // While alive, the host (true) or a client (false) is running.
  class Running {
   public:
    Running(HostClock& clock, bool host) : clock_(clock) { clock_.enter(host); }
    ~Running() { clock_.leave(); }
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;

   private:
    HostClock& clock_;
  };
  double seconds() const;
  void reset() { ticks_ = 0; }

 private:
  void enter(bool host);
  void leave();
  void account();
  std::vector<bool> running_;  // innermost last; empty: the client runs
  long long last_ = 0, ticks_ = 0;
};

class Session : public std::enable_shared_from_this<Session> {
 public:
  Session() = default;
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Documents. Opening a path that is open already gives that document; an
  // opened document's file is held, shared with no one, until it is closed.
  std::shared_ptr<Document> open(const std::wstring& path, long kind, long& error);  // kind 0: any
  // A new part that was never saved (empty path), active.
  std::shared_ptr<Document> addUnsaved(PartModel part);
  std::shared_ptr<Document> findByName(const std::wstring& name) const;
  std::shared_ptr<Document> findByPath(const std::wstring& path) const;
  bool activate(const std::shared_ptr<Document>& document);
  bool close(const std::shared_ptr<Document>& document);
  bool save(Document& document);                             // to its own file
  bool saveAs(Document& document, const std::wstring& path);  // it then stands for that file
  std::shared_ptr<Document> active() const { return active_; }
  std::vector<std::shared_ptr<Document>> documents() const { return documents_; }

  // Opening an assembly loads its whole tree, as the host does: each
  // sub-assembly is the open document of its path or else its file (parsed
  // once per modification time), and each component is resolved against its
  // holder's folder as the folders are at that moment. A component that
  // repeats an ancestor's file gets no children, so no tree is endless.
  std::shared_ptr<const Component> loadTree(const Document& assembly);
  std::shared_ptr<const Document> assemblyAt(const std::wstring& path);  // open or on disk; null when none

  // Events: sinks advised on the application's connection point.
  DWORD advise(ComRef<IDispatch> sink);  // 0 when refused
  bool unadvise(DWORD cookie);
  void releaseSinks();

  std::vector<MenuEntry> menus;
  std::vector<LoadedAddin> addins;
  CallLog log;
  AnswerPlan plans;
  HostClock clock;

  // Reference audit: every reference on an automation object counts; those
  // the simulator holds itself are subtracted.
  std::atomic<long> references{0};
  std::atomic<long> internalReferences{0};

  // Called after documents, the active document or the menus changed.
  std::function<void()> changed;
  void notifyChanged() const {
    if (changed) changed();
  }

 private:
  void raise(DISPID event, std::vector<VARIANT> argumentsInOrder);
  void raiseActiveChanged();
  void setActive(std::shared_ptr<Document> document);

  std::vector<std::shared_ptr<Document>> documents_;  // least recently active first
  std::shared_ptr<Document> active_;
  int untitled_ = 0;
  struct CachedFile {
    unsigned long long modified, size;
    std::shared_ptr<const Document> assembly;  // null: not an assembly
  };
  std::map<std::wstring, CachedFile> files_;
  struct Sink {
    DWORD cookie;
    ComRef<IDispatch> sink;
  };
  std::vector<Sink> sinks_;
  DWORD nextCookie_ = 1;
};

}  // namespace hostsim
