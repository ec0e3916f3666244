// How the installer's host search compares with a plain walk of the same
// tree, and where the difference goes.
//
// Builds (once; kept between runs) a tree of FANOUT^DEPTH folders with three
// files each under C:\search-bench, with "sldworks.exe" in the last folder a
// depth-first walk reaches, so every walk visits the whole tree. Then times,
// alternately and several times each, the product's SearchFolderTree and
// walks that go from a plain FindFirstFileExW(FindExInfoBasic,
// FIND_FIRST_EX_LARGE_FETCH) walk step by step towards what the search does.
// Reports the best time of each and its ratio to the plain walk.
//
// Usage: installer_search_bench [FANOUT] [DEPTH] [ROUNDS]   (defaults 10 4 3)
#include <windows.h>

#include <io.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "core/HostSearch.h"

namespace {

constexpr char kRoot[] = "C:\\search-bench";

bool IsDot(const char* name) { return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0; }
bool IsDot(const wchar_t* name) { return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0; }

void Touch(const std::string& path) {
  const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

int MakeTree(const std::string& folder, int fanout, int depth) {
  int folders = 0;
  for (int i = 0; i < fanout; ++i) {
    const std::string child = folder + "\\d" + std::to_string(i);
    CreateDirectoryA(child.c_str(), nullptr);
    for (int f = 0; f < 3; ++f) Touch(child + "\\f" + std::to_string(f) + ".dat");
    folders += 1 + (depth > 1 ? MakeTree(child, fanout, depth - 1) : 0);
  }
  return folders;
}

// The baseline: wide paths, basic information (no short names), large
// fetches, the link bit read from the listing itself.
bool PlainWalk(std::wstring& folder, const wchar_t* name) {
  WIN32_FIND_DATAW entry;
  const HANDLE find = FindFirstFileExW((folder + L"*").c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) return false;
  bool found = false;
  do {
    if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      found = std::wcscmp(entry.cFileName, name) == 0;
    } else if (!IsDot(entry.cFileName) && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      const size_t length = folder.size();
      folder += entry.cFileName;
      folder += L'\\';
      found = PlainWalk(folder, name);
      if (!found) folder.resize(length);
    }
  } while (!found && FindNextFileW(find, &entry));
  FindClose(find);
  return found;
}

// The runtime's enumeration the search uses (_findfirst, 8-bit), on
// absolute paths; optionally with the search's per-folder calls: making the
// folder current, and asking its attributes (the link test).
struct RuntimeWalk {
  bool enterFolders;
  bool askAttributes;

  bool operator()(std::string& folder, const char* name) const {
    _finddata_t entry;
    const intptr_t find = _findfirst((folder + "*.*").c_str(), &entry);
    if (find == -1) return false;
    bool found = false;
    do {
      if (!(entry.attrib & _A_SUBDIR)) {
        found = std::strcmp(entry.name, name) == 0;
      } else if (!IsDot(entry.name)) {
        const size_t length = folder.size();
        folder += entry.name;
        if (askAttributes && (GetFileAttributesA(folder.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT)) {
          folder.resize(length);
          continue;
        }
        if (enterFolders) SetCurrentDirectoryA(folder.c_str());
        folder += '\\';
        found = (*this)(folder, name);
        if (!found) folder.resize(length);
      }
    } while (!found && _findnext(find, &entry) == 0);
    _findclose(find);
    return found;
  }
};

}  // namespace

int main(int argc, char** argv) {
  const int fanout = argc > 1 ? std::atoi(argv[1]) : 10;
  const int depth = argc > 2 ? std::atoi(argv[2]) : 4;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 3;
  const std::string tree = std::string(kRoot) + "\\tree-" + std::to_string(fanout) + "-" + std::to_string(depth);
  std::string leaf = tree;
  for (int d = 0; d < depth; ++d) leaf += "\\d" + std::to_string(fanout - 1);
  if (GetFileAttributesA((leaf + "\\sldworks.exe").c_str()) == INVALID_FILE_ATTRIBUTES) {
    CreateDirectoryA(kRoot, nullptr);
    CreateDirectoryA(tree.c_str(), nullptr);
    const auto started = std::chrono::steady_clock::now();
    MakeTree(tree, fanout, depth);
    Touch(leaf + "\\sldworks.exe");  // last: it marks a complete tree
    std::printf("tree built in %.1f s\n", std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
  }
  int folders = 0;
  for (int level = 1, count = fanout; level <= depth; ++level, count *= fanout) folders += count;

  struct Walk {
    const char* what;
    std::function<bool()> run;
    double best = 1e9;
  };
  Walk walks[] = {
      {"plain walk: FindFirstFileExW, basic information, large fetch",
       [&] {
         std::wstring folder(tree.begin(), tree.end());
         folder += L'\\';
         return PlainWalk(folder, L"sldworks.exe");
       }},
      {"runtime's _findfirst (8-bit, short names), absolute paths",
       [&] {
         std::string folder = tree + "\\";
         return RuntimeWalk{false, false}(folder, "sldworks.exe");
       }},
      {"  + making each folder current",
       [&] {
         std::string folder = tree + "\\";
         return RuntimeWalk{true, false}(folder, "sldworks.exe");
       }},
      {"  + asking each folder's attributes (link test)",
       [&] {
         std::string folder = tree + "\\";
         return RuntimeWalk{true, true}(folder, "sldworks.exe");
       }},
      {"the host search (SearchFolderTree)",
       [&] {
         installer::PathBuffer buffer((tree + "\\").c_str());
         SetCurrentDirectoryA(tree.c_str());
         return installer::SearchFolderTree(buffer, installer::kHostExecutable) == 1 &&
                buffer.Text() == leaf + "\\";
       }},
  };
  for (int round = 0; round < rounds; ++round) {
    for (Walk& walk : walks) {
      const auto started = std::chrono::steady_clock::now();
      if (!walk.run()) {
        std::printf("FAILED: %s did not find the host\n", walk.what);
        return 1;
      }
      walk.best = std::min(walk.best, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    }
  }
  SetCurrentDirectoryA("C:\\");

  std::printf("tree: %d folders, %d files; best of %d rounds\n", folders, folders * 3 + 1, rounds);
  for (const Walk& walk : walks)
    std::printf("%8.3f s  %5.0f us/folder  x%.2f  %s\n", walk.best, 1e6 * walk.best / folders,
                walk.best / walks[0].best, walk.what);
  std::printf("ratio host search / plain walk: %.2f\n", walks[4].best / walks[0].best);
  return 0;
}
