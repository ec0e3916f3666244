#include "part/ChooseDestination.h"

#include "frame/Messages.h"
#include "part/PartMessages.h"
#include "part/PathRules.h"
#include "part/SaveFileDialog.h"

namespace {

constexpr wchar_t kPartFilter[] = L"Fichiers Pi\u00E8ce (*.SLDPRT)|*.SLDPRT|";
constexpr wchar_t kPartExtension[] = L"SLDPRT";

}  // namespace

Destination ChooseDestination(const std::wstring& documentPath) {
  std::optional<std::wstring> candidate = AskSavePath(kPartFilter, kPartExtension, FileNameOfPath(documentPath));
  if (!candidate) return Destination{};
  // No replacement is ever offered: an existing file, the source included,
  // ends the command.
  if (!FileIsAbsent(FolderOfPath(*candidate), FileNameOfPath(*candidate))) {
    ShowMessage(kDestinationTakenMessage);
    return Destination{};
  }
  return Destination{true, *candidate};
}
