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
  ASSERT_TRUE(sim_.newDocument(L"tiny") && sim_.newDocument());  // never saved: the empty path does not find them
  EXPECT_EQ(sim_.openDocuments().back().name, L"Pièce2");
  HANDLE hold = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  const struct {
    std::wstring path;
    long kind, code;
  } cases[] = {{path(L"absent.SLDPRT"), 1, 2}, {L"", 1, 2}, {path(L"x.SLDPRT"), 1, 3}, {a, 1, 4}, {locked, 1, 5},
               {folder_.path(), 1, 5}, {p, 0, 6}, {p, 3, 6}, {p, 1, 0}, {p, 1, 0}, {p, 2, 4}};
  for (const auto& c : cases) EXPECT_EQ(app_.OpenDocumentEx(c.path, c.kind), c.code) << Utf8(c.path) << " kind " << c.kind;
  CloseHandle(hold);
  EXPECT_EQ(sim_.openDocumentPaths(), (std::vector<std::wstring>{L"", L"", p})) << "the path opened twice is one document";
  EXPECT_EQ(sim_.callLines()[0], L"Application.OpenDocumentEx(\"" + path(L"absent.SLDPRT") + L"\", 1, &2) -> null");
}

// The file of an open document is held, shared with no one; saving moves the
// hold with the file, never writes over another open document, and nothing
// else writes.
TEST_F(HostsimDocuments, FilesAreHeldWhileOpenAndWrittenOnlyBySaves) {
  const std::wstring shaft = part(L"arbre.SLDPRT", L"shaft"), other = part(L"autre.SLDPRT"), copy = path(L"copie.SLDPRT");
  const std::string source = ReadFileBytes(shaft), otherBytes = ReadFileBytes(other);
  ASSERT_TRUE(sim_.open(other) && sim_.open(shaft));
  const ModelDocument doc = active();
  auto remove = [&](const wchar_t* feature) {
    ASSERT_TRUE(doc.SelectByName(feature, L"BODYFEATURE", 0, 0, 0));
    doc.DeleteSelection(false);
    doc.RebuildModel();
  };
  EXPECT_FALSE(readable(shaft));
  remove(L"Portée1");
  for (const std::wstring& refused : {other, std::wstring(), path(L"pas\\de\\dossier.SLDPRT")})
    EXPECT_FALSE(doc.SaveToPath(refused)) << Utf8(refused);
  EXPECT_TRUE(doc.SaveToPath(copy));
  EXPECT_EQ(doc.DocumentPath(), copy);
  EXPECT_TRUE(readable(shaft)) << "the hold moved with the document";
  EXPECT_FALSE(readable(copy));
  remove(L"Portée2");
  doc.SaveDocument();  // writes the held file
  remove(L"Portée3");
  EXPECT_TRUE(doc.SaveToPath(copy)) << "its own path";
  ASSERT_TRUE(sim_.close(L"copie.SLDPRT") && sim_.close(L"autre.SLDPRT"));
  EXPECT_EQ(sim_.dump(copy).find(L"Portée"), sim_.dump(copy).find(L"Portée4")) << "every deletion saved";
  EXPECT_EQ(ReadFileBytes(shaft), source);
  EXPECT_EQ(ReadFileBytes(other), otherBytes) << "closed without saving";
}

// Two open files of one name: ActivateDocument and CloseDocument both take
// the most recently active, so opening, activating and closing by name reach
// the document just opened.
TEST_F(HostsimDocuments, NamesOfTwoFoldersReachTheMostRecentlyActiveDocument) {
  const std::wstring first = part(L"arbre.SLDPRT"), other = part(L"bride.SLDPRT");
  const std::wstring second = part(folder_.subfolder(L"autre") + L"arbre.SLDPRT");
  ASSERT_TRUE(sim_.open(first) && sim_.open(other) && sim_.open(second) && sim_.activate(L"bride.SLDPRT"));
  EXPECT_EQ(app_.ActivateDocument(L"ARBRE.sldprt").DocumentPath(), second);
  app_.CloseDocument(L"arbre.SLDPRT");
  EXPECT_EQ(app_.ActivateDocument(L"arbre.SLDPRT").DocumentPath(), first);
  app_.CloseDocumentByPath(first);
  EXPECT_EQ(sim_.openDocumentPaths(), std::vector<std::wstring>{other});
  EXPECT_FALSE(app_.ActivateDocument(L"arbre"));
}

// Records each event as "ID NAME" (opened), "ID KIND NAME" (activated, with
// the active document's name) or "ID" (closed).
class RecordingSink final : public hostsim::SingleInterfaceObject<IDispatch> {
 public:
  explicit RecordingSink(hostsim::Simulator& sim) : SingleInterfaceObject(hostsim::kApplicationEventsIid), sim_(sim) {}
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    std::wstring line = std::to_wstring(id);
    if (id == 1 && p->cArgs == 1) line += L" " + std::wstring(p->rgvarg[0].bstrVal);
    if (id == 2 && p->cArgs == 2)
      line += L" " + std::to_wstring(p->rgvarg[0].lVal) + L" " + sim_.openDocuments().back().name;
    if (id == 3 && p->cArgs != 0) line += L" with arguments";
    events.push_back(line + (result->vt == VT_EMPTY ? L"" : L" (no empty result slot)"));
    result->vt = VT_BOOL;
    result->boolVal = VARIANT_FALSE;
    return S_OK;
  }
  std::vector<std::wstring> events;

 private:
  hostsim::Simulator& sim_;
};

TEST_F(HostsimDocuments, EventsFollowOpenActivateAndClose) {
  const std::wstring p = part(L"arbre.SLDPRT"), a = assembly(L"ensemble.SLDASM", {p});
  ComRef<IConnectionPointContainer> container;
  ASSERT_EQ(sim_.application()->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()), S_OK);
  ComRef<IConnectionPoint> point;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, point.Put()), CONNECT_E_NOCONNECTION);
  ASSERT_EQ(container->FindConnectionPoint(hostsim::kApplicationEventsIid, point.Put()), S_OK);
  auto* sink = new RecordingSink(sim_);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(sink, &cookie), S_OK);
  const long base = sim_.liveReferences();
  ASSERT_TRUE(sim_.open(p));
  app_.OpenDocument(p, 1);  // already open and active: no event
  app_.OpenDocument(a, 2);
  EXPECT_EQ(sim_.liveReferences(), base) << "the events' arguments are the simulator's own";
  sim_.activate(L"arbre.SLDPRT");
  sim_.activate(L"arbre.SLDPRT");  // no change
  app_.CloseDocument(L"arbre.SLDPRT");
  sim_.newDocument();
  const std::vector<std::wstring> expected = {L"1 arbre.SLDPRT",     L"2 1 arbre.SLDPRT", L"1 ensemble.SLDASM",
                                              L"2 2 ensemble.SLDASM", L"2 1 arbre.SLDPRT", L"3",
                                              L"2 2 ensemble.SLDASM", L"2 1 Pièce1"};
  EXPECT_EQ(sink->events, expected);
  EXPECT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
  sim_.close(L"ensemble.SLDASM");
  EXPECT_EQ(sink->events.size(), expected.size()) << "no events after Unadvise";
  EXPECT_EQ(sink->Release(), 0u) << "the simulator let go of the sink";
}

}  // namespace
