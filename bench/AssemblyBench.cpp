// How the assembly commands scale, with the add-in's own code driven in
// this process against the host simulator:
// 1. CollectAssemblyFiles (the list "Décompacter" starts from) on trees of
//    1,000, 10,000 and 100,000 component instances, a fifth of them unique
//    part files, four levels deep: time per instance, and t(100k)/t(10k),
//    which is 10 for a walk that stays linear.
// 2. "Compacter" on an assembly of 200 detailed parts: the whole command,
//    the share of it spent inside the host's operations, the add-in's own
//    (its code, the save dialog and the message), and a plain copy of the
//    same files for scale.
// 3. The progress dialog the commands show: its start and stop once a run,
//    and its round once a file (the file and "n sur N" shown, the bar
//    moved, the cancel asked), against the host's own time for a file (the
//    simulator opening, saving and closing a detailed part).
// Each command gets the context the add-in would give it: the simulator's
// application as the connected host.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "assembly/AssemblyCommands.h"
#include "assembly/AssemblyFiles.h"
#include "command/ProgressDialog.h"
#include "core/Fixtures.h"
#include "core/Simulator.h"
#include "responder/DialogResponder.h"
#include "support/RemoveTree.h"
#include "support/TestFiles.h"

namespace {

using zelm::AssemblyFiles;
using zelm::CommandContext;
using zelm::HostApplication;

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The simulator's application as the add-in holds its host.
HostApplication HostOf(hostsim::Simulator& sim) { return HostApplication(ComRef<IDispatch>::Borrow(sim.application())); }

// A host runs its message loop between commands; so does the bench, whose
// thread has not looked at its messages while the trees were written and
// walked (many seconds), and which the system then counts as hung.
void LookAtMessages() {
  for (MSG message; PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE);) DispatchMessageW(&message);
}

void Walks() {
  std::printf("CollectAssemblyFiles: parts = instances / 5, depth 4, fan-out 10, tiny parts\n");
  std::printf("%10s %10s %8s %10s %14s\n", "instances", "listed", "open s", "collect s", "us / instance");
  double previous = 0;
  for (long long instances : {1000LL, 10000LL, 100000LL}) {
    const testsupport::TempFolder scratch;  // removed, with the tree, at the end of the round
    const std::wstring& folder = scratch.path();
    hostsim::TreeRecipe recipe;
    recipe.instances = instances;
    recipe.uniqueParts = instances / 5;
    const hostsim::TreeSummary tree = hostsim::writeAssemblyTree(folder, recipe);
    double opened = 0, collected = 0;
    size_t listed = 0;
    {
      hostsim::Simulator sim;
      sim.setCallLogLimit(0);
      const HostApplication host = HostOf(sim);
      CommandContext context{host, {}};
      auto start = Clock::now();
      sim.open(tree.top);
      opened = SecondsSince(start);
      start = Clock::now();
      const std::optional<AssemblyFiles> files = CollectAssemblyFiles(context, zelm::Destination::None);
      collected = SecondsSince(start);
      listed = files ? files->files.Count() : 0;
    }
    std::printf("%10lld %10zu %8.2f %10.3f %14.2f", tree.partInstances, listed, opened, collected,
                1e6 * collected / static_cast<double>(tree.components));
    if (previous > 0) std::printf("   x%.1f for 10x the instances", collected / previous);
    std::printf("\n");
    previous = collected;
  }
}

void Compaction() {
  const testsupport::TempFolder scratch;
  const std::wstring& folder = scratch.path();
  const std::wstring out = folder + L"envoi\\", copies = folder + L"copie\\";
  hostsim::TreeRecipe recipe;
  recipe.instances = 200;
  recipe.uniqueParts = 200;
  recipe.depth = 2;
  recipe.fanOut = 20;
  recipe.shape = L"detailed";
  const hostsim::TreeSummary tree = hostsim::writeAssemblyTree(folder, recipe);
  CreateDirectoryW(out.c_str(), nullptr);
  CreateDirectoryW(copies.c_str(), nullptr);

  hostsim::Simulator sim;
  sim.setCallLogLimit(0);
  const HostApplication application = HostOf(sim);
  CommandContext context{application, {}};
  sim.open(tree.top);
  hostsim::DialogResponder user;
  user.queueSavePath(out + L"top.SLDASM");
  LookAtMessages();
  sim.resetHostSeconds();
  auto start = Clock::now();
  const zelm::Outcome outcome = zelm::CompactActiveAssembly(context);
  const double command = SecondsSince(start), host = sim.hostSeconds();
  if (outcome != zelm::Outcome::Done || user.messages().size() != 1) {
    std::printf("\nCompacter did not run through (%zu messages, %zu unexpected dialogs): no timing\n",
                user.messages().size(), user.unexpected().size());
    user.stop();
    testsupport::RemoveTree(folder);
    std::exit(1);
  }

  // The same files copied as they are, for scale.
  start = Clock::now();
  long long files = 0;
  for (const std::wstring& sub : {std::wstring(L""), std::wstring(L"parts-1\\"), std::wstring(L"level1-1\\")}) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + sub + L"*.SLD*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) continue;
    do {
      CopyFileW((folder + sub + data.cFileName).c_str(), (copies + data.cFileName).c_str(), FALSE);
      ++files;
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  const double copied = SecondsSince(start);

  std::printf("\nCompacter on %lld detailed parts (%lld files, messages: %zu)\n", tree.partFiles, files,
              user.messages().size());
  std::printf("  whole command %.2f s: host %.2f s (%.0f %%), add-in with its dialog and message %.2f s (%.0f %%)\n",
              command, host, 100 * host / command, command - host, 100 * (command - host) / command);
  std::printf("  plain copy of the same files %.2f s (the command takes %.0f times as long)\n", copied,
              command / copied);
  user.stop();
}

void ProgressCost() {
  constexpr int kFiles = 400;
  const testsupport::TempFolder scratch;
  const std::wstring part = scratch.path() + L"p.SLDPRT";
  hostsim::writePartFixture(part, L"detailed");

  auto start = Clock::now();
  double rounds = 0;
  {
    zelm::ProgressDialog progress(L"Compactage de l'assemblage");
    const double started = SecondsSince(start);
    start = Clock::now();
    for (int file = 1; file <= kFiles; ++file) {
      if (progress.CancelRequested()) break;
      progress.ShowFile(static_cast<size_t>(file), kFiles, part);
    }
    rounds = SecondsSince(start);
    start = Clock::now();
    progress.Close();
    std::printf("\nProgress dialog: start %.1f ms, stop %.1f ms\n", 1e3 * started, 1e3 * SecondsSince(start));
  }

  hostsim::Simulator sim;
  sim.setCallLogLimit(0);
  const HostApplication host = HostOf(sim);
  start = Clock::now();
  constexpr int kOpenings = 40;
  for (int i = 0; i < kOpenings; ++i) {
    host.OpenDocumentEx(part, zelm::kPartDocumentKind);
    host.ActivateDocument(L"p.SLDPRT").SaveDocument();
    host.CloseDocument(L"p.SLDPRT");
  }
  const double hostPerFile = SecondsSince(start) / kOpenings, roundPerFile = rounds / kFiles;
  std::printf("  one round a file (%d files): %.2f ms; the host opening, saving, closing a detailed part: %.2f ms"
              " (the round is %.1f %% of it)\n",
              kFiles, 1e3 * roundPerFile, 1e3 * hostPerFile, 100 * roundPerFile / hostPerFile);
}

}  // namespace

int main() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  Walks();
  Compaction();
  ProgressCost();
  return 0;
}
