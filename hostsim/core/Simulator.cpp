#include "core/Simulator.h"

#include <windows.h>

#include "core/Dump.h"
#include "core/Fixtures.h"
#include "core/Objects.h"
#include "core/Paths.h"
#include "core/Registration.h"
#include "core/Session.h"
#include "core/Utf8.h"

namespace hostsim {

Simulator::Simulator() : session_(std::make_shared<Session>()) {
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  uninitializeCom_ = SUCCEEDED(hr);
  application_ = newApplicationObject(session_);
  ++session_->internalReferences;  // the simulator's own reference
  registrations_ = std::make_unique<Registrations>(session_, application_.Get());
}

Simulator::~Simulator() {
  registrations_.reset();
  session_->changed = nullptr;
  session_->releaseSinks();
  --session_->internalReferences;
  application_.Reset();
  for (const LoadedAddin& addin : session_->addins) FreeLibrary(addin.module);
  session_->addins.clear();
  if (uninitializeCom_) CoUninitialize();
}

IDispatch* Simulator::application() { return application_.Get(); }

ComRef<IDispatch> Simulator::activeDocumentObject() {
  auto document = session_->active();
  return document ? newDocumentObject(session_, document) : nullptr;
}

ComRef<IDispatch> Simulator::activeConfigurationObject() {
  auto document = session_->active();
  return document && !document->answers.noConfiguration ? newConfigurationObject(session_, document) : nullptr;
}

ComRef<IDispatch> Simulator::componentObject(const std::vector<size_t>& childIndexes) {
  auto document = session_->active();
  if (!document || !document->tree || document->answers.noRootComponent) return nullptr;
  std::shared_ptr<const Component> node = document->tree;
  for (size_t index : childIndexes) {
    if (index >= node->children.size()) return nullptr;
    node = node->children[index];
  }
  return newComponentObject(session_, document, node);
}
bool Simulator::registerRunning() { return registrations_->registerRunning(); }
bool Simulator::registerPartDocumentClass() { return registrations_->registerPartDocumentClass(); }
void Simulator::revokeRegistrations() { registrations_->revoke(); }

bool Simulator::open(const std::wstring& path, long* error) {
  long code = 0;
  bool ok = session_->open(path, 0, code) != nullptr;
  if (error) *error = code;
  return ok;
}

bool Simulator::newDocument(const std::wstring& shape) {
  PartModel part = PartModel::withReferencePlanes();
  if (!shape.empty() && !buildPartShape(shape, part)) return false;
  return session_->addUnsaved(std::move(part)) != nullptr;
}

bool Simulator::activate(const std::wstring& name) {
  auto document = session_->findByName(name);
  return document && session_->activate(document);
}

bool Simulator::close(const std::wstring& name) {
  auto document = session_->findByName(name);
  return document && session_->close(document);
}

std::wstring Simulator::activeDocumentPath() const {
  auto document = session_->active();
  return document ? document->path : std::wstring();
}

std::vector<std::wstring> Simulator::openDocumentPaths() const {
  std::vector<std::wstring> paths;
  for (const auto& document : session_->documents()) paths.push_back(document->path);
  return paths;
}

std::vector<Simulator::OpenDocument> Simulator::openDocuments() const {
  std::vector<OpenDocument> documents;
  for (const auto& document : session_->documents())
    documents.push_back({document->path, document->name(), document == session_->active()});
  return documents;
}

int Simulator::activeDocumentKind() const {
  auto document = session_->active();
  return document ? static_cast<int>(document->kind) : 0;
}

long Simulator::loadAddin(const std::wstring& dllPath) {
  HMODULE module = LoadLibraryW(dllPath.c_str());
  if (!module) return HRESULT_FROM_WIN32(GetLastError());
  using InitFunction = long (*)();
  auto init = reinterpret_cast<InitFunction>(reinterpret_cast<void (*)()>(GetProcAddress(module, "InitUserDLL3")));
  if (!init) {
    FreeLibrary(module);
    return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
  }
  // Listed before the call: the add-in may add menus whose callbacks name it.
  session_->addins.push_back({dllPath, module});
  return init();
}

std::vector<std::pair<std::wstring, long>> Simulator::loadAddinsFromFolder(const std::wstring& folder) {
  std::vector<std::pair<std::wstring, long>> loaded;
  std::wstring prefix = folder;
  if (!prefix.empty() && prefix.back() != L'\\') prefix += L'\\';
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((prefix + L"*.dll").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return loaded;
  std::vector<std::wstring> candidates;
  do {
    // Folders (also those named *.dll) and reparse points are no add-ins.
    if (data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    candidates.push_back(prefix + data.cFileName);
  } while (FindNextFileW(find, &data));
  FindClose(find);
  for (const std::wstring& path : candidates) {
    long value = loadAddin(path);
    if (value != HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND)) loaded.emplace_back(path, value);
  }
  return loaded;
}

bool Simulator::callExport(const std::wstring& library, const std::wstring& exportName) {
  const std::string name = toUtf8(exportName);
  for (const LoadedAddin& addin : session_->addins) {
    if (!library.empty() && !sameFileName(fileStem(addin.path), library)) continue;
    using Command = void (*)();
    if (auto command = reinterpret_cast<Command>(GetProcAddress(addin.module, name.c_str()))) {
      command();
      return true;
    }
  }
  return false;
}

bool Simulator::invokeExport(const std::wstring& exportName) { return callExport(L"", exportName); }

std::vector<Simulator::MenuEntry> Simulator::menus() const {
  std::vector<MenuEntry> entries;
  for (const auto& e : session_->menus)
    entries.push_back({e.documentKind, e.menu, e.item, e.callback, e.position, e.topMenu});
  return entries;
}

bool Simulator::pickMenu(const std::wstring& item) {
  const int kind = activeDocumentKind();
  for (const auto& e : session_->menus) {
    if (e.topMenu || e.documentKind != kind || e.item != item) continue;
    // The callback is "Library@Export".
    size_t at = e.callback.find(L'@');
    if (at == std::wstring::npos) return false;
    return callExport(e.callback.substr(0, at), e.callback.substr(at + 1));
  }
  return false;
}

std::vector<std::wstring> Simulator::callLines() const { return session_->log.lines(); }
size_t Simulator::callLineCount() const { return session_->log.size(); }
std::wstring Simulator::callLine(size_t index) const { return session_->log.line(index); }
void Simulator::clearCallLog() { session_->log.clear(); }
void Simulator::setCallLogLimit(size_t limit) { session_->log.setLimit(limit); }

double Simulator::hostSeconds() const { return session_->clock.seconds(); }
void Simulator::resetHostSeconds() { session_->clock.reset(); }
bool Simulator::writeCallLog(const std::wstring& path) const { return session_->log.writeTo(path); }

long Simulator::liveReferences() const { return session_->references - session_->internalReferences; }

void Simulator::failCall(const std::wstring& operation, int nth, const std::wstring& description) {
  session_->plans.add(operation, nth, PlannedKind::Fail, description);
}
void Simulator::refuseCall(const std::wstring& operation, int nth) {
  session_->plans.add(operation, nth, PlannedKind::Refuse, L"");
}
void Simulator::answerOddly(const std::wstring& operation, int nth, const VARIANT* value) {
  session_->plans.add(operation, nth, PlannedKind::Odd, L"", value);
}

std::wstring Simulator::dump(const std::wstring& path) { return dumpDocument(*session_, path); }

bool Simulator::partBody(const std::wstring& path, std::vector<Triangle>& triangles) const {
  std::shared_ptr<Document> open = session_->findByPath(path);
  Document file;
  if (!open && readDocumentFile(fullPath(path), file, nullptr, kPartKind) != 0) return false;
  const Document& document = open ? *open : file;
  if (document.kind != kPartKind) return false;
  triangles = document.part.body().triangles;
  return true;
}

bool Simulator::activePartBody(std::vector<Triangle>& triangles) const {
  auto document = session_->active();
  if (!document || document->kind != kPartKind) return false;
  triangles = document->part.body().triangles;
  return true;
}

void Simulator::setChangeListener(std::function<void()> listener) { session_->changed = std::move(listener); }

}  // namespace hostsim
