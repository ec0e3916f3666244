#pragma once
// The installer's texts, in the Windows-1252 code page ("\xE9" is "é").
// Escapes rather than literal accents keep the bytes the same whatever
// character set the compiler assumes for the source.
namespace installer::messages {

constexpr const char kHostNotFound[] =
    "SolidWorks n'est pas trouv\xE9,\nInstaller SolidWorks avant d'installer vos DLL...";

constexpr const char kCannotCreateApps[] = "ERREUR:\nCreation du dossier Apps impossible.";
constexpr const char kCannotCopyAddinBefore[] = "ERREUR:\nTransfert du fichier ";
constexpr const char kCannotCopyAddinAfter[] = " impossible.";
constexpr const char kCannotCopyFile[] = "ERREUR:\nTransfert du fichier impossible.";
constexpr const char kCannotCreateFolder[] = "ERREUR:\nCreation du dossier impossible.";
constexpr const char kCannotDeleteAddinBefore[] = "ERREUR:\nSuppression du fichier ";
constexpr const char kCannotDeleteAddinAfter[] = " impossible.";
constexpr const char kCannotDeleteFile[] = "ERREUR:\nSuppression du fichier impossible.";
constexpr const char kCannotRemoveFolder[] = "ERREUR:\nSuppression du fichier Apps impossible.";

}  // namespace installer::messages
