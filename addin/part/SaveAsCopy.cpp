#include "part/SaveAsCopy.h"

#include "part/PathRules.h"

namespace zelm {

bool SaveAsCopy(const ModelDocument& document, const std::wstring& copyPath) {
  return document.SaveToPath(copyPath) && IsSameFile(document.DocumentPath(), copyPath);
}

}  // namespace zelm
