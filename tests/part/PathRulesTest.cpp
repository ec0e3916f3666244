// The path rules and the existence test, called directly: the examples the
// commands rely on, and paths longer than MAX_PATH.
#include <windows.h>

#include <gtest/gtest.h>

#include "HostTestSupport.h"
#include "part/PathRules.h"
#include "part/SaveFileDialog.h"

namespace {

TEST(PathRules, FolderKeepsItsBackslashAndTheNameFollowsTheLastBackslashOnly) {
  const struct {
    const wchar_t *path, *folder, *name;
  } cases[] = {
      {L"C:\\Pieces\\bride.SLDPRT", L"C:\\Pieces\\", L"bride.SLDPRT"},
      {L"bride.SLDPRT", L"", L"bride.SLDPRT"},
      {L"C:\\Pieces\\", L"C:\\Pieces\\", L""},
      {L"", L"", L""},
      {L"C:\\Pieces/Sous/bride.SLDPRT", L"C:\\", L"Pieces/Sous/bride.SLDPRT"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FolderOfPath(c.path), c.folder) << testing::PrintToString(c.path);
    EXPECT_EQ(FileNameOfPath(c.path), c.name) << testing::PrintToString(c.path);
  }
}

TEST(PathRules, ExistenceTestJoinsWithoutSeparator) {
  hosttest::TempFolder folder;
  ASSERT_TRUE(hosttest::writeFileBytes(folder.file(L"bride.SLDPRT"), "x"));
  // "...\\hostsim-N" + "bride.SLDPRT" names "...\\hostsim-Nbride.SLDPRT", a
  // sibling of the folder, not the file inside it.
  const std::wstring withoutBackslash = folder.path().substr(0, folder.path().size() - 1);
  EXPECT_EQ(FileIsAbsent(folder.path(), L"bride.SLDPRT"), FALSE);
  EXPECT_EQ(FileIsAbsent(withoutBackslash, L"bride.SLDPRT"), TRUE);
  ASSERT_TRUE(hosttest::writeFileBytes(withoutBackslash + L"bride.SLDPRT", "y"));
  EXPECT_EQ(FileIsAbsent(withoutBackslash, L"bride.SLDPRT"), FALSE);
  DeleteFileW((withoutBackslash + L"bride.SLDPRT").c_str());
}

TEST(PathRules, FileHeldWithoutSharingOrMissingCountsAsAbsent) {
  hosttest::TempFolder folder;
  EXPECT_EQ(FileIsAbsent(folder.path(), L"absent.SLDPRT"), TRUE);
  ASSERT_TRUE(hosttest::writeFileBytes(folder.file(L"pris.SLDPRT"), "x"));
  EXPECT_EQ(FileIsAbsent(folder.path(), L"pris.SLDPRT"), FALSE);
  HANDLE holder = CreateFileW(folder.file(L"pris.SLDPRT").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(holder, INVALID_HANDLE_VALUE);
  EXPECT_EQ(FileIsAbsent(folder.path(), L"pris.SLDPRT"), TRUE);
  CloseHandle(holder);
  // The test itself leaves no handle behind.
  EXPECT_EQ(FileIsAbsent(folder.path(), L"pris.SLDPRT"), FALSE);
}

// A folder chain whose full path is longer than MAX_PATH, made through the
// extended-length form.
std::wstring MakeDeepFolder(const std::wstring& base) {
  std::wstring folder = base;
  for (wchar_t letter : {L'a', L'b', L'c', L'd', L'e', L'f'}) {
    folder += std::wstring(48, letter) + L"\\";
    CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr);
  }
  return folder;
}

TEST(PathRules, ExistenceTestSeesFilesBeyondMaxPath) {
  hosttest::TempFolder folder;
  const std::wstring deep = MakeDeepFolder(folder.path());
  const std::wstring name = L"bride.SLDPRT";
  ASSERT_GT((deep + name).size(), static_cast<size_t>(MAX_PATH));
  EXPECT_EQ(FileIsAbsent(deep, name), TRUE);

  HANDLE file = CreateFileW((L"\\\\?\\" + deep + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  CloseHandle(file);

  EXPECT_EQ(FileIsAbsent(deep, name), FALSE);
  DeleteFileW((L"\\\\?\\" + deep + name).c_str());
}

TEST(PathRules, LongPathsTakeTheExtendedLengthForm) {
  const std::wstring tail = std::wstring(300, L'x') + L".SLDPRT";
  EXPECT_EQ(ExtendedLengthPath(L"C:\\p\\" + tail), L"\\\\?\\C:\\p\\" + tail);
  EXPECT_EQ(ExtendedLengthPath(L"C:\\p/q\\..\\" + tail), L"\\\\?\\C:\\p\\" + tail);
  EXPECT_EQ(ExtendedLengthPath(L"\\\\serveur\\partage\\" + tail), L"\\\\?\\UNC\\serveur\\partage\\" + tail);
  EXPECT_EQ(ExtendedLengthPath(L"\\\\?\\C:\\" + tail), L"\\\\?\\C:\\" + tail);
  EXPECT_EQ(ExtendedLengthPath(L"C:\\court.SLDPRT"), L"C:\\court.SLDPRT");
}

TEST(SaveFileDialogFilter, BarsBecomeTheDoubleNulList) {
  const std::wstring platform = PlatformFilter(L"Fichiers Pi\u00E8ce (*.SLDPRT)|*.SLDPRT|");
  EXPECT_EQ(platform, std::wstring(L"Fichiers Pi\u00E8ce (*.SLDPRT)\0*.SLDPRT\0", 35));
  EXPECT_EQ(platform.c_str()[platform.size()], L'\0');  // the second NUL that ends the list
}

}  // namespace
