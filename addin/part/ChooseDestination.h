#pragma once
// Where the compacted copy of a part goes: the user's choice in the save
// dialog, refused when a file is already there.
#include <string>

struct Destination {
  bool chosen = false;           // the user confirmed a free destination
  std::wstring destinationPath;  // the full chosen path, when chosen
};

// Proposes the part's own file name; shows the refusal message when the
// chosen file exists. Cancel gives "not chosen" and shows nothing.
Destination ChooseDestination(const std::wstring& documentPath);
