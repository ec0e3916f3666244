// The typed host layer between the add-in and the host: what reaches
// IDispatch::Invoke, what becomes of the host's answers (objects owned and
// released once, out values, failures), and how answers of unexpected shapes
// are read. The simulator answers where it can; a scripted object shows the
// raw arguments and gives the odd answers the simulator never gives.
#include <gtest/gtest.h>
#include <objidl.h>

#include <functional>
#include <sstream>

#include "core/Simulator.h"
#include "host/ComRef.h"
#include "host/HostCallError.h"
#include "host/HostObjects.h"
#include "host/SafeArray.h"
#include "support/TestFiles.h"

namespace {

using Texts = std::vector<std::wstring>;

// An argument slot as it arrived: "BSTR text", "R8 1.5", "BOOL FALSE", or
// "R8[0..2] 1 2 3" for an array of doubles from index 0 to 2; "&" when by
// reference.
std::wstring Slot(const VARIANT& v) {
  std::wostringstream out;
  if (v.vt == VT_BSTR) out << L"BSTR " << v.bstrVal;
  if (v.vt == VT_R8) out << L"R8 " << v.dblVal;
  if (v.vt == VT_BOOL) out << L"BOOL " << (v.boolVal == VARIANT_TRUE ? L"TRUE" : v.boolVal ? L"?" : L"FALSE");
  if ((v.vt & ~VT_BYREF) == (VT_ARRAY | VT_R8)) {
    SAFEARRAY* array = v.vt & VT_BYREF ? *v.pparray : v.parray;
    LONG low = 0, high = -1;
    SafeArrayGetLBound(array, 1, &low);
    SafeArrayGetUBound(array, 1, &high);
    out << L"R8[" << low << L".." << high << L"]";
    for (LONG i = low; i <= high; ++i) {
      double value = 0;
      SafeArrayGetElement(array, &i, &value);
      out << L" " << value;
    }
    if (SafeArrayGetDim(array) != 1) out << L" in " << SafeArrayGetDim(array) << L" dimensions";
  }
  if (v.vt & VT_BYREF) out << L" &";
  return out.str().empty() ? L"vt " + std::to_wstring(v.vt) : out.str();
}

// A host object that answers every call with a copy of `answer`, or fails
// with `failure` (DISP_E_EXCEPTION: with `description`, filled in at once or
// on demand), and keeps the last call as it arrived: its kind, its named
// arguments, then its slots from rgvarg[0].
class RawHost final : public IDispatch {
 public:
  Variant answer;
  HRESULT failure = S_OK;
  bool deferred = false;
  static inline std::wstring description;
  std::wstring call;
  long references = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    *object = iid == IID_IUnknown || iid == IID_IDispatch ? this : nullptr;
    return *object ? (AddRef(), S_OK) : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }  // on the test's stack
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD kind, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    call = kind == DISPATCH_PROPERTYPUT ? L"put" : kind == DISPATCH_METHOD ? L"method" : L"kind " + std::to_wstring(kind);
    for (UINT i = 0; i < params->cNamedArgs; ++i) call += L" named " + std::to_wstring(params->rgdispidNamedArgs[i]);
    for (UINT i = 0; i < params->cArgs; ++i) call += (i ? L", " : L": ") + Slot(params->rgvarg[i]);
    if (failure == DISP_E_EXCEPTION && exception) deferred ? void(exception->pfnDeferredFillIn = &FillIn) : void(FillIn(exception));
    if (FAILED(failure)) return failure;
    return result ? VariantCopy(result, const_cast<VARIANT*>(&answer.get())) : S_OK;
  }
  static HRESULT STDMETHODCALLTYPE FillIn(EXCEPINFO* exception) {
    exception->bstrDescription = SysAllocString(description.c_str());
    exception->pfnDeferredFillIn = nullptr;
    return S_OK;
  }
};

template <typename View>
View On(IDispatch* object) {
  return View(DispatchDriver::Borrow(object));
}

