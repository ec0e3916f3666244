#include "part/PartPutBack.h"

#include <vector>

#include "part/Envelope.h"

namespace zelm {

namespace {

// A command adds sketches and body features only; the selection type the
// host finds each under.
const wchar_t* SelectionTypeOf(const std::wstring& kind) {
  return kind == L"ProfileFeature" ? kEnvelopeSketchType : kEnvelopeExtrusionType;
}

}  // namespace

FeatureNames FeatureNamesOf(const PartDocument& part) {
  FeatureNames names;
  for (Feature feature = part.FirstFeature(); feature; feature = feature.NextFeature())
    names.insert(feature.FeatureName());
  return names;
}

bool PutPartBack(const ModelDocument& model, const PartDocument& part, const FeatureNames& before) {
  // Closing the sketch keeps what was drawn in it as a sketch feature of its
  // own, which goes with the others below.
  if (model.HasActiveSketch()) model.ToggleSketch();
  struct Added {
    std::wstring name, kind;
  };
  std::vector<Added> added;
  for (Feature feature = part.FirstFeature(); feature; feature = feature.NextFeature()) {
    std::wstring name = feature.FeatureName();
    if (before.count(name) == 0) added.push_back({std::move(name), feature.FeatureKind()});
  }
  bool allDeleted = true;
  for (auto newest = added.rbegin(); newest != added.rend(); ++newest) {
    if (model.SelectByName(newest->name, SelectionTypeOf(newest->kind), 0.0, 0.0, 0.0))
      model.DeleteSelection(false);
    else
      allDeleted = false;
  }
  model.RebuildModel();
  return allDeleted;
}

}  // namespace zelm
