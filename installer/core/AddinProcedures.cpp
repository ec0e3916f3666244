#include "core/AddinProcedures.h"

#include <io.h>

#include "core/FileSystem.h"
#include "core/LinkGuard.h"
#include "core/Messages.h"

namespace installer {
namespace {

// Replaces an existing target; a target that is not there is made afresh
// (fail-if-exists). Wine lists a link whose target is missing nowhere and
// reports no attributes for it, yet a replacing copy would make the file at
// the far end of the link; a fresh one fails there. The copy keeps the
// source's attributes (a read-only companion stays read-only); none is ever
// set or cleared here.
bool CopyInPlace(const PathBuffer& source, const PathBuffer& target) {
  return CopyFileA(source.Get(), target.Get(), EntryExists(target.Get()) ? FALSE : TRUE) != 0;
}

// A folder that cannot be entered (it is missing, or is a file) counts as not
// empty, so the callers leave it alone and say nothing.
int IsFolderEmpty(const PathBuffer& folder) {
  if (!SetCurrentDirectoryA(folder.Get())) return 0;
  return IsCurrentFolderEmpty();
}

}  // namespace

bool AddinProcedures::BuildAppsPath(PathBuffer& path) const { return path.Assign(hostFolder_.Get()) && path.Append("Apps"); }

bool AddinProcedures::BuildPathInApps(const std::string& relative, PathBuffer& path) const {
  PathBuffer apps;
  return BuildAppsPath(apps) && StaysInsideRoot(relative) && path.Assign(apps.Get()) && path.Append(relative) &&
         !ReachesThroughLink(apps.Get(), path.Get());
}

int AddinProcedures::InstallAddin(const char* addinFileName, std::string addinName, int ntSelected) {
  PathBuffer distribution;
  const bool haveDistribution = distribution.AssignCurrentDirectory();

  PathBuffer apps;
  if (!BuildAppsPath(apps) || (!EntryExists(apps.Get()) && !CreateDirectoryA(apps.Get(), nullptr))) {
    showMessage_(messages::kCannotCreateApps);
    return 0;
  }

  PathBuffer source;
  PathBuffer target;
  const bool copied = haveDistribution &&
                      source.Append(distribution.Get(), ntSelected ? "\\DATA_NT\\" : "\\DATA_95\\", addinFileName) &&
                      BuildPathInApps(std::string("\\") + addinFileName, target) && CopyInPlace(source, target);
  if (!copied) showMessage_(messages::kCannotCopyAddinBefore + addinName + messages::kCannotCopyAddinAfter);

  InstallScriptEntries();
  return copied ? 1 : 0;
}

void AddinProcedures::InstallScriptEntries() {
  PathBuffer sourceRoot;
  const bool haveSourceRoot = sourceRoot.AssignCurrentDirectory() && sourceRoot.Append("\\DATA_CM");

  for (const std::string& line : scriptEntries_) {
    const ScriptEntry entry = SplitScriptEntry(line);
    // A path that would leave "Apps", by name or through a link, or that does
    // not fit, is refused like an entry that cannot be handled.
    PathBuffer target;
    const bool haveTarget = BuildPathInApps(entry.path, target);

    if (entry.IsFile()) {
      PathBuffer source;
      const bool haveSource = haveSourceRoot && source.Append(sourceRoot.Get(), entry.path);
      if (!haveTarget || !haveSource || !CopyInPlace(source, target)) showMessage_(messages::kCannotCopyFile);
      continue;
    }
    if (haveTarget && EntryExists(target.Get())) continue;  // a folder or a file: passed over
    if (!haveTarget || !CreateDirectoryA(target.Get(), nullptr)) {
      // What follows would go into this folder: stop here.
      showMessage_(messages::kCannotCreateFolder);
      return;
    }
  }
}

int AddinProcedures::UninstallAddin(const char* addinFileName, std::string addinName) {
  int result = 1;
  PathBuffer distribution;
  distribution.AssignCurrentDirectory();

  PathBuffer library;
  if (!BuildPathInApps(std::string("\\") + addinFileName, library) || !DeleteFileA(library.Get())) {
    showMessage_(messages::kCannotDeleteAddinBefore + addinName + messages::kCannotDeleteAddinAfter);
    result = 0;
  }

  RemoveScriptEntries();

  PathBuffer apps;
  const int appsEmpty = BuildAppsPath(apps) ? IsFolderEmpty(apps) : 0;
  SetCurrentDirectoryA(distribution.Get());
  if (appsEmpty && !RemoveDirectoryA(apps.Get())) showMessage_(messages::kCannotRemoveFolder);

  SetCurrentDirectoryA(distribution.Get());
  return result;
}

void AddinProcedures::RemoveScriptEntries() {
  PathBuffer distribution;
  distribution.AssignCurrentDirectory();
  PathBuffer sourceRoot;
  const bool haveSourceRoot = sourceRoot.Append(distribution.Get(), "\\DATA_CM");

  for (auto line = scriptEntries_.rbegin(); line != scriptEntries_.rend(); ++line) {
    const ScriptEntry entry = SplitScriptEntry(*line);
    PathBuffer target;
    const bool haveTarget = BuildPathInApps(entry.path, target);

    if (entry.IsFile()) {
      // Deletion does not clear a read-only attribute first.
      if (!haveTarget || !DeleteFileA(target.Get())) showMessage_(messages::kCannotDeleteFile);
      continue;
    }
    if (!haveTarget) continue;  // refused folders are left alone, silently

    const int empty = IsFolderEmpty(target);
    // Leave the folder before removing it (a current directory cannot be
    // removed); the distribution folder is the fallback when "DATA_CM" is
    // missing.
    if (!haveSourceRoot || !SetCurrentDirectoryA(sourceRoot.Get())) SetCurrentDirectoryA(distribution.Get());
    if (empty && !RemoveDirectoryA(target.Get())) showMessage_(messages::kCannotRemoveFolder);
  }
}

int IsCurrentFolderEmpty() {
  _finddata_t entry;
  FindHandle enumeration(_findfirst("*.*", &entry));
  if (!enumeration.IsValid()) return 1;
  do {
    if (IsDirectoryEntry(entry) && IsDotEntry(entry.name)) continue;
    return 0;
  } while (_findnext(enumeration.Get(), &entry) == 0);
  return 1;
}

}  // namespace installer
