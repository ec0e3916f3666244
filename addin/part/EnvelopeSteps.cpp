#include "part/EnvelopeSteps.h"

#include "frame/Messages.h"
#include "part/EnvelopeMarkers.h"
#include "part/PartMessages.h"
#include "part/PointArray.h"

BOOL SelectReferencePlane(const ModelDocument& model, const PartDocument& part, long ordinal) {
  long count = 0;
  for (Feature feature = part.FirstFeature(); feature; feature = feature.NextFeature()) {
    // The name is read before the kind for every feature, plane or not.
    std::wstring name = feature.FeatureName();
    if (feature.FeatureKind() != kReferencePlaneKind) continue;
    if (++count == ordinal) return model.SelectByName(name, kReferencePlaneType, 0.0, 0.0, 0.0);
  }
  return TRUE;
}

BOOL DrawSketchLine(const ModelDocument& model, SketchPoint start, SketchPoint end) {
  PointArray from(start);
  PointArray to(end);
  const bool made = model.CreateLine(from.get(), to.get());
  if (!made) ShowMessage(kLineRefusedMessage);
  return made ? TRUE : FALSE;
}

int RenameSelected(const ModelDocument& model, std::wstring_view name) {
  SelectionSet selection = model.GetSelectionSet();
  if (selection.SelectedCount() == 1) Feature(selection.SelectedObject(1)).SetFeatureName(name);
  return 1;
}
