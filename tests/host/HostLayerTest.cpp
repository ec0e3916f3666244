// The typed host layer on what the add-in's commands never meet in the
// simulator's own answers: answers of other shapes, as another host may give
// them (planned in the simulator), and failures described only on demand or
// not at all (a scripted object). What reaches the host, and what a command
// makes of its answers and failures, is checked call by call through the real
// library in tests/addin.
#include <gtest/gtest.h>
#include <objidl.h>

#include <functional>

#include "core/Simulator.h"
#include "host/ComRef.h"
#include "host/HostCallError.h"
#include "host/HostObjects.h"
#include "support/TestFiles.h"

namespace {

using namespace zelm;

template <typename View>
View On(IDispatch* object) {
  return View(ComRef<IDispatch>::Borrow(object));
}

Variant Number(VARTYPE type, long number) {
  Variant v;
  VARIANT* raw = v.Put();
  raw->vt = VT_I4;
  raw->lVal = number;
  VariantChangeType(raw, raw, 0, type);
  return v;
}
Variant Object(IUnknown* object, VARTYPE type = VT_DISPATCH) {
  Variant v;
  VARIANT* raw = v.Put();
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
    const VARIANT& raw = item.Get();
    LONG index = low + i;
    // Texts and objects go in as themselves, anything else by its address.
    SafeArrayPutElement(array, &index, element == VT_BSTR ? static_cast<void*>(raw.bstrVal)
                                       : element == VT_DISPATCH ? static_cast<void*>(raw.pdispVal)
                                       : element == VT_R8 ? const_cast<double*>(&raw.dblVal)
                                                          : static_cast<void*>(const_cast<VARIANT*>(&raw)));
  }
  Variant v;
  VARIANT* raw = v.Put();
  raw->vt = VT_ARRAY | element;
  raw->parray = array;
  return v;
}

