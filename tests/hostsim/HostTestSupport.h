// Driving the simulator through IDispatch::Invoke, as a client does: the
// operations' DISPIDs, one VARIANT builder, owned references and results.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>
#include <vector>

#include "core/Simulator.h"
#include "support/TestFiles.h"

namespace hosttest {

using testsupport::ReadFileBytes;
using testsupport::TempFolder;
using testsupport::WriteFileBytes;

// The operations' identifiers as a client of the host knows them.
namespace dispid {
constexpr DISPID ActiveDocument = 1, OpenDocument = 2, ActivateDocument = 3, GetMenuFrame = 5, CloseDocument = 7,
                 CloseDocumentByPath = 33, OpenDocumentEx = 73;
constexpr DISPID FirstFeature = 4, ExtrudeSketch = 9, PartBoundingBox = 15, PrepareComponents = 56,
                 GetSelectionSet = 0x10001, CreateLine = 0x1000C, SaveToPath = 0x10025, DocumentPath = 0x10048,
                 DocumentKind = 0x10049, RebuildModel = 0x1008B, ToggleSketch = 0x1008F, ActiveSketch = 0x100A8,
                 SelectByName = 0x100AC, SaveDocument = 0x100DA, DocumentFlag = 0x100E1, DeleteSelection = 0x1010E,
                 ActiveConfiguration = 0x10131;
constexpr DISPID AddMenuEntry = 1, AddTopMenu = 2, FeatureName = 1, NextFeature = 3, FeatureKind = 6,
                 SelectedCount = 1, SelectedObject = 12, GetRootComponent = 1, ComponentChildren = 1, ComponentPath = 34;
}  // namespace dispid

// A VARIANT that clears itself; a by-reference one keeps what it points to.
struct Var {
  Var() { VariantInit(&v); }
  Var(const wchar_t* text);  // BSTR
  Var(const std::wstring& text) : Var(text.c_str()) {}
  Var(long value);           // I4
  Var(int value) : Var(static_cast<long>(value)) {}
  Var(double value);         // R8
  Var(bool value);           // BOOL
  Var(Var&& other) noexcept : v(other.v), storage(std::move(other.storage)) { VariantInit(&other.v); }
  Var& operator=(Var&& other) noexcept {
    std::swap(v, other.v);
    std::swap(storage, other.storage);
    return *this;
  }
  ~Var() { VariantClear(&v); }
  VARIANT v;
  std::shared_ptr<void> storage;
};
// A one-dimensional array of doubles (a sketch point: three from 0, by reference).
Var doubles(std::vector<double> values, LONG lowerBound = 0, bool byReference = true);
Var out(long& target);  // an I4 out argument

template <typename... T>
std::vector<Var> args(T&&... values) {
  std::vector<Var> list;
  (list.push_back(Var(std::forward<T>(values))), ...);
  return list;
}

// An IDispatch reference that releases itself.
struct Obj {
  Obj() = default;
  explicit Obj(IDispatch* owned) : p(owned) {}
  Obj(Obj&& other) noexcept : p(other.p) { other.p = nullptr; }
  Obj& operator=(Obj other) noexcept { return std::swap(p, other.p), *this; }
  ~Obj() {
    if (p) p->Release();
  }
  IDispatch* get() const { return p; }
  explicit operator bool() const { return p != nullptr; }
  IDispatch* p = nullptr;
};

struct Outcome {
  HRESULT hr = S_OK;
  Var result;
  std::wstring description;  // of an exception
  UINT argumentError = 0;
  bool isNull() const { return result.v.vt == VT_DISPATCH && !result.v.pdispVal; }
};

// Arguments in their natural order; a put passes its value as DISPID_PROPERTYPUT.
Outcome invoke(IDispatch* object, DISPID id, WORD flags, std::vector<Var> args = {});
inline Outcome method(IDispatch* object, DISPID id, std::vector<Var> list = {}) {
  return invoke(object, id, DISPATCH_METHOD, std::move(list));
}
inline Outcome get(IDispatch* object, DISPID id) { return invoke(object, id, DISPATCH_PROPERTYGET); }
inline Outcome put(IDispatch* object, DISPID id, Var value) {
  std::vector<Var> list;
  list.push_back(std::move(value));
  return invoke(object, id, DISPATCH_PROPERTYPUT, std::move(list));
}

// Results taken apart (a failed call or another type fails the test).
Obj objectOf(Outcome outcome);
std::wstring textOf(const Outcome& outcome);
long integerOf(const Outcome& outcome);
bool booleanOf(const Outcome& outcome);
std::vector<Obj> objectsOf(const Outcome& outcome);  // VT_EMPTY: none

inline bool select(IDispatch* document, const std::wstring& name, const wchar_t* type) {
  return booleanOf(method(document, dispid::SelectByName, args(name, type, 0.0, 0.0, 0.0)));
}

// A simulator and a scratch folder that documents are written into: a name
// is taken in the folder, a path with a drive as it is.
class HostTest : public ::testing::Test {
 protected:
  std::wstring path(const std::wstring& name) const { return name.find(L':') == 1 ? name : folder.file(name); }
  std::wstring part(const std::wstring& name, const wchar_t* shape = L"tiny");
  // The components as stored (full or relative), after answer records.
  std::wstring assembly(const std::wstring& name, const std::vector<std::wstring>& components,
                        const std::string& answers = "");
  Outcome app(DISPID id, std::vector<Var> list = {}) { return method(sim.application(), id, std::move(list)); }
  Obj active() { return Obj(sim.activeDocumentObject()); }

  TempFolder folder;
  hostsim::Simulator sim;
};

}  // namespace hosttest
