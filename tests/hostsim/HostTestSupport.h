// The simulator's tests are its clients: they drive it through the add-in's
// typed host layer (host/HostObjects.h), and through raw IDispatch::Invoke
// where a test looks at what one call meets.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/AutomationObject.h"
#include "core/Simulator.h"
#include "host/ComRef.h"
#include "host/HostObjects.h"
#include "support/TestFiles.h"

namespace hosttest {

using namespace zelm;
using testsupport::ReadFileBytes;
using testsupport::TempFolder;
using testsupport::Utf8;
using testsupport::WriteFileBytes;

// One Invoke as its caller sees it come back.
struct Answer {
  HRESULT hr = E_POINTER;
  Variant result;
  std::wstring description;  // of DISP_E_EXCEPTION
  UINT badArgument = 0;      // of DISP_E_TYPEMISMATCH, counted from the last argument
  std::wstring text() const { return hostsim::formatVariant(result.Get()); }  // as the call log shows it
};
// The slots in Invoke's order: the last argument first.
Answer invokeSlots(IDispatch* object, const Operation& operation, VARIANTARG* slots, UINT count);
// The arguments in their natural order, made as the add-in makes them.
template <typename... Args>
Answer invoke(IDispatch* object, const Operation& operation, const Args&... args) {
  ArgumentStorage storage;
  auto slots = BuildArguments(storage, args...);
  return invokeSlots(object, operation, slots.data(), static_cast<UINT>(slots.size()));
}

template <typename View>
View on(IDispatch* object) {
  return View(ComRef<IDispatch>::Borrow(object));
}

// A simulator, a client's view of its application, and a scratch folder_.
class HostTest : public testing::Test {
 protected:
  // A name is taken in the scratch folder, a path with a drive as it is.
  std::wstring path(const std::wstring& name) const { return name.find(L':') == 1 ? name : folder_.file(name); }
  std::wstring part(const std::wstring& name, const wchar_t* shape = L"tiny");
  // The components as stored (full or relative), after the answer records.
  std::wstring assembly(const std::wstring& name, const std::vector<std::wstring>& components,
                        const std::string& answers = "");
  ModelDocument active() { return ModelDocument(sim_.activeDocumentObject()); }

  TempFolder folder_;
  hostsim::Simulator sim_;
  HostApplication app_ = on<HostApplication>(sim_.application());
};

}  // namespace hosttest