// Answers of every shape.
Variant Number(VARTYPE type, long number) {
  Variant v;
  VARIANT* raw = v.put();
  raw->vt = VT_I4;
  raw->lVal = number;
  VariantChangeType(raw, raw, 0, type);
  return v;
}
Variant Object(IUnknown* object, VARTYPE type = VT_DISPATCH) {
  Variant v;
  VARIANT* raw = v.put();
  raw->vt = object ? type : VARTYPE(VT_EMPTY);
  raw->punkVal = object ? (object->AddRef(), object) : nullptr;
  return v;
}
// A one-dimensional array from index `low`: of the objects given (null ones
// empty), or else of `count` numbers 0, 1, ... as doubles, texts or VARIANTs.
Variant Array(VARTYPE element, LONG low, LONG count, const std::vector<IDispatch*>& objects = {}) {
  SAFEARRAY* array = SafeArrayCreateVector(element, low, static_cast<ULONG>(count));
  for (LONG i = 0; i < count; ++i) {
    Variant item = objects.empty() ? Number(element == VT_VARIANT ? VARTYPE(VT_I4) : element, i) : Object(objects[i]);
    const VARIANT& raw = item.get();
    LONG index = low + i;
    // Texts and objects go in as themselves, anything else by its address.
    SafeArrayPutElement(array, &index, element == VT_BSTR ? static_cast<void*>(raw.bstrVal)
                                       : element == VT_DISPATCH ? static_cast<void*>(raw.pdispVal)
                                       : element == VT_R8 ? const_cast<double*>(&raw.dblVal)
                                                          : static_cast<void*>(const_cast<VARIANT*>(&raw)));
  }
  Variant v;
  VARIANT* raw = v.put();
  raw->vt = VT_ARRAY | element;
  raw->parray = array;
  return v;
}

class HostLayer : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hostsim::writePartFixture(part, L"box:0,0,0,10,20,5"));
    ASSERT_TRUE(hostsim::writeAssemblyFixture(assembly, {part, part}));
    ASSERT_TRUE(sim.open(part) && sim.open(assembly));
    sim.clearCallLog();
  }
  testsupport::TempFolder folder;
  hostsim::Simulator sim;
  HostApplication app = On<HostApplication>(sim.application());
  const std::wstring part = folder.file(L"bride.SLDPRT"), assembly = folder.file(L"ensemble.SLDASM");
};

TEST_F(HostLayer, ArgumentsGoInReverseOrderAPutAsTheNamedValueAndPointsAsArraysByReference) {
  RawHost host;
  const ModelDocument document = On<ModelDocument>(&host);
  document.SelectByName(L"Plan de c\u00F4t\u00E9", L"PLANE", 1.5, 2, 3);
  EXPECT_EQ(host.call, L"method: R8 3, R8 2, R8 1.5, BSTR PLANE, BSTR Plan de c\u00F4t\u00E9");
  document.SetDocumentFlag(false);
  EXPECT_EQ(host.call, L"put named " + std::to_wstring(DISPID_PROPERTYPUT) + L": BOOL FALSE");
  document.CreateLine({1, 2, 3}, {4, 5, 6});
  EXPECT_EQ(host.call, L"method: R8[0..2] 4 5 6 &, R8[0..2] 1 2 3 &");
}

// The operations the part commands do not make reach the simulator, which
// refuses a wrong identifier, kind, argument count or type.
TEST_F(HostLayer, EveryOperationReachesTheHostUnderItsOwnIdentifierKindAndTypes) {
  const long references = sim.liveReferences();
  {
    EXPECT_TRUE(app.ActivateDocument(L"ensemble.SLDASM"));
    const ModelDocument document = app.ActiveDocument();
    On<AssemblyDocument>(document.get()).PrepareComponents(true);
    const std::vector<Component> children = document.ActiveConfiguration().GetRootComponent().ComponentChildren();
    ASSERT_EQ(children.size(), 2u);
    EXPECT_EQ(children[1].ComponentPath(), part);
    document.SaveDocument();
    EXPECT_EQ(app.OpenDocumentEx(folder.file(L"absent.SLDPRT"), 1), 2) << "the host's error code, an out value";
    EXPECT_TRUE(app.ActivateDocument(L"bride.SLDPRT"));
    EXPECT_EQ(On<PartDocument>(app.ActiveDocument().get()).FirstFeature().NextFeature().FeatureName(), L"Plan de dessus");
    app.CloseDocument(L"bride.SLDPRT");
    app.CloseDocumentByPath(assembly);
  }
  EXPECT_EQ(sim.liveReferences(), references) << "an object result not released once";
  const auto quoted = [](const std::wstring& text) { return L"\"" + text + L"\""; };
  EXPECT_EQ(sim.callLines(), (Texts{
      L"Application.ActivateDocument(\"ensemble.SLDASM\") -> object",
      L"Application.ActiveDocument() -> object",
      L"Document.PrepareComponents(TRUE) -> 2",
      L"Document.ActiveConfiguration() -> object",
      L"Configuration.GetRootComponent() -> object",
      L"Component.ComponentChildren() -> [object, object]",
      L"Component.ComponentPath() -> " + quoted(part),
      L"Document.SaveDocument()",
      L"Application.OpenDocumentEx(" + quoted(folder.file(L"absent.SLDPRT")) + L", 1, &2) -> null",
      L"Application.ActivateDocument(\"bride.SLDPRT\") -> object",
      L"Application.ActiveDocument() -> object",
      L"Document.FirstFeature() -> object",
      L"Feature.NextFeature() -> object",
      L"Feature.FeatureName() -> \"Plan de dessus\"",
      L"Application.CloseDocument(\"bride.SLDPRT\")",
      L"Application.CloseDocumentByPath(" + quoted(assembly) + L")",
  }));
}