// The answers the add-in reads must be what it reads (a number may come in
// another type; a box or a list of children in VARIANTs), or the command
// stops with a French description of what was wrong, never reading past what
// the host gave.
TEST(HostLayer, AnswersOfAnotherShapeAreReadWhenSoundAndElseRefusedInFrench) {
  testsupport::TempFolder folder;
  const std::wstring part = folder.file(L"bride.SLDPRT"), assembly = folder.file(L"ensemble.SLDASM");
  ASSERT_TRUE(hostsim::writePartFixture(part, L"box:0,0,0,10,20,5") && hostsim::writeAssemblyFixture(assembly, {part}));
  hostsim::Simulator sim;
  ASSERT_TRUE(sim.open(assembly));
  const long references = sim.liveReferences();
  {
    const HostApplication app = On<HostApplication>(sim.application());
    const ModelDocument document = app.ActiveDocument();
    const Component root(sim.componentObject({}));
    const ComRef<IDispatch> child = sim.componentObject({0});
    ComRef<IStream> stream;  // an object without automation
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
    SafeArray box(SafeArrayCreateVector(VT_R8, 0, 6));
    SAFEARRAY* boxSlot = box.Get();
    Variant boxByReference, word;
    VARIANT* raw = boxByReference.Put();
    raw->vt = VT_ARRAY | VT_BYREF | VT_R8;
    raw->pparray = &boxSlot;
    raw = word.Put();
    raw->vt = VT_BSTR;
    raw->bstrVal = SysAllocString(L"deux");

    const auto kind = [&] { return std::to_wstring(document.DocumentKind()); };
    const auto active = [&] { return app.ActiveDocument() ? L"un document" : L"aucun"; };
    const auto boxOf = [&] {
      const PartBox b = document.AsPart().PartBoundingBox(true);
      std::wstring text;
      for (double value : {b.b0, b.b1, b.b2, b.b3, b.b4, b.b5}) text += std::to_wstring(static_cast<int>(value));
      return text;
    };
    const auto children = [&] {
      std::wstring text;
      for (const Component& c : root.ComponentChildren()) text += c.ComponentPath() == part ? L"P" : L"?";
      return text;
    };
    const std::wstring refused = L"refus\u00E9 par ", wrongType = L" : r\u00E9ponse d'un type inattendu";
    const std::wstring notABox = refused + L"PartBoundingBox : la bo\u00EEte englobante n'est pas un tableau de six nombres";
    const std::wstring notAList = refused + L"ComponentChildren : la liste des composants n'est pas un tableau d'objets";
    struct Case {
      const wchar_t* operation;  // answered with `answer`
      Variant answer;
      std::function<std::wstring()> call;
      std::wstring outcome;
    };
    Case cases[] = {
        {L"DocumentKind", Number(VT_I2, 1), kind, L"1"},
        {L"DocumentKind", std::move(word), kind, refused + L"DocumentKind" + wrongType},
        {L"ActiveDocument", Number(VT_I4, 5), active, refused + L"ActiveDocument" + wrongType},
        {L"ActiveDocument", Object(stream.Get(), VT_UNKNOWN), active,
         refused + L"ActiveDocument : objet sans interface d'automatisation"},
        {L"PartBoundingBox", Array(VT_R8, 0, 6), boxOf, L"012345"},
        {L"PartBoundingBox", Array(VT_VARIANT, 0, 6), boxOf, L"012345"},
        {L"PartBoundingBox", Number(VT_BSTR, 6), boxOf, notABox},
        {L"PartBoundingBox", Array(VT_R8, 0, 5), boxOf, notABox},
        {L"PartBoundingBox", Array(VT_R8, 1, 6), boxOf, notABox},
        {L"PartBoundingBox", std::move(boxByReference), boxOf, notABox},
        {L"PartBoundingBox", Array(VT_BSTR, 0, 6), boxOf, notABox},
        {L"ComponentChildren", Array(VT_DISPATCH, 0, 3, {child.Get(), nullptr, child.Get()}), children, L"PP"},
        {L"ComponentChildren", Array(VT_VARIANT, 0, 3, {nullptr, child.Get(), child.Get()}), children, L"PP"},
        {L"ComponentChildren", Array(VT_BSTR, 0, 1), children, notAList},
        {L"ComponentChildren", Array(VT_VARIANT, 0, 1), children, refused + L"ComponentChildren" + wrongType},
    };
    for (Case& c : cases) {
      SCOPED_TRACE(testsupport::Utf8(c.operation) + " " + std::to_string(&c - cases));
      sim.answerOddly(c.operation, 1, &c.answer.Get());
      c.answer = Variant();
      try {
        EXPECT_EQ(c.call(), c.outcome);
      } catch (const HostCallError& error) {
        EXPECT_EQ(error.Status(), DISP_E_TYPEMISMATCH);
        EXPECT_EQ(refused + error.OperationName() + L" : " + error.Description(), c.outcome);
      }
    }
  }
  EXPECT_EQ(sim.liveReferences(), references) << "a reference not released once";
}

// A host object whose every call fails with `failure`, describing a
// DISP_E_EXCEPTION only when asked (pfnDeferredFillIn), as some servers do.
class FailingHost final : public IDispatch {
 public:
  explicit FailingHost(HRESULT failure) : failure_(failure) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // on the test's stack
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* exception,
                                   UINT*) override {
    if (exception) exception->pfnDeferredFillIn = [](EXCEPINFO* info) -> HRESULT {
      info->bstrDescription = SysAllocString(L"D\u00E9crit sur demande");
      info->pfnDeferredFillIn = nullptr;
      return S_OK;
    };
    return failure_;
  }

 private:
  HRESULT failure_;
};

TEST(HostLayer, AFailedCallNamesTheOperationWithTheDescriptionTheHostGaveOnDemand) {
  for (HRESULT failure : {DISP_E_EXCEPTION, DISP_E_MEMBERNOTFOUND}) {
    FailingHost host(failure);
    try {
      On<ModelDocument>(&host).SelectByName(L"Plan", L"PLANE", 0, 0, 0);
      ADD_FAILURE() << "no error";
    } catch (const HostCallError& error) {
      EXPECT_EQ(error.Status(), failure);
      EXPECT_EQ(error.OperationName(), L"SelectByName");
      // Only an exception carries a description.
      EXPECT_EQ(error.Description(), failure == DISP_E_EXCEPTION ? L"D\u00E9crit sur demande" : L"");
    }
  }
}

}  // namespace
