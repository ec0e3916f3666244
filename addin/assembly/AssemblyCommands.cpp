#include "assembly/AssemblyCommands.h"

#include <string>
#include <vector>

#include "Messages.h"
#include "assembly/AssemblyFiles.h"
#include "assembly/AssemblyWalk.h"
#include "command/Dialogs.h"
#include "command/SourceGuard.h"
#include "part/Envelope.h"
#include "part/PartCommands.h"
#include "part/PathRules.h"
#include "part/SaveAsCopy.h"

namespace zelm {
namespace {

// The run through the listed files, while the top assembly is closed. The
// assembly is opened again on every way out: by the command at its end, or
// here when a failure ends the run; the failure's message then says how many
// files were done, and whether the assembly is open again.
class AssemblyRun {
 public:
  AssemblyRun(CommandContext& context, std::wstring assemblyPath, size_t fileCount)
      : host_(context.host), failureLines_(context.failureLines), assemblyPath_(std::move(assemblyPath)),
        total_(fileCount) {}
  AssemblyRun(const AssemblyRun&) = delete;
  AssemblyRun& operator=(const AssemblyRun&) = delete;
  ~AssemblyRun() {
    if (reopened_) return;
    bool reopened = false;
    try {
      ReopenAssembly();
      reopened = true;
    } catch (...) {
      // The host may be failing for good: the message says so.
    }
    try {
      failureLines_.Add(messages::RunInterrupted(handled_, total_, reopened, assemblyPath_));
    } catch (...) {
      // Without memory for the line, the failure is told without it.
    }
  }

  void Tally(bool handled) {
    if (handled)
      ++handled_;
    else
      ++failures_;
  }
  int Failures() const { return failures_; }
  // As after every run, the source assembly is open again.
  void ReopenAssembly() {
    host_.OpenDocument(assemblyPath_, kAssemblyDocumentKind);
    reopened_ = true;
  }

