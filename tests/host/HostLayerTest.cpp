// The typed host layer between the add-in and the host: what reaches
// IDispatch::Invoke, what becomes of the host's answers (objects owned and
// released once, out values, failures), and how answers of unexpected shapes
// are read. The simulator answers where it can; a scripted object shows the
// raw arguments and gives the odd answers the simulator never gives.
#include <gtest/gtest.h>
#include <objidl.h>

#include <functional>
#include <sstream>

#include "Simulator.h"
#include "host/ComRef.h"
#include "host/HostCallError.h"
#include "host/HostObjects.h"
#include "host/SafeArray.h"
#include "support/TestFiles.h"

namespace {

using Texts = std::vector<std::wstring>;

// One argument slot as it arrived, e.g. "BSTR Plan", "R8[0..2] 1 2 3 &"
// (an array of doubles by reference, from index 0 to 2).
std::wstring Slot(const VARIANT& v) {
  std::wostringstream out;
  const bool byReference = v.vt & VT_BYREF;
  switch (v.vt & ~VT_BYREF) {
    case VT_BSTR: out << L"BSTR " << v.bstrVal; break;
    case VT_R8: out << L"R8 " << v.dblVal; break;
    case VT_BOOL: out << L"BOOL " << (v.boolVal == VARIANT_TRUE ? L"TRUE" : v.boolVal ? L"?" : L"FALSE"); break;
    case VT_ARRAY | VT_R8: {
      SAFEARRAY* array = byReference ? *v.pparray : v.parray;
      LONG low = 0, high = -1;
      SafeArrayGetLBound(array, 1, &low);
      SafeArrayGetUBound(array, 1, &high);
      out << L"R8[" << low << L".." << high << L"]";
      for (LONG i = low; i <= high; ++i) {
        double value = 0;
        SafeArrayGetElement(array, &i, &value);
        out << L" " << value;
      }
      if (SafeArrayGetDim(array) != 1) out << L" dimensions " << SafeArrayGetDim(array);
      break;
    }
    default: out << L"vt " << v.vt;
  }
  if (byReference) out << L" &";
  return out.str();
}

// A host object that answers every call with a copy of `answer`, or fails
// with `failure` (DISP_E_EXCEPTION: with `description`, filled in at once or
// on demand), and keeps the last call's DISPPARAMS as they arrived.
class RawHost final : public IDispatch {
 public:
  Variant answer;
  HRESULT failure = S_OK;
  bool deferred = false;
  static inline std::wstring description;
  WORD flags = 0;
  std::vector<DISPID> named;
  Texts slots;  // rgvarg[0] first
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
    flags = kind;
    named.assign(params->rgdispidNamedArgs, params->rgdispidNamedArgs + params->cNamedArgs);
    slots.clear();
    for (UINT i = 0; i < params->cArgs; ++i) slots.push_back(Slot(params->rgvarg[i]));
    if (failure == DISP_E_EXCEPTION && exception && deferred) exception->pfnDeferredFillIn = &FillIn;
    if (failure == DISP_E_EXCEPTION && exception && !deferred) FillIn(exception);
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

// Answers of every shape: a number of some type, a text, an object, a
// one-dimensional array from index `low`.
Variant Number(VARTYPE type, double number) {
  VARIANT r8{};
  r8.vt = VT_R8;
  r8.dblVal = number;
  Variant v;
  VariantChangeType(v.put(), &r8, 0, type);
  return v;
}
Variant Text(const wchar_t* text) {
  Variant v;
  VARIANT* raw = v.put();
  raw->vt = VT_BSTR;
  raw->bstrVal = SysAllocString(text);
  return v;
}
Variant Object(VARTYPE type, IUnknown* object) {
  Variant v;
  VARIANT* raw = v.put();
  raw->vt = type;
  raw->punkVal = object;
  if (object) object->AddRef();
  return v;
}
Variant Array(VARTYPE element, LONG low, const std::vector<Variant>& items) {
  SAFEARRAY* array = SafeArrayCreateVector(element, low, static_cast<ULONG>(items.size()));
  for (LONG i = 0; i < static_cast<LONG>(items.size()); ++i) {
    const VARIANT& item = items[i].get();
    LONG index = low + i;
    // Texts and objects go in as themselves, anything else by its address.
    void* value = element == VT_BSTR ? static_cast<void*>(item.bstrVal)
                : element == VT_DISPATCH ? static_cast<void*>(item.pdispVal)
                : element == VT_R8 ? static_cast<void*>(const_cast<double*>(&item.dblVal))
                : static_cast<void*>(const_cast<VARIANT*>(&item));
    SafeArrayPutElement(array, &index, value);
  }
  Variant v;
  VARIANT* raw = v.put();
  raw->vt = VT_ARRAY | element;
  raw->parray = array;
  return v;
}
template <typename... Values>
std::vector<Variant> Items(Values&&... values) {
  std::vector<Variant> items;
  (items.push_back(std::move(values)), ...);
  return items;
}
std::vector<Variant> Numbers(std::initializer_list<double> values, VARTYPE type = VT_R8) {
  std::vector<Variant> items;
  for (double value : values) items.push_back(Number(type, value));
  return items;
}

// What a call made of the answer: its value as text, or the refusal.
std::wstring Outcome(const std::function<std::wstring()>& call) {
  try {
    return call();
  } catch (const HostCallError& error) {
    EXPECT_EQ(error.result(), DISP_E_TYPEMISMATCH);
    return L"refus\u00E9 par " + error.operation() + L" : " + error.description();
  }
}

class HostLayer : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(hostsim::writePartFixture(part, L"box:0,0,0,10,20,5"));
    ASSERT_TRUE(hostsim::writeAssemblyFixture(assembly, {part, part}));
    ASSERT_TRUE(sim.open(part));
    ASSERT_TRUE(sim.open(assembly));
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
  EXPECT_EQ(host.flags, DISPATCH_METHOD);
  EXPECT_TRUE(host.named.empty());
  EXPECT_EQ(host.slots, (Texts{L"R8 3", L"R8 2", L"R8 1.5", L"BSTR PLANE", L"BSTR Plan de c\u00F4t\u00E9"}));

