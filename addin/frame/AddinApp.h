#pragma once
// The add-in's single application object. It lives from InitUserDLL3 until
// the process ends; nothing is torn down when the host lets the library go.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "host/DispatchDriver.h"
#include "host/HostObjects.h"

class HostEventSink;

class AddinApp {
 public:
  explicit AddinApp(std::unique_ptr<DispatchDriver> connection = nullptr);
  AddinApp(const AddinApp&) = delete;
  AddinApp& operator=(const AddinApp&) = delete;

  // The HostApplication object, owned. Commands only invoke operations on
  // it, through Host(); they never attach, release or replace it.
  std::unique_ptr<DispatchDriver> HostConnection;
  HMODULE ownModule = nullptr;
  HMODULE savedResourceModule = nullptr;
  HostEventSink* eventSink = nullptr;
  // Filled and emptied by the assembly commands.
  std::vector<std::wstring> documentPaths;

  BOOL StartAddin();
  void FindHostApplication();
  bool AttachRunningHost();

  // A view of the host connection that holds no reference of its own.
  HostApplication Host() const;
};

// Null until InitUserDLL3 runs; never reset.
extern AddinApp* theAddinApp;
