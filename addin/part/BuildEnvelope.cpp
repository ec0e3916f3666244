#include "frame/Messages.h"
#include "part/Envelope.h"
#include "part/EnvelopeMarkers.h"
#include "part/EnvelopeSteps.h"
#include "part/PartBox.h"
#include "part/PartMessages.h"

// Every host object taken here is held by a view that releases it when the
// routine leaves, also when a host call throws half-way: whatever the host
// has already done stays in the document, nothing is undone.

namespace {

// Selecting the marker extrusion succeeds only on a compacted part. A part
// holding only the marker sketch (its extrusion deleted by hand) is not.
bool IsAlreadyCompacted(const ModelDocument& model) {
  return model.SelectByName(kEnvelopeExtrusionName, kEnvelopeExtrusionType, 0.0, 0.0, 0.0);
}

// Opens a sketch on the selected plane; false when the host opened none.
bool OpenSketch(const ModelDocument& model) {
  model.ToggleSketch();
  return static_cast<bool>(model.ActiveSketch());
}

// The four sides of the rectangle, low x, high x, low y, high y. A refused
// line is announced by DrawSketchLine and does not stop the others.
void DrawEnvelopeRectangle(const ModelDocument& model, const PartBox& box) {
  model.SetSketchDirect(true);
  DrawSketchLine(model, EnvelopeLowLow(box), EnvelopeLowHigh(box));
  DrawSketchLine(model, EnvelopeHighLow(box), EnvelopeHighHigh(box));
  DrawSketchLine(model, EnvelopeLowLow(box), EnvelopeHighLow(box));
  DrawSketchLine(model, EnvelopeLowHigh(box), EnvelopeHighHigh(box));
  model.SetSketchDirect(false);
}

// Closing the sketch leaves it selected: that is what gets the marker name.
void CloseSketchAsMarker(const ModelDocument& model) {
  model.ToggleSketch();
  RenameSelected(model, kEnvelopeSketchName);
}

// The host extrudes the selected sketch and selects the new extrusion.
void ExtrudeEnvelope(const ModelDocument& model, const PartDocument& part, const PartBox& box) {
  part.ExtrudeSketch(EnvelopeExtrusion(box));
  RenameSelected(model, kEnvelopeExtrusionName);
}

}  // namespace

int BuildEnvelope(IDispatch* document, ModelDocument model, int announce) {
  if (IsAlreadyCompacted(model)) {
    if (announce) ShowMessage(kAlreadyCompactedMessage);
    return 0;
  }
  PartDocument part(DispatchDriver::Borrow(document));
  const PartBox box = ReadPartBox(part);
  SelectReferencePlane(model, part, 1);
  if (!OpenSketch(model)) {
    ShowMessage(kNoOpenSketchMessage);
    return 1;
  }
  DrawEnvelopeRectangle(model, box);
  CloseSketchAsMarker(model);
  ExtrudeEnvelope(model, part, box);
  part.FinishPartEdit();
  return 1;
}