 private:
  const HostApplication& host_;
  FailureLines& failureLines_;
  std::wstring assemblyPath_;
  size_t total_;
  size_t handled_ = 0;
  int failures_ = 0;
  bool reopened_ = false;
};

// The listed files the command will open that the host has open already, in
// a window of the user's: the command would take the user's document over,
// unsaved changes and all. The host answers ActivateDocument by file name
// only for an open document; its path tells whether it is this file.
template <typename Filter>
std::vector<std::wstring> ListedFilesOpenInTheHost(const HostApplication& host, const PathList& files, Filter worksOn) {
  std::vector<std::wstring> open;
  for (size_t i = 0; i < files.Count(); ++i) {
    if (!worksOn(files[i])) continue;
    const ModelDocument document = host.ActivateDocument(FileNameOfPath(files[i]));
    if (document && IsSameFile(document.DocumentPath(), files[i])) open.push_back(files[i]);
  }
  return open;
}

// The steps every listed file goes through: opened by path as that kind,
// reached by its file name (the host addresses open documents by name),
// worked on, closed again. A file the host did not open is told with the
// host's code and nothing else is done for it; one it cannot reach by name
// is told with `notFound` and closed. Once open, the document stands for its
// source until `work` says otherwise (the guard dismissed): on any way out
// before that, it is closed without saving. True when `work` answered true.
template <typename Work>
bool WorkOnListedFile(CommandContext& context, const std::wstring& path, long kind, const std::wstring& notFound,
                      Work work) {
  const HostApplication& host = context.host;
  const std::wstring name = FileNameOfPath(path);
  const long error = host.OpenDocumentEx(path, kind);
  if (error != 0) {
    ShowMessage(messages::CannotOpenFile(error, path));
    return false;
  }
  SourceGuard guard(
      context.failureLines,
      [&host, &name] {
        host.CloseDocument(name);
        return true;
      },
      messages::ListedFileClosedUnsaved(path), messages::ListedFileNotClosed(path));
  bool done = false;
  if (const ModelDocument document = host.ActivateDocument(name))
    done = work(document, guard);
  else
    ShowMessage(notFound);
  // The document reference is given back before the document is closed.
  host.CloseDocument(name);
  guard.Dismiss();
  return done;
}

// Saves the open document as the copy; true when the host wrote it and the
// document stands for it, which ends the guard's duty. A document the host
// did not save elsewhere still stands for its source: saving it again would
// write into the source, so it is left to the guard, closed without saving.
bool SaveCopy(const ModelDocument& document, const std::wstring& copyPath, const std::wstring& sourcePath,
              SourceGuard& guard) {
  if (!SaveAsCopy(document, copyPath)) {
    ShowMessage(messages::CopyNotSaved(sourcePath));
    return false;
  }
  guard.Dismiss();
  document.SaveDocument();
  return true;
}

// Where a listed file's copy goes: the destination folder, under the name
// Windows reads in its path (CollectAssemblyFiles has refused the names that
// name no file of their own).
std::wstring CopyPath(const std::wstring& destinationFolder, const std::wstring& sourcePath) {
  return destinationFolder + CopyNameOfPath(sourcePath).value();
}

// A file that is not a part, copied unchanged into the destination folder
// under its own name.
bool CopyAssemblyFile(CommandContext& context, const std::wstring& sourcePath, const std::wstring& destinationFolder) {
  return WorkOnListedFile(context, sourcePath, kAssemblyDocumentKind, messages::kFileNotFound,
                          [&](const ModelDocument& document, SourceGuard& guard) {
                            return SaveCopy(document, CopyPath(destinationFolder, sourcePath), sourcePath, guard);
                          });
}

// A part copied with the envelope into the destination folder under its own
// name; an already compacted part is copied unchanged, and silently. A part
// whose envelope is not whole is copied all the same, and told.
bool CompactAssemblyPart(CommandContext& context, const std::wstring& sourcePath,
                         const std::wstring& destinationFolder) {
  return WorkOnListedFile(context, sourcePath, kPartDocumentKind, sourcePath,
                          [&](const ModelDocument& document, SourceGuard& guard) {
                            const EnvelopeOutcome envelope = BuildEnvelopeAndTell(document, false);
                            if (!SaveCopy(document, CopyPath(destinationFolder, sourcePath), sourcePath, guard))
                              return false;
                            if (LeavesEnvelopeIncomplete(envelope)) {
                              ShowMessage(messages::CopiedWithoutWholeEnvelope(sourcePath));
                              return false;
                            }
                            return true;
                          });
}

// A part decompacted in place: the envelope taken out (rebuilt only when
// both markers went), saved over its own file.
bool DecompactAssemblyPart(CommandContext& context, const std::wstring& path) {
  return WorkOnListedFile(context, path, kPartDocumentKind, path, [](const ModelDocument& document, SourceGuard& guard) {
    if (RemoveEnvelope(document)) document.RebuildModel();
    document.SaveDocument();
    guard.Dismiss();
    return true;
  });
}

bool AnyFile(const std::wstring&) { return true; }

}  // namespace

// 1. The list and the destination; 2. no listed file open in a window of the
// user's; 3. the assembly files copied unchanged, first; 4. every part
// copied with the envelope; 5. the source assembly open again; 6. told.
Outcome CompactActiveAssembly(CommandContext& context) {
  const std::optional<AssemblyFiles> listed = CollectAssemblyFiles(context, Destination::Ask);
  if (!listed) return Outcome::Stopped;
  const PathList& files = listed->files;
  const std::wstring destinationFolder = FolderOfPath(listed->destinationPath);
  AssemblyRun run(context, files[0], files.Count());
  const std::vector<std::wstring> open = ListedFilesOpenInTheHost(context.host, files, AnyFile);
  if (!open.empty()) {
    run.ReopenAssembly();
    ShowMessage(messages::ListedFilesOpen(open));
    return Outcome::Stopped;
  }

  for (size_t i = 0; i < files.Count(); ++i)
    if (!IsPartFile(files[i])) run.Tally(CopyAssemblyFile(context, files[i], destinationFolder));
  for (size_t i = 0; i < files.Count(); ++i)
    if (IsPartFile(files[i])) run.Tally(CompactAssemblyPart(context, files[i], destinationFolder));

  run.ReopenAssembly();
  ShowMessage(messages::AssemblyCompacted(destinationFolder, run.Failures()));
  return Outcome::Done;
}

// 1. The list, without a dialog; 2. no listed part open in a window of the
// user's; 3. every part file decompacted in place; 4. the assembly open
// again; 5. told.
Outcome DecompactActiveAssembly(CommandContext& context) {
  const std::optional<AssemblyFiles> listed = CollectAssemblyFiles(context, Destination::None);
  if (!listed) return Outcome::Stopped;
  const PathList& files = listed->files;
  size_t parts = 0;
  for (size_t i = 0; i < files.Count(); ++i) parts += IsPartFile(files[i]) ? 1 : 0;
  AssemblyRun run(context, files[0], parts);
  const std::vector<std::wstring> open = ListedFilesOpenInTheHost(context.host, files, IsPartFile);
  if (!open.empty()) {
    run.ReopenAssembly();
    ShowMessage(messages::ListedFilesOpen(open));
    return Outcome::Stopped;
  }

  for (size_t i = 0; i < files.Count(); ++i)
    if (IsPartFile(files[i])) run.Tally(DecompactAssemblyPart(context, files[i]));

  run.ReopenAssembly();
  ShowMessage(messages::AssemblyDecompacted(run.Failures()));
  return Outcome::Done;
}

}  // namespace zelm
