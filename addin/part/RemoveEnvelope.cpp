#include "part/Envelope.h"
#include "part/EnvelopeMarkers.h"

namespace {

// Selects one marker and deletes it; false when the marker is not there.
bool DeleteMarker(const ModelDocument& model, const wchar_t* name, const wchar_t* type) {
  if (!model.SelectByName(name, type, 0.0, 0.0, 0.0)) return false;
  model.DeleteSelection(false);
  return true;
}

}  // namespace

BOOL RemoveEnvelope(IDispatch* document, ModelDocument model) {
  PartDocument part(DispatchDriver::Borrow(document));
  // The extrusion goes first: the sketch is looked for only once the
  // extrusion it feeds has been found and deleted.
  if (!DeleteMarker(model, kEnvelopeExtrusionName, kEnvelopeExtrusionType)) return FALSE;
  if (!DeleteMarker(model, kEnvelopeSketchName, kEnvelopeSketchType)) return FALSE;
  part.FinishPartEdit();
  return TRUE;
}
