#pragma once
// The system's modal save-file dialog, as the compaction commands show it:
// no owner window, no starting folder, no overwrite prompt (the commands
// refuse existing files themselves).
#include <optional>
#include <string>
#include <string_view>

// `filter` is written the way people read it, entries and patterns
// separated by "|" and the list closed by a final "|"
// ("Texte (*.txt)|*.txt|"). Returns the full path chosen, or nothing when
// the dialog ends other than by OK.
std::optional<std::wstring> AskSavePath(std::wstring_view filter, const wchar_t* defaultExtension,
                                        const std::wstring& initialName);

// The "|"-separated filter in the platform's form: every "|" a NUL, the
// whole closed by a second NUL (std::wstring::c_str adds the last one).
std::wstring PlatformFilter(std::wstring_view filter);
