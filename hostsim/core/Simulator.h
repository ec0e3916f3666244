// The host simulator as a library: a stand-in host application that answers
// the automation operations an add-in relies on, with direct control for
// tests (not recorded in the call log) and the checks tests need: the call
// log, the reference audit and fault injection.
#pragma once

#include <oaidl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace hostsim {

class Session;
class Registrations;

// loadAddin's value when the library cannot be loaded is the HRESULT of the
// system error (HRESULT_FROM_WIN32); when it lacks InitUserDLL3 it is
// HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND).
class Simulator {
 public:
  Simulator();   // creates the HostApplication object; no registration yet
  ~Simulator();  // revokes what it registered
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  IDispatch* application();  // borrowed
  IDispatch* activeDocumentObject();  // a new reference, or null; not logged
  bool registerRunning();
  bool registerPartDocumentClass();
  void revokeRegistrations();

  // Direct control: raises the host events as the real host would.
  bool open(const std::wstring& path, long* error = nullptr);
  bool activate(const std::wstring& name);
  bool close(const std::wstring& name);
  std::wstring activeDocumentPath() const;
  std::vector<std::wstring> openDocumentPaths() const;

  // Add-ins and menus.
  long loadAddin(const std::wstring& dllPath);
  // Loads every DLL of the folder that exports InitUserDLL3; one (path, value) each.
  std::vector<std::pair<std::wstring, long>> loadAddinsFromFolder(const std::wstring& folder);
  bool invokeExport(const std::wstring& exportName);
  struct MenuEntry {
    int documentKind;
    std::wstring menu, item, callback;
    long position;
    bool topMenu;
  };
  std::vector<MenuEntry> menus() const;
  bool pickMenu(const std::wstring& item);

  // Call log.
  std::vector<std::wstring> callLines() const;
  void clearCallLog();
  bool writeCallLog(const std::wstring& path) const;

  // References clients hold on the automation objects handed out.
  long liveReferences() const;

  void failCall(const std::wstring& operation, int nth = 1, const std::wstring& description = L"");

  std::wstring dump(const std::wstring& path);

  // Called after documents, the active document or the menus changed (the main window redraws).
  void setChangeListener(std::function<void()> listener);
  int activeDocumentKind() const;  // 0 without an active document

 private:
  bool callExport(const std::wstring& library, const std::wstring& exportName);

  std::shared_ptr<Session> session_;
  IDispatch* application_ = nullptr;
  std::unique_ptr<Registrations> registrations_;
  bool uninitializeCom_ = false;
};

bool writePartFixture(const std::wstring& path, const std::wstring& shape);
bool writeAssemblyFixture(const std::wstring& path, const std::vector<std::wstring>& children);
std::wstring formatNumber(double value);

}  // namespace hostsim
