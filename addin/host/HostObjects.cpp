#include "host/HostObjects.h"

#include "host/HostCallError.h"
#include "host/SafeArray.h"

namespace op = hostops;

// ---- Reading the host's answers ----------------------------------------
// Every answer the add-in reads goes through one of these: an empty answer
// is the empty value; an answer of another type is coerced when automation
// knows how (a VT_I2 where a VT_I4 is expected) and refused otherwise.

namespace {

[[noreturn]] void RefuseAnswer(const Operation& operation, const wchar_t* why) {
  throw HostCallError(DISP_E_TYPEMISMATCH, operation.name, why);
}

constexpr wchar_t kUnexpectedType[] = L"réponse d'un type inattendu";

void Coerce(const Operation& operation, Variant& result, VARTYPE type) {
  if (result.type() == type) return;
  Variant converted;
  if (FAILED(VariantChangeType(converted.put(), &const_cast<VARIANT&>(result.get()), 0, type)))
    RefuseAnswer(operation, kUnexpectedType);
  result = std::move(converted);
}

bool AsBool(const Operation& operation, Variant result) {
  if (result.empty()) return false;
  Coerce(operation, result, VT_BOOL);
  return result.get().boolVal != VARIANT_FALSE;
}

long AsLong(const Operation& operation, Variant result) {
  if (result.empty()) return 0;
  Coerce(operation, result, VT_I4);
  return result.get().lVal;
}

std::wstring AsText(const Operation& operation, Variant result) {
  if (result.empty()) return {};
  Coerce(operation, result, VT_BSTR);
  VARIANT raw = result.release();
  return Bstr(raw.bstrVal).str();
}

// An object reference as a driver that owns it; empty for "no object".
DispatchDriver AsObject(const Operation& operation, Variant result) {
  if (result.empty()) return DispatchDriver();
  if (result.type() == VT_DISPATCH) {
    VARIANT raw = result.release();
    return DispatchDriver::Adopt(raw.pdispVal);
  }
  if (result.type() == VT_UNKNOWN) {
    IUnknown* unknown = result.get().punkVal;
    IDispatch* dispatch = nullptr;
    if (unknown && FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch))))
      RefuseAnswer(operation, L"objet sans interface d'automatisation");
    return DispatchDriver::Adopt(dispatch);
  }
  RefuseAnswer(operation, kUnexpectedType);
}

// The one-dimensional array an answer holds, taken out of it so that it is
// destroyed exactly once; its element type in elementType. No array (an
// empty answer) gives an empty owner.
SafeArray TakeArray(const Operation& operation, Variant& answer, VARTYPE& elementType, const wchar_t* why) {
  if (answer.empty()) return SafeArray();
  const VARTYPE type = answer.type();
  if (!(type & VT_ARRAY) || (type & VT_BYREF)) RefuseAnswer(operation, why);
  elementType = static_cast<VARTYPE>(type & VT_TYPEMASK);
  VARIANT raw = answer.release();
  SafeArray array(raw.parray);
  if (array && SafeArrayGetDim(array.get()) != 1) RefuseAnswer(operation, why);
  return array;
}

struct Bounds {
  LONG low = 0, high = -1;
};
Bounds BoundsOf(SAFEARRAY* array) {
  Bounds bounds;
  if (array && (FAILED(SafeArrayGetLBound(array, 1, &bounds.low)) || FAILED(SafeArrayGetUBound(array, 1, &bounds.high))))
    bounds = Bounds{};
  return bounds;
}

}  // namespace

// ---- Feature -----------------------------------------------------------
std::wstring Feature::FeatureName() const { return AsText(op::GetFeatureName, driver_.Invoke(op::GetFeatureName)); }
void Feature::SetFeatureName(std::wstring_view name) const { driver_.Invoke(op::SetFeatureName, name); }
Feature Feature::NextFeature() const { return Feature(AsObject(op::NextFeature, driver_.Invoke(op::NextFeature))); }
std::wstring Feature::FeatureKind() const { return AsText(op::FeatureKind, driver_.Invoke(op::FeatureKind)); }

