// Assemblies: the component tree through the active configuration, nested
// sub-assemblies, and the rule that a component stands for the file of its
// name beside the assembly when there is one.
#include <gtest/gtest.h>

#include "hostsim/HostTestSupport.h"
#include "core/Simulator.h"

using namespace hosttest;

namespace {

class HostsimAssembly : public ::testing::Test {
 protected:
  Obj openAssembly(const std::wstring& path) {
    return objectOf(method(sim_.application(), dispid::OpenDocument, args(text(path), i4(2))));
  }
  Obj rootOf(const Obj& doc) {
    Obj configuration = objectOf(method(doc.get(), dispid::ActiveConfiguration));
    return objectOf(method(configuration.get(), dispid::GetRootComponent));
  }
  std::vector<Obj> childrenOf(const Obj& component) {
    Outcome outcome = method(component.get(), dispid::ComponentChildren);
    EXPECT_EQ(outcome.hr, S_OK);
    std::vector<Obj> children;
    const VARIANT& v = outcome.result.get();
    if (v.vt == VT_EMPTY) return children;
    EXPECT_EQ(v.vt, VT_ARRAY | VT_DISPATCH);
    if (v.vt != (VT_ARRAY | VT_DISPATCH)) return children;
    LONG low = -1, high = -1;
    SafeArrayGetLBound(v.parray, 1, &low);
    SafeArrayGetUBound(v.parray, 1, &high);
    EXPECT_EQ(low, 0);
    for (LONG i = low; i <= high; ++i) {
      IDispatch* child = nullptr;
      SafeArrayGetElement(v.parray, &i, &child);
      children.emplace_back(child);
    }
    return children;
  }
  std::wstring pathOf(const Obj& component) { return textOf(method(component.get(), dispid::ComponentPath)); }
  // Depth first, parent before children, as "depth:path".
  void walk(const Obj& component, int depth, std::vector<std::wstring>& out) {
    for (const Obj& child : childrenOf(component)) {
      out.push_back(std::to_wstring(depth) + L":" + pathOf(child));
      walk(child, depth + 1, out);
    }
  }

  hostsim::Simulator sim_;
  TempFolder folder_;
};

TEST_F(HostsimAssembly, NestedTreeIsReachedThroughTheRootComponent) {
  const std::wstring parts = folder_.subfolder(L"pieces"), subs = folder_.subfolder(L"sous-ensembles");
  const std::wstring p1 = parts + L"p1.SLDPRT", p2 = parts + L"p2.SLDPRT", p3 = folder_.file(L"p3.SLDPRT");
  const std::wstring s = subs + L"s.SLDASM", top = folder_.subfolder(L"haut") + L"a.SLDASM";
  ASSERT_TRUE(hostsim::writePartFixture(p1, L"plate"));
  ASSERT_TRUE(hostsim::writePartFixture(p2, L"box:0,0,0,1,1,1"));
  ASSERT_TRUE(hostsim::writePartFixture(p3, L"shaft"));
  ASSERT_TRUE(hostsim::writeAssemblyFixture(s, {p2, p1}));
  ASSERT_TRUE(hostsim::writeAssemblyFixture(top, {p1, s, p3, p1}));
  Obj doc = openAssembly(top);
  EXPECT_EQ(integerOf(method(doc.get(), dispid::DocumentKind)), 2);
  Obj root = rootOf(doc);
  EXPECT_EQ(pathOf(root), top);
  std::vector<std::wstring> tree;
  walk(root, 0, tree);
  std::vector<std::wstring> expected = {L"0:" + p1, L"0:" + s, L"1:" + p2, L"1:" + p1, L"0:" + p3, L"0:" + p1};
  EXPECT_EQ(tree, expected);
  // A leaf answers no array at all.
  Outcome leaf = method(childrenOf(root).at(0).get(), dispid::ComponentChildren);
  EXPECT_EQ(leaf.hr, S_OK);
  EXPECT_EQ(leaf.result.get().vt, VT_EMPTY);
}

TEST_F(HostsimAssembly, ComponentStandsForTheFileBesideTheAssembly) {
  const std::wstring elsewhere = folder_.subfolder(L"origine"), copies = folder_.subfolder(L"copies");
  const std::wstring original = elsewhere + L"p.SLDPRT", missingBeside = elsewhere + L"q.SLDPRT";
  ASSERT_TRUE(hostsim::writePartFixture(original, L"plate"));
  ASSERT_TRUE(hostsim::writePartFixture(missingBeside, L"plate"));
  ASSERT_TRUE(hostsim::writePartFixture(copies + L"p.SLDPRT", L"box:0,0,0,1,1,1"));
  const std::wstring top = copies + L"a.SLDASM";
  ASSERT_TRUE(hostsim::writeAssemblyFixture(top, {original, missingBeside}));
  Obj doc = openAssembly(top);
  auto children = childrenOf(rootOf(doc));
  ASSERT_EQ(children.size(), 2u);
  EXPECT_EQ(pathOf(children[0]), copies + L"p.SLDPRT");
  EXPECT_EQ(pathOf(children[1]), missingBeside);
  EXPECT_NE(sim_.dump(top).find(L"component: " + copies + L"p.SLDPRT\n"), std::wstring::npos);
}

TEST_F(HostsimAssembly, PartHasAConfigurationButNoRootComponent) {
  const std::wstring part = folder_.file(L"p.SLDPRT");
  ASSERT_TRUE(hostsim::writePartFixture(part, L"plate"));
  Obj doc = objectOf(method(sim_.application(), dispid::OpenDocument, args(text(part), i4(1))));
  Obj configuration = objectOf(method(doc.get(), dispid::ActiveConfiguration));
  Outcome root = method(configuration.get(), dispid::GetRootComponent);
  EXPECT_EQ(root.result.get().vt, VT_DISPATCH);
  EXPECT_EQ(root.result.get().pdispVal, nullptr);
}

TEST_F(HostsimAssembly, ChildrenArrayHoldsTheOnlyReferencesToItsComponents) {
  const std::wstring part = folder_.file(L"p.SLDPRT"), top = folder_.file(L"a.SLDASM");
  ASSERT_TRUE(hostsim::writePartFixture(part, L"plate"));
  ASSERT_TRUE(hostsim::writeAssemblyFixture(top, {part, part, part}));
  const long base = sim_.liveReferences();
  {
    Obj doc = openAssembly(top);
    Obj root = rootOf(doc);
    EXPECT_EQ(integerOf(method(doc.get(), dispid::PrepareComponents, args(flag(true)))), 3);
    Outcome children = method(root.get(), dispid::ComponentChildren);
    EXPECT_EQ(sim_.liveReferences(), base + 2 + 3);
  }  // clearing the VARIANT destroys the array and releases its elements
  EXPECT_EQ(sim_.liveReferences(), base);
}

}  // namespace
