// A part: its feature tree, the body a rebuild makes of it, the selection and
// the sketch being edited. Everything here is plain data and rules; the
// automation objects translate calls into these operations.
#pragma once

#include <string>
#include <vector>

#include "core/Geometry.h"

namespace hostsim {

enum class FeatureType { RefPlane, Sketch, Extrusion, Plate, Boss, Hole };

// The sketch axes and normal of a reference plane in world coordinates:
// front (x, y; normal z), top (x, z; normal y), right (z, y; normal x).
enum class PlaneOrientation { Front, Top, Right };

struct SketchLine {
  double x0, y0, x1, y1;
};

struct Feature {
  int id = 0;  // stable within the part; sketches and extrusions refer to it
  FeatureType type = FeatureType::Plate;
  std::wstring name;
  PlaneOrientation plane = PlaneOrientation::Front;  // RefPlane
  int planeId = 0;                                   // Sketch
  bool open = false;                                 // Sketch still being edited
  std::vector<SketchLine> lines;                     // Sketch
  int sketchId = 0;                                  // Extrusion
  bool singleDirection = false, flip = false, bothFlag = false;
  double depth1 = 0, depth2 = 0;                     // Extrusion
  Solid solid;                                       // Plate, Boss, Hole
};

const wchar_t* featureKindText(FeatureType type);  // "RefPlane", "ProfileFeature", ...
bool featureTypeFromKindText(const std::wstring& text, FeatureType& type);

struct Body {
  std::vector<Triangle> triangles;
  Box box() const { return boxOfTriangles(triangles); }
};

class PartModel {
 public:
  // A new part holds the three reference planes and nothing else.
  static PartModel withReferencePlanes();

  const std::vector<Feature>& features() const { return features_; }
  const Feature* find(int id) const;
  const Feature* findByName(const std::wstring& name) const;
  int add(Feature feature);  // gives it the next id; returns it
  void setFeatures(std::vector<Feature> features);
  bool rename(int id, const std::wstring& name);  // refused when taken or empty
  std::wstring uniqueName(const std::wstring& prefix) const;  // prefix1, prefix2, ...

  // Evaluates the tree into a new body. Until then edits leave the old body.
  void rebuild();
  const Body& body() const { return body_; }
  void setBody(Body body) { body_ = std::move(body); }

  // Selection by name and selection type ("PLANE", "SKETCH", "BODYFEATURE").
  bool selectByName(const std::wstring& name, const std::wstring& type);
  const std::vector<int>& selection() const { return selection_; }
  void clearSelection() { selection_.clear(); }
  bool deleteSelection();  // also deletes what is built on the deleted features

  // Sketch editing.
  bool toggleSketch();  // true when a sketch was opened or closed
  int openSketch() const { return openSketchId_; }
  bool addLine(const SketchLine& line);
  bool extrudeSelection(bool singleDirection, bool flip, bool bothFlag, double depth1, double depth2);

 private:
  Feature* findMutable(int id);
  bool solidOf(const Feature& feature, Solid& solid) const;

  std::vector<Feature> features_;
  std::vector<int> selection_;
  int openSketchId_ = 0;
  int nextId_ = 1;
  Body body_;
};

}  // namespace hostsim
