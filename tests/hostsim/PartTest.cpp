// Parts through the automation interface: reference planes, selection,
// sketching, extrusion, deletion and renaming. The envelope's round trip is
// run by the sample script (ScriptTest) and the add-in's suites.
#include "core/AutomationObject.h"
#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

class HostsimPart : public HostTest {
 protected:
  // Writes a part of that fixture shape and makes it the active document.
  void openFresh(const wchar_t* shape) {
    ASSERT_TRUE(sim.open(path_ = part(L"p" + std::to_wstring(++parts_) + L".SLDPRT", shape)));
    doc_ = active();
  }
  bool line(double x0, double y0, double x1, double y1) {
    return booleanOf(method(doc_.get(), dispid::CreateLine, args(doubles({x0, y0, 0}), doubles({x1, y1, 0}))));
  }
  void toggleSketch() { method(doc_.get(), dispid::ToggleSketch); }
  void sketch(const std::vector<std::vector<double>>& lines) {
    toggleSketch();
    for (const auto& l : lines) EXPECT_TRUE(line(l[0], l[1], l[2], l[3]));
    toggleSketch();
  }
  void rectangle(double x0, double y0, double x1, double y1) {
    sketch({{x0, y0, x0, y1}, {x1, y0, x1, y1}, {x0, y0, x1, y0}, {x0, y1, x1, y1}});
  }
  void extrude(bool single, bool flip, double depth1, double depth2) {
    ASSERT_EQ(method(doc_.get(), dispid::ExtrudeSketch,
                     args(single, flip, flip, 0, 0, depth1, depth2, false, false, true, true, 0.0, 0.0, true, true))
                  .hr,
              S_OK);
  }
  std::wstring box() { return hostsim::formatVariant(method(doc_.get(), dispid::PartBoundingBox, args(true)).result.v); }
  // The selection, or the feature tree, as "name kind".
  std::vector<std::wstring> selected() {
    Obj set = objectOf(get(doc_.get(), dispid::GetSelectionSet));
    std::vector<std::wstring> names;
    for (long i = 1; i <= integerOf(method(set.get(), dispid::SelectedCount)); ++i)
      names.push_back(nameOf(objectOf(method(set.get(), dispid::SelectedObject, args(i)))));
    return names;
  }
  std::vector<std::wstring> tree() {
    std::vector<std::wstring> features;
    for (Obj f = objectOf(method(doc_.get(), dispid::FirstFeature)); f; f = objectOf(method(f.get(), dispid::NextFeature)))
      features.push_back(nameOf(f) + L" " + textOf(method(f.get(), dispid::FeatureKind)));
    return features;
  }
  static std::wstring nameOf(const Obj& feature) { return textOf(get(feature.get(), dispid::FeatureName)); }

  Obj doc_;
  std::wstring path_;
  int parts_ = 0;
};

TEST_F(HostsimPart, SelectionSketchesAndNames) {
  openFresh(L"flange");
  const auto features = tree();
  EXPECT_EQ(std::vector<std::wstring>(features.begin(), features.begin() + 4),
            (std::vector<std::wstring>{L"Plan de face RefPlane", L"Plan de dessus RefPlane", L"Plan de droite RefPlane",
                                       L"Disque1 Boss"}));
  EXPECT_TRUE(select(doc_.get(), L"Plan de dessus", L"PLANE"));
  EXPECT_TRUE(select(doc_.get(), L"Disque1", L"BODYFEATURE"));
  EXPECT_EQ(selected(), std::vector<std::wstring>{L"Disque1"}) << "a selection replaces the last";
  for (const auto& wrong : {std::make_pair(L"Plan de face", L"SKETCH"), std::make_pair(L"plan de face", L"PLANE"),
                            std::make_pair(L"Plan de face", L"plane")})
    EXPECT_FALSE(select(doc_.get(), wrong.first, wrong.second)) << testing::PrintToString(wrong.first);
  EXPECT_TRUE(selected().empty());
  toggleSketch();
  EXPECT_TRUE(method(doc_.get(), dispid::ActiveSketch).isNull()) << "no plane selected: no sketch";
  EXPECT_FALSE(line(0, 0, 1, 1));
  ASSERT_TRUE(select(doc_.get(), L"Plan de face", L"PLANE"));
  toggleSketch();
  EXPECT_EQ(nameOf(objectOf(method(doc_.get(), dispid::ActiveSketch))), L"Esquisse1");
  EXPECT_TRUE(line(0, 0, 1, 0));
  toggleSketch();
  EXPECT_TRUE(method(doc_.get(), dispid::ActiveSketch).isNull());
  EXPECT_EQ(selected(), std::vector<std::wstring>{L"Esquisse1"});
  EXPECT_EQ(tree().back(), L"Esquisse1 ProfileFeature");
  Obj sketch = objectOf(method(objectOf(get(doc_.get(), dispid::GetSelectionSet)).get(), dispid::SelectedObject, args(1)));
  for (const wchar_t* name : {L"Esq_A", L"Plan de dessus", L"deux\nlignes", L""}) put(sketch.get(), dispid::FeatureName, name);
  EXPECT_EQ(nameOf(sketch), L"Esq_A") << "taken, multi-line and empty names are refused";
}

