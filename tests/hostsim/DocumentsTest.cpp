// Documents as the host application keeps them: opening (and its error
// codes), names, activation, closing, saving, and the events each raises.
#include <gtest/gtest.h>
#include <ocidl.h>
#include <olectl.h>

#include <atomic>

#include "hostsim/HostTestSupport.h"
#include "core/Simulator.h"

using namespace hosttest;

namespace {

// Records the events it receives as "1 name", "2 kind", "3"; answers every one with a VT_BOOL result.
class RecordingSink final : public IDispatch {
 public:
  explicit RecordingSink(IID iid) : iid_(iid) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == iid_) {
      *object = static_cast<IDispatch*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++count_; }
  ULONG STDMETHODCALLTYPE Release() override { return --count_; }  // lives on the test's stack
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    std::wstring line = std::to_wstring(id);
    if (id == 1 && params->cArgs == 1 && params->rgvarg[0].vt == VT_BSTR) line += L" " + std::wstring(params->rgvarg[0].bstrVal);
    if (id == 2 && params->cArgs == 2 && params->rgvarg[0].vt == VT_I4 && params->rgvarg[1].vt == VT_DISPATCH) {
      line += L" " + std::to_wstring(params->rgvarg[0].lVal);
      if (params->rgvarg[1].pdispVal) {
        Outcome path = method(params->rgvarg[1].pdispVal, dispid::DocumentPath);
        line += L" " + fileNameOf(textOf(path));
      }
    }
    if (id == 3) line += L" args=" + std::to_wstring(params->cArgs);
    if (id == 2 && keepDocuments && params->rgvarg[1].pdispVal) {
      params->rgvarg[1].pdispVal->AddRef();
      kept.push_back(params->rgvarg[1].pdispVal);
    }
    events.push_back(line);
    resultTypes.push_back(result ? result->vt : static_cast<VARTYPE>(VT_ILLEGAL));
    if (result) {
      result->vt = VT_BOOL;
      result->boolVal = VARIANT_FALSE;
    }
    return S_OK;
  }
  static std::wstring fileNameOf(const std::wstring& path) { return path.substr(path.rfind(L'\\') + 1); }

  std::vector<std::wstring> events;
  std::vector<VARTYPE> resultTypes;
  bool keepDocuments = false;
  std::vector<IDispatch*> kept;
  std::atomic<ULONG> count_{1};

 private:
  IID iid_;
};

