// Parts through the automation interface: reference planes, selection,
// sketching, extrusion, the envelope that swallows the body, deletion and
// rebuild, and what that does to the file on disk.
#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "Simulator.h"

using namespace hosttest;

namespace {

class HostsimPart : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.file(L"bride.SLDPRT");
    ASSERT_TRUE(hostsim::writePartFixture(path_, L"flange"));
    ASSERT_TRUE(sim_.open(path_));
    doc_ = objectOf(get(sim_.application(), dispid::ActiveDocument));
    ASSERT_TRUE(doc_);
  }

  bool select(const std::wstring& name, const std::wstring& type) {
    return booleanOf(method(doc_.get(), dispid::SelectByName, vars(text(name), text(type), r8(0), r8(0), r8(0))));
  }
  static std::vector<Var> vars(Var a, Var b, Var c, Var d, Var e) {
    std::vector<Var> v;
    v.push_back(std::move(a));
    v.push_back(std::move(b));
    v.push_back(std::move(c));
    v.push_back(std::move(d));
    v.push_back(std::move(e));
    return v;
  }
  bool line(double x0, double y0, double x1, double y1) {
    PointArg a(x0, y0), b(x1, y1);
    std::vector<Var> args;
    args.push_back(a.variant());
    args.push_back(b.variant());
    return booleanOf(method(doc_.get(), dispid::CreateLine, std::move(args)));
  }
  std::vector<double> box() {
    std::vector<Var> args;
    args.push_back(flag(true));
    return doublesOf(method(doc_.get(), dispid::PartBoundingBox, std::move(args)));
  }
  void extrude(bool flip, double depth1, double depth2, bool singleDirection = false) {
    std::vector<Var> a;
    a.push_back(flag(singleDirection));
    a.push_back(flag(flip));
    a.push_back(flag(flip));
    a.push_back(i4(0));
    a.push_back(i4(0));
    a.push_back(r8(depth1));
    a.push_back(r8(depth2));
    a.push_back(flag(false));
    a.push_back(flag(false));
    a.push_back(flag(true));
    a.push_back(flag(true));
    a.push_back(r8(0));
    a.push_back(r8(0));
    a.push_back(flag(true));
    a.push_back(flag(true));
    ASSERT_EQ(method(doc_.get(), dispid::ExtrudeSketch, std::move(a)).hr, S_OK);
  }
  std::vector<std::wstring> selectedNames() {
    Obj set = objectOf(get(doc_.get(), dispid::GetSelectionSet));
    long count = integerOf(method(set.get(), dispid::SelectedCount));
    std::vector<std::wstring> names;
    for (long i = 1; i <= count; ++i) {
      std::vector<Var> args;
      args.push_back(i4(i));
      Obj feature = objectOf(method(set.get(), dispid::SelectedObject, std::move(args)));
      names.push_back(textOf(get(feature.get(), dispid::FeatureName)));
    }
    return names;
  }
  std::vector<std::pair<std::wstring, std::wstring>> tree() {
    std::vector<std::pair<std::wstring, std::wstring>> features;
    Outcome next = method(doc_.get(), dispid::FirstFeature);
    while (next.result.get().vt == VT_DISPATCH && next.result.get().pdispVal) {
      Obj feature = objectOf(std::move(next));
      features.emplace_back(textOf(get(feature.get(), dispid::FeatureName)),
                            textOf(method(feature.get(), dispid::FeatureKind)));
      next = method(feature.get(), dispid::NextFeature);
    }
    return features;
  }
  // The envelope as a compactor draws it: a rectangle around the box on the
  // front plane, extruded past both z bounds.
  void buildEnvelope() {
    std::vector<double> b = box();
    ASSERT_EQ(b.size(), 6u);
    const double m = 0.001;
    ASSERT_TRUE(select(L"Plan de face", L"PLANE"));
    method(doc_.get(), dispid::ToggleSketch);
    line(b[0] - m, b[1] - m, b[0] - m, b[4] + m);
    line(b[3] + m, b[1] - m, b[3] + m, b[4] + m);
    line(b[0] - m, b[1] - m, b[3] + m, b[1] - m);
    line(b[0] - m, b[4] + m, b[3] + m, b[4] + m);
    method(doc_.get(), dispid::ToggleSketch);
    extrude(b[5] - b[2] > 0, std::abs(b[2]) + m, std::abs(b[5]) + m);
  }

  hostsim::Simulator sim_;
  TempFolder folder_;
  std::wstring path_;
  Obj doc_;
};

TEST_F(HostsimPart, TreeStartsWithTheThreeReferencePlanes) {
  auto features = tree();
  ASSERT_GE(features.size(), 4u);
  EXPECT_EQ(features[0], std::make_pair(std::wstring(L"Plan de face"), std::wstring(L"RefPlane")));
  EXPECT_EQ(features[1], std::make_pair(std::wstring(L"Plan de dessus"), std::wstring(L"RefPlane")));
  EXPECT_EQ(features[2], std::make_pair(std::wstring(L"Plan de droite"), std::wstring(L"RefPlane")));
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
  method(doc_.get(), dispid::ToggleSketch);
  Outcome sketch = method(doc_.get(), dispid::ActiveSketch);
  ASSERT_EQ(sketch.hr, S_OK);
  EXPECT_EQ(sketch.result.get().vt, VT_DISPATCH);
  EXPECT_EQ(sketch.result.get().pdispVal, nullptr);
  EXPECT_FALSE(line(0, 0, 1, 1));
}

