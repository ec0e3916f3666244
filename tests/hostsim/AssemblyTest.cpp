// Assemblies: the component tree through the active configuration, the
// resolution of component paths, the empty answers an assembly file can ask
// for, trees that contain themselves, the parse cache and the generator.
#include <set>

#include "core/AutomationObject.h"
#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

class HostsimAssembly : public HostTest {
 protected:
  Obj open(const std::wstring& path) { return objectOf(app(dispid::OpenDocument, args(path, 2))); }
  static Obj rootOf(const Obj& doc) {
    return objectOf(method(objectOf(method(doc.get(), dispid::ActiveConfiguration)).get(), dispid::GetRootComponent));
  }
  // Opens, walks depth first (parent before children, two spaces a level) and closes.
  std::vector<std::wstring> walk(const std::wstring& top) {
    std::vector<std::wstring> lines;
    walkFrom(rootOf(open(top)), L"", lines);
    sim.close(top.substr(top.rfind(L'\\') + 1));
    return lines;
  }
  static void walkFrom(const Obj& component, const std::wstring& indent, std::vector<std::wstring>& lines) {
    for (const Obj& child : objectsOf(method(component.get(), dispid::ComponentChildren))) {
      lines.push_back(indent + textOf(method(child.get(), dispid::ComponentPath)));
      walkFrom(child, indent + L"  ", lines);
    }
  }
};

TEST_F(HostsimAssembly, TreeIsReachedThroughTheRootComponentDepthFirst) {
  const std::wstring p1 = part(folder.subfolder(L"pieces") + L"p1.SLDPRT"), p2 = part(L"p2.SLDPRT");
  const std::wstring s = assembly(folder.subfolder(L"sous") + L"s.SLDASM", {p2, p1});
  const std::wstring top = assembly(L"a.SLDASM", {p1, s, p1});
  EXPECT_EQ(walk(top), (std::vector<std::wstring>{p1, s, L"  " + p2, L"  " + p1, p1}));
  Obj doc = open(top);
  EXPECT_EQ(integerOf(method(doc.get(), dispid::PrepareComponents, args(true))), 3);
  const long base = sim.liveReferences();
  EXPECT_EQ(textOf(method(rootOf(doc).get(), dispid::ComponentPath)), top);
  EXPECT_EQ(method(objectsOf(method(rootOf(doc).get(), dispid::ComponentChildren))[0].get(), dispid::ComponentChildren)
                .result.v.vt, VT_EMPTY) << "a part has no children array";
  EXPECT_EQ(sim.liveReferences(), base) << "an array holds the only references to its components";
  Obj part = objectOf(app(dispid::OpenDocument, args(p2, 1)));
  EXPECT_TRUE(method(objectOf(method(part.get(), dispid::ActiveConfiguration)).get(), dispid::GetRootComponent).isNull());
}

// An assembly copied with its sub-assembly and some of its parts: each level
// takes the copy beside it, else its stored path, a relative one from the
// folder of the assembly that holds it; always as a full path.
TEST_F(HostsimAssembly, ComponentsResolveBesideTheirHolderTwoLevelsDeep) {
  const std::wstring o = folder.subfolder(L"origine"), c = folder.subfolder(L"copie");
  const std::wstring p1 = part(o + L"p1.SLDPRT"), p2 = part(o + L"p2.SLDPRT"), p3 = part(o + L"p3.SLDPRT");
  assembly(o + L"s.SLDASM", {p1, L"p2.SLDPRT", p3});
  assembly(o + L"a.SLDASM", {o + L"s.SLDASM", p3, L"pieces\\p4.SLDPRT", L"..\\origine\\.\\p3.SLDPRT"});
  for (const wchar_t* name : {L"a.SLDASM", L"s.SLDASM", L"p1.SLDPRT"})
    ASSERT_TRUE(CopyFileW((o + name).c_str(), (c + name).c_str(), FALSE));
  part(folder.subfolder(L"copie\\pieces") + L"p4.SLDPRT");
  EXPECT_EQ(walk(c + L"a.SLDASM"), (std::vector<std::wstring>{c + L"s.SLDASM", L"  " + c + L"p1.SLDPRT",
                                                               L"  " + c + L"p2.SLDPRT", L"  " + p3, p3,
                                                               c + L"pieces\\p4.SLDPRT", p3}));
  EXPECT_EQ(walk(o + L"a.SLDASM"), (std::vector<std::wstring>{o + L"s.SLDASM", L"  " + p1, L"  " + p2, L"  " + p3, p3,
                                                               o + L"pieces\\p4.SLDPRT", p3}));
}

