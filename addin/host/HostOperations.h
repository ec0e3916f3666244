#pragma once
// The table of every host operation the add-in uses: name, dispatch
// identifier and invoke kind. Each operation exists here once; the typed
// views in HostObjects.h are its only callers.
#include <windows.h>
#include <oleauto.h>

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

namespace hostops {
using K = InvokeKind;

// HostApplication
inline constexpr Operation ActiveDocument{L"ActiveDocument", 1, K::PropertyGet};
inline constexpr Operation OpenDocument{L"OpenDocument", 2, K::Method};
inline constexpr Operation ActivateDocument{L"ActivateDocument", 3, K::Method};
inline constexpr Operation GetMenuFrame{L"GetMenuFrame", 5, K::Method};
inline constexpr Operation CloseDocument{L"CloseDocument", 7, K::Method};
inline constexpr Operation CloseDocumentByPath{L"CloseDocumentByPath", 33, K::Method};
inline constexpr Operation OpenDocumentEx{L"OpenDocumentEx", 73, K::Method};

// ModelDocument
inline constexpr Operation GetSelectionSet{L"GetSelectionSet", 0x10001, K::PropertyGet};
inline constexpr Operation CreateLine{L"CreateLine", 0x1000C, K::Method};
inline constexpr Operation SaveToPath{L"SaveToPath", 0x10025, K::Method};
inline constexpr Operation DocumentPath{L"DocumentPath", 0x10048, K::Method};
inline constexpr Operation DocumentKind{L"DocumentKind", 0x10049, K::Method};
inline constexpr Operation RebuildModel{L"RebuildModel", 0x1008B, K::Method};
inline constexpr Operation ToggleSketch{L"ToggleSketch", 0x1008F, K::Method};
inline constexpr Operation ActiveSketch{L"ActiveSketch", 0x100A8, K::Method};
inline constexpr Operation SelectByName{L"SelectByName", 0x100AC, K::Method};
inline constexpr Operation SaveDocument{L"SaveDocument", 0x100DA, K::Method};
inline constexpr Operation SetSketchDirect{L"SetSketchDirect", 0x100DF, K::Method};
inline constexpr Operation DocumentFlag{L"DocumentFlag", 0x100E1, K::PropertyPut};
inline constexpr Operation DeleteSelection{L"DeleteSelection", 0x1010E, K::Method};
inline constexpr Operation ActiveConfiguration{L"ActiveConfiguration", 0x10131, K::Method};

// PartDocument
inline constexpr Operation FirstFeature{L"FirstFeature", 4, K::Method};
inline constexpr Operation ExtrudeSketch{L"ExtrudeSketch", 9, K::Method};
inline constexpr Operation PartBoundingBox{L"PartBoundingBox", 15, K::Method};
inline constexpr Operation FinishPartEdit{L"FinishPartEdit", 17, K::Method};

// AssemblyDocument
inline constexpr Operation PrepareComponents{L"PrepareComponents", 56, K::Method};

// MenuFrame
inline constexpr Operation AddMenuEntry{L"AddMenuEntry", 1, K::Method};
inline constexpr Operation AddTopMenu{L"AddTopMenu", 2, K::Method};

// Feature
inline constexpr Operation GetFeatureName{L"FeatureName", 1, K::PropertyGet};
inline constexpr Operation SetFeatureName{L"FeatureName", 1, K::PropertyPut};
inline constexpr Operation NextFeature{L"NextFeature", 3, K::Method};
inline constexpr Operation FeatureKind{L"FeatureKind", 6, K::Method};

// SelectionSet
inline constexpr Operation SelectedCount{L"SelectedCount", 1, K::Method};
inline constexpr Operation SelectedObject{L"SelectedObject", 12, K::Method};

// Configuration
inline constexpr Operation GetRootComponent{L"GetRootComponent", 1, K::Method};

// Component
inline constexpr Operation ComponentChildren{L"ComponentChildren", 1, K::Method};
inline constexpr Operation ComponentPath{L"ComponentPath", 34, K::Method};

}  // namespace hostops
