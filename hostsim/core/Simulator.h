// The host simulator as a library: a stand-in host application that answers
// the automation operations an add-in relies on, with direct control for
// tests (not recorded in the call log) and the checks tests need: the call
// log, the reference audit and planned answers.
#pragma once

#include <oaidl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ComRef.h"
#include "core/Fixtures.h"
#include "core/Geometry.h"

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
  // New objects for direct calls, or null; getting them is not logged: the
  // active document, its active configuration, and a component of its tree
  // reached from the root by child indexes from 0 (none: the root).
  ComRef<IDispatch> activeDocumentObject();
  ComRef<IDispatch> activeConfigurationObject();
  ComRef<IDispatch> componentObject(const std::vector<size_t>& childIndexes);
  bool registerRunning();
  bool registerPartDocumentClass();
  void revokeRegistrations();

  // Direct control: raises the host events as the real host would.
  bool open(const std::wstring& path, long* error = nullptr);
  // A new part that was never saved (empty path, named "Pièce1", "Pièce2"...),
  // made active; false for an unknown fixture shape (Fixtures.h).
  bool newDocument(const std::wstring& shape = L"");
  bool activate(const std::wstring& name);
  bool close(const std::wstring& name);
  std::wstring activeDocumentPath() const;
  std::vector<std::wstring> openDocumentPaths() const;  // least recently active first
  struct OpenDocument {
    std::wstring path, name;  // a document never saved has an empty path
    bool active;
  };
  std::vector<OpenDocument> openDocuments() const;  // least recently active first

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
  size_t callLineCount() const;  // without copying the log
  std::wstring callLine(size_t index) const;
  void clearCallLog();
  // At most this many lines are kept from here on (0: the log is off; later
  // calls are not recorded); unlimited by default.
  void setCallLogLimit(size_t limit);

  // Seconds spent answering calls (not counting the clients' event handlers
  // inside them) since the last reset.
  double hostSeconds() const;
  void resetHostSeconds();
  static constexpr size_t kUnlimitedCallLog = static_cast<size_t>(-1);
  bool writeCallLog(const std::wstring& path) const;

  // References clients hold on the automation objects handed out.
  long liveReferences() const;

  // Planned answers: the nth next call of the operation ("SaveToPath" or
  // "Document.SaveToPath") fails with DISP_E_EXCEPTION, is refused (answers
  // empty, does nothing), or is done and answered with a value of another
  // type (by default a BSTR "odd", or the I4 1 where text is documented).
  void failCall(const std::wstring& operation, int nth = 1, const std::wstring& description = L"");
  void refuseCall(const std::wstring& operation, int nth = 1);
  void answerOddly(const std::wstring& operation, int nth = 1, const VARIANT* value = nullptr);

  std::wstring dump(const std::wstring& path);
  // The body of a part: of the open document of that path, or else of the
  // file (read once, shared with other readers). False for an assembly, or
  // when neither exists or the file is unreadable.
  bool partBody(const std::wstring& path, std::vector<Triangle>& triangles) const;
  // The active document's body; false when no part is active.
  bool activePartBody(std::vector<Triangle>& triangles) const;

  // Called after documents, the active document or the menus changed (the main window redraws).
  void setChangeListener(std::function<void()> listener);
  int activeDocumentKind() const;  // 0 without an active document

 private:
  bool callExport(const std::wstring& library, const std::wstring& exportName);

  std::shared_ptr<Session> session_;
  ComRef<IDispatch> application_;
  std::unique_ptr<Registrations> registrations_;
  bool uninitializeCom_ = false;
};

}  // namespace hostsim
