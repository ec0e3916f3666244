#pragma once
// Saving an open document under the path of its copy, as both compaction
// commands do.
#include <string>

#include "host/HostObjects.h"

namespace zelm {

// SaveToPath to `copyPath`; true only when the host answered TRUE and the
// document now stands for the copy. A document the host says it saved but
// that still stands for its source must be treated as not saved: one more
// save would write into the source.
bool SaveAsCopy(const ModelDocument& document, const std::wstring& copyPath);

}  // namespace zelm