// Each driver holds one reference of its own: an object result, a copy, a
// borrowed one; attaching lets the previous one go, a reference not owned is
// never released, and a failed call lets go of everything as it unwinds.
TEST_F(HostLayer, ObjectResultsAreOwnedAndReleasedOnce) {
  const long references = sim.liveReferences();
  {
    const ModelDocument document = app.ActiveDocument();
    const ModelDocument copy = document;
    const PartDocument part = On<PartDocument>(document.get());
    EXPECT_EQ(sim.liveReferences(), references + 3);
    DispatchDriver driver = DispatchDriver::Adopt(sim.activeDocumentObject());
    driver.AttachDispatch(sim.activeDocumentObject());
    EXPECT_EQ(sim.liveReferences(), references + 4);
    driver.AttachDispatch(sim.application(), false);
    driver.ReleaseDispatch();
    EXPECT_EQ(sim.liveReferences(), references + 3);
    sim.failCall(L"RebuildModel", 1, L"Reconstruction impossible : esquisse ouverte");
    try {
      copy.RebuildModel();
      ADD_FAILURE() << "no error";
    } catch (const HostCallError& error) {
      EXPECT_EQ(error.result(), DISP_E_EXCEPTION);
      EXPECT_EQ(error.operation(), L"RebuildModel");
      EXPECT_EQ(error.description(), L"Reconstruction impossible : esquisse ouverte");
    }
  }
  EXPECT_EQ(sim.liveReferences(), references);
}

TEST_F(HostLayer, AFailedCallBecomesHostCallErrorWithTheOperationAndTheHostsDescription) {
  const struct {
    HRESULT failure;
    bool deferred;
    const wchar_t* description;
  } cases[] = {{DISP_E_EXCEPTION, false, L"Plan introuvable"},
               {DISP_E_EXCEPTION, true, L"D\u00E9crit plus tard"},
               {DISP_E_MEMBERNOTFOUND, false, L""}};
  for (const auto& c : cases) {
    RawHost host;
    host.failure = c.failure;
    host.deferred = c.deferred;
    RawHost::description = c.description;
    try {
      On<ModelDocument>(&host).SelectByName(L"Plan", L"PLANE", 0, 0, 0);
      ADD_FAILURE() << "no error";
    } catch (const HostCallError& error) {
      EXPECT_EQ(error.result(), c.failure);
      EXPECT_EQ(error.operation(), L"SelectByName");
      EXPECT_EQ(error.description(), c.description);
    }
    EXPECT_EQ(host.references, 1);
  }
}

TEST_F(HostLayer, AnEmptyDriverMakesNoCallAndAnswersEmpty) {
  const HostApplication none;
  const ModelDocument document;
  EXPECT_FALSE(none.ActiveDocument() || none.GetMenuFrame() || document.SaveToPath(part) || document.HasActiveSketch());
  EXPECT_EQ(none.OpenDocumentEx(part, 1) + document.DocumentKind(), 0);
  EXPECT_EQ(document.DocumentPath(), L"");
  EXPECT_EQ(PartDocument().PartBoundingBox(true).b4, 0);
  EXPECT_TRUE(Component().ComponentChildren().empty());
}

