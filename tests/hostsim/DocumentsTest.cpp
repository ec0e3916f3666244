// Documents as the host keeps them: opening and its error codes, the files
// it holds, saving, names, documents never saved, and the events.
#include <ocidl.h>
#include <olectl.h>

#include "core/Objects.h"
#include "core/SingleInterfaceObject.h"
#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

bool readable(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}

class HostsimDocuments : public HostTest {};

TEST_F(HostsimDocuments, OpeningGivesTheDocumentedErrorCodes) {
  const std::wstring p = part(L"p.SLDPRT"), locked = part(L"pris.SLDPRT"), a = assembly(L"a.SLDASM", {p});
  ASSERT_TRUE(WriteFileBytes(path(L"x.SLDPRT"), "hostsim part 1\nfeature 1 RefPlane sideways\n"));
  HANDLE hold = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const struct {
    std::wstring path;
    long kind, code;
  } cases[] = {{path(L"absent.SLDPRT"), 1, 2}, {L"", 1, 2}, {path(L"x.SLDPRT"), 1, 3}, {a, 1, 4}, {locked, 1, 5},
               {folder.path(), 1, 5}, {p, 0, 6}, {p, 3, 6}, {p, 1, 0}, {p, 1, 0}, {p, 2, 4}};
  for (const auto& c : cases) {
    long error = -1;
    EXPECT_EQ(app(dispid::OpenDocumentEx, args(c.path, c.kind, out(error))).isNull(), c.code != 0);
    EXPECT_EQ(error, c.code) << testing::PrintToString(c.path) << " kind " << c.kind;
  }
  CloseHandle(hold);
  EXPECT_TRUE(app(dispid::OpenDocument, args(L"", 1)).isNull());
  EXPECT_EQ(sim.openDocumentPaths(), std::vector<std::wstring>{p}) << "the path opened twice is one document";
}

// The file of an open document is held, shared with no one; saving moves the
// hold with the file, never writes over another open document, and nothing
// else writes.
TEST_F(HostsimDocuments, FilesAreHeldWhileOpenAndWrittenOnlyBySaves) {
  const std::wstring shaft = part(L"arbre.SLDPRT", L"shaft"), other = part(L"autre.SLDPRT"), copy = path(L"copie.SLDPRT");
  const std::string source = ReadFileBytes(shaft), otherBytes = ReadFileBytes(other);
  ASSERT_TRUE(sim.open(other) && sim.open(shaft));
  Obj doc = active();
  auto remove = [&](const wchar_t* feature) {
    ASSERT_TRUE(select(doc.get(), feature, L"BODYFEATURE"));
    method(doc.get(), dispid::DeleteSelection, args(false));
    method(doc.get(), dispid::RebuildModel);
  };
  EXPECT_FALSE(readable(shaft));
  remove(L"Portée1");
  for (const std::wstring& refused : {other, std::wstring(), path(L"pas\\de\\dossier.SLDPRT")})
    EXPECT_FALSE(booleanOf(method(doc.get(), dispid::SaveToPath, args(refused)))) << testing::PrintToString(refused);
  EXPECT_TRUE(booleanOf(method(doc.get(), dispid::SaveToPath, args(copy))));
  EXPECT_EQ(textOf(method(doc.get(), dispid::DocumentPath)), copy);
  EXPECT_TRUE(readable(shaft)) << "the hold moved with the document";
  EXPECT_FALSE(readable(copy));
  remove(L"Portée2");
  method(doc.get(), dispid::SaveDocument);  // writes the held file
  remove(L"Portée3");
  EXPECT_TRUE(booleanOf(method(doc.get(), dispid::SaveToPath, args(copy)))) << "its own path";
  ASSERT_TRUE(sim.close(L"copie.SLDPRT") && sim.close(L"autre.SLDPRT"));
  EXPECT_EQ(sim.dump(copy).find(L"Portée"), sim.dump(copy).find(L"Portée4")) << "every deletion saved";
  EXPECT_EQ(ReadFileBytes(shaft), source);
  EXPECT_EQ(ReadFileBytes(other), otherBytes) << "closed without saving";
}

// Two open files of one name: ActivateDocument and CloseDocument both take
// the most recently active, so opening, activating and closing by name reach
// the document just opened.
TEST_F(HostsimDocuments, NamesOfTwoFoldersReachTheMostRecentlyActiveDocument) {
  const std::wstring first = part(L"arbre.SLDPRT"), other = part(L"bride.SLDPRT");
  const std::wstring second = part(folder.subfolder(L"autre") + L"arbre.SLDPRT");
  auto activate = [&] {
    return textOf(method(objectOf(app(dispid::ActivateDocument, args(L"ARBRE.sldprt"))).get(), dispid::DocumentPath));
  };
  ASSERT_TRUE(sim.open(first) && sim.open(other) && sim.open(second) && sim.activate(L"bride.SLDPRT"));
  EXPECT_EQ(activate(), second);
  app(dispid::CloseDocument, args(L"arbre.SLDPRT"));
  EXPECT_EQ(activate(), first);
  app(dispid::CloseDocumentByPath, args(first));
  EXPECT_EQ(sim.openDocumentPaths(), std::vector<std::wstring>{other});
  EXPECT_TRUE(app(dispid::ActivateDocument, args(L"arbre")).isNull());
}

