// Helpers for driving the simulator through IDispatch::Invoke, as a client
// does, and for scratch folders.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace hosttest {

// The operations' identifiers as a client of the host knows them.
namespace dispid {
// Application
constexpr DISPID ActiveDocument = 1, OpenDocument = 2, ActivateDocument = 3, GetMenuFrame = 5,
                 CloseDocument = 7, CloseDocumentByPath = 33, OpenDocumentEx = 73;
// Document (model, part and assembly views)
constexpr DISPID GetSelectionSet = 0x10001, CreateLine = 0x1000C, SaveToPath = 0x10025, DocumentPath = 0x10048,
                 DocumentKind = 0x10049, RebuildModel = 0x1008B, ToggleSketch = 0x1008F, ActiveSketch = 0x100A8,
                 SelectByName = 0x100AC, SaveDocument = 0x100DA, SetSketchDirect = 0x100DF,
                 DocumentFlag = 0x100E1, DeleteSelection = 0x1010E, ActiveConfiguration = 0x10131;
constexpr DISPID FirstFeature = 4, ExtrudeSketch = 9, PartBoundingBox = 15, FinishPartEdit = 17,
                 PrepareComponents = 56;
// MenuFrame
constexpr DISPID AddMenuEntry = 1, AddTopMenu = 2;
// Feature
constexpr DISPID FeatureName = 1, NextFeature = 3, FeatureKind = 6;
// SelectionSet
constexpr DISPID SelectedCount = 1, SelectedObject = 12;
// Configuration, Component
constexpr DISPID GetRootComponent = 1, ComponentChildren = 1, ComponentPath = 34;
}  // namespace dispid

// A VARIANT that clears itself.
class Var {
 public:
  Var() { VariantInit(&v_); }
  explicit Var(const VARIANT& owned) : v_(owned) {}
  ~Var() { VariantClear(&v_); }
  Var(Var&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  Var& operator=(Var&& other) noexcept {
    if (this != &other) {
      VariantClear(&v_);
      v_ = other.v_;
      VariantInit(&other.v_);
    }
    return *this;
  }
  Var(const Var&) = delete;
  Var& operator=(const Var&) = delete;
  VARIANT* out() { return &v_; }
  const VARIANT& get() const { return v_; }
  VARIANT release() {
    VARIANT v = v_;
    VariantInit(&v_);
    return v;
  }

 private:
  VARIANT v_;
};

Var text(const std::wstring& value);
Var i4(long value);
Var r8(double value);
Var flag(bool value);
Var empty();

template <typename... T>
std::vector<Var> args(T&&... values) {
  std::vector<Var> out;
  (out.push_back(std::forward<T>(values)), ...);
  return out;
}

// An IDispatch reference that releases itself.
class Obj {
 public:
  Obj() = default;
  explicit Obj(IDispatch* owned) : p_(owned) {}
  ~Obj() {
    if (p_) p_->Release();
  }
  Obj(Obj&& other) noexcept : p_(other.p_) { other.p_ = nullptr; }
  Obj& operator=(Obj&& other) noexcept {
    if (this != &other) {
      if (p_) p_->Release();
      p_ = other.p_;
      other.p_ = nullptr;
    }
    return *this;
  }
  IDispatch* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  IDispatch* p_ = nullptr;
};

struct Outcome {
  HRESULT hr = S_OK;
  Var result;
  std::wstring description;  // of an exception
  UINT argumentError = 0;
};

// Invokes with the arguments in their natural order; a put passes its value
// as the named DISPID_PROPERTYPUT argument.
Outcome invoke(IDispatch* object, DISPID id, WORD flags, std::vector<Var> args = {});
Outcome method(IDispatch* object, DISPID id, std::vector<Var> args = {});
Outcome get(IDispatch* object, DISPID id);
Outcome put(IDispatch* object, DISPID id, Var value);

// Results taken apart (a failed call fails the test).
Obj objectOf(Outcome outcome);
std::wstring textOf(const Outcome& outcome);
long integerOf(const Outcome& outcome);
bool booleanOf(const Outcome& outcome);
std::vector<double> doublesOf(const Outcome& outcome);

// A point as the sketch takes it: an array of three doubles passed by reference.
class PointArg {
 public:
  PointArg(double x, double y, double z = 0.0);
  ~PointArg();
  PointArg(const PointArg&) = delete;
  PointArg& operator=(const PointArg&) = delete;
  Var variant();  // VT_ARRAY | VT_BYREF | VT_R8 pointing at this point's array

 private:
  SAFEARRAY* array_;
};

// A folder under the temporary folder, removed with its files at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& path() const { return path_; }  // ends with a backslash
  std::wstring file(const std::wstring& name) const { return path_ + name; }
  std::wstring subfolder(const std::wstring& name) const;  // created

 private:
  std::wstring path_;
};

long long sizeOfFile(const std::wstring& path);
std::string readFileBytes(const std::wstring& path);
bool writeFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace hosttest
