#include "Session.h"

#include <algorithm>

#include "Objects.h"
#include "Text.h"

namespace hostsim {

namespace {

std::wstring fullPath(const std::wstring& path) {
  wchar_t buffer[MAX_PATH * 2];
  DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH * 2, buffer, nullptr);
  return length == 0 || length >= MAX_PATH * 2 ? path : std::wstring(buffer, length);
}

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
  for (const auto& document : documents_)
    if (sameFileName(document->path, full)) return document;
  return nullptr;
}

std::shared_ptr<Document> Session::open(const std::wstring& path, long kind, long& error) {
  error = 0;
  if (auto existing = findByPath(path)) {
    if (kind != 0 && existing->kind != kind) {
      error = kOpenKindMismatch;
      return nullptr;
    }
    activate(existing);
    return existing;
  }
  auto document = std::make_shared<Document>();
  error = readDocumentFile(fullPath(path), *document);
  if (error != 0) return nullptr;
  if (kind != 0 && document->kind != kind) {
    error = kOpenKindMismatch;
    return nullptr;
  }
  documents_.push_back(document);
  active_ = document;
  raise(1, {bstrVariant(document->name())});
  raiseActiveChanged();
  notifyChanged();
  return document;
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
  // keeps beyond the call counts as a client's reference.
  documentArgument.pdispVal = newDocumentObject(shared_from_this(), active_);
  ++internalReferences;
  VARIANT kindArgument;
  VariantInit(&kindArgument);
  kindArgument.vt = VT_I4;
  kindArgument.lVal = active_->kind;
  raise(2, {documentArgument, kindArgument});
  --internalReferences;
}

void Session::raise(DISPID event, std::vector<VARIANT> arguments) {
  std::reverse(arguments.begin(), arguments.end());  // DISPPARAMS hold the last argument first
  DISPPARAMS params{arguments.empty() ? nullptr : arguments.data(), nullptr,
                    static_cast<UINT>(arguments.size()), 0};
  std::vector<Sink> sinks = sinks_;  // a sink may unadvise while it handles the event
  for (const Sink& s : sinks) s.sink->AddRef();
  for (const Sink& s : sinks) {
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT argumentError = 0;
    s.sink->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, &exception,
                   &argumentError);
    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
  for (const Sink& s : sinks) s.sink->Release();
  for (VARIANT& argument : arguments) VariantClear(&argument);
}

DWORD Session::advise(IDispatch* sink) {
  if (!sink) return 0;
  sink->AddRef();
  sinks_.push_back({nextCookie_, sink});
  return nextCookie_++;
}

bool Session::unadvise(DWORD cookie) {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it)
    if (it->cookie == cookie) {
      IDispatch* sink = it->sink;
      sinks_.erase(it);
      sink->Release();
      return true;
    }
  return false;
}

void Session::releaseSinks() {
  std::vector<Sink> sinks;
  sinks.swap(sinks_);
  for (const Sink& s : sinks) s.sink->Release();
}

}  // namespace hostsim
