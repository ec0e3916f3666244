// DeCompacterPart through the real library and the stand-in host: the
// markers go, the model is rebuilt, the part's own body comes back, and
// nothing is saved.
#include <windows.h>

#include "PartCommandTest.h"

namespace parttest {
namespace {

using addintest::CallText;
using addintest::FileBytes;
using addintest::Quoted;

// A part without the envelope's extrusion is only rebuilt.
const std::vector<std::wstring> kOnlyRebuilt = {
    L"Application.ActiveDocument() -> object",
    L"Document.DocumentKind() -> 1",
    L"Document.SelectByName(\"BEx_KMTV_Compact001\", \"BODYFEATURE\", 0, 0, 0) -> FALSE",
    L"Document.RebuildModel()",
};

// A compacted part up to its marker extrusion's deletion.
const std::vector<std::wstring> kExtrusionDeleted = {
    L"Application.ActiveDocument() -> object",
    L"Document.DocumentKind() -> 1",
    L"Document.SelectByName(\"BEx_KMTV_Compact001\", \"BODYFEATURE\", 0, 0, 0) -> TRUE",
    L"Document.DeleteSelection(FALSE) -> TRUE",
};

class DeCompacterPart : public PartCommandTest {
 protected:
  // Compacts a part of that shape with the add-in and opens the copy alone.
  std::wstring openCompactedCopy(const std::wstring& shape) {
    const std::wstring stem = shape.substr(0, shape.find(L':'));
    source_ = makePart(stem + L".SLDPRT", shape);
    const std::wstring copy = folder_.file(stem + L"_compacte.SLDPRT");
    openCompactedCopyOf(source_, copy);
    messagesBefore_ = dialogs_.messages().size();
    return copy;
  }
  size_t newMessages() const { return dialogs_.messages().size() - messagesBefore_; }

  std::wstring source_;
  size_t messagesBefore_ = 0;
};

TEST_F(DeCompacterPart, RemovesBothMarkersAndHasTheModelRebuiltThenFindsNothing) {
  openCompactedCopy(L"box:0,0,0,10,20,5");

  decompact();

  EXPECT_EQ(CallText(host_.calls()),
            CallText(kExtrusionDeleted + std::vector<std::wstring>{
                L"Document.SelectByName(\"Esq_KMTV_Compact001\", \"SKETCH\", 0, 0, 0) -> TRUE",
                L"Document.DeleteSelection(FALSE) -> TRUE",
                L"Document.FinishPartEdit()",
                L"Document.RebuildModel()",
            }));
  EXPECT_EQ(newMessages(), 0u);
  EXPECT_EQ(host_.referencesStillHeld(), 0);

  host_.startRecording();
  decompact();
  EXPECT_EQ(CallText(host_.calls()), CallText(kOnlyRebuilt));
}

TEST_F(DeCompacterPart, GivesBackTheOriginalBodyAndSavesNothing) {
  for (const std::wstring shape : {L"flange", L"shaft", L"housing", L"plate"}) {
    SCOPED_TRACE(testing::PrintToString(shape));
    const std::wstring copy = openCompactedCopy(shape);
    const std::string compactedBytes = FileBytes(copy);
    const std::vector<std::wstring> originalBody = dumpLines(source_, L"body: ") + dumpLines(source_, L"box: ");
    const std::vector<std::wstring> originalFeatures = dumpLines(source_, L"feature: ");

    decompact();

    EXPECT_EQ(dumpLines(copy, L"body: ") + dumpLines(copy, L"box: "), originalBody);
    EXPECT_EQ(dumpLines(copy, L"feature: "), originalFeatures);
    EXPECT_EQ(FileBytes(copy), compactedBytes);
    EXPECT_EQ(host_.referencesStillHeld(), 0);
    closeAll();
  }
}

TEST_F(DeCompacterPart, PartNeverCompactedIsOnlyRebuilt) {
  const std::wstring source = makePart(L"bride.SLDPRT", L"flange");
  const std::vector<std::wstring> features = dumpLines(source, L"feature: ");
  openPart(source);

  decompact();

  EXPECT_EQ(CallText(host_.calls()), CallText(kOnlyRebuilt));
  EXPECT_EQ(dumpLines(source, L"feature: "), features);
  EXPECT_TRUE(messageTexts().empty());
}

TEST_F(DeCompacterPart, MarkerSketchWithoutItsExtrusionIsKept) {
  const std::wstring copy = openCompactedCopy(L"box:0,0,0,10,20,5");
  deleteFeature(L"BEx_KMTV_Compact001", L"BODYFEATURE");
  host_.startRecording();

  decompact();

  EXPECT_EQ(CallText(host_.calls()), CallText(kOnlyRebuilt));
  const std::vector<std::wstring> features = dumpLines(copy, L"feature: ");
  EXPECT_NE(std::find(features.begin(), features.end(), L"feature: Esq_KMTV_Compact001 (ProfileFeature)"),
            features.end());
}

TEST_F(DeCompacterPart, ExtrusionWhoseSketchLostItsNameIsDeletedWithoutFinishingTheEdit) {
  openCompactedCopy(L"box:0,0,0,10,20,5");
  {
    // The user renamed the envelope's sketch.
    using namespace hosttest;
    Obj document = activeDocument();
    ASSERT_TRUE(booleanOf(method(document.get(), dispid::SelectByName,
                                 args(text(L"Esq_KMTV_Compact001"), text(L"SKETCH"), r8(0), r8(0), r8(0)))));
    Obj selection = objectOf(get(document.get(), dispid::GetSelectionSet));
    Obj sketch = objectOf(method(selection.get(), dispid::SelectedObject, args(i4(1))));
    ASSERT_EQ(put(sketch.get(), dispid::FeatureName, text(L"Esquisse renomm\u00E9e")).hr, S_OK);
  }
  host_.startRecording();

  decompact();

  EXPECT_EQ(CallText(host_.calls()),
            CallText(kExtrusionDeleted + std::vector<std::wstring>{
                L"Document.SelectByName(\"Esq_KMTV_Compact001\", \"SKETCH\", 0, 0, 0) -> FALSE",
                L"Document.RebuildModel()",
            }));
  EXPECT_EQ(newMessages(), 0u);
  EXPECT_EQ(host_.referencesStillHeld(), 0);
}

// Both part commands refuse in the same way when there is nothing to work on.
class PartCommandWithoutPart : public PartCommandTest {};

TEST_F(PartCommandWithoutPart, NoActiveDocumentIsAnnounced) {
  for (const wchar_t* command : {L"CompacterPart", L"DeCompacterPart"}) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(command)));
    host_.startRecording();
    const size_t before = dialogs_.messages().size();