TEST_F(HostsimDocuments, ADocumentNeverSavedHasNoPathUntilSavedToOne) {
  ASSERT_TRUE(sim.newDocument(L"tiny") && sim.newDocument());
  EXPECT_EQ(sim.openDocuments().back().name, L"Pièce2");
  EXPECT_EQ(textOf(method(active().get(), dispid::DocumentPath)), L"");
  EXPECT_EQ(method(active().get(), dispid::SaveDocument).hr, S_OK);
  EXPECT_TRUE(app(dispid::OpenDocument, args(L"", 1)).isNull()) << "the empty path finds no document never saved";
  ASSERT_TRUE(sim.activate(L"Pièce1"));
  EXPECT_TRUE(booleanOf(method(active().get(), dispid::SaveToPath, args(path(L"neuf.SLDPRT")))));
  EXPECT_EQ(sim.openDocuments().back().name, L"neuf.SLDPRT");
  EXPECT_NE(sim.dump(path(L"neuf.SLDPRT")).find(L"feature: Bloc1 (Plate)\nbody: 12 triangles"), std::wstring::npos);
}

// Records the events as "ID args=COUNT ..." (the name, or the kind and the
// active document's name); keeps the documents it is asked to.
class RecordingSink final : public hostsim::SingleInterfaceObject<IDispatch> {
 public:
  explicit RecordingSink(hostsim::Simulator& sim) : SingleInterfaceObject(hostsim::kApplicationEventsIid), sim_(sim) {}
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    std::wstring line = std::to_wstring(id) + L" args=" + std::to_wstring(p->cArgs);
    if (id == 1) line += L" " + std::wstring(p->rgvarg[0].bstrVal);
    if (id == 2) line += L" " + std::to_wstring(p->rgvarg[0].lVal) + L" " + sim_.openDocuments().back().name;
    if (id == 2 && keep) kept.emplace_back((p->rgvarg[1].pdispVal->AddRef(), p->rgvarg[1].pdispVal));
    events.push_back(line + (result->vt == VT_EMPTY ? L"" : L" (no empty result slot)"));
    result->vt = VT_BOOL;
    result->boolVal = VARIANT_FALSE;
    return S_OK;
  }
  std::vector<std::wstring> events;
  bool keep = false;
  std::vector<Obj> kept;

 private:
  hostsim::Simulator& sim_;
};

TEST_F(HostsimDocuments, EventsFollowOpenActivateAndClose) {
  const std::wstring p = part(L"arbre.SLDPRT"), a = assembly(L"ensemble.SLDASM", {p});
  IConnectionPointContainer* container = nullptr;
  ASSERT_EQ(sim.application()->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)), S_OK);
  IConnectionPoint* point = nullptr;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, &point), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(container->FindConnectionPoint(hostsim::kApplicationEventsIid, &point), S_OK);
  container->Release();
  auto* sink = new RecordingSink(sim);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(sink, &cookie), S_OK);
  const long base = sim.liveReferences();
  ASSERT_TRUE(sim.open(p));
  app(dispid::OpenDocument, args(p, 1));  // already open and active: no event
  sink->keep = true;
  app(dispid::OpenDocument, args(a, 2));
  EXPECT_EQ(sim.liveReferences(), base + 1) << "only the document the sink kept";
  sink->kept.clear();
  sim.activate(L"arbre.SLDPRT");
  sim.activate(L"arbre.SLDPRT");  // no change
  app(dispid::CloseDocument, args(L"arbre.SLDPRT"));
  sim.newDocument();
  const std::vector<std::wstring> expected = {
      L"1 args=1 arbre.SLDPRT",      L"2 args=2 1 arbre.SLDPRT", L"1 args=1 ensemble.SLDASM",
      L"2 args=2 2 ensemble.SLDASM", L"2 args=2 1 arbre.SLDPRT", L"3 args=0",
      L"2 args=2 2 ensemble.SLDASM", L"2 args=2 1 Pièce1"};
  EXPECT_EQ(sink->events, expected);
  EXPECT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
  point->Release();
  sim.close(L"ensemble.SLDASM");
  EXPECT_EQ(sink->events.size(), expected.size()) << "no events after Unadvise";
  EXPECT_EQ(sink->Release(), 0u) << "the simulator let go of the sink";
}

}  // namespace
