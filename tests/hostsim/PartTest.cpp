// Parts through the automation interface: reference planes, selection,
// sketching, extrusion, deletion and renaming. The envelope's round trip is
// run by the sample script (ScriptTest) and the add-in's suites.
#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

class HostsimPart : public HostTest {
 protected:
  // Writes a part of that fixture shape and makes it the active document.
  void openFresh(const wchar_t* shape) {
    ASSERT_TRUE(sim_.open(path_ = part(L"p" + std::to_wstring(++parts_) + L".SLDPRT", shape)));
    doc_ = active();
    part_ = on<PartDocument>(doc_.Get());
  }
  bool line(double x0, double y0, double x1, double y1) { return doc_.CreateLine({x0, y0, 0}, {x1, y1, 0}); }
  void sketch(const std::vector<std::vector<double>>& lines) {
    doc_.ToggleSketch();
    for (const auto& l : lines) EXPECT_TRUE(line(l[0], l[1], l[2], l[3]));
    doc_.ToggleSketch();
  }
  void rectangle(double x0, double y0, double x1, double y1) {
    sketch({{x0, y0, x0, y1}, {x1, y0, x1, y1}, {x0, y0, x1, y0}, {x0, y1, x1, y1}});
  }
  void extrude(bool single, bool flip, double depth1, double depth2) {
    part_.ExtrudeSketch({single, flip, flip, 0, 0, depth1, depth2, false, false, true, true, 0, 0, true, true});
  }
  std::wstring box() { return invoke(part_.Get(), hostops::kPartBoundingBox, true).text(); }
  // The names of the selection; the feature tree as "name kind".
  std::vector<std::wstring> selected() {
    const SelectionSet set = doc_.GetSelectionSet();
    std::vector<std::wstring> names;
    for (long i = 1; i <= set.SelectedCount(); ++i) names.push_back(set.SelectedObject(i).FeatureName());
    return names;
  }
  std::vector<std::wstring> tree() {
    std::vector<std::wstring> features;
    for (Feature f = part_.FirstFeature(); f; f = f.NextFeature())
      features.push_back(f.FeatureName() + L" " + f.FeatureKind());
    return features;
  }

  ModelDocument doc_;
  PartDocument part_;
  std::wstring path_;
  int parts_ = 0;
};

TEST_F(HostsimPart, SelectionSketchesAndNames) {
  openFresh(L"flange");
  EXPECT_TRUE(doc_.SelectByName(L"Plan de dessus", L"PLANE", 0, 0, 0));
  EXPECT_TRUE(doc_.SelectByName(L"Disque1", L"BODYFEATURE", 0, 0, 0));
  EXPECT_EQ(selected(), std::vector<std::wstring>{L"Disque1"}) << "a selection replaces the last";
  for (const auto& wrong : {std::make_pair(L"Plan de face", L"SKETCH"), std::make_pair(L"plan de face", L"PLANE"),
                            std::make_pair(L"Plan de face", L"plane")})
    EXPECT_FALSE(doc_.SelectByName(wrong.first, wrong.second, 0, 0, 0)) << Utf8(wrong.first) << Utf8(wrong.second);
  EXPECT_TRUE(selected().empty());
  doc_.ToggleSketch();
  EXPECT_FALSE(doc_.HasActiveSketch()) << "no plane selected: no sketch";
  EXPECT_FALSE(line(0, 0, 1, 1));
  ASSERT_TRUE(doc_.SelectByName(L"Plan de face", L"PLANE", 0, 0, 0));
  doc_.ToggleSketch();
  EXPECT_TRUE(doc_.HasActiveSketch());
  EXPECT_TRUE(line(0, 0, 1, 0));
  doc_.ToggleSketch();
  EXPECT_FALSE(doc_.HasActiveSketch());
  EXPECT_EQ(selected(), std::vector<std::wstring>{L"Esquisse1"});
  EXPECT_EQ(tree().back(), L"Esquisse1 ProfileFeature");
  const Feature sketch = doc_.GetSelectionSet().SelectedObject(1);
  for (const wchar_t* name : {L"Esq_A", L"Plan de dessus", L"deux\nlignes", L""}) sketch.SetFeatureName(name);
  EXPECT_EQ(sketch.FeatureName(), L"Esq_A") << "taken, multi-line and empty names are refused";
}

// A 20 x 20 square around the origin, extruded from a 1 mm block: front
// sketches x, y (normal z); top x, z (normal y); right z, y (normal x). An
// open profile is not extruded. Deleting a sketch deletes its extrusion; the
// body shows it after a rebuild.
TEST_F(HostsimPart, ExtrusionsFollowThePlaneNormalFlipAndDirectionAndDeletionsShowAfterARebuild) {
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
      {nullptr, false, false, 5, 2, L"[0, 0, 0, 1, 1, 1]"},  // three sides only
  };
  for (const auto& c : cases) {
    openFresh(L"box:0,0,0,1,1,1");
    ASSERT_TRUE(doc_.SelectByName(c.plane ? c.plane : L"Plan de face", L"PLANE", 0, 0, 0));
    if (c.plane) rectangle(-10, -10, 10, 10);
    else sketch({{0, 0, 5, 0}, {5, 0, 5, 5}, {5, 5, 0, 5}});
    extrude(c.single, c.flip, c.depth1, c.depth2);
    EXPECT_EQ(box(), c.expected) << Utf8(c.plane ? c.plane : L"open");
    EXPECT_EQ(selected(), std::vector<std::wstring>{c.plane ? L"Extrusion1" : L"Esquisse1"});
    EXPECT_NE(sim_.dump(path_).find(L"body: 12 triangles"), std::wstring::npos) << "the box swallowed the block";
  }
  ASSERT_TRUE(doc_.SelectByName(L"Plan de face", L"PLANE", 0, 0, 0));
  rectangle(-10, -10, 10, 10);
  extrude(false, false, 5, 2);
  ASSERT_TRUE(doc_.SelectByName(L"Esquisse2", L"SKETCH", 0, 0, 0));
  EXPECT_EQ(invoke(doc_.Get(), hostops::kDeleteSelection, false).text(), L"TRUE");
  EXPECT_EQ(tree().back(), L"Esquisse1 ProfileFeature") << "the extrusion went with its sketch";
  EXPECT_EQ(invoke(doc_.Get(), hostops::kDeleteSelection, false).text(), L"FALSE") << "nothing selected";
  EXPECT_EQ(box(), L"[-10, -10, -2, 10, 10, 5]");
  doc_.RebuildModel();
  EXPECT_EQ(box(), L"[0, 0, 0, 1, 1, 1]");
}

}  // namespace
