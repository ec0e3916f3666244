#pragma once
// Typed views of the host's automation objects. Each view owns one reference
// to its object (a ComRef, by value: views are move-only); every method is
// one host operation of HostOperations.h with its argument and result types,
// so no VARIANT or SAFEARRAY leaves this layer. A document is one host object
// seen through three views (ModelDocument, PartDocument, AssemblyDocument):
// the others are taken from the ModelDocument (AsPart, AsAssembly), each with
// a reference of its own.
//
// A view without an object makes no call and answers null, 0, false or
// empty text. A failed call, or an answer of another type than the one the
// add-in reads, throws HostCallError. Answers the add-in never reads are not
// looked at, whatever their type: those methods return nothing.
#include <string>
#include <string_view>
#include <vector>

#include "host/ComRef.h"
#include "host/Invoke.h"

namespace zelm {

class HostObject {
 public:
  HostObject() = default;
  explicit HostObject(ComRef<IDispatch> object) noexcept : object_(std::move(object)) {}

  IDispatch* Get() const noexcept { return object_.Get(); }
  explicit operator bool() const noexcept { return static_cast<bool>(object_); }

 protected:
  template <typename... Args>
  Variant Call(const Operation& operation, const Args&... args) const {
    return Invoke(object_.Get(), operation, args...);
  }

  ComRef<IDispatch> object_;
};

class Feature : public HostObject {
 public:
  using HostObject::HostObject;
  std::wstring FeatureName() const;
  void SetFeatureName(std::wstring_view name) const;
  Feature NextFeature() const;
  std::wstring FeatureKind() const;
};

class SelectionSet : public HostObject {
 public:
  using HostObject::HostObject;
  long SelectedCount() const;
  // index counts from 1.
  Feature SelectedObject(long index) const;
};

class Component : public HostObject {
 public:
  using HostObject::HostObject;
  // The direct children, in the host's order; none for a leaf (the host
  // answers no array, or an empty one).
  std::vector<Component> ComponentChildren() const;
  std::wstring ComponentPath() const;
};

class Configuration : public HostObject {
 public:
  using HostObject::HostObject;
  Component GetRootComponent() const;
};

// The part's box as the host reports it: the low corner (b0, b1, b2) then
// the high corner (b3, b4, b5).
struct PartBox {
  double b0, b1, b2, b3, b4, b5;
};

// The fifteen values of ExtrudeSketch, in the order they travel. Their
// meaning is the host's; the add-in only fixes the values it passes.
struct ExtrusionValues {
  bool value1;
  bool extentFlag2;
  bool extentFlag3;
  long value4;
  long value5;
  double depthTowardsLow;   // position 6: from the sketch plane towards low z
  double depthTowardsHigh;  // position 7: from the sketch plane towards high z
  bool value8;
  bool value9;
  bool value10;
  bool value11;
  double value12;
  double value13;
  bool value14;
  bool value15;
};

class PartDocument : public HostObject {
 public:
  using HostObject::HostObject;
  Feature FirstFeature() const;
  void ExtrudeSketch(const ExtrusionValues& values) const;
  // An answer that is not a one-dimensional array of six numbers from
  // index 0 throws HostCallError: reading past a short array would read
  // memory that is not there.
  PartBox PartBoundingBox(bool flag) const;
  void FinishPartEdit() const;
};

class AssemblyDocument : public HostObject {
 public:
  using HostObject::HostObject;
  void PrepareComponents(bool flag) const;
};

class ModelDocument : public HostObject {
 public:
  using HostObject::HostObject;
  // The same document seen as a part or an assembly.
  PartDocument AsPart() const { return PartDocument(object_.Copy()); }
  AssemblyDocument AsAssembly() const { return AssemblyDocument(object_.Copy()); }

  SelectionSet GetSelectionSet() const;
  // Each end travels as three doubles in an array passed by reference.
  bool CreateLine(const Point3& start, const Point3& end) const;
  bool SaveToPath(std::wstring_view path) const;
  std::wstring DocumentPath() const;
  long DocumentKind() const;
  void RebuildModel() const;
  void ToggleSketch() const;
  bool HasActiveSketch() const;
  bool SelectByName(std::wstring_view name, std::wstring_view type, double x, double y, double z) const;
  void SaveDocument() const;
  void SetSketchDirect(bool direct) const;
  void SetDocumentFlag(bool flag) const;
  void DeleteSelection(bool flag) const;
  Configuration ActiveConfiguration() const;
};

class MenuFrame : public HostObject {
 public:
  using HostObject::HostObject;
  void AddMenuEntry(std::wstring_view menu, std::wstring_view item, long position, std::wstring_view callback) const;
  void AddTopMenu(std::wstring_view menu, long position) const;
};

class HostApplication : public HostObject {
 public:
  using HostObject::HostObject;
  ModelDocument ActiveDocument() const;
  // The document the host opens is not used: it is released at once.
  void OpenDocument(std::wstring_view path, long kind) const;
  ModelDocument ActivateDocument(std::wstring_view name) const;
  MenuFrame GetMenuFrame() const;
  void CloseDocument(std::wstring_view name) const;
  void CloseDocumentByPath(std::wstring_view path) const;
  // Opens without using the document; answers the host's error code (0 for
  // none).
  long OpenDocumentEx(std::wstring_view path, long kind) const;
};

}  // namespace zelm