TEST_F(HostsimPart, ExtrusionDepthsFollowThePlaneNormalFlipAndDirection) {
  // A 20 x 20 square around the origin, extruded from a 1 mm block: front
  // sketches x, y (normal z); top x, z (normal y); right z, y (normal x).
  const struct {
    const wchar_t* plane;
    bool flip, single;
    double depth1, depth2;
    const wchar_t* expected;
  } cases[] = {
      {L"Plan de face", false, false, 5, 2, L"[-10, -10, -2, 10, 10, 5]"},
      {L"Plan de face", true, false, 5, 2, L"[-10, -10, -5, 10, 10, 2]"},
      {L"Plan de face", false, true, 5, 2, L"[-10, -10, 0, 10, 10, 5]"},
      {L"Plan de dessus", false, true, 3, 0, L"[-10, 0, -10, 10, 3, 10]"},
      {L"Plan de droite", false, false, 20, 20, L"[-20, -10, -10, 20, 10, 10]"},
  };
  for (const auto& c : cases) {
    openFresh(L"box:0,0,0,1,1,1");
    ASSERT_TRUE(select(doc_.get(), c.plane, L"PLANE"));
    rectangle(-10, -10, 10, 10);
    extrude(c.single, c.flip, c.depth1, c.depth2);
    EXPECT_EQ(box(), c.expected) << testing::PrintToString(c.plane);
    EXPECT_EQ(selected(), std::vector<std::wstring>{L"Extrusion1"});
    EXPECT_NE(sim.dump(path_).find(L"body: 12 triangles"), std::wstring::npos) << "the box swallowed the block";
  }
}

TEST_F(HostsimPart, OnlyClosedProfilesExtrudeAndDeletionsShowAfterARebuild) {
  openFresh(L"box:0,0,0,1,1,1");
  ASSERT_TRUE(select(doc_.get(), L"Plan de face", L"PLANE"));
  sketch({{0, 0, 5, 0}, {5, 0, 5, 5}, {5, 5, 0, 5}});  // three sides only
  extrude(false, false, 1, 1);
  EXPECT_EQ(selected(), std::vector<std::wstring>{L"Esquisse1"}) << "nothing extruded";
  ASSERT_TRUE(select(doc_.get(), L"Plan de face", L"PLANE"));
  rectangle(-10, -10, 10, 10);
  extrude(false, false, 5, 2);
  ASSERT_TRUE(select(doc_.get(), L"Esquisse2", L"SKETCH"));
  EXPECT_TRUE(booleanOf(method(doc_.get(), dispid::DeleteSelection, args(false))));
  EXPECT_EQ(tree().back(), L"Esquisse1 ProfileFeature") << "the extrusion went with its sketch";
  EXPECT_FALSE(booleanOf(method(doc_.get(), dispid::DeleteSelection, args(false)))) << "nothing selected";
  EXPECT_EQ(box(), L"[-10, -10, -2, 10, 10, 5]");
  method(doc_.get(), dispid::RebuildModel);
  EXPECT_EQ(box(), L"[0, 0, 0, 1, 1, 1]");
}

}  // namespace
