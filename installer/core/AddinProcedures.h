#pragma once
// The install and uninstall procedures behind the dialog's two action
// buttons. The distribution folder is the process's current directory; the
// host side is the folder "Apps" below the host installation folder.
#include <functional>
#include <string>

#include "core/PathBuffer.h"
#include "core/ScriptFile.h"

namespace installer {

// Shows one message to the user (a modal box with an OK button).
using MessageSink = std::function<void(const std::string& text)>;

class AddinProcedures {
 public:
  // All three are borrowed and must outlive this object.
  AddinProcedures(const PathBuffer& hostFolder, const ScriptEntries& scriptEntries, const MessageSink& showMessage)
      : hostFolder_(hostFolder), scriptEntries_(scriptEntries), showMessage_(showMessage) {}

  // Copies the chosen build ("DATA_NT" when `ntSelected` is nonzero, else
  // "DATA_95") of the add-in into "Apps", then the companion entries.
  // Nonzero when the add-in library itself was copied.
  int InstallAddin(const char* addinFileName, std::string addinName, int ntSelected);

  // Deletes the add-in library and the listed companion entries, then "Apps"
  // when it has become empty. Nonzero when the library itself was deleted.
  int UninstallAddin(const char* addinFileName, std::string addinName);

  // Creates the listed folders and copies the listed files, first to last.
  void InstallScriptEntries();

  // Deletes the listed files and the listed folders that are empty, last to
  // first.
  void RemoveScriptEntries();

 private:
  bool BuildAppsPath(PathBuffer& path) const;
  // `path` becomes "Apps" followed by `relative` when that fits and leads to
  // a place inside "Apps" by name and on disk: no ".." and no link on the
  // way. False otherwise, and the path is refused like one that cannot be
  // handled.
  bool BuildPathInApps(const std::string& relative, PathBuffer& path) const;

  const PathBuffer& hostFolder_;
  const ScriptEntries& scriptEntries_;
  const MessageSink& showMessage_;
};

// 1 when the current directory holds nothing but "." and "..", else 0.
int IsCurrentFolderEmpty();

}  // namespace installer