TEST_F(HostsimAssembly, AnswerRecordsGiveTheEmptyAnswers) {
  const std::wstring p = part(L"p.SLDPRT");
  const struct {
    std::string answers;
    std::vector<std::wstring> components;
    const char* expected;  // configuration, root, children
  } cases[] = {
      {"", {}, "object object empty"},
      {"answer ComponentChildren empty-array\n", {}, "object object []"},
      {"answer ComponentChildren empty-array\n", {p}, "object object [object]"},
      {"answer GetRootComponent null\n", {}, "object null"},
      {"answer ActiveConfiguration null\n", {}, "null"},
  };
  int n = 0;
  for (const auto& c : cases) {
    Obj doc = open(assembly(L"a" + std::to_wstring(++n) + L".SLDASM", c.components, c.answers));
    std::wstring answers;
    Outcome outcome = method(doc.get(), dispid::ActiveConfiguration);
    for (DISPID next : {dispid::GetRootComponent, dispid::ComponentChildren, DISPID(0)}) {
      answers += (answers.empty() ? L"" : L" ") + hostsim::formatVariant(outcome.result.v);
      if (!next || outcome.isNull()) break;
      outcome = method(objectOf(std::move(outcome)).get(), next);
    }
    EXPECT_EQ(testsupport::Utf8(answers), c.expected) << c.answers;
  }
  long error = 0;
  EXPECT_FALSE(sim.open(assembly(L"x.SLDASM", {}, "answer GetRootComponent nothing\n"), &error));
  EXPECT_EQ(error, 3) << "any other record makes the file corrupt";
}

TEST_F(HostsimAssembly, AComponentRepeatingAnAncestorsFileHasNoChildren) {
  const std::wstring p = part(L"p.SLDPRT"), a = path(L"a.SLDASM"), b = assembly(L"b.SLDASM", {a, p});
  assembly(a, {p, b, a});
  EXPECT_EQ(walk(a), (std::vector<std::wstring>{p, b, L"  " + a, L"  " + p, a}));
  EXPECT_EQ(walk(b), (std::vector<std::wstring>{a, L"  " + p, L"  " + b, L"  " + a, p}));
  EXPECT_NE(sim.dump(a).find(L"\ncomponent: " + a + L"\nsize:"), std::wstring::npos) << "the dump ends too";
}

// A sub-assembly file is read again only when it changed: one held by
// another program (so it cannot be read) still gives its children.
TEST_F(HostsimAssembly, SubAssemblyFilesAreParsedOncePerModification) {
  const std::wstring p = part(L"p.SLDPRT"), s = assembly(L"s.SLDASM", {p}), a = assembly(L"a.SLDASM", {s});
  EXPECT_EQ(walk(a).size(), 2u);
  HANDLE hold = CreateFileW(s.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(walk(a).size(), 2u) << "read from the cache";
  CloseHandle(hold);
  assembly(s, {p, p});
  EXPECT_EQ(walk(a).size(), 3u) << "changed, read again";
}

TEST_F(HostsimAssembly, GeneratorWritesTheTreeItsNumbersDescribe) {
  EXPECT_TRUE(hostsim::writeAssemblyTree(folder.path(), {5, 6, 3, 2, L"tiny"}).top.empty()) << "more parts than instances";
  const hostsim::TreeSummary tree = hostsim::writeAssemblyTree(folder.path(), {20, 5, 3, 2, L"tiny"});
  ASSERT_EQ(tree.top, path(L"top.SLDASM"));
  EXPECT_EQ(std::vector<long long>({tree.partInstances, tree.components, tree.partFiles, tree.assemblyFiles}),
            std::vector<long long>({20, 5 + 10 + 20, 5, 1 + 2 + 3}));
  const std::vector<std::wstring> lines = walk(tree.top);
  ASSERT_EQ(lines.size(), 35u);
  std::set<std::wstring> files;
  for (const std::wstring& line : lines) files.insert(line.substr(line.find_first_not_of(L' ')));
  EXPECT_EQ(files.size(), 10u) << "every part and sub-assembly file is used";
  EXPECT_EQ(lines[0] + lines[2], path(L"level1-1\\s1-1.SLDASM") + L"    " + path(L"parts-1\\p1.SLDPRT"));
}

}  // namespace
