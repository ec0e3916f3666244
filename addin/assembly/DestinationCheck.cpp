#include "assembly/DestinationCheck.h"

#include <unordered_map>
#include <vector>

#include "part/PathRules.h"

namespace zelm {

std::optional<SourceAtRisk> FindSourceAtRisk(const std::wstring& destinationPath, const PathList& paths) {
  const std::wstring destinationFolder = FolderOfPath(destinationPath);
  std::unordered_map<std::wstring, bool> folderIsDestination;  // by source folder, as listed
  std::unordered_map<std::wstring, size_t> firstWithName;      // by upper-cased copy name
  std::unordered_map<FileIdentity, size_t, FileIdentityHash> listedFile;
  std::vector<std::wstring> copyNames;
  for (size_t i = 0; i < paths.Count(); ++i) {
    const std::wstring& path = paths[i];
    const std::wstring folder = FolderOfPath(path);
    auto known = folderIsDestination.find(folder);
    if (known == folderIsDestination.end())
      known = folderIsDestination.emplace(folder, IsSameFile(folder, destinationFolder)).first;
    if (known->second) return SourceAtRisk{SourceRisk::InDestinationFolder, path, {}};
    const std::optional<std::wstring> name = CopyNameOfPath(path);
    if (!name) return SourceAtRisk{SourceRisk::NoNameOfItsOwn, path, {}};
    std::wstring upperName = *name;
    CharUpperBuffW(upperName.data(), static_cast<DWORD>(upperName.size()));
    const auto [first, isFirst] = firstWithName.emplace(std::move(upperName), i);
    if (!isFirst && !IsSameFile(paths[first->second], path))
      return SourceAtRisk{SourceRisk::NameTakenTwice, paths[first->second], path};
    if (const std::optional<FileIdentity> identity = IdentityOfFile(path)) listedFile.emplace(*identity, i);
    copyNames.push_back(*name);
  }
  for (size_t i = 0; i < paths.Count(); ++i) {
    const std::optional<FileIdentity> identity = IdentityOfFile(destinationFolder + copyNames[i]);
    const auto reached = identity ? listedFile.find(*identity) : listedFile.end();
    if (reached != listedFile.end()) return SourceAtRisk{SourceRisk::ReachedByACopy, paths[i], paths[reached->second]};
  }
  return std::nullopt;
}

}  // namespace zelm
