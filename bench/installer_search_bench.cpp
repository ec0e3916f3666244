// How long the installer's host search takes over a large folder tree.
// Builds a tree of FANOUT^DEPTH folders (each with a few files) under a
// temporary folder on C:, puts "sldworks.exe" in the last folder the walk
// reaches, and times SearchFolderTree over it. Target: under 5 s for about
// 11,000 folders under Wine (measured: about 2 s, 180 us a folder, on the
// 2-core development machine).
//
// Usage: installer_search_bench [FANOUT] [DEPTH]   (defaults 10 4)
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/HostSearch.h"

namespace {

int g_folders = 0;

void MakeTree(const std::string& root, int fanout, int depth) {
  for (int i = 0; i < fanout; ++i) {
    std::string folder = root + "\\d" + std::to_string(i);
    CreateDirectoryA(folder.c_str(), nullptr);
    ++g_folders;
    for (int f = 0; f < 3; ++f) {
      HANDLE h = CreateFileA((folder + "\\f" + std::to_string(f) + ".dat").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    if (depth > 1) MakeTree(folder, fanout, depth - 1);
  }
}

std::string LastLeaf(const std::string& root, int fanout, int depth) {
  std::string path = root;
  for (int d = 0; d < depth; ++d) path += "\\d" + std::to_string(fanout - 1);
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  const int fanout = argc > 1 ? std::atoi(argv[1]) : 10;
  const int depth = argc > 2 ? std::atoi(argv[2]) : 4;
  const std::string root = "C:\\search-bench";
  CreateDirectoryA(root.c_str(), nullptr);

  auto started = std::chrono::steady_clock::now();
  MakeTree(root, fanout, depth);
  HANDLE h = CreateFileA((LastLeaf(root, fanout, depth) + "\\sldworks.exe").c_str(), GENERIC_WRITE, 0, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
  double buildSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  installer::PathBuffer buffer(root.c_str());
  buffer.append("\\");
  SetCurrentDirectoryA(root.c_str());
  started = std::chrono::steady_clock::now();
  int found = installer::SearchFolderTree(buffer, "sldworks.exe");
  double searchSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();

  std::printf("tree: %d folders, %d files (built in %.2f s)\n", g_folders, g_folders * 3 + 1, buildSeconds);
  std::printf("search: found=%d in %.3f s (%.1f us per folder)\n", found, searchSeconds,
              1e6 * searchSeconds / (g_folders ? g_folders : 1));
  std::printf("found in: %s\n", buffer.c_str());
  return found == 1 ? 0 : 1;
}
