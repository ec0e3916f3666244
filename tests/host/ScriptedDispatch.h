#pragma once
// A scripted IDispatch for tests of the host-call layer: it records every
// Invoke (dispatch id, flags, named arguments, arguments in the caller's
// order) and answers with the next scripted result or failure. It counts
// its own references so tests can check that nothing leaks or is released
// twice.
#include <windows.h>
#include <oleauto.h>

#include <deque>
#include <string>
#include <vector>

struct RecordedCall {
  DISPID id;
  WORD flags;
  std::vector<DISPID> named;
  std::vector<VARIANT> arguments;  // natural order, deep copies (cleared by the recorder)
  bool hadResultSlot;
};

class ScriptedDispatch : public IDispatch {
 public:
  ScriptedDispatch() = default;
  ~ScriptedDispatch();

  // The next Invoke answers with a copy of value.
  void AnswerWith(const VARIANT& value);
  void AnswerText(const wchar_t* text);
  void AnswerLong(long value);
  void AnswerBool(bool value);
  void AnswerObject(IDispatch* object);  // the answer carries a new reference
  // The next Invoke fails with hr; DISP_E_EXCEPTION carries description.
  void FailWith(HRESULT hr, const wchar_t* description = nullptr, bool deferred = false);
  // An I4 out argument (VT_I4|VT_BYREF) of the next call receives value.
  void FillOutLong(long value) { outLong_ = value; }

  const std::vector<RecordedCall>& calls() const { return calls_; }
  long references() const { return references_; }

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }  // a stack object: never freed
  // IDispatch
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* badArgument) override;

 private:
  struct Answer {
    VARIANT value;
    HRESULT hr;
    std::wstring description;
    bool deferred;
  };
  std::deque<Answer> answers_;
  std::vector<RecordedCall> calls_;
  long references_ = 1;  // the test's own
  long outLong_ = 0;
};
