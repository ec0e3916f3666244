#include "core/Session.h"

#include <algorithm>
#include <unordered_set>

#include "core/Objects.h"
#include "core/Paths.h"

namespace hostsim {

namespace {

VARIANT bstrVariant(const std::wstring& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return v;
}

}  // namespace

std::shared_ptr<Document> Session::findByName(const std::wstring& name) const {
  for (auto it = documents_.rbegin(); it != documents_.rend(); ++it)
    if (sameFileName((*it)->name(), name)) return *it;
  return nullptr;
}

std::shared_ptr<Document> Session::findByPath(const std::wstring& path) const {
  const std::wstring full = fullPath(path);
  if (full.empty()) return nullptr;  // a document never saved has no path to be found by
  for (const auto& document : documents_)
    if (sameFileName(document->path, full)) return document;
  return nullptr;
}

std::shared_ptr<Document> Session::open(const std::wstring& path, long kind, long& error) {
  error = 0;
  if (kind != 0 && kind != kPartKind && kind != kAssemblyKind) {
    error = kOpenBadKind;
    return nullptr;
  }
  if (auto existing = findByPath(path)) {
    if (kind != 0 && existing->kind != kind) {
      error = kOpenKindMismatch;
      return nullptr;
    }
    activate(existing);
    return existing;
  }
  auto document = std::make_shared<Document>();
  error = readDocumentFile(fullPath(path), *document, &document->hold);
  if (error != 0) return nullptr;
  if (kind != 0 && document->kind != kind) {
    error = kOpenKindMismatch;
    return nullptr;  // its hold goes with it
  }
  if (document->kind == kAssemblyKind) document->tree = loadTree(*document);
  documents_.push_back(document);
  active_ = document;
  raise(1, {bstrVariant(document->name())});
  raiseActiveChanged();
  notifyChanged();
  return document;
}

std::shared_ptr<Document> Session::addUnsaved(PartModel part) {
  auto document = std::make_shared<Document>();
  document->part = std::move(part);
  document->title = L"Pi\u00E8ce" + std::to_wstring(++untitled_);
  documents_.push_back(document);
  setActive(document);  // not opened from a file: only the activation event
  return document;
}

bool Session::save(Document& document) {
  if (document.path.empty()) return false;  // never saved: it has no file yet
  document.hold.release();
  bool written = writeDocumentFile(document, document.path);
  document.hold.take(document.path);
  return written;
}

bool Session::saveAs(Document& document, const std::wstring& path) {
  const std::wstring full = fullPath(path);
  if (full.empty()) return false;
  if (auto other = findByPath(full)) return other.get() == &document && save(document);
  if (!writeDocumentFile(document, full)) return false;
  document.path = full;
  document.hold.take(full);
  notifyChanged();
  return true;
}

std::shared_ptr<const Document> Session::assemblyAt(const std::wstring& path) {
  if (auto open = findByPath(path)) return open->kind == kAssemblyKind ? open : nullptr;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return nullptr;
  const unsigned long long modified =
      (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
  const unsigned long long size = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  auto cached = files_.find(path);
  if (cached != files_.end() && cached->second.modified == modified && cached->second.size == size)
    return cached->second.assembly;
  auto file = std::make_shared<Document>();
  long error = readDocumentFile(path, *file, nullptr, kAssemblyKind);
  if (error != 0 && error != kOpenKindMismatch) return nullptr;  // unreadable now: asked again next time
  files_[path] = {modified, size, error == 0 ? file : nullptr};
  return error == 0 ? file : nullptr;
}

namespace {

// Loads one tree. A component stands for the file of its name beside the
// assembly that holds it when that folder has one, and else for its stored
// path (a relative one taken from the holder's folder); always a full path.
// Each folder is listed once a load: a missing name is then no lookup (under
// Wine a missing name costs a scan of its folder).
class TreeLoader {
 public:
  explicit TreeLoader(Session& session) : session_(session) {}

  std::shared_ptr<const Component> load(const std::wstring& path, const Document* assembly) {
    auto shared = subtrees_.find(path);
    if (shared != subtrees_.end()) return shared->second;
    auto node = std::make_shared<Component>();
    node->path = path;
    if (!assembly) {
      auto known = files_.find(path);  // a file is looked at once a load
      if (known == files_.end()) known = files_.emplace(path, session_.assemblyAt(path)).first;
      assembly = known->second.get();
    }
    if (!assembly) return node;
    node->emptyArray = assembly->answers.emptyChildrenArray;
    for (const std::wstring* above : ancestors_)
      if (sameFileName(*above, path)) {
        ++cuts_;
        return node;
      }
    const int cutsBefore = cuts_;
    ancestors_.push_back(&node->path);
    for (const std::wstring& stored : assembly->components) node->children.push_back(load(resolve(path, stored), nullptr));
    ancestors_.pop_back();
    // A subtree with no cut is the same wherever the file is used: one copy serves all.
    if (cuts_ == cutsBefore) subtrees_.emplace(path, node);
    return node;
  }

 private:
  std::wstring resolve(const std::wstring& holder, const std::wstring& stored) {
    const std::wstring folder = folderOfPath(holder);
    const std::wstring name = fileNameOfPath(stored);
    if (!folder.empty() && listing(folder).count(upper(name))) return fullPath(folder + name);
    return fullPath(isAbsolutePath(stored) || folder.empty() ? stored : folder + stored);
  }
  static std::wstring upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
  }
  const std::unordered_set<std::wstring>& listing(const std::wstring& folder) {
    auto found = listings_.find(upper(folder));
    if (found != listings_.end()) return found->second;
    std::unordered_set<std::wstring>& names = listings_[upper(folder)];
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(upper(data.cFileName));
    while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
  }

  Session& session_;
  std::map<std::wstring, std::shared_ptr<const Document>> files_;  // null: not an assembly
  std::map<std::wstring, std::shared_ptr<const Component>> subtrees_;
  std::vector<const std::wstring*> ancestors_;
  int cuts_ = 0;  // components that repeated an ancestor's file
  std::map<std::wstring, std::unordered_set<std::wstring>> listings_;
};

}  // namespace

std::shared_ptr<const Component> Session::loadTree(const Document& assembly) {
  return TreeLoader(*this).load(assembly.path, &assembly);
}

bool Session::activate(const std::shared_ptr<Document>& document) {
  auto it = std::find(documents_.begin(), documents_.end(), document);
  if (it == documents_.end()) return false;
  documents_.erase(it);
  documents_.push_back(document);
  setActive(document);
  return true;
}

bool Session::close(const std::shared_ptr<Document>& document) {
  auto it = std::find(documents_.begin(), documents_.end(), document);
  if (it == documents_.end()) return false;
  documents_.erase(it);
  document->closed = true;
  document->hold.release();
  std::shared_ptr<Document> previous = active_;
  if (active_ == document) active_ = documents_.empty() ? nullptr : documents_.back();
  raise(3, {});
  if (active_ && active_ != previous) raiseActiveChanged();
  notifyChanged();
  return true;
}

void Session::setActive(std::shared_ptr<Document> document) {
  if (document == active_) return;
  active_ = std::move(document);
  if (active_) raiseActiveChanged();
  notifyChanged();
}

void Session::raiseActiveChanged() {
  VARIANT documentArgument;
  VariantInit(&documentArgument);
  documentArgument.vt = VT_DISPATCH;
  // The object passed to the sinks is the simulator's own: only what a sink
  // keeps beyond the call counts as a client's reference. The argument owns
  // it; raise() clears the arguments.
  documentArgument.pdispVal = newDocumentObject(shared_from_this(), active_).Detach();
  ++internalReferences;
  VARIANT kindArgument;
  VariantInit(&kindArgument);
  kindArgument.vt = VT_I4;
  kindArgument.lVal = active_->kind;
  raise(2, {documentArgument, kindArgument});
  --internalReferences;
}

namespace {
long long ticks() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}
}  // namespace

