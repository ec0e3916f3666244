#include "core/HostSearch.h"

#include <direct.h>
#include <io.h>

#include <cstring>
#include <string>

#include "core/FileSystem.h"

namespace installer {
namespace {

// Drives by the runtime's numbers (1 is A:). A:, the floppy drive, is never
// searched.
constexpr int kFirstSearchedDrive = 2;  // B:
constexpr int kLastSearchedDrive = 26;  // Z:

char DriveLetter(int drive) { return static_cast<char>('A' + drive - 1); }

// Shows the wait cursor while the search blocks the dialog's thread.
class WaitCursor {
 public:
  WaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_WAIT)); }
  ~WaitCursor() { SetCursor(LoadCursorA(nullptr, IDC_ARROW)); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

// The current drive and directory, put back when the search ends so that the
// distribution folder is current again.
class CurrentDirectoryKeeper {
 public:
  CurrentDirectoryKeeper() : drive_(_getdrive()) {
    const DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) return;
    std::string text(needed, '\0');
    const DWORD written = GetCurrentDirectoryA(needed, &text[0]);
    if (written == 0 || written >= needed) return;
    text.resize(written);
    directory_ = text;
  }
  ~CurrentDirectoryKeeper() {
    _chdrive(drive_);
    if (!directory_.empty()) SetCurrentDirectoryA(directory_.c_str());
  }
  CurrentDirectoryKeeper(const CurrentDirectoryKeeper&) = delete;
  CurrentDirectoryKeeper& operator=(const CurrentDirectoryKeeper&) = delete;

 private:
  int drive_;
  std::string directory_;
};

// Enters the subfolder `name` of the folder in `pathBuffer` and searches it.
// On a find `pathBuffer` keeps the deeper path; otherwise it is restored.
int SearchSubfolder(PathBuffer& pathBuffer, const char* name, const char* fileName) {
  const size_t parentLength = pathBuffer.Length();
  // The whole subfolder path, trailing backslash included, must fit before
  // anything is entered.
  if (!pathBuffer.Append(name, "\\")) return 0;
  pathBuffer.Truncate(pathBuffer.Length() - 1);

  int found = 0;
  if (!IsReparsePoint(pathBuffer.Get()) && SetCurrentDirectoryA(pathBuffer.Get())) {
    pathBuffer.Append("\\");
    found = SearchFolderTree(pathBuffer, fileName);
  }
  if (!found) pathBuffer.Truncate(parentLength);
  return found;
}

}  // namespace

int FindHostFolder(PathBuffer& hostFolder) { return FindFileOnDrives(hostFolder, kHostExecutable); }

int FindFileOnDrives(PathBuffer& pathBuffer, const char* fileName) {
  WaitCursor waitCursor;
  CurrentDirectoryKeeper keeper;

  for (int drive = kFirstSearchedDrive; drive <= kLastSearchedDrive; ++drive) {
    if (_chdrive(drive) != 0) continue;  // no such drive, or no medium
    const char root[] = {DriveLetter(drive), ':', '\\', '\0'};
    pathBuffer.Assign(root);
    if (!SetCurrentDirectoryA(root)) continue;
    if (SearchFolderTree(pathBuffer, fileName)) return 1;
  }
  return 0;
}

int SearchFolderTree(PathBuffer& pathBuffer, const char* fileName) {
  _finddata_t entry;
  FindHandle enumeration(_findfirst("*.*", &entry));
  if (!enumeration.IsValid()) return 0;
  do {
    if (IsDirectoryEntry(entry)) {
      if (IsDotEntry(entry.name)) continue;
      if (SearchSubfolder(pathBuffer, entry.name, fileName)) return 1;
    } else if (std::strcmp(entry.name, fileName) == 0) {  // case-sensitive
      return 1;
    }
  } while (_findnext(enumeration.Get(), &entry) == 0);
  return 0;
}

int IsAddinInstalled(const char* hostFolder, const char* addinFileName) {
  PathBuffer path;
  if (!path.Append(hostFolder, "Apps\\", addinFileName)) return 0;
  return EntryExists(path.Get()) ? 1 : 0;
}

}  // namespace installer
