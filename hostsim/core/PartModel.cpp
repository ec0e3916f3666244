#include "core/PartModel.h"

#include <algorithm>
#include <map>
#include <set>
#include <utility>

namespace hostsim {

namespace {

struct KindName {
  FeatureType type;
  const wchar_t* text;
};
const KindName kKinds[] = {{FeatureType::RefPlane, L"RefPlane"},   {FeatureType::Sketch, L"ProfileFeature"},
                           {FeatureType::Extrusion, L"Extrusion"}, {FeatureType::Plate, L"Plate"},
                           {FeatureType::Boss, L"Boss"},           {FeatureType::Hole, L"Hole"}};

bool isBodyFeature(FeatureType type) {
  return type == FeatureType::Extrusion || type == FeatureType::Plate || type == FeatureType::Boss ||
         type == FeatureType::Hole;
}

bool matchesSelectionType(FeatureType type, const std::wstring& selectionType) {
  if (selectionType == L"PLANE") return type == FeatureType::RefPlane;
  if (selectionType == L"SKETCH") return type == FeatureType::Sketch;
  if (selectionType == L"BODYFEATURE") return isBodyFeature(type);
  return false;
}

// A profile is closed when every end point is shared by exactly two line ends
// (the same two doubles). The extrusion takes the rectangle that bounds it.
bool closedProfileBounds(const Feature& sketch, double& u0, double& v0, double& u1, double& v1) {
  if (sketch.lines.size() < 3) return false;
  std::map<std::pair<double, double>, int> ends;
  for (const SketchLine& line : sketch.lines) {
    if (line.x0 == line.x1 && line.y0 == line.y1) return false;
    ++ends[{line.x0, line.y0}];
    ++ends[{line.x1, line.y1}];
  }
  for (const auto& end : ends)
    if (end.second != 2) return false;
  u0 = v0 = 1e300;
  u1 = v1 = -1e300;
  for (const auto& end : ends) {
    u0 = std::min(u0, end.first.first);
    u1 = std::max(u1, end.first.first);
    v0 = std::min(v0, end.first.second);
    v1 = std::max(v1, end.first.second);
  }
  return u0 < u1 && v0 < v1;
}

Vec3 onPlane(PlaneOrientation plane, double u, double v, double w) {
  switch (plane) {
    case PlaneOrientation::Top: return {u, w, v};
    case PlaneOrientation::Right: return {w, v, u};
    default: return {u, v, w};
  }
}

}  // namespace

const wchar_t* featureKindText(FeatureType type) {
  for (const KindName& kind : kKinds)
    if (kind.type == type) return kind.text;
  return L"";
}

bool featureTypeFromKindText(const std::wstring& text, FeatureType& type) {
  for (const KindName& kind : kKinds)
    if (text == kind.text) {
      type = kind.type;
      return true;
    }
  return false;
}

PartModel PartModel::withReferencePlanes() {
  PartModel part;
  const std::pair<const wchar_t*, PlaneOrientation> planes[] = {
      {L"Plan de face", PlaneOrientation::Front},
      {L"Plan de dessus", PlaneOrientation::Top},
      {L"Plan de droite", PlaneOrientation::Right}};
  for (const auto& plane : planes) {
    Feature feature;
    feature.type = FeatureType::RefPlane;
    feature.name = plane.first;
    feature.plane = plane.second;
    part.add(std::move(feature));
  }
  return part;
}

const Feature* PartModel::find(int id) const {
  for (const Feature& f : features_)
    if (f.id == id) return &f;
  return nullptr;
}

Feature* PartModel::findMutable(int id) { return const_cast<Feature*>(find(id)); }

const Feature* PartModel::findByName(const std::wstring& name) const {
  for (const Feature& f : features_)
    if (f.name == name) return &f;
  return nullptr;
}

int PartModel::add(Feature feature) {
  feature.id = nextId_++;
  features_.push_back(std::move(feature));
  return features_.back().id;
}

void PartModel::setFeatures(std::vector<Feature> features) {
  features_ = std::move(features);
  for (Feature& f : features_) f.open = false;  // a sketch left open in a file opens closed
  nextId_ = 1;
  for (const Feature& f : features_) nextId_ = std::max(nextId_, f.id + 1);
  selection_.clear();
  openSketchId_ = 0;
}

bool PartModel::rename(int id, const std::wstring& name) {
  Feature* feature = findMutable(id);
  // Empty names and line breaks are refused: a name is one line of the file.
  if (!feature || name.empty() || name.find_first_of(L"\r\n") != std::wstring::npos) return false;
  const Feature* holder = findByName(name);
  if (holder && holder->id != id) return false;  // names are unique in a part
  feature->name = name;
  return true;
}

std::wstring PartModel::uniqueName(const std::wstring& prefix) const {
  for (int n = 1;; ++n) {
    std::wstring candidate = prefix + std::to_wstring(n);
    if (!findByName(candidate)) return candidate;
  }
}

bool PartModel::solidOf(const Feature& feature, Solid& solid) const {
  if (feature.type == FeatureType::Plate || feature.type == FeatureType::Boss ||
      feature.type == FeatureType::Hole) {
    solid = feature.solid;
    solid.removes = feature.type == FeatureType::Hole;
    return true;
  }
  if (feature.type != FeatureType::Extrusion) return false;
  const Feature* sketch = find(feature.sketchId);
  const Feature* plane = sketch ? find(sketch->planeId) : nullptr;
  double u0, v0, u1, v1;
  if (!plane || !closedProfileBounds(*sketch, u0, v0, u1, v1)) return false;
  // Depth 1 goes along the plane's normal (against it when flipped); unless
  // the extrusion is one-sided, depth 2 goes the other way.
  const double direction = feature.flip ? -1.0 : 1.0;
  const double end1 = direction * feature.depth1;
  const double end2 = feature.singleDirection ? 0.0 : -direction * feature.depth2;
  const double w0 = std::min({0.0, end1, end2}), w1 = std::max({0.0, end1, end2});
  if (w0 == w1) return false;
  solid = Solid();
  solid.shape = Solid::Shape::Block;
  solid.block.include(onPlane(plane->plane, u0, v0, w0));
  solid.block.include(onPlane(plane->plane, u1, v1, w1));
  return true;
}

void PartModel::rebuild() {
  // An added solid that encloses everything built so far swallows it: the
  // body becomes that solid alone.
  std::vector<Solid> solids;
  Box sofar;
  for (const Feature& feature : features_) {
    Solid solid;
    if (!solidOf(feature, solid)) continue;
    const Box bounds = solid.bounds();
    if (!solid.removes && !solids.empty() && bounds.encloses(sofar)) {
      solids.clear();
      sofar = Box();
    }
    solids.push_back(solid);
    sofar.include(bounds);
  }
  Body body;
  for (const Solid& s : solids) s.tessellate(body.triangles);
  body_ = std::move(body);
}

bool PartModel::selectByName(const std::wstring& name, const std::wstring& type) {
  selection_.clear();
  for (const Feature& f : features_)
    if (f.name == name && matchesSelectionType(f.type, type)) {
      selection_.push_back(f.id);
      return true;
    }
  return false;
}

bool PartModel::deleteSelection() {
  if (selection_.empty()) return false;
  std::set<int> doomed(selection_.begin(), selection_.end());
  // Features built on a deleted one go with it.
  for (bool grew = true; grew;) {
    grew = false;
    for (const Feature& f : features_) {
      bool dependent = (f.type == FeatureType::Sketch && doomed.count(f.planeId)) ||
                       (f.type == FeatureType::Extrusion && doomed.count(f.sketchId));
      if (dependent && doomed.insert(f.id).second) grew = true;
    }
  }
  features_.erase(std::remove_if(features_.begin(), features_.end(),
                                 [&](const Feature& f) { return doomed.count(f.id) > 0; }),
                  features_.end());
  if (doomed.count(openSketchId_)) openSketchId_ = 0;
  selection_.clear();
  return true;
}

bool PartModel::toggleSketch() {
  if (openSketchId_ != 0) {
    findMutable(openSketchId_)->open = false;
    selection_.assign(1, openSketchId_);
    openSketchId_ = 0;
    return true;
  }
  for (int id : selection_) {
    const Feature* plane = find(id);
    if (plane && plane->type == FeatureType::RefPlane) {
      Feature sketch;
      sketch.type = FeatureType::Sketch;
      sketch.name = uniqueName(L"Esquisse");
      sketch.planeId = id;
      sketch.open = true;
      openSketchId_ = add(std::move(sketch));
      selection_.clear();
      return true;
    }
  }
  return false;
}

bool PartModel::addLine(const SketchLine& line) {
  Feature* sketch = findMutable(openSketchId_);
  if (!sketch) return false;
  sketch->lines.push_back(line);
  return true;
}

bool PartModel::extrudeSelection(bool singleDirection, bool flip, bool bothFlag, double depth1,
                                 double depth2) {
  if (selection_.size() != 1) return false;
  const Feature* sketch = find(selection_.front());
  double u0, v0, u1, v1;
  if (!sketch || sketch->type != FeatureType::Sketch || sketch->open ||
      !closedProfileBounds(*sketch, u0, v0, u1, v1))
    return false;
  Feature extrusion;
  extrusion.type = FeatureType::Extrusion;
  extrusion.name = uniqueName(L"Extrusion");
  extrusion.sketchId = sketch->id;
  extrusion.singleDirection = singleDirection;
  extrusion.flip = flip;
  extrusion.bothFlag = bothFlag;
  extrusion.depth1 = depth1;
  extrusion.depth2 = depth2;
  int id = add(std::move(extrusion));
  rebuild();  // a new feature shows in the body at once; deletions wait for a rebuild
  selection_.assign(1, id);
  return true;
}

}  // namespace hostsim
