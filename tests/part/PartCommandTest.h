// The fixture of the part command tests: a stand-in host with the real
// add-in, a scratch folder for part files, and a responder that answers the
// save dialog and the message boxes the commands show.
#pragma once

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "AddinHarness.h"
#include "DialogResponderGTest.h"
#include "HostTestSupport.h"

namespace parttest {

// The confirmation for a copy written into `folder` (with its backslash).
inline std::wstring CompactedMessage(const std::wstring& folder) {
  return L"Fichier compact\u00E9 avec succ\u00E8s dans le dossier\n" + folder;
}
inline const std::wstring kNoActiveDocument = L"Pas de Document Courant !...";
inline const std::wstring kDestinationTaken = L"Le pi\u00E8ce existe d\u00E9j\u00E0 dans le dossier.\nRemplacement impossible.";
inline const std::wstring kAlreadyCompacted = L"Le fichier est d\u00E9j\u00E0 compact\u00E9 !...";
inline const std::wstring kNoOpenSketch = L"Il n'y \u00E0 pas d'esquisse ouverte...";
inline const std::wstring kLineRefused = L"Une Erreur est apparue lors de la cr\u00E9ation d'une ligne.";

// The calls the host sees when the command opens the source again: the
// opening, then the add-in's menu pass on the host's "opened" and
// "activated" events.
inline std::vector<std::wstring> ReopeningCalls(const std::wstring& source) {
  std::vector<std::wstring> calls = {L"Application.OpenDocument(" + addintest::Quoted(source) + L", 1) -> object"};
  for (int event = 0; event < 2; ++event)
    for (const std::wstring& line : addintest::MenuPassCalls(1)) calls.push_back(line);
  return calls;
}

inline std::vector<std::wstring> operator+(std::vector<std::wstring> first, const std::vector<std::wstring>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

class PartCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(host_.startValue(), addintest::kAddinStarted); }

  // Writes a part of that fixture shape into the scratch folder.
  std::wstring makePart(const std::wstring& name, const std::wstring& shape) {
    const std::wstring path = folder_.file(name);
    EXPECT_TRUE(hostsim::writePartFixture(path, shape)) << "fixture " << testing::PrintToString(shape);
    return path;
  }

  // Opens the part as the active document and starts recording.
  void openPart(const std::wstring& path) {
    ASSERT_TRUE(host_.open(path));
    host_.startRecording();
  }

  void compact() { ASSERT_TRUE(host_.run(L"CompacterPart")); }
  void compactTo(const std::wstring& destination) {
    dialogs_.queueSavePath(destination);
    compact();
  }
  void decompact() { ASSERT_TRUE(host_.run(L"DeCompacterPart")); }

  std::vector<std::wstring> messageTexts() const { return dialogs_.messageTexts(); }

  // The active document as a client of the host sees it.
  hosttest::Obj activeDocument() { return hosttest::Obj(host_.sim().activeDocumentObject()); }

  // Edits the active part the way a user would, through the host (before
  // recording starts): deletes the feature of that name and selection type,
  // and has the part rebuilt.
  void deleteFeature(const std::wstring& name, const std::wstring& type) {
    using namespace hosttest;
    Obj document = activeDocument();
    ASSERT_TRUE(booleanOf(method(document.get(), dispid::SelectByName,
                                 args(text(name), text(type), r8(0), r8(0), r8(0)))))
        << "no " << testing::PrintToString(name);
    ASSERT_TRUE(booleanOf(method(document.get(), dispid::DeleteSelection, args(flag(false)))));
    method(document.get(), dispid::RebuildModel);
  }

  // Closes every open document (not logged as add-in calls).
  void closeAll() {
    for (const std::wstring& path : host_.sim().openDocumentPaths())
      ASSERT_TRUE(host_.sim().close(path.substr(path.rfind(L'\\') + 1)));
  }

  // Compacts source into destination with the add-in, then leaves only the
  // compacted copy open.
  void openCompactedCopyOf(const std::wstring& source, const std::wstring& destination) {
    openPart(source);
    compactTo(destination);
    closeAll();
    openPart(destination);
  }

  // The lines of the open document's (or file's) dump that start with prefix.
  std::vector<std::wstring> dumpLines(const std::wstring& path, const std::wstring& prefix) {
    std::vector<std::wstring> lines;
    std::wistringstream dump(host_.sim().dump(path));
    for (std::wstring line; std::getline(dump, line);)
      if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
  }

  hosttest::TempFolder folder_;
  addintest::AddinHost host_;
  testsupport::CheckedDialogResponder dialogs_;
};

}  // namespace parttest