class HostsimDocuments : public ::testing::Test {
 protected:
  void SetUp() override {
    part_ = folder_.file(L"arbre.SLDPRT");
    other_ = folder_.file(L"bride.SLDPRT");
    assembly_ = folder_.file(L"ensemble.SLDASM");
    ASSERT_TRUE(hostsim::writePartFixture(part_, L"shaft"));
    ASSERT_TRUE(hostsim::writePartFixture(other_, L"flange"));
    ASSERT_TRUE(hostsim::writeAssemblyFixture(assembly_, {part_, other_}));
  }
  Obj openDocument(const std::wstring& path, long kind) {
    return objectOf(method(sim_.application(), dispid::OpenDocument, args(text(path), i4(kind))));
  }
  long openEx(const std::wstring& path, long kind, bool* gotObject = nullptr) {
    long error = -1;
    VARIANT out;
    VariantInit(&out);
    out.vt = VT_I4 | VT_BYREF;
    out.plVal = &error;
    Outcome outcome = method(sim_.application(), dispid::OpenDocumentEx, args(text(path), i4(kind), Var(out)));
    EXPECT_EQ(outcome.hr, S_OK);
    if (gotObject) *gotObject = outcome.result.get().vt == VT_DISPATCH && outcome.result.get().pdispVal;
    return error;
  }
  // The application's source interface, as its class info names it.
  IID sourceIid() {
    IProvideClassInfo2* info = nullptr;
    EXPECT_EQ(sim_.application()->QueryInterface(IID_IProvideClassInfo2, reinterpret_cast<void**>(&info)), S_OK);
    IID source{};
    EXPECT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    info->Release();
    return source;
  }
  // Connects a sink to the source interface; the cookie.
  DWORD advise(RecordingSink& sink) {
    IConnectionPointContainer* container = nullptr;
    EXPECT_EQ(sim_.application()->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
    EXPECT_EQ(container->FindConnectionPoint(sourceIid(), &point_), S_OK);
    container->Release();
    DWORD cookie = 0;
    EXPECT_EQ(point_->Advise(&sink, &cookie), S_OK);
    return cookie;
  }
  void TearDown() override {
    if (point_) point_->Release();
  }

  hostsim::Simulator sim_;
  TempFolder folder_;
  std::wstring part_, other_, assembly_;
  IConnectionPoint* point_ = nullptr;
};

TEST_F(HostsimDocuments, OpeningAnOpenPathGivesThatDocument) {
  Obj first = openDocument(part_, 1);
  Obj second = openDocument(part_, 1);
  EXPECT_EQ(sim_.openDocumentPaths(), std::vector<std::wstring>{part_});
  put(first.get(), dispid::DocumentFlag, flag(false));
  booleanOf(method(first.get(), dispid::SelectByName, args(text(L"Plan de face"), text(L"PLANE"), r8(0), r8(0), r8(0))));
  Obj set = objectOf(get(second.get(), dispid::GetSelectionSet));
  EXPECT_EQ(integerOf(method(set.get(), dispid::SelectedCount)), 1) << "both references reach one document";
  EXPECT_EQ(textOf(method(second.get(), dispid::DocumentPath)), part_);
}

TEST_F(HostsimDocuments, OpenDocumentExGivesDocumentedErrorCodes) {
  bool got = true;
  EXPECT_EQ(openEx(folder_.file(L"absent.SLDPRT"), 1, &got), 2);
  EXPECT_FALSE(got);
  const std::wstring corrupt = folder_.file(L"corrompu.SLDPRT");
  ASSERT_TRUE(writeFileBytes(corrupt, "hostsim part 1\nfeature 1 RefPlane sideways\n"));
  EXPECT_EQ(openEx(corrupt, 1, &got), 3);
  EXPECT_FALSE(got);
  EXPECT_EQ(openEx(assembly_, 1, &got), 4) << "an assembly opened as a part";
  EXPECT_FALSE(got);
  EXPECT_EQ(openEx(part_, 2), 4);
  EXPECT_EQ(openEx(part_, 1, &got), 0);
  EXPECT_TRUE(got);
  EXPECT_EQ(openEx(part_, 2), 4) << "also when the document is already open";
  EXPECT_EQ(sim_.openDocumentPaths(), std::vector<std::wstring>{part_});
}

TEST_F(HostsimDocuments, ActivateAndCloseWorkByFileNameWithExtension) {
  ASSERT_TRUE(sim_.open(part_));
  ASSERT_TRUE(sim_.open(other_));
  EXPECT_EQ(sim_.activeDocumentPath(), other_);
  Obj activated = objectOf(method(sim_.application(), dispid::ActivateDocument, args(text(L"arbre.SLDPRT"))));
  EXPECT_EQ(textOf(method(activated.get(), dispid::DocumentPath)), part_);
  EXPECT_EQ(sim_.activeDocumentPath(), part_);
  Outcome none = method(sim_.application(), dispid::ActivateDocument, args(text(L"arbre")));
  EXPECT_EQ(none.result.get().vt, VT_DISPATCH);
  EXPECT_EQ(none.result.get().pdispVal, nullptr);
  method(sim_.application(), dispid::CloseDocument, args(text(L"arbre.SLDPRT")));
  EXPECT_EQ(sim_.openDocumentPaths(), std::vector<std::wstring>{other_});
  EXPECT_EQ(sim_.activeDocumentPath(), other_);
  method(sim_.application(), dispid::CloseDocumentByPath, args(text(other_)));
  EXPECT_TRUE(sim_.openDocumentPaths().empty());
  Outcome active = get(sim_.application(), dispid::ActiveDocument);
  EXPECT_EQ(active.result.get().pdispVal, nullptr);
}

TEST_F(HostsimDocuments, SaveToPathMakesTheDocumentStandForTheNewFile) {
  Obj doc = openDocument(part_, 1);
  const std::string source = readFileBytes(part_);
  const std::wstring copy = folder_.subfolder(L"sortie") + L"copie.SLDPRT";
  EXPECT_TRUE(booleanOf(method(doc.get(), dispid::SaveToPath, args(text(copy)))));
  EXPECT_EQ(readFileBytes(copy), source);
  EXPECT_EQ(textOf(method(doc.get(), dispid::DocumentPath)), copy);
  EXPECT_EQ(sim_.openDocumentPaths(), std::vector<std::wstring>{copy});
  EXPECT_TRUE(objectOf(method(sim_.application(), dispid::ActivateDocument, args(text(L"copie.SLDPRT")))));
  // Changes now go to the copy: the source keeps its content.
  booleanOf(method(doc.get(), dispid::SelectByName, args(text(L"Portée1"), text(L"BODYFEATURE"), r8(0), r8(0), r8(0))));
  method(doc.get(), dispid::DeleteSelection, args(flag(false)));
  method(doc.get(), dispid::RebuildModel);
  method(doc.get(), dispid::SaveDocument);
  EXPECT_EQ(readFileBytes(part_), source);
  EXPECT_LT(sizeOfFile(copy), static_cast<long long>(source.size()));
  EXPECT_FALSE(booleanOf(method(doc.get(), dispid::SaveToPath, args(text(folder_.file(L"pas\\de\\dossier.SLDPRT"))))));
  EXPECT_EQ(textOf(method(doc.get(), dispid::DocumentPath)), copy);
}

TEST_F(HostsimDocuments, OnlySavesWriteFiles) {
  Obj doc = openDocument(part_, 1);
  const std::string source = readFileBytes(part_);
  booleanOf(method(doc.get(), dispid::SelectByName, args(text(L"Portée1"), text(L"BODYFEATURE"), r8(0), r8(0), r8(0))));
  method(doc.get(), dispid::DeleteSelection, args(flag(false)));
  method(doc.get(), dispid::RebuildModel);
  method(sim_.application(), dispid::CloseDocument, args(text(L"arbre.SLDPRT")));
  EXPECT_EQ(readFileBytes(part_), source);
}

TEST_F(HostsimDocuments, EventsFollowOpenActivateAndCloseOnTheOneConnectionPoint) {
  RecordingSink sink(sourceIid());
  DWORD cookie = advise(sink);
  ASSERT_NE(cookie, 0u);
  ASSERT_TRUE(sim_.open(part_));
  Obj again = openDocument(part_, 1);  // already open and active: no event
  Obj assembly = openDocument(assembly_, 2);
  method(sim_.application(), dispid::ActivateDocument, args(text(L"arbre.SLDPRT")));
  method(sim_.application(), dispid::ActivateDocument, args(text(L"arbre.SLDPRT")));  // no change
  method(sim_.application(), dispid::CloseDocument, args(text(L"arbre.SLDPRT")));
  std::vector<std::wstring> expected = {L"1 arbre.SLDPRT", L"2 1 arbre.SLDPRT", L"1 ensemble.SLDASM",
                                        L"2 2 ensemble.SLDASM", L"2 1 arbre.SLDPRT", L"3 args=0",
                                        L"2 2 ensemble.SLDASM"};
  EXPECT_EQ(sink.events, expected);
  for (VARTYPE vt : sink.resultTypes) EXPECT_EQ(vt, VT_EMPTY) << "each event offers a result slot";
  EXPECT_EQ(point_->Unadvise(cookie), S_OK);
  EXPECT_EQ(point_->Unadvise(cookie), CONNECT_E_NOCONNECTION);
  IConnectionPointContainer* container = nullptr;
  ASSERT_EQ(sim_.application()->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
  IConnectionPoint* other = reinterpret_cast<IConnectionPoint*>(1);
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &other), CONNECT_E_NOCONNECTION) << "only the events interface";
  EXPECT_EQ(other, nullptr);
  container->Release();
  sim_.close(L"ensemble.SLDASM");
  EXPECT_EQ(sink.events.size(), expected.size()) << "no events after Unadvise";
  EXPECT_EQ(sink.count_, 1u) << "the simulator let go of the sink";
}

TEST_F(HostsimDocuments, OnlyEventArgumentsASinkKeepsCountAsItsReferences) {
  RecordingSink sink(sourceIid());
  DWORD cookie = advise(sink);
  const long base = sim_.liveReferences();
  ASSERT_TRUE(sim_.open(part_));
  EXPECT_EQ(sim_.liveReferences(), base) << "the event's document was the simulator's own";
  sink.keepDocuments = true;
  ASSERT_TRUE(sim_.open(other_));
  EXPECT_EQ(sim_.liveReferences(), base + 1);
  for (IDispatch* d : sink.kept) d->Release();
  EXPECT_EQ(sim_.liveReferences(), base);
  point_->Unadvise(cookie);
}

}  // namespace
