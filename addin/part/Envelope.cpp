#include "part/Envelope.h"

#include <cmath>
#include <string>

// Every host object taken here is held by a view that releases it when the
// routine leaves, also when a host call throws half-way: whatever the host
// has already done stays in the document, nothing is undone.

namespace zelm {
namespace {

constexpr wchar_t kReferencePlaneKind[] = L"RefPlane";
constexpr wchar_t kReferencePlaneType[] = L"PLANE";

// Selecting the marker extrusion succeeds only on a compacted part. A part
// holding only the marker sketch (its extrusion deleted by hand) is not.
bool IsAlreadyCompacted(const ModelDocument& model) {
  return model.SelectByName(kEnvelopeExtrusionName, kEnvelopeExtrusionType, 0.0, 0.0, 0.0);
}

// Selects, under its own name, the reference plane with that ordinal (from
// 1, in feature order); the selection's answer, or true without selecting
// anything when the part has fewer planes. The name is read before the kind
// for every feature, plane or not.
bool SelectReferencePlane(const ModelDocument& model, const PartDocument& part, long ordinal) {
  long count = 0;
  for (Feature feature = part.FirstFeature(); feature; feature = feature.NextFeature()) {
    const std::wstring name = feature.FeatureName();
    if (feature.FeatureKind() != kReferencePlaneKind) continue;
    if (++count == ordinal) return model.SelectByName(name, kReferencePlaneType, 0.0, 0.0, 0.0);
  }
  return true;
}

// Opens a sketch on the selected plane; false when the host opened none.
bool OpenSketch(const ModelDocument& model) {
  model.ToggleSketch();
  return model.HasActiveSketch();
}

// The four sides, low x, high x, low y, high y, of the box's x/y extent
// widened by the margin on every side; a refused side is reported and does
// not stop the others.
void DrawEnvelopeRectangle(const ModelDocument& model, const PartBox& box, const std::function<void()>& lineRefused) {
  const double left = box.b0 - kEnvelopeMargin, right = box.b3 + kEnvelopeMargin;
  const double bottom = box.b1 - kEnvelopeMargin, top = box.b4 + kEnvelopeMargin;
  const auto drawLine = [&](double x0, double y0, double x1, double y1) {
    if (!model.CreateLine(Point3{x0, y0, 0.0}, Point3{x1, y1, 0.0})) lineRefused();
  };
  model.SetSketchDirect(true);
  drawLine(left, bottom, left, top);
  drawLine(right, bottom, right, top);
  drawLine(left, bottom, right, bottom);
  drawLine(left, top, right, top);
  model.SetSketchDirect(false);
}

// Gives `name` to the selected object when exactly one is selected; with any
// other selection nothing is named (false).
bool RenameSelected(const ModelDocument& model, const wchar_t* name) {
  const SelectionSet selection = model.GetSelectionSet();
  if (selection.SelectedCount() != 1) return false;
  selection.SelectedObject(1).SetFeatureName(name);
  return true;
}

// The fifteen ExtrudeSketch values that make the rectangle around `box`
// into a box reaching past the part on both sides of the sketch plane.
ExtrusionValues EnvelopeExtrusion(const PartBox& box) {
  // A box without thickness along z is extruded without the extent flag;
  // the distances are taken from the bounds all the same.
  const bool extent = box.b5 - box.b2 > 0.0;
  ExtrusionValues values{};
  values.value1 = false;
  values.extentFlag2 = extent;
  values.extentFlag3 = extent;
  values.value4 = 0;
  values.value5 = 0;
  // The sketch plane passes through the model's origin: the distance to
  // each z bound is its absolute value.
  values.depthTowardsLow = std::fabs(box.b2) + kEnvelopeMargin;
  values.depthTowardsHigh = std::fabs(box.b5) + kEnvelopeMargin;
  values.value8 = false;
  values.value9 = false;
  values.value10 = true;
  values.value11 = true;
  values.value12 = 0.0;
  values.value13 = 0.0;
  values.value14 = true;
  values.value15 = true;
  return values;
}

// Selects one marker and deletes it; false when the marker is not there.
bool DeleteMarker(const ModelDocument& model, const wchar_t* name, const wchar_t* type) {
  if (!model.SelectByName(name, type, 0.0, 0.0, 0.0)) return false;
  model.DeleteSelection(false);
  return true;
}

}  // namespace

EnvelopeOutcome BuildEnvelope(const ModelDocument& document, const std::function<void()>& lineRefused) {
  if (IsAlreadyCompacted(document)) return EnvelopeOutcome::AlreadyCompacted;
  const PartDocument part = document.AsPart();
  const PartBox box = part.PartBoundingBox(true);
  SelectReferencePlane(document, part, 1);
  if (!OpenSketch(document)) return EnvelopeOutcome::NoSketch;
  DrawEnvelopeRectangle(document, box, lineRefused);
  // Closing the sketch leaves it selected: that is what gets the marker name.
  document.ToggleSketch();
  const bool sketchNamed = RenameSelected(document, kEnvelopeSketchName);
  // The host extrudes the selected sketch and selects the new extrusion.
  part.ExtrudeSketch(EnvelopeExtrusion(box));
  const bool extrusionNamed = RenameSelected(document, kEnvelopeExtrusionName);
  part.FinishPartEdit();
  return sketchNamed && extrusionNamed ? EnvelopeOutcome::Built : EnvelopeOutcome::Unnamed;
}

bool RemoveEnvelope(const ModelDocument& document) {
  const PartDocument part = document.AsPart();
  // The extrusion goes first: the sketch is looked for only once the
  // extrusion it feeds has been found and deleted.
  if (!DeleteMarker(document, kEnvelopeExtrusionName, kEnvelopeExtrusionType)) return false;
  if (!DeleteMarker(document, kEnvelopeSketchName, kEnvelopeSketchType)) return false;
  part.FinishPartEdit();
  return true;
}

}  // namespace zelm
