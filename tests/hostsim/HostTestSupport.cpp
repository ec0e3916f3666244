#include "hostsim/HostTestSupport.h"

#include "host/Bstr.h"

namespace hosttest {

Answer invokeSlots(IDispatch* object, const Operation& operation, VARIANTARG* slots, UINT count) {
  Answer answer;
  DISPID put = DISPID_PROPERTYPUT;
  const bool isPut = operation.kind == InvokeKind::PropertyPut;
  DISPPARAMS params{slots, isPut ? &put : nullptr, count, isPut ? 1u : 0u};
  EXCEPINFO exception{};
  answer.hr = object->Invoke(operation.id, IID_NULL, LOCALE_USER_DEFAULT, static_cast<WORD>(operation.kind), &params,
                             answer.result.Put(), &exception, &answer.badArgument);
  answer.description = Bstr(exception.bstrDescription).Text();
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrHelpFile);
  return answer;
}

std::wstring HostTest::part(const std::wstring& name, const wchar_t* shape) {
  EXPECT_TRUE(hostsim::writePartFixture(path(name), shape)) << Utf8(name);
  return path(name);
}

std::wstring HostTest::assembly(const std::wstring& name, const std::vector<std::wstring>& components,
                                const std::string& answers) {
  std::string text = "hostsim assembly 1\n" + answers;
  for (const std::wstring& component : components) text += "component " + Utf8(component) + "\n";
  EXPECT_TRUE(WriteFileBytes(path(name), text + "end\n"));
  return path(name);
}

}  // namespace hosttest
