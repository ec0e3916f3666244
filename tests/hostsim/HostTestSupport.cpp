#include "hostsim/HostTestSupport.h"

#include <gtest/gtest.h>

namespace hosttest {

Var::Var(const wchar_t* text) : Var() { v.vt = VT_BSTR, v.bstrVal = SysAllocString(text); }
Var::Var(long value) : Var() { v.vt = VT_I4, v.lVal = value; }
Var::Var(double value) : Var() { v.vt = VT_R8, v.dblVal = value; }
Var::Var(bool value) : Var() { v.vt = VT_BOOL, v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE; }

Var doubles(std::vector<double> values, LONG lowerBound, bool byReference) {
  SAFEARRAYBOUND bound{static_cast<ULONG>(values.size()), lowerBound};
  SAFEARRAY* array = SafeArrayCreate(VT_R8, 1, &bound);
  for (LONG i = 0; i < static_cast<LONG>(values.size()); ++i) {
    LONG index = lowerBound + i;
    SafeArrayPutElement(array, &index, &values[static_cast<size_t>(i)]);
  }
  Var value;
  value.v.vt = VT_ARRAY | VT_R8;
  value.v.parray = array;  // the VARIANT owns it, unless passed by reference
  if (!byReference) return value;
  auto slot = std::make_shared<Var>(std::move(value));
  Var reference;
  reference.v.vt = VT_ARRAY | VT_BYREF | VT_R8;
  reference.v.pparray = &slot->v.parray;
  reference.storage = slot;
  return reference;
}

Var out(long& target) {
  Var value;
  value.v.vt = VT_I4 | VT_BYREF;
  value.v.plVal = &target;
  return value;
}

Outcome invoke(IDispatch* object, DISPID id, WORD flags, std::vector<Var> list) {
  Outcome outcome;
  outcome.hr = E_POINTER;
  if (!object) {
    ADD_FAILURE() << "a call on no object";
    return outcome;
  }
  std::vector<VARIANT> raw;
  for (auto it = list.rbegin(); it != list.rend(); ++it) raw.push_back(it->v);
  DISPID named = DISPID_PROPERTYPUT;
  const bool isPut = flags == DISPATCH_PROPERTYPUT;
  DISPPARAMS params{raw.data(), isPut ? &named : nullptr, static_cast<UINT>(raw.size()), isPut ? 1u : 0u};
  EXCEPINFO exception{};
  outcome.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &outcome.result.v, &exception,
                              &outcome.argumentError);
  if (exception.bstrDescription) outcome.description = exception.bstrDescription;
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  return outcome;
}

namespace {
const VARIANT& checked(const Outcome& outcome, VARTYPE type) {
  EXPECT_EQ(outcome.hr, S_OK);
  EXPECT_EQ(outcome.result.v.vt, type);
  return outcome.result.v;
}
}  // namespace

Obj objectOf(Outcome outcome) {
  if (checked(outcome, VT_DISPATCH).vt != VT_DISPATCH) return Obj();
  Obj object(outcome.result.v.pdispVal);
  outcome.result.v.vt = VT_EMPTY;  // handed over
  return object;
}

std::wstring textOf(const Outcome& outcome) {
  const VARIANT& v = checked(outcome, VT_BSTR);
  return v.vt == VT_BSTR ? std::wstring(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring();
}

long integerOf(const Outcome& outcome) { return checked(outcome, VT_I4).lVal; }
bool booleanOf(const Outcome& outcome) { return checked(outcome, VT_BOOL).boolVal != VARIANT_FALSE; }

std::vector<Obj> objectsOf(const Outcome& outcome) {
  std::vector<Obj> objects;
  if (outcome.hr == S_OK && outcome.result.v.vt == VT_EMPTY) return objects;
  const VARIANT& v = checked(outcome, VT_ARRAY | VT_DISPATCH);
  if (v.vt != (VT_ARRAY | VT_DISPATCH)) return objects;
  EXPECT_EQ(v.parray->rgsabound[0].lLbound, 0);
  for (LONG i = 0; i < static_cast<LONG>(v.parray->rgsabound[0].cElements); ++i)
    SafeArrayGetElement(v.parray, &i, &objects.emplace_back().p);
  return objects;
}

std::wstring HostTest::part(const std::wstring& name, const wchar_t* shape) {
  EXPECT_TRUE(hostsim::writePartFixture(path(name), shape)) << testing::PrintToString(name);
  return path(name);
}

std::wstring HostTest::assembly(const std::wstring& name, const std::vector<std::wstring>& components,
                                const std::string& answers) {
  std::string text = "hostsim assembly 1\n" + answers;
  for (const std::wstring& component : components) text += "component " + testsupport::Utf8(component) + "\n";
  EXPECT_TRUE(WriteFileBytes(path(name), text + "end\n"));
  return path(name);
}

}  // namespace hosttest
