// Parts through the automation interface: reference planes, selection,
// sketching, extrusion, deletion and renaming. The envelope that swallows
// the body and its removal are run by the sample round-trip script and by
// the part commands' suites.
#include <gtest/gtest.h>

#include "hostsim/HostTestSupport.h"
#include "core/Simulator.h"

using namespace hosttest;

namespace {

using Box = std::vector<double>;

class HostsimPart : public ::testing::Test {
 protected:
  void SetUp() override { openFresh(L"bride.SLDPRT", L"flange"); }

  // Writes a part of that fixture shape and makes it the active document.
  void openFresh(const std::wstring& name, const std::wstring& shape) {
    path_ = folder_.file(name);
    ASSERT_TRUE(hostsim::writePartFixture(path_, shape));
    ASSERT_TRUE(sim_.open(path_));
    doc_ = objectOf(get(sim_.application(), dispid::ActiveDocument));
    ASSERT_TRUE(doc_);
  }
  bool select(const std::wstring& name, const std::wstring& type) {
    return booleanOf(method(doc_.get(), dispid::SelectByName, args(text(name), text(type), r8(0), r8(0), r8(0))));
  }
  bool line(double x0, double y0, double x1, double y1) {
    PointArg a(x0, y0), b(x1, y1);
    return booleanOf(method(doc_.get(), dispid::CreateLine, args(a.variant(), b.variant())));
  }
  bool deleteSelection() { return booleanOf(method(doc_.get(), dispid::DeleteSelection, args(flag(false)))); }
  void toggleSketch() { method(doc_.get(), dispid::ToggleSketch); }
  Box box() { return doublesOf(method(doc_.get(), dispid::PartBoundingBox, args(flag(true)))); }
  void extrude(bool flip, double depth1, double depth2, bool singleDirection = false) {
    ASSERT_EQ(method(doc_.get(), dispid::ExtrudeSketch,
                     args(flag(singleDirection), flag(flip), flag(flip), i4(0), i4(0), r8(depth1), r8(depth2),
                          flag(false), flag(false), flag(true), flag(true), r8(0), r8(0), flag(true), flag(true)))
                  .hr,
              S_OK);
  }
  // A closed rectangle on the selected plane, sketch closed again.
  void rectangle(double x0, double y0, double x1, double y1) {
    toggleSketch();
    line(x0, y0, x0, y1);
    line(x1, y0, x1, y1);
    line(x0, y0, x1, y0);
    line(x0, y1, x1, y1);
    toggleSketch();
  }
  std::vector<std::wstring> selectedNames() {
    Obj set = objectOf(get(doc_.get(), dispid::GetSelectionSet));
    long count = integerOf(method(set.get(), dispid::SelectedCount));
    std::vector<std::wstring> names;
    for (long i = 1; i <= count; ++i) {
      Obj feature = objectOf(method(set.get(), dispid::SelectedObject, args(i4(i))));
      names.push_back(textOf(get(feature.get(), dispid::FeatureName)));
    }
    return names;
  }
  // The feature tree as "name kind".
  std::vector<std::wstring> tree() {
    std::vector<std::wstring> features;
    Outcome next = method(doc_.get(), dispid::FirstFeature);
    while (next.result.get().vt == VT_DISPATCH && next.result.get().pdispVal) {
      Obj feature = objectOf(std::move(next));
      features.push_back(textOf(get(feature.get(), dispid::FeatureName)) + L" " +
                         textOf(method(feature.get(), dispid::FeatureKind)));
      next = method(feature.get(), dispid::NextFeature);
    }
    return features;
  }
  hostsim::Simulator sim_;
  TempFolder folder_;
  std::wstring path_;
  Obj doc_;
};

TEST_F(HostsimPart, TreeStartsWithTheThreeReferencePlanes) {
  auto features = tree();
  ASSERT_GE(features.size(), 4u);
  EXPECT_EQ(std::vector<std::wstring>(features.begin(), features.begin() + 3),
            (std::vector<std::wstring>{L"Plan de face RefPlane", L"Plan de dessus RefPlane", L"Plan de droite RefPlane"}));
}

TEST_F(HostsimPart, SelectByNameMatchesNameAndTypeExactlyAndReplacesTheSelection) {
  EXPECT_TRUE(select(L"Plan de face", L"PLANE"));
  EXPECT_EQ(selectedNames(), std::vector<std::wstring>{L"Plan de face"});
  EXPECT_TRUE(select(L"Plan de dessus", L"PLANE"));
  EXPECT_EQ(selectedNames(), std::vector<std::wstring>{L"Plan de dessus"});
  EXPECT_FALSE(select(L"Plan de face", L"SKETCH"));
  EXPECT_TRUE(selectedNames().empty());
  EXPECT_FALSE(select(L"plan de face", L"PLANE"));
  EXPECT_FALSE(select(L"Plan de face", L"plane"));
  EXPECT_TRUE(select(L"Disque1", L"BODYFEATURE"));
}

TEST_F(HostsimPart, ToggleSketchWithoutAPlaneOpensNothing) {
  EXPECT_FALSE(select(L"nothing", L"PLANE"));
  toggleSketch();
  Outcome sketch = method(doc_.get(), dispid::ActiveSketch);
  ASSERT_EQ(sketch.hr, S_OK);
  EXPECT_EQ(sketch.result.get().vt, VT_DISPATCH);
  EXPECT_EQ(sketch.result.get().pdispVal, nullptr);
  EXPECT_FALSE(line(0, 0, 1, 1));
}

TEST_F(HostsimPart, SketchClosesIntoANewSelectedSketchFeature) {
  ASSERT_TRUE(select(L"Plan de face", L"PLANE"));
  toggleSketch();
  EXPECT_TRUE(objectOf(method(doc_.get(), dispid::ActiveSketch)));
  EXPECT_TRUE(line(0, 0, 1, 0));
  toggleSketch();
  EXPECT_EQ(method(doc_.get(), dispid::ActiveSketch).result.get().pdispVal, nullptr);
  auto selected = selectedNames();
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(tree().back(), selected[0] + L" ProfileFeature");
}

TEST_F(HostsimPart, CreateLineRefusesMalformedPoints) {
  ASSERT_TRUE(select(L"Plan de face", L"PLANE"));
  toggleSketch();
  SAFEARRAY* two = SafeArrayCreateVector(VT_R8, 0, 2);
  VARIANT shortPoint;
  VariantInit(&shortPoint);
  shortPoint.vt = VT_ARRAY | VT_BYREF | VT_R8;
  shortPoint.pparray = &two;
  PointArg good(1, 1);
  EXPECT_FALSE(booleanOf(method(doc_.get(), dispid::CreateLine, args(Var(shortPoint), good.variant()))));
  SafeArrayDestroy(two);
  EXPECT_FALSE(booleanOf(method(doc_.get(), dispid::CreateLine, args(r8(1), r8(2)))));
}

TEST_F(HostsimPart, ExtrusionDepthsFollowThePlaneNormalFlipAndDirection) {
  // A 20 x 20 square around the origin extruded from a 1 mm block; each
  // plane has its own sketch axes: front x, y (normal z); top x, z (normal
  // y); right z, y (normal x).
  struct Case {
    const wchar_t* plane;
    bool flip, single;
    double depth1, depth2;
    Box expected;
  } cases[] = {
      {L"Plan de face", false, false, 5, 2, {-10, -10, -2, 10, 10, 5}},
      {L"Plan de face", true, false, 5, 2, {-10, -10, -5, 10, 10, 2}},
      {L"Plan de face", false, true, 5, 2, {-10, -10, 0, 10, 10, 5}},
      {L"Plan de dessus", false, true, 3, 0, {-10, 0, -10, 10, 3, 10}},
      {L"Plan de droite", false, false, 20, 20, {-20, -10, -10, 20, 10, 10}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::wstring(c.plane) + L" case " + std::to_wstring(n));
    openFresh(L"bloc" + std::to_wstring(++n) + L".SLDPRT", L"box:0,0,0,1,1,1");
    ASSERT_TRUE(select(c.plane, L"PLANE"));
    rectangle(-10, -10, 10, 10);
    extrude(c.flip, c.depth1, c.depth2, c.single);
    EXPECT_EQ(box(), c.expected);
    EXPECT_NE(sim_.dump(path_).find(L"body: 12 triangles"), std::wstring::npos) << "the box swallowed the block";
  }
}

TEST_F(HostsimPart, OpenProfileIsNotExtruded) {
  openFresh(L"bloc.SLDPRT", L"box:0,0,0,1,1,1");
  ASSERT_TRUE(select(L"Plan de face", L"PLANE"));
  toggleSketch();
  line(0, 0, 5, 0);
  line(5, 0, 5, 5);
  line(5, 5, 0, 5);  // three sides only
  toggleSketch();
  const size_t before = tree().size();
  extrude(false, 1, 1);
  EXPECT_EQ(tree().size(), before);
  EXPECT_EQ(selectedNames().size(), 1u) << "the sketch stays selected";
  EXPECT_EQ(box(), (Box{0, 0, 0, 1, 1, 1}));
}

TEST_F(HostsimPart, DeletingASketchTakesItsExtrusionAlong) {
  openFresh(L"bloc.SLDPRT", L"box:0,0,0,1,1,1");
  ASSERT_TRUE(select(L"Plan de face", L"PLANE"));
  rectangle(-10, -10, 10, 10);
  extrude(false, 5, 2);
  ASSERT_TRUE(select(L"Esquisse1", L"SKETCH"));
  EXPECT_TRUE(deleteSelection());
  EXPECT_EQ(tree().back(), L"Bloc1 Plate");
  EXPECT_FALSE(select(L"Extrusion1", L"BODYFEATURE"));
  EXPECT_FALSE(deleteSelection()) << "nothing selected";
  EXPECT_EQ(box(), (Box{-10, -10, -2, 10, 10, 5})) << "the body changes only when the model is rebuilt";
  method(doc_.get(), dispid::RebuildModel);
  EXPECT_EQ(box(), (Box{0, 0, 0, 1, 1, 1}));
}

TEST_F(HostsimPart, RenamingKeepsNamesUnique) {
  ASSERT_TRUE(select(L"Plan de face", L"PLANE"));
  Obj set = objectOf(get(doc_.get(), dispid::GetSelectionSet));
  Obj plane = objectOf(method(set.get(), dispid::SelectedObject, args(i4(1))));
  auto rename = [&](const std::wstring& name) {
    EXPECT_EQ(put(plane.get(), dispid::FeatureName, text(name)).hr, S_OK);
    return textOf(get(plane.get(), dispid::FeatureName));
  };
  EXPECT_EQ(rename(L"Esq_KMTV_Compact001"), L"Esq_KMTV_Compact001");
  EXPECT_EQ(rename(L"Plan de dessus"), L"Esq_KMTV_Compact001") << "a taken name is refused";
  EXPECT_EQ(rename(L"deux\nlignes"), L"Esq_KMTV_Compact001") << "a name is one line";
  EXPECT_EQ(rename(L""), L"Esq_KMTV_Compact001");
  EXPECT_EQ(method(set.get(), dispid::SelectedObject, args(i4(2))).result.get().pdispVal, nullptr);
}

}  // namespace