TEST_F(HostsimPart, SketchClosesIntoANewSelectedSketchFeature) {
  ASSERT_TRUE(select(L"Plan de face", L"PLANE"));
  method(doc_.get(), dispid::ToggleSketch);
  EXPECT_TRUE(objectOf(method(doc_.get(), dispid::ActiveSketch)));
  EXPECT_TRUE(line(0, 0, 1, 0));
  method(doc_.get(), dispid::ToggleSketch);
  EXPECT_EQ(method(doc_.get(), dispid::ActiveSketch).result.get().pdispVal, nullptr);
  auto selected = selectedNames();
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(tree().back(), std::make_pair(selected[0], std::wstring(L"ProfileFeature")));
}

TEST_F(HostsimPart, CreateLineRefusesMalformedPoints) {
  ASSERT_TRUE(select(L"Plan de face", L"PLANE"));
  method(doc_.get(), dispid::ToggleSketch);
  SAFEARRAY* two = SafeArrayCreateVector(VT_R8, 0, 2);
  VARIANT shortPoint;
  VariantInit(&shortPoint);
  shortPoint.vt = VT_ARRAY | VT_BYREF | VT_R8;
  shortPoint.pparray = &two;
  PointArg good(1, 1);
  std::vector<Var> args;
  args.push_back(Var(shortPoint));
  args.push_back(good.variant());
  EXPECT_FALSE(booleanOf(method(doc_.get(), dispid::CreateLine, std::move(args))));
  SafeArrayDestroy(two);
  std::vector<Var> numbers;
  numbers.push_back(r8(1));
  numbers.push_back(r8(2));
  EXPECT_FALSE(booleanOf(method(doc_.get(), dispid::CreateLine, std::move(numbers))));
}

TEST_F(HostsimPart, EnvelopeSwallowsTheBodyIntoOneSmallBox) {
  const long long detailedSize = sizeOfFile(path_);
  std::vector<double> before = box();
  buildEnvelope();
  auto selected = selectedNames();
  ASSERT_EQ(selected.size(), 1u);
  EXPECT_EQ(tree().back().second, L"Extrusion");
  std::vector<double> after = box();
  ASSERT_EQ(after.size(), 6u);
  EXPECT_DOUBLE_EQ(after[0], before[0] - 0.001);
  EXPECT_DOUBLE_EQ(after[4], before[4] + 0.001);
  EXPECT_DOUBLE_EQ(after[2], before[2] - 0.001);  // flange lies on z >= 0: the box reaches below
  EXPECT_DOUBLE_EQ(after[5], before[5] + 0.001);
  const std::wstring compact = folder_.file(L"compact.SLDPRT");
  ASSERT_TRUE(booleanOf(method(doc_.get(), dispid::SaveToPath, [&] {
    std::vector<Var> a;
    a.push_back(text(compact));
    return a;
  }())));
  EXPECT_LT(sizeOfFile(compact) * 20, detailedSize) << "a one-box body is a small file";
  EXPECT_EQ(sizeOfFile(path_), detailedSize) << "the source file is not written";
  std::wstring dump = sim_.dump(compact);
  EXPECT_NE(dump.find(L"body: 12 triangles"), std::wstring::npos) << dump;
}

TEST_F(HostsimPart, DeletingTheEnvelopeAndRebuildingGivesTheBodyBack) {
  std::vector<double> original = box();
  const std::wstring originalDump = sim_.dump(path_);
  buildEnvelope();
  auto names = tree();
  const std::wstring sketch = names[names.size() - 2].first, extrusion = names.back().first;
  ASSERT_TRUE(select(extrusion, L"BODYFEATURE"));
  EXPECT_TRUE(booleanOf(method(doc_.get(), dispid::DeleteSelection, [] {
    std::vector<Var> a;
    a.push_back(flag(false));
    return a;
  }())));
  ASSERT_TRUE(select(sketch, L"SKETCH"));
  method(doc_.get(), dispid::DeleteSelection, [] {
    std::vector<Var> a;
    a.push_back(flag(false));
    return a;
  }());
  EXPECT_NE(box(), original) << "the body changes only when the model is rebuilt";
  method(doc_.get(), dispid::RebuildModel);
  EXPECT_EQ(box(), original);
  EXPECT_EQ(sim_.dump(path_), originalDump);
}

