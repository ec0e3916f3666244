#pragma once
// Typed views of the host's automation objects. Each view owns one
// DispatchDriver; every method is one host operation of HostOperations.h
// with its argument and result types. A document is one host object seen
// through three views (ModelDocument, PartDocument, AssemblyDocument): a
// routine that needs two views holds two drivers on the same object.
//
// A view over an empty driver makes no call and answers null, 0, false or
// empty text; a failed call throws HostCallError.
#include <string>
#include <string_view>

#include "DispatchDriver.h"

class HostObject {
 public:
  HostObject() = default;
  explicit HostObject(DispatchDriver driver) noexcept : driver_(std::move(driver)) {}

  const DispatchDriver& driver() const noexcept { return driver_; }
  IDispatch* get() const noexcept { return driver_.get(); }
  explicit operator bool() const noexcept { return static_cast<bool>(driver_); }
  // Drops the reference now rather than at the end of the scope.
  void Release() noexcept { driver_.ReleaseDispatch(); }

 protected:
  DispatchDriver driver_;
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
  DispatchDriver SelectedObject(long index) const;
};

class Component : public HostObject {
 public:
  using HostObject::HostObject;
  // A VARIANT holding a SAFEARRAY of VT_DISPATCH, or no array for a leaf.
  Variant ComponentChildren() const;
  std::wstring ComponentPath() const;
};

class Configuration : public HostObject {
 public:
  using HostObject::HostObject;
  Component GetRootComponent() const;
};

class ModelDocument : public HostObject {
 public:
  using HostObject::HostObject;
  SelectionSet GetSelectionSet() const;
  // start and end: VARIANTs of VT_ARRAY|VT_BYREF|VT_R8 (see PointArray).
  bool CreateLine(const VARIANT& start, const VARIANT& end) const;
  bool SaveToPath(std::wstring_view path) const;
  std::wstring DocumentPath() const;
  long DocumentKind() const;
  void RebuildModel() const;
  void ToggleSketch() const;
  DispatchDriver ActiveSketch() const;
  bool SelectByName(std::wstring_view name, std::wstring_view type, double x, double y, double z) const;
  void SaveDocument() const;
  void SetSketchDirect(bool direct) const;
  void SetDocumentFlag(bool flag) const;
  bool DeleteSelection(bool flag) const;
  Configuration ActiveConfiguration() const;
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
  // A VARIANT holding a one-dimensional array of six doubles.
  Variant PartBoundingBox(bool flag) const;
  void FinishPartEdit() const;
};

class AssemblyDocument : public HostObject {
 public:
  using HostObject::HostObject;
  long PrepareComponents(bool flag) const;
};

class MenuFrame : public HostObject {
 public:
  using HostObject::HostObject;
  bool AddMenuEntry(std::wstring_view menu, std::wstring_view item, long position,
                    std::wstring_view callback) const;
  bool AddTopMenu(std::wstring_view menu, long position) const;
};

class HostApplication : public HostObject {
 public:
  using HostObject::HostObject;
  ModelDocument ActiveDocument() const;
  DispatchDriver OpenDocument(std::wstring_view path, long kind) const;
  ModelDocument ActivateDocument(std::wstring_view name) const;
  MenuFrame GetMenuFrame() const;
  void CloseDocument(std::wstring_view name) const;
  void CloseDocumentByPath(std::wstring_view path) const;
  // error receives the host's error code (0 for none).
  DispatchDriver OpenDocumentEx(std::wstring_view path, long kind, long& error) const;
};