// ---- SelectionSet ------------------------------------------------------
long SelectionSet::SelectedCount() const { return AsLong(op::SelectedCount, driver_.Invoke(op::SelectedCount)); }
Feature SelectionSet::SelectedObject(long index) const {
  return Feature(AsObject(op::SelectedObject, driver_.Invoke(op::SelectedObject, index)));
}

// ---- Component ---------------------------------------------------------
std::vector<Component> Component::ComponentChildren() const {
  constexpr wchar_t kNotAList[] = L"la liste des composants n'est pas un tableau d'objets";
  Variant answer = driver_.Invoke(op::ComponentChildren);
  VARTYPE elementType = VT_EMPTY;
  SafeArray array = TakeArray(op::ComponentChildren, answer, elementType, kNotAList);
  if (array && elementType != VT_DISPATCH && elementType != VT_VARIANT)
    RefuseAnswer(op::ComponentChildren, kNotAList);

  std::vector<Component> children;
  const Bounds bounds = BoundsOf(array.get());
  for (LONG i = bounds.low; i <= bounds.high; ++i) {
    Variant element;
    VARIANT* slot = element.put();
    // SafeArrayGetElement hands out a reference (or a copy) of our own.
    HRESULT hr = elementType == VT_DISPATCH ? SafeArrayGetElement(array.get(), &i, &slot->pdispVal)
                                            : SafeArrayGetElement(array.get(), &i, slot);
    if (FAILED(hr)) RefuseAnswer(op::ComponentChildren, kNotAList);
    if (elementType == VT_DISPATCH) slot->vt = VT_DISPATCH;
    // A slot without an object stands for no component.
    if (DispatchDriver child = AsObject(op::ComponentChildren, std::move(element))) children.emplace_back(std::move(child));
  }
  return children;
}
std::wstring Component::ComponentPath() const { return AsText(op::ComponentPath, driver_.Invoke(op::ComponentPath)); }

// ---- Configuration -----------------------------------------------------
Component Configuration::GetRootComponent() const {
  return Component(AsObject(op::GetRootComponent, driver_.Invoke(op::GetRootComponent)));
}

// ---- ModelDocument -----------------------------------------------------
SelectionSet ModelDocument::GetSelectionSet() const {
  return SelectionSet(AsObject(op::GetSelectionSet, driver_.Invoke(op::GetSelectionSet)));
}
bool ModelDocument::CreateLine(const Point3& start, const Point3& end) const {
  return AsBool(op::CreateLine, driver_.Invoke(op::CreateLine, start, end));
}
bool ModelDocument::SaveToPath(std::wstring_view path) const {
  return AsBool(op::SaveToPath, driver_.Invoke(op::SaveToPath, path));
}
std::wstring ModelDocument::DocumentPath() const { return AsText(op::DocumentPath, driver_.Invoke(op::DocumentPath)); }
long ModelDocument::DocumentKind() const { return AsLong(op::DocumentKind, driver_.Invoke(op::DocumentKind)); }
void ModelDocument::RebuildModel() const { driver_.Invoke(op::RebuildModel); }
void ModelDocument::ToggleSketch() const { driver_.Invoke(op::ToggleSketch); }
bool ModelDocument::HasActiveSketch() const {
  return static_cast<bool>(AsObject(op::ActiveSketch, driver_.Invoke(op::ActiveSketch)));
}
bool ModelDocument::SelectByName(std::wstring_view name, std::wstring_view type, double x, double y,
                                 double z) const {
  return AsBool(op::SelectByName, driver_.Invoke(op::SelectByName, name, type, x, y, z));
}
void ModelDocument::SaveDocument() const { driver_.Invoke(op::SaveDocument); }
void ModelDocument::SetSketchDirect(bool direct) const { driver_.Invoke(op::SetSketchDirect, direct); }
void ModelDocument::SetDocumentFlag(bool flag) const { driver_.Invoke(op::DocumentFlag, flag); }
void ModelDocument::DeleteSelection(bool flag) const { driver_.Invoke(op::DeleteSelection, flag); }
Configuration ModelDocument::ActiveConfiguration() const {
  return Configuration(AsObject(op::ActiveConfiguration, driver_.Invoke(op::ActiveConfiguration)));
}

