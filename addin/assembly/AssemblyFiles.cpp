#include "assembly/AssemblyFiles.h"

#include "Messages.h"
#include "assembly/AssemblyWalk.h"
#include "assembly/DestinationCheck.h"
#include "command/Dialogs.h"
#include "part/PathRules.h"

namespace zelm {
namespace {

constexpr wchar_t kAssemblyExtension[] = L"SLDASM";

// The destination dialog and its two tests: a file already there (the
// assembly's own file included) is refused first, then the assembly's own
// folder, compared as text. Without a destination wanted, chosen at once.
std::optional<std::wstring> ChooseAssemblyDestination(const std::wstring& assemblyPath, Destination destination) {
  if (destination == Destination::None) return std::wstring();
  const std::optional<std::wstring> candidate =
      AskSavePath(messages::kAssemblyFilter, kAssemblyExtension, FileNameOfPath(assemblyPath));
  if (!candidate) return std::nullopt;
  if (!FileIsAbsent(FolderOfPath(*candidate), FileNameOfPath(*candidate))) {
    ShowMessage(messages::kAssemblyDestinationTaken);
    return std::nullopt;
  }
  if (FolderOfPath(assemblyPath) == FolderOfPath(*candidate)) {
    ShowMessage(messages::kSameFolder);
    return std::nullopt;
  }
  return candidate;
}

std::wstring ListingFailedMessage(ListingOutcome outcome) {
  return outcome == ListingOutcome::NoConfiguration ? messages::kNoConfiguration : messages::kNoRootComponent;
}

std::wstring SourceAtRiskMessage(const SourceAtRisk& atRisk) {
  switch (atRisk.risk) {
    case SourceRisk::InDestinationFolder: return messages::DestinationHoldsAListedFile(atRisk.path);
    case SourceRisk::NoNameOfItsOwn: return messages::NoNameOfItsOwn(atRisk.path);
    case SourceRisk::NameTakenTwice: return messages::TwoFilesOfOneName(atRisk.path, atRisk.other);
    case SourceRisk::ReachedByACopy: break;
  }
  return messages::CopyWouldReplaceAListedFile(atRisk.path, atRisk.other);
}

}  // namespace

// 1. The active document, an assembly; 2. the destination, when wanted;
// 3. the tree listed; 4. no copy on a source; 5. the assembly closed.
std::optional<AssemblyFiles> CollectAssemblyFiles(CommandContext& context, Destination destination) {
  const HostApplication& host = context.host;
  const ModelDocument document = host.ActiveDocument();
  // No active document answers kind 0 and takes the same way.
  if (document.DocumentKind() != kAssemblyDocumentKind) {
    ShowMessage(messages::kNotAnAssembly);
    return std::nullopt;
  }
  const std::wstring assemblyPath = document.DocumentPath();
  const std::optional<std::wstring> destinationPath = ChooseAssemblyDestination(assemblyPath, destination);
  if (!destinationPath) return std::nullopt;

  document.AsAssembly().PrepareComponents(true);
  AssemblyListing listing = ListAssembly(document, assemblyPath);
  if (listing.outcome != ListingOutcome::Listed) {
    ShowMessage(ListingFailedMessage(listing.outcome));
    host.CloseDocumentByPath(assemblyPath);
    return std::nullopt;
  }
  if (destination == Destination::Ask) {
    if (const std::optional<SourceAtRisk> atRisk = FindSourceAtRisk(*destinationPath, listing.files)) {
      ShowMessage(SourceAtRiskMessage(*atRisk));
      return std::nullopt;
    }
  }
  host.CloseDocumentByPath(assemblyPath);
  return AssemblyFiles{std::move(listing.files), *destinationPath};
}

}  // namespace zelm