// A closed square on a plane, extruded; gives the new body's box.
class HostsimExtrusion : public HostsimPart {
 protected:
  void SetUp() override {
    path_ = folder_.file(L"bloc.SLDPRT");
    ASSERT_TRUE(hostsim::writePartFixture(path_, L"box:0,0,0,1,1,1"));
    ASSERT_TRUE(sim_.open(path_));
    doc_ = objectOf(get(sim_.application(), dispid::ActiveDocument));
  }
  std::vector<double> extrudeSquare(const std::wstring& plane, bool flip, double d1, double d2, bool single) {
    EXPECT_TRUE(select(plane, L"PLANE"));
    method(doc_.get(), dispid::ToggleSketch);
    line(-10, -10, -10, 10);
    line(10, -10, 10, 10);
    line(-10, -10, 10, -10);
    line(-10, 10, 10, 10);
    method(doc_.get(), dispid::ToggleSketch);
    extrude(flip, d1, d2, single);
    return box();
  }
};

TEST_F(HostsimExtrusion, DepthsGoAlongAndAgainstThePlaneNormal) {
  EXPECT_EQ(extrudeSquare(L"Plan de face", false, 5, 2, false), (std::vector<double>{-10, -10, -2, 10, 10, 5}));
}

TEST_F(HostsimExtrusion, FlipTurnsTheFirstDepthAgainstTheNormal) {
  EXPECT_EQ(extrudeSquare(L"Plan de face", true, 5, 2, false), (std::vector<double>{-10, -10, -5, 10, 10, 2}));
}

TEST_F(HostsimExtrusion, OneSidedExtrusionIgnoresTheSecondDepth) {
  EXPECT_EQ(extrudeSquare(L"Plan de face", false, 5, 2, true), (std::vector<double>{-10, -10, 0, 10, 10, 5}));
}

TEST_F(HostsimExtrusion, TopAndRightPlanesHaveTheirOwnAxes) {
  // Top plane: sketch x, z; normal y.
  EXPECT_EQ(extrudeSquare(L"Plan de dessus", false, 3, 0, true), (std::vector<double>{-10, 0, -10, 10, 3, 10}));
  // Right plane: sketch z, y; normal x. This box encloses the top one too.
  EXPECT_EQ(extrudeSquare(L"Plan de droite", false, 20, 20, false), (std::vector<double>{-20, -10, -10, 20, 10, 10}));
  EXPECT_NE(sim_.dump(path_).find(L"body: 12 triangles"), std::wstring::npos) << "the last box swallowed the rest";
}

TEST_F(HostsimExtrusion, OpenProfileIsNotExtruded) {
  ASSERT_TRUE(select(L"Plan de face", L"PLANE"));
  method(doc_.get(), dispid::ToggleSketch);
  line(0, 0, 5, 0);
  line(5, 0, 5, 5);
  line(5, 5, 0, 5);  // three sides only
  method(doc_.get(), dispid::ToggleSketch);
  const size_t before = tree().size();
  extrude(false, 1, 1);
  EXPECT_EQ(tree().size(), before);
  EXPECT_EQ(selectedNames().size(), 1u) << "the sketch stays selected";
  EXPECT_EQ(box(), (std::vector<double>{0, 0, 0, 1, 1, 1}));
}

TEST_F(HostsimExtrusion, DeletingASketchTakesItsExtrusionAlong) {
  extrudeSquare(L"Plan de face", false, 5, 2, false);
  ASSERT_TRUE(select(L"Esquisse1", L"SKETCH"));
  EXPECT_TRUE(booleanOf(method(doc_.get(), dispid::DeleteSelection, args(flag(false)))));
  EXPECT_EQ(tree().back().first, L"Bloc1");
  EXPECT_FALSE(select(L"Extrusion1", L"BODYFEATURE"));
  EXPECT_FALSE(booleanOf(method(doc_.get(), dispid::DeleteSelection, args(flag(false))))) << "nothing selected";
}

TEST_F(HostsimPart, RenamingKeepsNamesUnique) {
  ASSERT_TRUE(select(L"Plan de face", L"PLANE"));
  Obj set = objectOf(get(doc_.get(), dispid::GetSelectionSet));
  std::vector<Var> one;
  one.push_back(i4(1));
  Obj plane = objectOf(method(set.get(), dispid::SelectedObject, std::move(one)));
  EXPECT_EQ(put(plane.get(), dispid::FeatureName, text(L"Esq_KMTV_Compact001")).hr, S_OK);
  EXPECT_EQ(textOf(get(plane.get(), dispid::FeatureName)), L"Esq_KMTV_Compact001");
  EXPECT_EQ(put(plane.get(), dispid::FeatureName, text(L"Plan de dessus")).hr, S_OK);
  EXPECT_EQ(textOf(get(plane.get(), dispid::FeatureName)), L"Esq_KMTV_Compact001") << "a taken name is refused";
  EXPECT_EQ(put(plane.get(), dispid::FeatureName, text(L"deux\nlignes")).hr, S_OK);
  EXPECT_EQ(put(plane.get(), dispid::FeatureName, text(L"")).hr, S_OK);
  EXPECT_EQ(textOf(get(plane.get(), dispid::FeatureName)), L"Esq_KMTV_Compact001") << "a name is one line";
  std::vector<Var> outOfRange;
  outOfRange.push_back(i4(2));
  EXPECT_EQ(method(set.get(), dispid::SelectedObject, std::move(outOfRange)).result.get().pdispVal, nullptr);
}

}  // namespace
