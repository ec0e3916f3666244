#pragma once
// The table of every host operation the add-in uses: name, dispatch
// identifier and invoke kind. Each operation exists here once; the typed
// views in HostObjects.h are its only callers.
//
// The document kinds, as the host numbers them (DocumentKind, and the kind
// argument of OpenDocument and OpenDocumentEx), are here too.
#include <windows.h>
#include <oleauto.h>

namespace zelm {

enum class InvokeKind : WORD {
  Method = DISPATCH_METHOD,
  PropertyGet = DISPATCH_PROPERTYGET,
  // The value travels as the one named argument DISPID_PROPERTYPUT.
  PropertyPut = DISPATCH_PROPERTYPUT,
};

struct Operation {
  const wchar_t* name;  // shown to the user when the call fails
  DISPID id;
  InvokeKind kind;
};

inline constexpr long kPartDocumentKind = 1;
inline constexpr long kAssemblyDocumentKind = 2;

namespace hostops {
using K = InvokeKind;

// HostApplication
inline constexpr Operation kActiveDocument{L"ActiveDocument", 1, K::PropertyGet};
inline constexpr Operation kOpenDocument{L"OpenDocument", 2, K::Method};
inline constexpr Operation kActivateDocument{L"ActivateDocument", 3, K::Method};
inline constexpr Operation kGetMenuFrame{L"GetMenuFrame", 5, K::Method};
inline constexpr Operation kCloseDocument{L"CloseDocument", 7, K::Method};
inline constexpr Operation kCloseDocumentByPath{L"CloseDocumentByPath", 33, K::Method};
inline constexpr Operation kOpenDocumentEx{L"OpenDocumentEx", 73, K::Method};

// ModelDocument
inline constexpr Operation kGetSelectionSet{L"GetSelectionSet", 0x10001, K::PropertyGet};
inline constexpr Operation kCreateLine{L"CreateLine", 0x1000C, K::Method};
inline constexpr Operation kSaveToPath{L"SaveToPath", 0x10025, K::Method};
inline constexpr Operation kDocumentPath{L"DocumentPath", 0x10048, K::Method};
inline constexpr Operation kDocumentKind{L"DocumentKind", 0x10049, K::Method};
inline constexpr Operation kRebuildModel{L"RebuildModel", 0x1008B, K::Method};
inline constexpr Operation kToggleSketch{L"ToggleSketch", 0x1008F, K::Method};
inline constexpr Operation kActiveSketch{L"ActiveSketch", 0x100A8, K::Method};
inline constexpr Operation kSelectByName{L"SelectByName", 0x100AC, K::Method};
inline constexpr Operation kSaveDocument{L"SaveDocument", 0x100DA, K::Method};
inline constexpr Operation kSetSketchDirect{L"SetSketchDirect", 0x100DF, K::Method};
inline constexpr Operation kDocumentFlag{L"DocumentFlag", 0x100E1, K::PropertyPut};
inline constexpr Operation kDeleteSelection{L"DeleteSelection", 0x1010E, K::Method};
inline constexpr Operation kActiveConfiguration{L"ActiveConfiguration", 0x10131, K::Method};

// PartDocument
inline constexpr Operation kFirstFeature{L"FirstFeature", 4, K::Method};
inline constexpr Operation kExtrudeSketch{L"ExtrudeSketch", 9, K::Method};
inline constexpr Operation kPartBoundingBox{L"PartBoundingBox", 15, K::Method};
inline constexpr Operation kFinishPartEdit{L"FinishPartEdit", 17, K::Method};

// AssemblyDocument
inline constexpr Operation kPrepareComponents{L"PrepareComponents", 56, K::Method};

// MenuFrame
inline constexpr Operation kAddMenuEntry{L"AddMenuEntry", 1, K::Method};
inline constexpr Operation kAddTopMenu{L"AddTopMenu", 2, K::Method};

// Feature
inline constexpr Operation kGetFeatureName{L"FeatureName", 1, K::PropertyGet};
inline constexpr Operation kSetFeatureName{L"FeatureName", 1, K::PropertyPut};
inline constexpr Operation kNextFeature{L"NextFeature", 3, K::Method};
inline constexpr Operation kFeatureKind{L"FeatureKind", 6, K::Method};

// SelectionSet
inline constexpr Operation kSelectedCount{L"SelectedCount", 1, K::Method};
inline constexpr Operation kSelectedObject{L"SelectedObject", 12, K::Method};

// Configuration
inline constexpr Operation kGetRootComponent{L"GetRootComponent", 1, K::Method};

// Component
inline constexpr Operation kComponentChildren{L"ComponentChildren", 1, K::Method};
inline constexpr Operation kComponentPath{L"ComponentPath", 34, K::Method};

}  // namespace hostops
}  // namespace zelm
