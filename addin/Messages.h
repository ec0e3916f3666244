#pragma once
// Every text the add-in shows the user or hands the host to show: the menu,
// the messages, the save dialogs' filters and the descriptions of a host
// answer it cannot read. Accents are written as escapes so that the texts
// are the same whatever character set a compiler assumes for the source
// ("\u00E9" is "é"); "\n" is a line break in the box.
//
// The texts that name a path or a number are functions of them; the folder
// texts end with the backslash of the folder they name.
#include <string>
#include <vector>

namespace zelm::messages {

// ---- The add-in's name: every message box's caption, the source of its errors --
inline constexpr wchar_t kAddinName[] = L"ZELM_Compact";

// ---- The menu ---------------------------------------------------------------
// "Item@Menu": the menu "Compression" in the host's "Outils" menu.
inline constexpr wchar_t kMenu[] = L"Compression@&Outils";
inline constexpr wchar_t kCompactLabel[] = L"Compacter";
inline constexpr wchar_t kDecompactLabel[] = L"D\u00E9compacter";

// ---- The add-in's start -----------------------------------------------------
inline constexpr wchar_t kCannotLoadItself[] = L"Impossible d'ouvrir ZELM_Compact.DLL";
inline constexpr wchar_t kCannotCreateHost[] = L"IDP_FAILED_TO_CREATE";

// ---- How a command ends when it does not end normally ----------------------
inline constexpr wchar_t kCommandRunning[] =
    L"Une autre commande de ZELM_Compact est en cours : terminez-la, puis recommencez.";
inline std::wstring HostCallFailed(const std::wstring& operation) {
  return L"Erreur du logiciel h\u00F4te pendant l'op\u00E9ration " + operation + L".";
}
inline constexpr wchar_t kOutOfMemory[] = L"M\u00E9moire insuffisante : la commande est interrompue.";
inline constexpr wchar_t kUnexpectedFailure[] = L"Erreur inattendue : la commande est interrompue.";

// ---- A host answer the add-in cannot read (the failure's description) ------
inline constexpr wchar_t kAnswerOfUnexpectedType[] = L"r\u00E9ponse d'un type inattendu";
inline constexpr wchar_t kAnswerWithoutAutomation[] = L"objet sans interface d'automatisation";
inline constexpr wchar_t kAnswerNotAComponentList[] = L"la liste des composants n'est pas un tableau d'objets";
inline constexpr wchar_t kAnswerNotABox[] = L"la bo\u00EEte englobante n'est pas un tableau de six nombres";

// ---- The envelope -----------------------------------------------------------
inline constexpr wchar_t kAlreadyCompacted[] = L"Le fichier est d\u00E9j\u00E0 compact\u00E9 !...";
inline constexpr wchar_t kNoOpenSketch[] = L"Il n'y \u00E0 pas d'esquisse ouverte...";
inline constexpr wchar_t kLineRefused[] = L"Une Erreur est apparue lors de la cr\u00E9ation d'une ligne.";

// ---- The part commands ------------------------------------------------------
inline constexpr wchar_t kNoActiveDocument[] = L"Pas de Document Courant !...";
inline constexpr wchar_t kPartFilter[] = L"Fichiers Pi\u00E8ce (*.SLDPRT)|*.SLDPRT|";
inline constexpr wchar_t kPartDestinationTaken[] =
    L"Le pi\u00E8ce existe d\u00E9j\u00E0 dans le dossier.\nRemplacement impossible.";
inline std::wstring PartCompacted(const std::wstring& destinationFolder) {
  return L"Fichier compact\u00E9 avec succ\u00E8s dans le dossier\n" + destinationFolder;
}
// Saved, but the envelope is not whole: no sketch opened, or a marker has no
// name, so decompaction would not find it.
inline std::wstring PartSavedWithoutEnvelope(const std::wstring& destinationFolder) {
  return L"Fichier enregistr\u00E9 dans le dossier\n" + destinationFolder +
         L"\nmais l'enveloppe n'a pas pu \u00EAtre compl\u00E9t\u00E9e.";
}
// What became of the user's part when the command could not finish.
inline constexpr wchar_t kPartPutBack[] = L"La pi\u00E8ce ouverte est rest\u00E9e telle qu'elle \u00E9tait.";
inline std::wstring PartMustNotBeSaved(const std::wstring& documentPath) {
  return L"La pi\u00E8ce ouverte contient une enveloppe inachev\u00E9e : ne l'enregistrez pas.\n" + documentPath;
}
// The host did not write the copy; then what became of the open part.
inline std::wstring PartCopyNotSaved(const std::wstring& destinationPath, const std::wstring& partLine) {
  return L"Le fichier compact\u00E9 n'a pas pu \u00EAtre enregistr\u00E9 :\n" + destinationPath + L"\n" + partLine;
}

// ---- The assembly commands: the assembly and its destination ---------------
inline constexpr wchar_t kNotAnAssembly[] = L"Le document courant n'est pas un assemblage.";
inline constexpr wchar_t kNoConfiguration[] = L"Pas de configuration active sur le model.";
inline constexpr wchar_t kNoRootComponent[] = L"Erreur sur GetRootComponent.";
inline constexpr wchar_t kAssemblyFilter[] = L"Fichiers Assemblage (*.SLDASM)|*.SLDASM|";
inline constexpr wchar_t kAssemblyDestinationTaken[] =
    L"L'assemblage existe d\u00E9j\u00E0 dans le dossier.\nRemplacement impossible.";
inline constexpr wchar_t kSameFolder[] = L"L'assemblage ne peut pas \u00EAtre sauvegard\u00E9\n dans le m\u00EAme dossier.";
inline std::wstring DestinationHoldsAListedFile(const std::wstring& path) {
  return L"Le dossier de destination contient un fichier de l'assemblage :\n" + path + L"\nRemplacement impossible.";
}
inline std::wstring NoNameOfItsOwn(const std::wstring& path) {
  return L"Ce fichier de l'assemblage ne peut pas \u00EAtre copi\u00E9 sous son nom :\n" + path;
}
inline std::wstring TwoFilesOfOneName(const std::wstring& first, const std::wstring& second) {
  return L"Deux fichiers de l'assemblage portent le m\u00EAme nom :\n" + first + L"\n" + second +
         L"\nIls ne peuvent pas \u00EAtre copi\u00E9s dans un m\u00EAme dossier.";
}
inline std::wstring CopyWouldReplaceAListedFile(const std::wstring& path, const std::wstring& reached) {
  return L"La copie de ce fichier remplacerait un fichier de l'assemblage :\n" + path + L"\n" + reached +
         L"\nRemplacement impossible.";
}
inline std::wstring ListedFilesOpen(const std::vector<std::wstring>& paths) {
  std::wstring text = L"Des fichiers de l'assemblage sont ouverts : fermez-les puis recommencez.";
  for (const std::wstring& path : paths) text += L"\n" + path;
  return text;
}

// ---- The assembly commands: each listed file -------------------------------
inline constexpr wchar_t kFileNotFound[] = L"Erreur:Fichier introuvable.";
inline std::wstring CannotOpenFile(long hostError, const std::wstring& path) {
  return L"ERREUR:" + std::to_wstring(hostError) + L"\nFICHIER=" + path;
}
inline std::wstring CopyNotSaved(const std::wstring& path) {
  return L"La copie n'a pas pu \u00EAtre enregistr\u00E9e.\nFICHIER=" + path;
}
// No sketch opened, or a marker has no name: decompaction would not find it.
inline std::wstring CopiedWithoutWholeEnvelope(const std::wstring& path) {
  return L"La pi\u00E8ce a \u00E9t\u00E9 copi\u00E9e sans enveloppe compl\u00E8te.\nFICHIER=" + path;
}
inline std::wstring ListedFileClosedUnsaved(const std::wstring& path) {
  return L"Le fichier ouvert par la commande a \u00E9t\u00E9 ferm\u00E9 sans \u00EAtre enregistr\u00E9 :\n" + path;
}
inline std::wstring ListedFileNotClosed(const std::wstring& path) {
  return L"Le fichier ouvert par la commande n'a pas pu \u00EAtre ferm\u00E9 : ne l'enregistrez pas.\n" + path;
}

// ---- The assembly commands: the progress dialog ----------------------------
// Its title, and the line under the file being handled; the cancel button
// and the time left are the system's own texts, in the system's language.
inline constexpr wchar_t kCompactionProgressTitle[] = L"Compactage de l'assemblage";
inline constexpr wchar_t kDecompactionProgressTitle[] = L"D\u00E9compactage de l'assemblage";
inline std::wstring FileOfFiles(size_t number, size_t total) {
  return std::to_wstring(number) + L" sur " + std::to_wstring(total);
}
// Shown once the user has cancelled, while the file in hand is finished.
inline constexpr wchar_t kStoppingAfterThisFile[] = L"Arr\u00EAt apr\u00E8s le fichier en cours...";

// ---- The assembly commands: the last word ----------------------------------
inline std::wstring FilesNotCopied(int failures) {
  return std::to_wstring(failures) + L" fichier(s) n'ont pas pu \u00EAtre copi\u00E9s.";
}
inline std::wstring FilesNotDecompacted(int failures) {
  return std::to_wstring(failures) + L" fichier(s) n'ont pas pu \u00EAtre d\u00E9compact\u00E9s.";
}
// The plain confirmation when every file was handled, else how many were not.
inline std::wstring AssemblyCompacted(const std::wstring& destinationFolder, int failures) {
  if (failures == 0) return L"Fichiers compact\u00E9s avec succ\u00E8s dans le dossier\n" + destinationFolder;
  return L"Compactage termin\u00E9 dans le dossier\n" + destinationFolder + L"\n" + FilesNotCopied(failures);
}
inline std::wstring AssemblyDecompacted(int failures) {
  if (failures == 0) return L"Fichiers d\u00E9compact\u00E9s avec succ\u00E8s...";
  return L"D\u00E9compactage termin\u00E9.\n" + FilesNotDecompacted(failures);
}
// The user stopped the run: how many of the files it went through before,
// where the copies are, and how many of those it could not handle.
inline std::wstring AssemblyCompactionStopped(size_t done, size_t total, const std::wstring& destinationFolder,
                                              int failures) {
  return L"Compactage interrompu : " + std::to_wstring(done) + L" fichier(s) sur " + std::to_wstring(total) +
         L" trait\u00E9(s).\nLes copies sont dans le dossier\n" + destinationFolder +
         (failures == 0 ? L"" : L"\n" + FilesNotCopied(failures));
}
inline std::wstring AssemblyDecompactionStopped(size_t done, size_t total, int failures) {
  return L"D\u00E9compactage interrompu : " + std::to_wstring(done) + L" fichier(s) sur " + std::to_wstring(total) +
         L" trait\u00E9(s)." + (failures == 0 ? L"" : L"\n" + FilesNotDecompacted(failures));
}
// A failure ended the run: how far it got, and whether the assembly is open
// again.
inline std::wstring RunInterrupted(size_t handled, size_t total, bool reopened, const std::wstring& assemblyPath) {
  return L"Fichiers trait\u00E9s avec succ\u00E8s avant l'interruption : " + std::to_wstring(handled) + L" sur " +
         std::to_wstring(total) + L".\n" +
         (reopened ? L"L'assemblage a \u00E9t\u00E9 rouvert." : L"L'assemblage n'a pas pu \u00EAtre rouvert :\n" + assemblyPath);
}

}  // namespace zelm::messages