// ---- PartDocument ------------------------------------------------------
Feature PartDocument::FirstFeature() const { return Feature(AsObject(op::FirstFeature, driver_.Invoke(op::FirstFeature))); }
void PartDocument::ExtrudeSketch(const ExtrusionValues& v) const {
  driver_.Invoke(op::ExtrudeSketch, v.value1, v.extentFlag2, v.extentFlag3, v.value4, v.value5, v.depthTowardsLow,
                 v.depthTowardsHigh, v.value8, v.value9, v.value10, v.value11, v.value12, v.value13, v.value14,
                 v.value15);
}

PartBox PartDocument::PartBoundingBox(bool flag) const {
  constexpr wchar_t kNotABox[] = L"la boîte englobante n'est pas un tableau de six nombres";
  Variant answer = driver_.Invoke(op::PartBoundingBox, flag);
  if (!*this) return PartBox{};  // an empty driver made no call
  VARTYPE elementType = VT_EMPTY;
  SafeArray array = TakeArray(op::PartBoundingBox, answer, elementType, kNotABox);
  const Bounds bounds = BoundsOf(array.get());
  if (!array || (elementType != VT_R8 && elementType != VT_VARIANT) || bounds.low != 0 || bounds.high < 5)
    RefuseAnswer(op::PartBoundingBox, kNotABox);

  double b[6];
  for (LONG i = 0; i < 6; ++i) {
    Variant element;
    VARIANT* slot = element.put();
    if (elementType == VT_R8) {
      slot->vt = VT_R8;
      SafeArrayGetElement(array.get(), &i, &slot->dblVal);
    } else {
      SafeArrayGetElement(array.get(), &i, slot);
    }
    Coerce(op::PartBoundingBox, element, VT_R8);
    b[i] = element.get().dblVal;
  }
  return PartBox{b[0], b[1], b[2], b[3], b[4], b[5]};
}
void PartDocument::FinishPartEdit() const { driver_.Invoke(op::FinishPartEdit); }

// ---- AssemblyDocument --------------------------------------------------
void AssemblyDocument::PrepareComponents(bool flag) const { driver_.Invoke(op::PrepareComponents, flag); }

// ---- MenuFrame ---------------------------------------------------------
void MenuFrame::AddMenuEntry(std::wstring_view menu, std::wstring_view item, long position,
                             std::wstring_view callback) const {
  driver_.Invoke(op::AddMenuEntry, menu, item, position, callback);
}
void MenuFrame::AddTopMenu(std::wstring_view menu, long position) const {
  driver_.Invoke(op::AddTopMenu, menu, position);
}

// ---- HostApplication ---------------------------------------------------
ModelDocument HostApplication::ActiveDocument() const {
  return ModelDocument(AsObject(op::ActiveDocument, driver_.Invoke(op::ActiveDocument)));
}
void HostApplication::OpenDocument(std::wstring_view path, long kind) const {
  driver_.Invoke(op::OpenDocument, path, kind);
}
ModelDocument HostApplication::ActivateDocument(std::wstring_view name) const {
  return ModelDocument(AsObject(op::ActivateDocument, driver_.Invoke(op::ActivateDocument, name)));
}
MenuFrame HostApplication::GetMenuFrame() const {
  return MenuFrame(AsObject(op::GetMenuFrame, driver_.Invoke(op::GetMenuFrame)));
}
void HostApplication::CloseDocument(std::wstring_view name) const { driver_.Invoke(op::CloseDocument, name); }
void HostApplication::CloseDocumentByPath(std::wstring_view path) const {
  driver_.Invoke(op::CloseDocumentByPath, path);
}
long HostApplication::OpenDocumentEx(std::wstring_view path, long kind) const {
  long error = 0;
  driver_.Invoke(op::OpenDocumentEx, path, kind, OutLong{&error});
  return error;
}
