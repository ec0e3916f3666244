#pragma once
// Removing what a benchmark wrote below a temporary folder of its own (the
// generator's subfolders included).
#include <windows.h>

#include <string>

inline void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) DeleteFileW((folder + name).c_str());
      else if (name != L"." && name != L"..") RemoveTree(folder + name + L"\\");
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}
