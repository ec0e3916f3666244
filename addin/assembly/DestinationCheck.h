#pragma once
// Whether copying an assembly's files into one folder would write over one
// of them. Every copy goes to the destination folder under the name Windows
// reads in its source's path, so a destination puts a source at risk when
// a listed file lies in that folder (however the folder is written), two
// listed files of one name would land on one copy, a name names no file of
// its own, or a copy's path reaches a listed file by another route (a link,
// another mapping of a drive).
#include <optional>
#include <string>

#include "assembly/PathList.h"

namespace zelm {

enum class SourceRisk {
  InDestinationFolder,  // `path` lies in the destination folder
  NoNameOfItsOwn,       // `path` names no file of its own there
  NameTakenTwice,       // `path` and `other` would land on one copy
  ReachedByACopy,       // the copy of `path` would reach `other`
};

// The first risk met, with the file(s) it is about, in the order the message
// names them.
struct SourceAtRisk {
  SourceRisk risk;
  std::wstring path, other;
};

// Nothing when every source is safe: the files checked in list order, each
// for every risk but the last, then each copy for the last.
std::optional<SourceAtRisk> FindSourceAtRisk(const std::wstring& destinationPath, const PathList& paths);

}  // namespace zelm