  document.SetDocumentFlag(false);
  EXPECT_EQ(host.flags, DISPATCH_PROPERTYPUT);
  EXPECT_EQ(host.named, std::vector<DISPID>{DISPID_PROPERTYPUT});
  EXPECT_EQ(host.slots, Texts{L"BOOL FALSE"});

  document.CreateLine({1, 2, 3}, {4, 5, 6});
  EXPECT_EQ(host.slots, (Texts{L"R8[0..2] 4 5 6 &", L"R8[0..2] 1 2 3 &"}));
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
      document.RebuildModel();
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
  } cases[] = {
      {DISP_E_EXCEPTION, false, L"Plan introuvable"},
      {DISP_E_EXCEPTION, true, L"D\u00E9crit plus tard"},
      {DISP_E_MEMBERNOTFOUND, false, L""},
  };
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
  EXPECT_FALSE(none.ActiveDocument());
  EXPECT_FALSE(none.GetMenuFrame());
  EXPECT_EQ(none.OpenDocumentEx(part, 1), 0);
  const ModelDocument document;
  EXPECT_EQ(document.DocumentPath(), L"");
  EXPECT_EQ(document.DocumentKind(), 0);
  EXPECT_FALSE(document.SaveToPath(part));
  EXPECT_FALSE(document.HasActiveSketch());
  EXPECT_EQ(PartDocument().PartBoundingBox(true).b4, 0);
  EXPECT_TRUE(Component().ComponentChildren().empty());
  EXPECT_TRUE(sim.callLines().empty());
}

