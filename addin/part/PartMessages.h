#pragma once
// What the part commands say to the user, word for word.

inline constexpr wchar_t kNoActiveDocumentMessage[] = L"Pas de Document Courant !...";
inline constexpr wchar_t kDestinationTakenMessage[] =
    L"Le pi\u00E8ce existe d\u00E9j\u00E0 dans le dossier.\nRemplacement impossible.";
// "%s" stands for the destination folder.
inline constexpr wchar_t kCompactedFormat[] = L"Fichier compact\u00E9 avec succ\u00E8s dans le dossier\n%s";
inline constexpr wchar_t kAlreadyCompactedMessage[] = L"Le fichier est d\u00E9j\u00E0 compact\u00E9 !...";
inline constexpr wchar_t kNoOpenSketchMessage[] = L"Il n'y \u00E0 pas d'esquisse ouverte...";
inline constexpr wchar_t kLineRefusedMessage[] =
    L"Une Erreur est apparue lors de la cr\u00E9ation d'une ligne.";
