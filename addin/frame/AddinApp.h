#pragma once
// The add-in's single application object. It lives from InitUserDLL3 until
// the process ends; nothing is torn down when the host lets the library go.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "frame/EventSink.h"
#include "host/ComRef.h"
#include "host/DispatchDriver.h"
#include "host/HostObjects.h"

class AddinApp {
 public:
  explicit AddinApp(std::unique_ptr<DispatchDriver> connection = nullptr);
  AddinApp(const AddinApp&) = delete;
  AddinApp& operator=(const AddinApp&) = delete;

  // The HostApplication object, owned. Commands only invoke operations on
  // it, through Host(); they never attach, release or replace it.
  std::unique_ptr<DispatchDriver> HostConnection;
  // The library's own module, loaded once more by name so that it stays in
  // the process whatever the host does; never freed.
  HMODULE ownModule = nullptr;
  // The resource module that was current before UseOwnResources.
  HMODULE savedResourceModule = nullptr;
  // Holds the sink's first reference, until the process ends. The sink stays
  // advised on the host for as long.
  ComRef<HostEventSink> eventSink;
  // The menu command running now: one at a time (RunMenuCommand), and the
  // lines its guards leave for the message that ends it on a failure.
  struct RunningCommand {
    bool running = false;
    std::vector<std::wstring> failureLines;
  } command;

  // Connects to the host, keeps the library loaded, listens to the host's
  // events and makes the first menu pass. FALSE when the library could not
  // load itself.
  BOOL StartAddin();
  // Attaches the running host application, or else a newly created part
  // document object of the host, or nothing.
  void FindHostApplication();
  bool AttachRunningHost();

  // The about box reads its template and bitmap from the current resource
  // module: the add-in's own library between these two calls.
  void UseOwnResources();
  void RestoreResources();

  // A view of the host connection that holds no reference of its own.
  HostApplication Host() const;

 private:
  bool AttachCreatedPartDocument();
  bool LoadOwnLibrary();
  void ListenToHost();
};

// Null until InitUserDLL3 runs; never reset.
extern AddinApp* theAddinApp;

// The document kinds as the host numbers them (DocumentKind, OpenDocument).
inline constexpr long kPartDocumentKind = 1;
inline constexpr long kAssemblyDocumentKind = 2;

// What every command starts from: the host application held by the add-in,
// as a view that owns nothing. Before the add-in has been started the view
// is empty: every call on it answers empty, so a command finds no active
// document.
inline HostApplication CommandHost() { return theAddinApp ? theAddinApp->Host() : HostApplication(); }

// The library's own module handle, as the system loader handed it to the
// entry point, whatever name the library was loaded under.
HMODULE LibraryModule() noexcept;

// The module dialogs and images are read from: the host's executable, or
// the add-in's library while its about box is up.
HMODULE CurrentResourceModule() noexcept;
