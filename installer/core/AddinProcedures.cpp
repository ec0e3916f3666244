#include "core/AddinProcedures.h"

#include <io.h>

#include "core/FileSystem.h"
#include "core/Messages.h"

namespace installer {
namespace {

// Copies with the fail-if-exists argument off, so an existing target is
// replaced. The copy keeps the source's attributes (a read-only companion
// stays read-only); none is ever set or cleared here.
bool CopyReplacing(const PathBuffer& source, const PathBuffer& target) {
  return CopyFileA(source.c_str(), target.c_str(), FALSE) != 0;
}

// A folder that cannot be entered (it is missing, or is a file) counts as not
// empty, so the callers leave it alone and say nothing.
int IsFolderEmpty(const PathBuffer& folder) {
  if (!SetCurrentDirectoryA(folder.c_str())) return 0;
  return IsCurrentFolderEmpty();
}

}  // namespace

bool AddinProcedures::buildAppsPath(PathBuffer& path) const { return path.assign(hostFolder_.c_str()) && path.append("Apps"); }

int AddinProcedures::InstallAddin(const char* addinFileName, std::string addinName, int ntSelected) {
  PathBuffer distribution;
  const bool haveDistribution = distribution.assignCurrentDirectory();

  PathBuffer apps;
  if (!buildAppsPath(apps) || (!EntryExists(apps.c_str()) && !CreateDirectoryA(apps.c_str(), nullptr))) {
    showMessage_(messages::kCannotCreateApps);
    return 0;
  }

  PathBuffer source;
  PathBuffer target;
  const bool copied = haveDistribution &&
                      source.append(distribution.c_str(), ntSelected ? "\\DATA_NT\\" : "\\DATA_95\\", addinFileName) &&
                      target.append(hostFolder_.c_str(), "Apps\\", addinFileName) && CopyReplacing(source, target);
  if (!copied) showMessage_(messages::kCannotCopyAddinBefore + addinName + messages::kCannotCopyAddinAfter);

  InstallScriptEntries();
  return copied ? 1 : 0;
}

void AddinProcedures::InstallScriptEntries() {
  PathBuffer sourceRoot;
  const bool haveSourceRoot = sourceRoot.assignCurrentDirectory() && sourceRoot.append("\\DATA_CM");
  PathBuffer targetRoot;
  const bool haveTargetRoot = buildAppsPath(targetRoot);

  for (const std::string& line : scriptEntries_) {
    const ScriptEntry entry = SplitScriptEntry(line);
    // A path that would leave "Apps", or that does not fit, is refused like
    // an entry that cannot be handled.
    const bool inside = StaysInsideRoot(entry.path);
    PathBuffer target;
    const bool haveTarget = haveTargetRoot && inside && target.append(targetRoot.c_str(), entry.path);

    if (entry.isFile()) {
      PathBuffer source;
      const bool haveSource = haveSourceRoot && source.append(sourceRoot.c_str(), entry.path);
      if (!haveTarget || !haveSource || !CopyReplacing(source, target)) showMessage_(messages::kCannotCopyFile);
      continue;
    }
    if (haveTarget && EntryExists(target.c_str())) continue;  // a folder or a file: passed over
    if (!haveTarget || !CreateDirectoryA(target.c_str(), nullptr)) {
      // What follows would go into this folder: stop here.
      showMessage_(messages::kCannotCreateFolder);
      return;
    }
  }
}

int AddinProcedures::UninstallAddin(const char* addinFileName, std::string addinName) {
  int result = 1;
  PathBuffer distribution;
  distribution.assignCurrentDirectory();

  PathBuffer library;
  if (!library.append(hostFolder_.c_str(), "Apps\\", addinFileName) || !DeleteFileA(library.c_str())) {
    showMessage_(messages::kCannotDeleteAddinBefore + addinName + messages::kCannotDeleteAddinAfter);
    result = 0;
  }

  RemoveScriptEntries();

  PathBuffer apps;
  const int appsEmpty = buildAppsPath(apps) ? IsFolderEmpty(apps) : 0;
  SetCurrentDirectoryA(distribution.c_str());
  if (appsEmpty && !RemoveDirectoryA(apps.c_str())) showMessage_(messages::kCannotRemoveFolder);

  SetCurrentDirectoryA(distribution.c_str());
  return result;
}

void AddinProcedures::RemoveScriptEntries() {
  PathBuffer distribution;
  distribution.assignCurrentDirectory();
  PathBuffer sourceRoot;
  const bool haveSourceRoot = sourceRoot.append(distribution.c_str(), "\\DATA_CM");
  PathBuffer targetRoot;
  const bool haveTargetRoot = buildAppsPath(targetRoot);

  for (auto line = scriptEntries_.rbegin(); line != scriptEntries_.rend(); ++line) {
    const ScriptEntry entry = SplitScriptEntry(*line);
    PathBuffer target;
    const bool haveTarget = haveTargetRoot && StaysInsideRoot(entry.path) && target.append(targetRoot.c_str(), entry.path);

    if (entry.isFile()) {
      // Deletion does not clear a read-only attribute first.
      if (!haveTarget || !DeleteFileA(target.c_str())) showMessage_(messages::kCannotDeleteFile);
      continue;
    }
    if (!haveTarget) continue;  // refused folders are left alone, silently

    const int empty = IsFolderEmpty(target);
    // Leave the folder before removing it (a current directory cannot be
    // removed); the distribution folder is the fallback when "DATA_CM" is
    // missing.
    if (!haveSourceRoot || !SetCurrentDirectoryA(sourceRoot.c_str())) SetCurrentDirectoryA(distribution.c_str());
    if (empty && !RemoveDirectoryA(target.c_str())) showMessage_(messages::kCannotRemoveFolder);
  }
}

int IsCurrentFolderEmpty() {
  _finddata_t entry;
  FindHandle enumeration(_findfirst("*.*", &entry));
  if (!enumeration.valid()) return 1;
  do {
    if (IsDirectoryEntry(entry) && IsDotEntry(entry.name)) continue;
    return 0;
  } while (_findnext(enumeration.get(), &entry) == 0);
  return 1;
}

}  // namespace installer
