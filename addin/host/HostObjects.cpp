#include "HostObjects.h"

#include "HostOperations.h"

namespace op = hostops;

// Feature
std::wstring Feature::FeatureName() const {
  return ResultAsText(op::GetFeatureName, driver_.Invoke(op::GetFeatureName));
}
void Feature::SetFeatureName(std::wstring_view name) const { driver_.Invoke(op::SetFeatureName, name); }
Feature Feature::NextFeature() const {
  return Feature(ResultAsObject(op::NextFeature, driver_.Invoke(op::NextFeature)));
}
std::wstring Feature::FeatureKind() const {
  return ResultAsText(op::FeatureKind, driver_.Invoke(op::FeatureKind));
}

// SelectionSet
long SelectionSet::SelectedCount() const {
  return ResultAsLong(op::SelectedCount, driver_.Invoke(op::SelectedCount));
}
DispatchDriver SelectionSet::SelectedObject(long index) const {
  return ResultAsObject(op::SelectedObject, driver_.Invoke(op::SelectedObject, index));
}

// Component
Variant Component::ComponentChildren() const { return driver_.Invoke(op::ComponentChildren); }
std::wstring Component::ComponentPath() const {
  return ResultAsText(op::ComponentPath, driver_.Invoke(op::ComponentPath));
}

// Configuration
Component Configuration::GetRootComponent() const {
  return Component(ResultAsObject(op::GetRootComponent, driver_.Invoke(op::GetRootComponent)));
}

// ModelDocument
SelectionSet ModelDocument::GetSelectionSet() const {
  return SelectionSet(ResultAsObject(op::GetSelectionSet, driver_.Invoke(op::GetSelectionSet)));
}
bool ModelDocument::CreateLine(const VARIANT& start, const VARIANT& end) const {
  return ResultAsBool(op::CreateLine, driver_.Invoke(op::CreateLine, start, end));
}
bool ModelDocument::SaveToPath(std::wstring_view path) const {
  return ResultAsBool(op::SaveToPath, driver_.Invoke(op::SaveToPath, path));
}
std::wstring ModelDocument::DocumentPath() const {
  return ResultAsText(op::DocumentPath, driver_.Invoke(op::DocumentPath));
}
long ModelDocument::DocumentKind() const {
  return ResultAsLong(op::DocumentKind, driver_.Invoke(op::DocumentKind));
}
void ModelDocument::RebuildModel() const { driver_.Invoke(op::RebuildModel); }
void ModelDocument::ToggleSketch() const { driver_.Invoke(op::ToggleSketch); }
DispatchDriver ModelDocument::ActiveSketch() const {
  return ResultAsObject(op::ActiveSketch, driver_.Invoke(op::ActiveSketch));
}
bool ModelDocument::SelectByName(std::wstring_view name, std::wstring_view type, double x, double y,
                                 double z) const {
  return ResultAsBool(op::SelectByName, driver_.Invoke(op::SelectByName, name, type, x, y, z));
}
void ModelDocument::SaveDocument() const { driver_.Invoke(op::SaveDocument); }
void ModelDocument::SetSketchDirect(bool direct) const { driver_.Invoke(op::SetSketchDirect, direct); }
void ModelDocument::SetDocumentFlag(bool flag) const { driver_.Invoke(op::DocumentFlag, flag); }
bool ModelDocument::DeleteSelection(bool flag) const {
  return ResultAsBool(op::DeleteSelection, driver_.Invoke(op::DeleteSelection, flag));
}
Configuration ModelDocument::ActiveConfiguration() const {
  return Configuration(ResultAsObject(op::ActiveConfiguration, driver_.Invoke(op::ActiveConfiguration)));
}

// PartDocument
Feature PartDocument::FirstFeature() const {
  return Feature(ResultAsObject(op::FirstFeature, driver_.Invoke(op::FirstFeature)));
}
void PartDocument::ExtrudeSketch(const ExtrusionValues& v) const {
  driver_.Invoke(op::ExtrudeSketch, v.value1, v.extentFlag2, v.extentFlag3, v.value4, v.value5,
                 v.depthTowardsLow, v.depthTowardsHigh, v.value8, v.value9, v.value10, v.value11,
                 v.value12, v.value13, v.value14, v.value15);
}
Variant PartDocument::PartBoundingBox(bool flag) const { return driver_.Invoke(op::PartBoundingBox, flag); }
void PartDocument::FinishPartEdit() const { driver_.Invoke(op::FinishPartEdit); }

// AssemblyDocument
long AssemblyDocument::PrepareComponents(bool flag) const {
  return ResultAsLong(op::PrepareComponents, driver_.Invoke(op::PrepareComponents, flag));
}

// MenuFrame
bool MenuFrame::AddMenuEntry(std::wstring_view menu, std::wstring_view item, long position,
                             std::wstring_view callback) const {
  return ResultAsBool(op::AddMenuEntry, driver_.Invoke(op::AddMenuEntry, menu, item, position, callback));
}
bool MenuFrame::AddTopMenu(std::wstring_view menu, long position) const {
  return ResultAsBool(op::AddTopMenu, driver_.Invoke(op::AddTopMenu, menu, position));
}

// HostApplication
ModelDocument HostApplication::ActiveDocument() const {
  return ModelDocument(ResultAsObject(op::ActiveDocument, driver_.Invoke(op::ActiveDocument)));
}
DispatchDriver HostApplication::OpenDocument(std::wstring_view path, long kind) const {
  return ResultAsObject(op::OpenDocument, driver_.Invoke(op::OpenDocument, path, kind));
}
ModelDocument HostApplication::ActivateDocument(std::wstring_view name) const {
  return ModelDocument(ResultAsObject(op::ActivateDocument, driver_.Invoke(op::ActivateDocument, name)));
}
MenuFrame HostApplication::GetMenuFrame() const {
  return MenuFrame(ResultAsObject(op::GetMenuFrame, driver_.Invoke(op::GetMenuFrame)));
}
void HostApplication::CloseDocument(std::wstring_view name) const { driver_.Invoke(op::CloseDocument, name); }
void HostApplication::CloseDocumentByPath(std::wstring_view path) const {
  driver_.Invoke(op::CloseDocumentByPath, path);
}
DispatchDriver HostApplication::OpenDocumentEx(std::wstring_view path, long kind, long& error) const {
  error = 0;
  return ResultAsObject(op::OpenDocumentEx, driver_.Invoke(op::OpenDocumentEx, path, kind, OutLong{&error}));
}
