// Assemblies: the component tree through the active configuration, the
// resolution of component paths, the empty answers an assembly file can ask
// for, trees that contain themselves and the parse cache. The tree generator
// is run by the script run (ScriptTest) and the benchmarks.
#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

class HostsimAssembly : public HostTest {
 protected:
  // Opens, walks from the root depth first (parent before children, two
  // spaces a level below the root's children) and closes.
  std::vector<std::wstring> walk(const std::wstring& top) {
    app_.OpenDocument(top, 2);
    const Component root = active().ActiveConfiguration().GetRootComponent();
    std::vector<std::wstring> lines{root.ComponentPath()};
    walkFrom(root, L"", lines);
    sim_.close(top.substr(top.rfind(L'\\') + 1));
    return lines;
  }
  static void walkFrom(const Component& component, const std::wstring& indent, std::vector<std::wstring>& lines) {
    for (const Component& child : component.ComponentChildren()) {
      lines.push_back(indent + child.ComponentPath());
      walkFrom(child, indent + L"  ", lines);
    }
  }
};

// An assembly copied with its sub-assembly and some of its parts: each level
// takes the copy beside it, else its stored path, a relative one from the
// folder of the assembly that holds it; always as a full path.
TEST_F(HostsimAssembly, ComponentsResolveBesideTheirHolderTwoLevelsDeep) {
  const std::wstring o = folder_.subfolder(L"origine"), c = folder_.subfolder(L"copie");
  const std::wstring p1 = part(o + L"p1.SLDPRT"), p2 = part(o + L"p2.SLDPRT"), p3 = part(o + L"p3.SLDPRT");
  assembly(o + L"s.SLDASM", {p1, L"p2.SLDPRT", p3});
  assembly(o + L"a.SLDASM", {o + L"s.SLDASM", p3, L"pieces\\p4.SLDPRT", L"..\\origine\\.\\p3.SLDPRT"});
  for (const wchar_t* name : {L"a.SLDASM", L"s.SLDASM", L"p1.SLDPRT"})
    ASSERT_TRUE(CopyFileW((o + name).c_str(), (c + name).c_str(), FALSE));
  part(folder_.subfolder(L"copie\\pieces") + L"p4.SLDPRT");
  EXPECT_EQ(walk(c + L"a.SLDASM"), (std::vector<std::wstring>{c + L"a.SLDASM", c + L"s.SLDASM", L"  " + c + L"p1.SLDPRT",
                                                               L"  " + c + L"p2.SLDPRT", L"  " + p3, p3,
                                                               c + L"pieces\\p4.SLDPRT", p3}));
  EXPECT_EQ(walk(o + L"a.SLDASM"), (std::vector<std::wstring>{o + L"a.SLDASM", o + L"s.SLDASM", L"  " + p1, L"  " + p2,
                                                               L"  " + p3, p3,
                                                               o + L"pieces\\p4.SLDPRT", p3}));
}

// The answers of configuration, root, its children and theirs, as the call
// log shows them: an array of the components, VT_EMPTY without children, or
// what the file's answer records ask for; a part has no root component.
TEST_F(HostsimAssembly, EmptyAnswersAreThoseOfTheFileOrOfAPart) {
  const std::wstring p = part(L"p.SLDPRT");
  const std::string records = "answer ComponentChildren empty-array\n";
  const std::pair<std::wstring, const wchar_t*> cases[] = {
      {assembly(L"a1.SLDASM", {p, p}), L"object object [object, object] empty empty"},
      {assembly(L"a2.SLDASM", {}), L"object object empty"},
      {assembly(L"a3.SLDASM", {}, records), L"object object []"},
      {assembly(L"a4.SLDASM", {p}, records), L"object object [object] empty"},
      {assembly(L"a5.SLDASM", {}, "answer GetRootComponent null\n"), L"object null"},
      {assembly(L"a6.SLDASM", {}, "answer ActiveConfiguration null\n"), L"null"},
      {p, L"object null"},
  };
  for (const auto& [file, expected] : cases) {
    ASSERT_TRUE(sim_.open(file));
    sim_.clearCallLog();
    if (const Configuration configuration = active().ActiveConfiguration())
      if (const Component root = configuration.GetRootComponent())
        for (const Component& child : root.ComponentChildren()) child.ComponentChildren();
    std::wstring answers;
    for (const std::wstring& line : sim_.callLines())
      answers += (answers.empty() ? L"" : L" ") + line.substr(line.find(L"-> ") + 3);
    EXPECT_EQ(answers, expected) << Utf8(file);
  }
  long error = 0;
  EXPECT_FALSE(sim_.open(assembly(L"x.SLDASM", {}, "answer GetRootComponent nothing\n"), &error));
  EXPECT_EQ(error, 3) << "any other record makes the file corrupt";
}

TEST_F(HostsimAssembly, AComponentRepeatingAnAncestorsFileHasNoChildren) {
  const std::wstring p = part(L"p.SLDPRT"), a = path(L"a.SLDASM"), b = assembly(L"b.SLDASM", {a, p});
  assembly(a, {p, b, a});
  EXPECT_EQ(walk(a), (std::vector<std::wstring>{a, p, b, L"  " + a, L"  " + p, a}));
  EXPECT_EQ(walk(b), (std::vector<std::wstring>{b, a, L"  " + p, L"  " + b, L"  " + a, p}));
  EXPECT_NE(sim_.dump(a).find(L"\ncomponent: " + a + L"\nsize:"), std::wstring::npos) << "the dump ends too";
}

// A sub-assembly file is read again only when it changed: one held by
// another program (so it cannot be read) still gives its children.
TEST_F(HostsimAssembly, SubAssemblyFilesAreParsedOncePerModification) {
  const std::wstring p = part(L"p.SLDPRT"), s = assembly(L"s.SLDASM", {p}), a = assembly(L"a.SLDASM", {s});
  EXPECT_EQ(walk(a).size(), 3u);
  HANDLE hold = CreateFileW(s.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(walk(a).size(), 3u) << "read from the cache";
  CloseHandle(hold);
  assembly(s, {p, p});
  EXPECT_EQ(walk(a).size(), 4u) << "changed, read again";
}

}  // namespace
