#include "host/HostObjects.h"

#include <array>

#include "host/Answers.h"

namespace zelm {

namespace op = hostops;

// ---- Feature -----------------------------------------------------------
std::wstring Feature::FeatureName() const { return AsText(op::kGetFeatureName, Call(op::kGetFeatureName)); }
void Feature::SetFeatureName(std::wstring_view name) const { Call(op::kSetFeatureName, name); }
Feature Feature::NextFeature() const { return Feature(AsObject(op::kNextFeature, Call(op::kNextFeature))); }
std::wstring Feature::FeatureKind() const { return AsText(op::kFeatureKind, Call(op::kFeatureKind)); }

// ---- SelectionSet ------------------------------------------------------
long SelectionSet::SelectedCount() const { return AsLong(op::kSelectedCount, Call(op::kSelectedCount)); }
Feature SelectionSet::SelectedObject(long index) const {
  return Feature(AsObject(op::kSelectedObject, Call(op::kSelectedObject, index)));
}

// ---- Component ---------------------------------------------------------
std::vector<Component> Component::ComponentChildren() const {
  std::vector<Component> children;
  for (ComRef<IDispatch>& child : AsObjectList(op::kComponentChildren, Call(op::kComponentChildren)))
    children.emplace_back(std::move(child));
  return children;
}
std::wstring Component::ComponentPath() const { return AsText(op::kComponentPath, Call(op::kComponentPath)); }

// ---- Configuration -----------------------------------------------------
Component Configuration::GetRootComponent() const {
  return Component(AsObject(op::kGetRootComponent, Call(op::kGetRootComponent)));
}

// ---- ModelDocument -----------------------------------------------------
SelectionSet ModelDocument::GetSelectionSet() const {
  return SelectionSet(AsObject(op::kGetSelectionSet, Call(op::kGetSelectionSet)));
}
bool ModelDocument::CreateLine(const Point3& start, const Point3& end) const {
  return AsBool(op::kCreateLine, Call(op::kCreateLine, start, end));
}
bool ModelDocument::SaveToPath(std::wstring_view path) const { return AsBool(op::kSaveToPath, Call(op::kSaveToPath, path)); }
std::wstring ModelDocument::DocumentPath() const { return AsText(op::kDocumentPath, Call(op::kDocumentPath)); }
long ModelDocument::DocumentKind() const { return AsLong(op::kDocumentKind, Call(op::kDocumentKind)); }
void ModelDocument::RebuildModel() const { Call(op::kRebuildModel); }
void ModelDocument::ToggleSketch() const { Call(op::kToggleSketch); }
bool ModelDocument::HasActiveSketch() const {
  return static_cast<bool>(AsObject(op::kActiveSketch, Call(op::kActiveSketch)));
}
bool ModelDocument::SelectByName(std::wstring_view name, std::wstring_view type, double x, double y, double z) const {
  return AsBool(op::kSelectByName, Call(op::kSelectByName, name, type, x, y, z));
}
void ModelDocument::SaveDocument() const { Call(op::kSaveDocument); }
void ModelDocument::SetSketchDirect(bool direct) const { Call(op::kSetSketchDirect, direct); }
void ModelDocument::SetDocumentFlag(bool flag) const { Call(op::kDocumentFlag, flag); }
void ModelDocument::DeleteSelection(bool flag) const { Call(op::kDeleteSelection, flag); }
Configuration ModelDocument::ActiveConfiguration() const {
  return Configuration(AsObject(op::kActiveConfiguration, Call(op::kActiveConfiguration)));
}

// ---- PartDocument ------------------------------------------------------
Feature PartDocument::FirstFeature() const { return Feature(AsObject(op::kFirstFeature, Call(op::kFirstFeature))); }
void PartDocument::ExtrudeSketch(const ExtrusionValues& v) const {
  Call(op::kExtrudeSketch, v.value1, v.extentFlag2, v.extentFlag3, v.value4, v.value5, v.depthTowardsLow,
       v.depthTowardsHigh, v.value8, v.value9, v.value10, v.value11, v.value12, v.value13, v.value14, v.value15);
}
PartBox PartDocument::PartBoundingBox(bool flag) const {
  Variant answer = Call(op::kPartBoundingBox, flag);
  if (!*this) return PartBox{};  // no object: no call was made
  const std::array<double, 6> b = AsSixNumbers(op::kPartBoundingBox, std::move(answer));
  return PartBox{b[0], b[1], b[2], b[3], b[4], b[5]};
}
void PartDocument::FinishPartEdit() const { Call(op::kFinishPartEdit); }

// ---- AssemblyDocument --------------------------------------------------
void AssemblyDocument::PrepareComponents(bool flag) const { Call(op::kPrepareComponents, flag); }

// ---- MenuFrame ---------------------------------------------------------
void MenuFrame::AddMenuEntry(std::wstring_view menu, std::wstring_view item, long position,
                             std::wstring_view callback) const {
  Call(op::kAddMenuEntry, menu, item, position, callback);
}
void MenuFrame::AddTopMenu(std::wstring_view menu, long position) const { Call(op::kAddTopMenu, menu, position); }

// ---- HostApplication ---------------------------------------------------
ModelDocument HostApplication::ActiveDocument() const {
  return ModelDocument(AsObject(op::kActiveDocument, Call(op::kActiveDocument)));
}
void HostApplication::OpenDocument(std::wstring_view path, long kind) const { Call(op::kOpenDocument, path, kind); }
ModelDocument HostApplication::ActivateDocument(std::wstring_view name) const {
  return ModelDocument(AsObject(op::kActivateDocument, Call(op::kActivateDocument, name)));
}
MenuFrame HostApplication::GetMenuFrame() const { return MenuFrame(AsObject(op::kGetMenuFrame, Call(op::kGetMenuFrame))); }
void HostApplication::CloseDocument(std::wstring_view name) const { Call(op::kCloseDocument, name); }
void HostApplication::CloseDocumentByPath(std::wstring_view path) const { Call(op::kCloseDocumentByPath, path); }
long HostApplication::OpenDocumentEx(std::wstring_view path, long kind) const {
  long error = 0;
  Call(op::kOpenDocumentEx, path, kind, OutLong{&error});
  return error;
}

}  // namespace zelm