    ASSERT_TRUE(host_.run(command));

    EXPECT_EQ(CallText(host_.calls()), CallText({L"Application.ActiveDocument() -> null"}));
    ASSERT_EQ(dialogs_.messages().size(), before + 1);
    EXPECT_EQ(dialogs_.messages().back().text, kNoActiveDocument);
    EXPECT_EQ(dialogs_.messages().back().caption, L"ZELM_Compact");
  }
}

TEST_F(PartCommandWithoutPart, ActiveAssemblyEndsBothCommandsSilently) {
  const std::wstring part = makePart(L"piece.SLDPRT", L"plate");
  const std::wstring assembly = folder_.file(L"ensemble.SLDASM");
  ASSERT_TRUE(hostsim::writeAssemblyFixture(assembly, {part}));
  const std::string assemblyBytes = FileBytes(assembly);
  ASSERT_TRUE(host_.open(assembly));

  host_.startRecording();
  ASSERT_TRUE(host_.run(L"CompacterPart"));
  EXPECT_EQ(CallText(host_.calls()), CallText({
                                         L"Application.ActiveDocument() -> object",
                                         L"Document.DocumentPath() -> " + Quoted(assembly),
                                         L"Document.DocumentKind() -> 2",
                                     }));
  host_.startRecording();
  ASSERT_TRUE(host_.run(L"DeCompacterPart"));
  EXPECT_EQ(CallText(host_.calls()), CallText({
                                         L"Application.ActiveDocument() -> object",
                                         L"Document.DocumentKind() -> 2",
                                     }));
  EXPECT_TRUE(messageTexts().empty());
  EXPECT_TRUE(dialogs_.saveDialogs().empty());
  EXPECT_EQ(FileBytes(assembly), assemblyBytes);
  EXPECT_EQ(host_.referencesStillHeld(), 0);
}

}  // namespace
}  // namespace parttest
