// The IDispatch that every simulator object is: a table of operations (DISPID,
// invoke kind, argument and result types), strict checking of what a caller
// passes, the call log, planned answers and the reference audit. A subclass
// only says what each operation does.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>
#include <vector>

#include "ComRef.h"
#include "core/Session.h"

namespace hostsim {

// PointRef: a point as the sketch takes it, VT_ARRAY | VT_BYREF | VT_R8 with
// one dimension of three elements from 0; anything else is a type mismatch.
enum class ArgType { Bstr, I4, R8, Bool, Variant, I4Out, PointRef };
enum class ResultType { None, Bstr, I4, Bool, Object, Variant };

struct Operation {
  DISPID id;
  WORD invokeKind;  // DISPATCH_METHOD, DISPATCH_PROPERTYGET or DISPATCH_PROPERTYPUT
  const wchar_t* name;
  std::vector<ArgType> args;  // for a put: the one value
  ResultType result;
};

// One received call: typed access to its arguments and a place for its result.
class Call {
 public:
  Call(const Operation& operation, const DISPPARAMS& params);
  ~Call();
  Call(const Call&) = delete;
  Call& operator=(const Call&) = delete;

  std::wstring text(size_t index) const;
  long integer(size_t index) const;
  double number(size_t index) const;
  bool boolean(size_t index) const;
  const VARIANT& variant(size_t index) const;  // a VARIANT passed by reference is looked through
  void setOut(size_t index, long value);

  void returnText(const std::wstring& value);
  void returnInteger(long value);
  void returnBoolean(bool value);
  void returnObject(ComRef<IDispatch> object);  // null for "no object"
  void returnVariant(VARIANT owned);

  VARIANT& result() { return result_; }
  std::wstring describeArguments() const;

 private:
  const VARIANT& raw(size_t index) const;
  const Operation& operation_;
  const DISPPARAMS& params_;
  VARIANT result_;
};

class AutomationObject : public IDispatch {
 public:
  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argumentError) override;

 protected:
  AutomationObject(std::shared_ptr<Session> session, const wchar_t* objectName,
                   const std::vector<Operation>& operations);
  virtual ~AutomationObject();
  virtual void perform(const Operation& operation, Call& call) = 0;
  // Further interfaces of a subclass (connection points, class info).
  virtual void* queryExtra(REFIID) { return nullptr; }
  // False once the document the object belongs to was closed: every call fails.
  virtual bool usable() const { return true; }

  std::shared_ptr<Session> session_;

 private:
  const Operation* find(DISPID id, WORD flags, bool& idKnown) const;
  HRESULT checkArguments(const Operation& operation, const DISPPARAMS& params, UINT* argumentError) const;
  void logLine(const std::wstring& call, const std::wstring& outcome) const;
  static HRESULT raise(EXCEPINFO* exception, const std::wstring& description);

  const wchar_t* objectName_;
  const std::vector<Operation>& operations_;
  std::atomic<ULONG> count_{1};
};

std::wstring formatVariant(const VARIANT& value);
std::wstring formatHresult(HRESULT hr);

}  // namespace hostsim