// The answers the add-in reads must be what it reads (a number's type may
// differ), or the command stops with a French description of what was
// wrong; the answers it does not read may be anything.
TEST_F(HostLayer, AnswersOfAnotherShapeAreRefusedInFrenchWhereTheAddinReadsThemAndIgnoredElsewhere) {
  RawHost host, child;
  ComRef<IStream> stream;  // an object without automation
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  SafeArray box(SafeArrayCreateVector(VT_R8, 0, 6));
  SAFEARRAY* boxSlot = box.get();
  Variant boxByReference;
  VARIANT* byReference = boxByReference.put();
  byReference->vt = VT_ARRAY | VT_BYREF | VT_R8;
  byReference->pparray = &boxSlot;

  const auto kind = [&] { return std::to_wstring(On<ModelDocument>(&host).DocumentKind()); };
  const auto active = [&] { return On<HostApplication>(&host).ActiveDocument() ? L"un document" : L"aucun"; };
  const auto ignored = [&](const std::function<void(IDispatch*)>& call) {
    return [&, call] {
      call(&host);
      return std::wstring(L"ignor\u00E9");
    };
  };
  const auto box6 = [&] {
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
  const std::wstring wrongType = L" : r\u00E9ponse d'un type inattendu";
  const std::wstring notABox = L"refus\u00E9 par PartBoundingBox : la bo\u00EEte englobante n'est pas un tableau de six nombres";
  const std::wstring notAList = L"refus\u00E9 par ComponentChildren : la liste des composants n'est pas un tableau d'objets";
  struct Case {
    const char* what;
    Variant answer;
    std::function<std::wstring()> call;
    std::wstring outcome;
  };
  Case cases[] = {
      {"a kind as a short", Number(VT_I2, 2), kind, L"2"},
      {"a kind as a text", Text(L"deux"), kind, L"refus\u00E9 par DocumentKind" + wrongType},
      {"a document as a number", Number(VT_I4, 5), active, L"refus\u00E9 par ActiveDocument" + wrongType},
      {"a document without automation", Object(VT_UNKNOWN, stream.get()), active,
       L"refus\u00E9 par ActiveDocument : objet sans interface d'automatisation"},
      {"DeleteSelection", Text(L"oui"), ignored([](IDispatch* h) { On<ModelDocument>(h).DeleteSelection(false); }),
       L"ignor\u00E9"},
      {"AddTopMenu", Array(VT_R8, 0, Numbers({1})),
       ignored([](IDispatch* h) { On<MenuFrame>(h).AddTopMenu(L"M", 0); }), L"ignor\u00E9"},
      {"AddMenuEntry", Object(VT_UNKNOWN, stream.get()),
       ignored([](IDispatch* h) { On<MenuFrame>(h).AddMenuEntry(L"M", L"I", -1, L"L@E"); }), L"ignor\u00E9"},
      {"OpenDocument", Number(VT_I4, 7), ignored([](IDispatch* h) { On<HostApplication>(h).OpenDocument(L"p", 1); }),
       L"ignor\u00E9"},
      {"PrepareComponents", Text(L"trois"),
       ignored([](IDispatch* h) { On<AssemblyDocument>(h).PrepareComponents(true); }), L"ignor\u00E9"},
      {"a box", Array(VT_R8, 0, Numbers({0, 0, 0, 10, 20, 5})), box6, L"0 0 0 10 20 5"},
      {"a box of VARIANTs", Array(VT_VARIANT, 0, Numbers({0, 0, 0, 10, 20, 5}, VT_I4)), box6, L"0 0 0 10 20 5"},
      {"no box", Variant(), box6, notABox},
      {"a short box", Array(VT_R8, 0, Numbers({0, 0, 0, 10, 20})), box6, notABox},
      {"a box from index 1", Array(VT_R8, 1, Numbers({0, 0, 0, 10, 20, 5})), box6, notABox},
      {"a box by reference", std::move(boxByReference), box6, notABox},
      {"a box of texts", Array(VT_BSTR, 0, Items(Text(L"0"), Text(L"0"), Text(L"0"), Text(L"1"), Text(L"1"), Text(L"1"))),
       box6, notABox},
      {"a box of VARIANTs not numbers", Array(VT_VARIANT, 0, Items(Number(VT_R8, 0), Number(VT_R8, 0), Number(VT_R8, 0),
                                                              Text(L"dix"), Number(VT_R8, 20), Number(VT_R8, 5))),
       box6, L"refus\u00E9 par PartBoundingBox" + wrongType},
      {"no children", Variant(), children, L""},
      {"no children in an array", Array(VT_DISPATCH, 0, Items()), children, L""},
      {"children", Array(VT_DISPATCH, 0, Items(Object(VT_DISPATCH, &child), Object(VT_DISPATCH, &child))), children,
       L"enfant enfant "},
      {"children in VARIANTs", Array(VT_VARIANT, 0, Items(Object(VT_DISPATCH, &child), Object(VT_DISPATCH, &child))),
       children, L"enfant enfant "},
      {"null children",
       Array(VT_DISPATCH, 0, Items(Object(VT_DISPATCH, nullptr), Object(VT_DISPATCH, &child))), children, L"enfant "},
      {"null children in VARIANTs", Array(VT_VARIANT, 0, Items(Variant(), Object(VT_DISPATCH, nullptr))), children, L""},
      {"children as texts", Array(VT_BSTR, 0, Items(Text(L"enfant"))), children, notAList},
      {"children as numbers in VARIANTs", Array(VT_VARIANT, 0, Items(Number(VT_I4, 1))), children,
       L"refus\u00E9 par ComponentChildren" + wrongType},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    host.answer = std::move(c.answer);
    EXPECT_EQ(Outcome(c.call), c.outcome);
  }
  host.answer = Variant();
  for (Case& c : cases) c.answer = Variant();
  EXPECT_EQ(child.references, 1) << "a child reference not released once";
  EXPECT_EQ(host.references, 1);
}

}  // namespace