double HostClock::seconds() const {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(ticks_) / static_cast<double>(frequency.QuadPart);
}

void HostClock::account() {
  const long long now = ticks();
  if (!running_.empty() && running_.back()) ticks_ += now - last_;
  last_ = now;
}

void HostClock::enter(bool host) {
  account();
  running_.push_back(host);
}

void HostClock::leave() {
  account();
  running_.pop_back();
}

void Session::raise(DISPID event, std::vector<VARIANT> arguments) {
  const HostClock::Running clientsHandleIt(clock, false);
  std::reverse(arguments.begin(), arguments.end());  // DISPPARAMS hold the last argument first
  DISPPARAMS params{arguments.empty() ? nullptr : arguments.data(), nullptr,
                    static_cast<UINT>(arguments.size()), 0};
  // Each sink is held for the whole event: a sink may unadvise while it handles it.
  std::vector<ComRef<IDispatch>> sinks;
  for (const Sink& s : sinks_) sinks.push_back(s.sink.Copy());
  for (const ComRef<IDispatch>& sink : sinks) {
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT argumentError = 0;
    sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, &exception, &argumentError);
    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  sinks.clear();
  for (VARIANT& argument : arguments) VariantClear(&argument);
}

DWORD Session::advise(ComRef<IDispatch> sink) {
  if (!sink) return 0;
  sinks_.push_back({nextCookie_, std::move(sink)});
  return nextCookie_++;
}

bool Session::unadvise(DWORD cookie) {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it)
    if (it->cookie == cookie) {
      const ComRef<IDispatch> leaving = std::move(it->sink);  // let go of once it is off the list
      sinks_.erase(it);
      return true;
    }
  return false;
}

void Session::releaseSinks() {
  std::vector<Sink> leaving;  // let go of once the list is empty
  leaving.swap(sinks_);
}

}  // namespace hostsim
