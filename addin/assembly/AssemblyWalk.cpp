#include "assembly/AssemblyWalk.h"

#include <vector>

namespace zelm {
namespace {

// The text from the last point on, upper-cased; empty without a point.
std::wstring UpperExtension(const std::wstring& path) {
  const size_t point = path.rfind(L'.');
  if (point == std::wstring::npos) return std::wstring();
  std::wstring extension = path.substr(point);
  CharUpperBuffW(extension.data(), static_cast<DWORD>(extension.size()));
  return extension;
}

}  // namespace

bool IsNewPath(const std::wstring& path, const PathList& files) { return !files.Contains(path); }

bool IsPartFile(const std::wstring& path) {
  const std::wstring extension = UpperExtension(path);
  return extension == L".SLDPRT" || extension == L".PRT";
}

bool IsAssemblyFile(const std::wstring& path) {
  const std::wstring extension = UpperExtension(path);
  return extension == L".SLDASM" || extension == L".ASM";
}

void WalkComponents(const Component& root, const std::wstring& rootPath, PathList& files) {
  // An explicit stack rather than recursion, so any depth the host can give
  // is safe: one level per sub-assembly being walked, with the children
  // still to visit and the path of the file it stands for.
  struct Level {
    std::vector<Component> children;
    size_t next = 0;
    std::wstring path;
  };
  std::vector<Level> levels;
  levels.push_back({root.ComponentChildren(), 0, rootPath});
  while (!levels.empty()) {
    Level& level = levels.back();
    if (level.next == level.children.size()) {
      levels.pop_back();
      continue;
    }
    const Component child = std::move(level.children[level.next++]);
    std::wstring path = child.ComponentPath();
    if (IsNewPath(path, files)) files.Append(path);
    if (!IsAssemblyFile(path)) continue;
    bool repeatsAnAncestor = false;
    for (const Level& ancestor : levels) repeatsAnAncestor = repeatsAnAncestor || ancestor.path == path;
    if (!repeatsAnAncestor) levels.push_back({child.ComponentChildren(), 0, std::move(path)});
  }
}

AssemblyListing ListAssembly(const ModelDocument& assembly, const std::wstring& assemblyPath) {
  const Configuration configuration = assembly.ActiveConfiguration();
  if (!configuration) return {ListingOutcome::NoConfiguration};
  const Component root = configuration.GetRootComponent();
  if (!root) return {ListingOutcome::NoRootComponent};
  AssemblyListing listing{ListingOutcome::Listed};
  listing.files.Append(assemblyPath);
  WalkComponents(root, assemblyPath, listing.files);
  return listing;
}

}  // namespace zelm