// The answers the add-in reads must be what it reads (a number may come in
// another type), or the command stops with a French description of what
// was wrong; the answers it does not read may be anything.
TEST_F(HostLayer, AnswersOfAnotherShapeAreRefusedInFrenchWhereTheAddinReadsThemAndIgnoredElsewhere) {
  RawHost host, child;
  ComRef<IStream> stream;  // an object without automation
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  SafeArray box(SafeArrayCreateVector(VT_R8, 0, 6));
  SAFEARRAY* boxSlot = box.get();
  Variant boxByReference, word;
  VARIANT* raw = boxByReference.put();
  raw->vt = VT_ARRAY | VT_BYREF | VT_R8;
  raw->pparray = &boxSlot;
  raw = word.put();
  raw->vt = VT_BSTR;
  raw->bstrVal = SysAllocString(L"deux");

  const auto kind = [&] { return std::to_wstring(On<ModelDocument>(&host).DocumentKind()); };
  const auto active = [&] { return On<HostApplication>(&host).ActiveDocument() ? L"un document" : L"aucun"; };
  const auto boxOf = [&] {
    const PartBox b = On<PartDocument>(&host).PartBoundingBox(true);
    std::wostringstream out;
    out << b.b0 << L" " << b.b1 << L" " << b.b2 << L" " << b.b3 << L" " << b.b4 << L" " << b.b5;
    return out.str();
  };
  const auto children = [&] {
    std::wstring text;
    for (const Component& c : On<Component>(&host).ComponentChildren()) text += c.get() == &child ? L"enfant " : L"? ";
    return text;
  };
  const auto ignored = [&](std::function<void(IDispatch*)> call) {
    return [&host, call] {
      call(&host);
      return std::wstring(L"ignor\u00E9");
    };
  };
  const std::wstring refused = L"refus\u00E9 par ", wrongType = L" : r\u00E9ponse d'un type inattendu";
  const std::wstring notABox = refused + L"PartBoundingBox : la bo\u00EEte englobante n'est pas un tableau de six nombres";
  const std::wstring notAList = refused + L"ComponentChildren : la liste des composants n'est pas un tableau d'objets";
  struct Case {
    const char* what;
    Variant answer;
    std::function<std::wstring()> call;
    std::wstring outcome;
  };
  Case cases[] = {
      {"a kind as a short", Number(VT_I2, 2), kind, L"2"},
      {"a kind as a word", std::move(word), kind, refused + L"DocumentKind" + wrongType},
      {"a document as a number", Number(VT_I4, 5), active, refused + L"ActiveDocument" + wrongType},
      {"a document without automation", Object(stream.get(), VT_UNKNOWN), active,
       refused + L"ActiveDocument : objet sans interface d'automatisation"},
      {"DeleteSelection", Number(VT_BSTR, 1), ignored([](IDispatch* h) { On<ModelDocument>(h).DeleteSelection(false); }),
       L"ignor\u00E9"},
      {"AddTopMenu", Array(VT_R8, 0, 1), ignored([](IDispatch* h) { On<MenuFrame>(h).AddTopMenu(L"M", 0); }),
       L"ignor\u00E9"},
      {"AddMenuEntry", Object(stream.get(), VT_UNKNOWN),
       ignored([](IDispatch* h) { On<MenuFrame>(h).AddMenuEntry(L"M", L"I", -1, L"L@E"); }), L"ignor\u00E9"},
      {"OpenDocument", Number(VT_I4, 7), ignored([](IDispatch* h) { On<HostApplication>(h).OpenDocument(L"p", 1); }),
       L"ignor\u00E9"},
      {"PrepareComponents", Number(VT_BSTR, 3),
       ignored([](IDispatch* h) { On<AssemblyDocument>(h).PrepareComponents(true); }), L"ignor\u00E9"},
      {"a box", Array(VT_R8, 0, 6), boxOf, L"0 1 2 3 4 5"},
      {"a box of VARIANTs", Array(VT_VARIANT, 0, 6), boxOf, L"0 1 2 3 4 5"},
      {"no box", Variant(), boxOf, notABox},
      {"a short box", Array(VT_R8, 0, 5), boxOf, notABox},
      {"a box from index 1", Array(VT_R8, 1, 6), boxOf, notABox},
      {"a box by reference", std::move(boxByReference), boxOf, notABox},
      {"a box of texts", Array(VT_BSTR, 0, 6), boxOf, notABox},
      {"no children", Variant(), children, L""},
      {"an empty array of children", Array(VT_DISPATCH, 0, 0), children, L""},
      {"children and null ones", Array(VT_DISPATCH, 0, 3, {&child, nullptr, &child}), children, L"enfant enfant "},
      {"children and empty ones in VARIANTs", Array(VT_VARIANT, 0, 3, {nullptr, &child, &child}), children,
       L"enfant enfant "},
      {"children as texts", Array(VT_BSTR, 0, 1), children, notAList},
      {"children as numbers in VARIANTs", Array(VT_VARIANT, 0, 1), children, refused + L"ComponentChildren" + wrongType},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    host.answer = std::move(c.answer);
    try {
      EXPECT_EQ(c.call(), c.outcome);
    } catch (const HostCallError& error) {
      EXPECT_EQ(error.result(), DISP_E_TYPEMISMATCH);
      EXPECT_EQ(refused + error.operation() + L" : " + error.description(), c.outcome);
    }
  }
  host.answer = Variant();
  EXPECT_EQ(child.references, 1) << "a child reference not released once";
  EXPECT_EQ(host.references, 1);
}

}  // namespace
