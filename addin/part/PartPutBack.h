#pragma once
// Putting an open part back as it was before a command changed it: the
// features the command added are deleted, whatever state it left them in (a
// sketch still open, a sketch without its extrusion, an extrusion without
// its marker name), and the user's own features and unsaved changes stay.
#include <string>
#include <unordered_set>

#include "host/HostObjects.h"

namespace zelm {

// The names of the part's features (unique in a part), in the host's answer.
using FeatureNames = std::unordered_set<std::wstring>;
FeatureNames FeatureNamesOf(const PartDocument& part);

// Closes a sketch left open, deletes every feature whose name `before` does
// not hold, the newest first (an extrusion before the sketch it was made
// from), and rebuilds the part. False when such a feature could not be
// selected, so it is still there.
bool PutPartBack(const ModelDocument& model, const PartDocument& part, const FeatureNames& before);

}  // namespace zelm
