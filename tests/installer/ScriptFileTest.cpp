// The file list "Script.txt": reading its lines, and the guard on the paths
// it names.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "core/ScriptFile.h"
#include "installer/InstallerDrives.h"

using namespace installer;
using namespace installer_test;
using ::testing::ElementsAreArray;
using namespace std::string_literals;  // "...\0..."s keeps the NUL

namespace {

class ScriptFileTest : public InstallerDrives {};

TEST_F(ScriptFileTest, ReadsTheNonEmptyLinesWhateverTheLineEnds) {
  const ScriptEntries three = {"CD:\\Aide", "CF:\\Aide\\Lisez-moi.txt", "CF:\\Compact.ini"};
  const struct {
    const char* what;
    std::optional<std::string> bytes;  // none: no Script.txt
    ScriptEntries entries;
  } cases[] = {
      {"CR LF, a line of CRs", "CD:\\Aide\r\n\r\r\nCF:\\Aide\\Lisez-moi.txt\r\nCF:\\Compact.ini\r\n", three},
      {"LF, blank lines", "\n\nCD:\\Aide\n\n\nCF:\\Aide\\Lisez-moi.txt\nCF:\\Compact.ini\n\n", three},
      {"no last line feed", "CD:\\Aide\r\nCF:\\Aide\\Lisez-moi.txt\r\nCF:\\Compact.ini", three},
      {"every CR dropped, blanks, tabs and other bytes kept",
       "CF:\\a\rb.txt\n CF:\\c \t\n\xE9t\xE9\nCF:\\n\0ul\n"s,
       {"CF:\\ab.txt", " CF:\\c \t", "\xE9t\xE9", "CF:\\n\0ul"s}},
      {"no file", std::nullopt, {}},
  };
  for (const auto& c : cases) {
    DeleteFileA("Script.txt");
    if (c.bytes) MakeEntry(std::string(kDistribution) + "\\Script.txt", *c.bytes);
    ScriptEntries entries;
    LoadScript(entries);
    EXPECT_THAT(entries, ElementsAreArray(c.entries)) << c.what;
  }
}

// Accepted: the root itself, and paths below it. Refused: what would lead out
// of it, or be used only up to a NUL.
TEST(ScriptEntry, APathThatLeavesTheRootIsRefused) {
  for (const char* inside : {"", "\\", "\\a\\b.txt", "/a", "\\a..b", "\\.\\a", "\\...x", "\\a\\.hidden"})
    EXPECT_TRUE(StaysInsideRoot(inside)) << inside;
  for (const std::string& outside : {"a.txt"s, "..\\a"s, "\\.."s, "\\a\\..\\..\\b"s, "/../a"s, "\\a/.."s, "\\...\\a"s,
                                     "\\.. \\a"s, "\\. .\\a"s, "\\..\0\\x"s, "\\a\0b"s})
    EXPECT_FALSE(StaysInsideRoot(outside)) << outside;
}

}  // namespace
