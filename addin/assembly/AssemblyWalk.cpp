#include "assembly/AssemblyWalk.h"

#include <unordered_map>
#include <vector>

#include "frame/AddinApp.h"
#include "frame/Dialogs.h"
#include "part/PathRules.h"

namespace {

constexpr wchar_t kNotAnAssemblyMessage[] = L"Le document courant n'est pas un assemblage.";
constexpr wchar_t kNoConfigurationMessage[] = L"Pas de configuration active sur le model.";
constexpr wchar_t kNoRootComponentMessage[] = L"Erreur sur GetRootComponent.";
constexpr wchar_t kDestinationTakenMessage[] =
    L"L'assemblage existe d\u00E9j\u00E0 dans le dossier.\nRemplacement impossible.";
constexpr wchar_t kSameFolderMessage[] = L"L'assemblage ne peut pas \u00EAtre sauvegard\u00E9\n dans le m\u00EAme dossier.";
constexpr wchar_t kAssemblyFilter[] = L"Fichiers Assemblage (*.SLDASM)|*.SLDASM|";
constexpr wchar_t kAssemblyExtension[] = L"SLDASM";

// The text from the last point on, upper-cased; empty without a point.
std::wstring UpperExtension(const std::wstring& path) {
  const size_t point = path.rfind(L'.');
  if (point == std::wstring::npos) return std::wstring();
  std::wstring extension = path.substr(point);
  CharUpperBuffW(extension.data(), static_cast<DWORD>(extension.size()));
  return extension;
}

// The destination dialog and its two tests: a file already there (the
// assembly's own file included) is refused first, then the assembly's own
// folder, compared as text. Without a destination wanted, chosen at once.
std::optional<std::wstring> ChooseAssemblyDestination(const std::wstring& assemblyPath, Destination destination) {
  if (destination == Destination::None) return std::wstring();
  const std::optional<std::wstring> candidate =
      AskSavePath(kAssemblyFilter, kAssemblyExtension, FileNameOfPath(assemblyPath));
  if (!candidate) return std::nullopt;
  if (!FileIsAbsent(FolderOfPath(*candidate), FileNameOfPath(*candidate))) {
    ShowMessage(kDestinationTakenMessage);
    return std::nullopt;
  }
  if (FolderOfPath(assemblyPath) == FolderOfPath(*candidate)) {
    ShowMessage(kSameFolderMessage);
    return std::nullopt;
  }
  return candidate;
}

// Every copy is written to the destination folder under the name Windows
// reads in its source's path. A destination is refused before anything is
// written, naming the file(s), when a copy would land on a source: a listed
// file lies in that folder (however the folder is written), two listed files
// of one name would land on one copy, a name names no file of its own, or a
// copy's path reaches a listed file by another route (a link, another
// mapping of a drive).
bool DestinationKeepsEverySource(const std::wstring& destinationPath, const PathList& paths) {
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
    if (known->second) {
      ShowMessage(L"Le dossier de destination contient un fichier de l'assemblage :\n" + path +
                  L"\nRemplacement impossible.");
      return false;
    }
    const std::optional<std::wstring> name = CopyNameOfPath(path);
    if (!name) {
      ShowMessage(L"Ce fichier de l'assemblage ne peut pas \u00EAtre copi\u00E9 sous son nom :\n" + path);
      return false;
    }
    std::wstring upperName = *name;
    CharUpperBuffW(upperName.data(), static_cast<DWORD>(upperName.size()));
    const auto [first, isFirst] = firstWithName.emplace(std::move(upperName), i);
    if (!isFirst && !IsSameFile(paths[first->second], path)) {
      ShowMessage(L"Deux fichiers de l'assemblage portent le m\u00EAme nom :\n" + paths[first->second] + L"\n" + path +
                  L"\nIls ne peuvent pas \u00EAtre copi\u00E9s dans un m\u00EAme dossier.");
      return false;
    }
    if (const std::optional<FileIdentity> identity = IdentityOfFile(path)) listedFile.emplace(*identity, i);
    copyNames.push_back(*name);
  }
  for (size_t i = 0; i < paths.Count(); ++i) {
    const std::optional<FileIdentity> identity = IdentityOfFile(destinationFolder + copyNames[i]);
    const auto reached = identity ? listedFile.find(*identity) : listedFile.end();
    if (reached != listedFile.end()) {
      ShowMessage(L"La copie de ce fichier remplacerait un fichier de l'assemblage :\n" + paths[i] + L"\n" +
                  paths[reached->second] + L"\nRemplacement impossible.");
      return false;
    }
  }
  return true;
}

// The assembly's own path as entry 0, then its tree; false, with its
// message, when the host gives no configuration or no root component.
bool ListAssembly(const ModelDocument& document, const std::wstring& assemblyPath, PathList& files) {
  const Configuration configuration = document.ActiveConfiguration();
  if (!configuration) {
    ShowMessage(kNoConfigurationMessage);
    return false;
  }
  const Component root = configuration.GetRootComponent();
  if (!root) {
    ShowMessage(kNoRootComponentMessage);
    return false;
  }
  if (IsNewPath(assemblyPath, files)) files.Append(assemblyPath);
  WalkComponents(root, assemblyPath, files);
  return true;
}

}  // namespace

BOOL IsNewPath(const std::wstring& path, const PathList& files) { return files.Contains(path) ? FALSE : TRUE; }

BOOL IsPartFile(const std::wstring& path) {
  const std::wstring extension = UpperExtension(path);
  return extension == L".SLDPRT" || extension == L".PRT";
}

BOOL IsAssemblyFile(const std::wstring& path) {
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

std::optional<AssemblyFiles> CollectAssemblyFiles(Destination destination) {
  const HostApplication host = CommandHost();
  const ModelDocument document = host.ActiveDocument();
  // No active document answers kind 0 and takes the same way.
  if (document.DocumentKind() != kAssemblyDocumentKind) {
    ShowMessage(kNotAnAssemblyMessage);
    return std::nullopt;
  }
  const std::wstring assemblyPath = document.DocumentPath();
  const std::optional<std::wstring> destinationPath = ChooseAssemblyDestination(assemblyPath, destination);
  if (!destinationPath) return std::nullopt;

  const AssemblyDocument assembly(DispatchDriver::Borrow(document.get()));
  assembly.PrepareComponents(true);
  AssemblyFiles listed{PathList(), *destinationPath};
  const bool walked = ListAssembly(document, assemblyPath, listed.files);
  // A refused destination leaves the assembly open: nothing has changed.
  if (walked && destination == Destination::Ask && !DestinationKeepsEverySource(*destinationPath, listed.files))
    return std::nullopt;
  host.CloseDocumentByPath(assemblyPath);
  if (!walked) return std::nullopt;
  return listed;
}
