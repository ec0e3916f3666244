#include "assembly/AssemblyCommands.h"

#include <optional>
#include <string>
#include <vector>

#include "Messages.h"
#include "assembly/AssemblyFiles.h"
#include "assembly/AssemblyWalk.h"
#include "command/Dialogs.h"
#include "command/ProgressDialog.h"
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
//
// The host's windows take no input from the run's start to its end, not
// only while one of its boxes is up. The host's thread is busy with the
// files meanwhile, and a click in the host's windows waits in the thread's
// queue until something looks at it: the host itself inside an operation
// (a host that keeps its window drawn while it loads a file), a box of the
// run, or the last message. Measured under Wine with a click sent while the
// thread was busy: taken from the queue while the window is disabled, it
// goes nowhere; taken while the window is enabled, it reaches the window,
// however long it waited (it would pick a menu entry in the middle of the
// run). A task-modal box disables the windows before it looks at the queue,
// so the run's boxes and the last message drop what waited; what the host
// looks at inside its operations is dropped only because the windows stay
// disabled for the whole run. The progress dialog lives on a thread of its
// own and keeps its input.
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

  void ShowProgress(const wchar_t* title) { progress_.emplace(title); }
  // Before each file: false once the user has asked to stop (the file
  // before is finished by then); else this file is shown as the next one.
  bool NextFile(const std::wstring& path) {
    if (progress_ && progress_->CancelRequested()) {
      stopped_ = true;
      return false;
    }
    ++started_;
    if (progress_) progress_->ShowFile(started_, total_, path);
    return true;
  }
  void Tally(bool handled) {
    if (handled)
      ++handled_;
    else
      ++failures_;
  }
  // As after every run, the source assembly is open again, and the progress
  // dialog gives way to the last message.
  void End() {
    ReopenAssembly();
    if (progress_) progress_->Close();
  }
  void ReopenAssembly() {
    host_.OpenDocument(assemblyPath_, kAssemblyDocumentKind);
    reopened_ = true;
  }

  bool StoppedByTheUser() const { return stopped_; }
  size_t FilesGoneThrough() const { return started_; }
  size_t Total() const { return total_; }
  int Failures() const { return failures_; }

 private:
  const ThreadWindowsDisabled hostWindows_;  // the first member: the last to go
  const HostApplication& host_;
  FailureLines& failureLines_;
  std::wstring assemblyPath_;
  size_t total_;
  size_t started_ = 0, handled_ = 0;
  int failures_ = 0;
  bool reopened_ = false, stopped_ = false;
  std::optional<ProgressDialog> progress_;
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

// The compaction's order: the files that are not parts first (the top
// assembly, then the sub-assemblies), then the parts, each group in list order.
std::vector<std::wstring> AssembliesThenParts(const PathList& files) {
  std::vector<std::wstring> order;
  for (const bool parts : {false, true})
    for (size_t i = 0; i < files.Count(); ++i)
      if (IsPartFile(files[i]) == parts) order.push_back(files[i]);
  return order;
}

std::vector<std::wstring> PartsOf(const PathList& files) {
  std::vector<std::wstring> parts;
  for (size_t i = 0; i < files.Count(); ++i)
    if (IsPartFile(files[i])) parts.push_back(files[i]);
  return parts;
}

}  // namespace

// 1. The list and the destination; 2. no listed file open in a window of the
// user's; 3. the progress dialog up; 4. file by file, each shown before it is
// handled, until the user stops the run: the assembly files copied
// unchanged, first, then every part copied with the envelope; 5. the source
// assembly open again; 6. told, with how far the run went when it was
// stopped.
Outcome CompactActiveAssembly(CommandContext& context) {
  const std::optional<AssemblyFiles> listed = CollectAssemblyFiles(context, Destination::Ask);
  if (!listed) return Outcome::Stopped;
  const std::wstring destinationFolder = FolderOfPath(listed->destinationPath);
  const std::vector<std::wstring> order = AssembliesThenParts(listed->files);
  AssemblyRun run(context, listed->files[0], order.size());
  const std::vector<std::wstring> open = ListedFilesOpenInTheHost(context.host, listed->files, AnyFile);
  if (!open.empty()) {
    run.ReopenAssembly();
    ShowMessage(messages::ListedFilesOpen(open));
    return Outcome::Stopped;
  }

  run.ShowProgress(messages::kCompactionProgressTitle);
  for (const std::wstring& path : order) {
    if (!run.NextFile(path)) break;
    run.Tally(IsPartFile(path) ? CompactAssemblyPart(context, path, destinationFolder)
                               : CopyAssemblyFile(context, path, destinationFolder));
  }

  run.End();
  ShowMessage(run.StoppedByTheUser() ? messages::AssemblyCompactionStopped(run.FilesGoneThrough(), run.Total(),
                                                                           destinationFolder, run.Failures())
                                     : messages::AssemblyCompacted(destinationFolder, run.Failures()));
  return Outcome::Done;
}

// 1. The list, without a dialog; 2. no listed part open in a window of the
// user's; 3. the progress dialog up; 4. part by part, each shown before it
// is handled, until the user stops the run: decompacted in place; 5. the
// assembly open again; 6. told, with how far the run went when it was
// stopped.
Outcome DecompactActiveAssembly(CommandContext& context) {
  const std::optional<AssemblyFiles> listed = CollectAssemblyFiles(context, Destination::None);
  if (!listed) return Outcome::Stopped;
  const std::vector<std::wstring> parts = PartsOf(listed->files);
  AssemblyRun run(context, listed->files[0], parts.size());
  const std::vector<std::wstring> open = ListedFilesOpenInTheHost(context.host, listed->files, IsPartFile);
  if (!open.empty()) {
    run.ReopenAssembly();
    ShowMessage(messages::ListedFilesOpen(open));
    return Outcome::Stopped;
  }

  run.ShowProgress(messages::kDecompactionProgressTitle);
  for (const std::wstring& path : parts) {
    if (!run.NextFile(path)) break;
    run.Tally(DecompactAssemblyPart(context, path));
  }

  run.End();
  ShowMessage(run.StoppedByTheUser()
                  ? messages::AssemblyDecompactionStopped(run.FilesGoneThrough(), run.Total(), run.Failures())
                  : messages::AssemblyDecompacted(run.Failures()));
  return Outcome::Done;
}

}  // namespace zelm
