// sldworks.exe in script mode, run once as its own process from a copy with
// the real add-in in its Apps folder: the transcript of every command, dialog
// expectations and answers, the exit code, the call log it writes, the picture
// it draws, and the sample round trip of a box extrusion (on a copy of the
// sample flange).
#include <gtest/gtest.h>
#include <wincodec.h>

#include <algorithm>
#include <sstream>

#include "core/Utf8.h"
#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

std::wstring replaceAll(std::wstring text, const std::wstring& from, const std::wstring& to) {
  for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

size_t occurrences(const std::string& text, const std::string& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
  return count;
}

// Runs the command line with its output into a file; a minute at most.
std::string run(std::wstring commandLine, const std::wstring& outputFile, DWORD& exitCode) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE output = CreateFileW(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = output;
  PROCESS_INFORMATION process{};
  const bool started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(output);
  if (!started) return "cannot start the simulator";
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return ReadFileBytes(outputFile);
}

// A PNG file read back through the Windows Imaging Component: its size and
// two of its pixels (0xRRGGBB); a width of 0 when it cannot be read.
struct PictureProbe {
  UINT width = 0, height = 0;
  UINT32 centre = 0, corner = 0;  // the middle pixel, the bottom-left one
};

PictureProbe probePicture(const std::wstring& path) {
  PictureProbe probe;
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ComRef<IWICImagingFactory> factory;
  ComRef<IWICBitmapDecoder> decoder;
  ComRef<IWICBitmapFrameDecode> frame;
  ComRef<IWICFormatConverter> pixels;
  UINT width = 0, height = 0;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IWICImagingFactory),
                              factory.PutVoid())) ||
      FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                decoder.Put())) ||
      FAILED(decoder->GetFrame(0, frame.Put())) || FAILED(frame->GetSize(&width, &height)) ||
      FAILED(factory->CreateFormatConverter(pixels.Put())) ||
      FAILED(pixels->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGR, WICBitmapDitherTypeNone, nullptr, 0,
                                WICBitmapPaletteTypeCustom)))
    return probe;
  auto pixel = [&](UINT x, UINT y) {
    const WICRect one{static_cast<INT>(x), static_cast<INT>(y), 1, 1};
    UINT32 value = 0;
    pixels->CopyPixels(&one, 4, 4, reinterpret_cast<BYTE*>(&value));
    return value & 0xFFFFFF;
  };
  probe = {width, height, pixel(width / 2, height / 2), pixel(0, height - 1)};
  return probe;
}

// %F% is the scratch folder (with its backslash), %E% the same written for
// expect-message (backslashes doubled). Line numbers in the expected errors
// count from the script's first line.
const wchar_t kScript[] = LR"(answer-save %F%copie.SLDPRT
expect-message Fichier compacté avec succès dans le dossier\n%E%
menu Compacter
answer-save cancel
menu Compacter
expect-message Autre chose
answer-save %F%copie.SLDPRT
invoke CompacterPart
answer-save %F%copie.SLDPRT
menu Compacter
menu Compacter
frobnicate
addin %F%absent.dll
open %F%absent.SLDPRT
new-document tiny
call Document.SaveToPath "%F%neuf.SLDPRT"
documents
write-file %F%x.SLDPRT hostsim part 1\nrien\n
lock %F%x.SLDPRT
call Application.OpenDocumentEx "%F%x.SLDPRT" 1 &0
unlock %F%x.SLDPRT
unlock %F%x.SLDPRT
refuse OpenDocumentEx
call Application.OpenDocumentEx "%F%neuf.SLDPRT" 1 &0
fail Document.DocumentKind 2
odd DocumentKind 1 "deux"
call Document.DocumentKind
call Document.DocumentKind
new-tree %F%arbre 8 3 2 2
new-tree %F%trop 2 3 1 1
open %F%arbre\top.SLDASM
menu Inconnu
call Configuration.GetRootComponent
call Component.ComponentChildren
call Component/1/0.ComponentPath
call Component/1/9.ComponentPath
invoke Nothing
picture %F%p.SLDPRT %F%p.png
picture %F%arbre\top.SLDASM %F%top.png
)";

// Started with p.SLDPRT open: the add-in of Apps adds its part entries; the
// library without InitUserDLL3 and the folder named like a library are
// passed over.
const wchar_t kTranscript[] = LR"(open: %F%p.SLDPRT -> ok
addin: ZELM_Compact.dll -> 97001
menu: Compacter
save-dialog: p.SLDPRT -> %F%copie.SLDPRT
message: Fichier compacté avec succès dans le dossier\n%F%
menu: Compacter
save-dialog: p.SLDPRT -> cancel
invoke: CompacterPart
save-dialog: p.SLDPRT -> %F%copie.SLDPRT
message: Le pièce existe déjà dans le dossier.\nRemplacement impossible.
error: line 8: expected message: Autre chose
menu: Compacter
save-dialog: p.SLDPRT -> %F%copie.SLDPRT
message: Le pièce existe déjà dans le dossier.\nRemplacement impossible.
error: line 10: unexpected message: Le pièce existe déjà dans le dossier.\nRemplacement impossible.
menu: Compacter
error: line 11: unexpected dialog: save dialog with no queued answer (cancelled): "Save As"
save-dialog: p.SLDPRT -> cancel
error: line 12: unknown command frobnicate
addin: %F%absent.dll -> -2147024770
open: %F%absent.SLDPRT -> error 2
error: line 14: cannot open %F%absent.SLDPRT
new-document: Pièce1 -> ok
call: Document.SaveToPath("%F%neuf.SLDPRT") -> TRUE
documents: 3
  %F%copie.SLDPRT
  %F%p.SLDPRT
> %F%neuf.SLDPRT
write-file: %F%x.SLDPRT -> ok
lock: %F%x.SLDPRT -> ok
call: Application.OpenDocumentEx("%F%x.SLDPRT", 1, &5) -> null
unlock: %F%x.SLDPRT -> ok
unlock: %F%x.SLDPRT -> not locked
error: line 22: %F%x.SLDPRT is not locked
refuse: OpenDocumentEx 1
call: Application.OpenDocumentEx("%F%neuf.SLDPRT", 1, &1) -> null (refused)
fail: Document.DocumentKind 2
odd: DocumentKind 1 "deux"
call: Document.DocumentKind() -> "deux" (odd answer)
call: Document.DocumentKind() -> error 0x80020009 "Simulated failure of Document.DocumentKind"
new-tree: %F%arbre\top.SLDASM -> 8 part instances, 12 components, 3 part files, 3 assembly files
new-tree: %F%trop -> failed
error: line 30: cannot write the tree %F%trop
open: %F%arbre\top.SLDASM -> ok
menu: Inconnu
error: line 32: no menu entry Inconnu for the active document
call: Configuration.GetRootComponent() -> object
call: Component.ComponentChildren() -> [object, object, object, object]
call: Component.ComponentPath() -> "%F%arbre\parts-1\p3.SLDPRT"
error: line 36: no component Component/1/9
invoke: Nothing
error: line 37: no loaded add-in exports Nothing
picture: %F%p.SLDPRT -> %F%p.png
picture: %F%arbre\top.SLDASM -> no part
error: line 39: %F%arbre\top.SLDASM is no part
)";

TEST(HostsimScript, OneRunTranscribesEveryCommandAndWritesTheCallLog) {
  TempFolder folder;
  const std::wstring exe = folder.file(L"sldworks.exe"), apps = folder.subfolder(L"Apps");
  const std::wstring sample = L"P:\\samples\\documents\\pieces\\bride.SLDPRT", flange = folder.file(L"bride.SLDPRT");
  // Q: is the build tree, P: holds the samples (tests/CMakeLists.txt).
  const std::pair<std::wstring, std::wstring> copies[] = {
      {L"Q:\\hostsim\\sldworks.exe", exe},
      {L"Q:\\addin\\ZELM_Compact.dll", apps + L"ZELM_Compact.dll"},
      {L"Q:\\hostsim\\responder\\dialog_responder_hook.dll", apps + L"autre.dll"},
      {sample, flange}};
  for (const auto& [from, to] : copies) ASSERT_TRUE(CopyFileW(from.c_str(), to.c_str(), FALSE)) << Utf8(from);
  folder.subfolder(L"Apps\\dossier.dll");
  ASSERT_TRUE(hostsim::writePartFixture(folder.file(L"p.SLDPRT"), L"tiny"));
  // The sample round trip, on the copy of the sample flange.
  std::wstring roundTrip = hostsim::fromUtf8(ReadFileBytes(L"P:\\samples\\documents\\envelope-round-trip.txt"));
  roundTrip = replaceAll(replaceAll(roundTrip, sample, flange), L"C:\\bride-enveloppe.SLDPRT",
                         folder.file(L"env.SLDPRT"));
  const std::wstring ending = L"call-log off\ncall Document.DocumentKind\nexpect-message Jamais\nanswer-save x\n";
  const std::wstring script = replaceAll(replaceAll(kScript, L"%E%", replaceAll(folder.path(), L"\\", L"\\\\")), L"%F%",
                                         folder.path());
  ASSERT_TRUE(WriteFileBytes(folder.file(L"script.txt"), Utf8(script + roundTrip + ending)));

  DWORD exitCode = 0;
  const std::string out = run(L"\"" + exe + L"\" /script " + folder.file(L"script.txt") + L" /log " +
                                  folder.file(L"calls.log") + L" " + folder.file(L"p.SLDPRT"),
                              folder.file(L"transcript.txt"), exitCode);
  SCOPED_TRACE(out);
  EXPECT_EQ(exitCode, 1u);
  const std::string expected = Utf8(replaceAll(kTranscript, L"%F%", folder.path()));
  EXPECT_EQ(out.substr(0, expected.size()), expected);
  EXPECT_EQ(occurrences(out, "\nbody: 1408 triangles\n"), 2u) << "the flange's body before the envelope and after";
  EXPECT_EQ(occurrences(out, "\nbody: 12 triangles\n"), 1u) << "and one box with it";
  EXPECT_EQ(occurrences(out, "\ncall: Document.CreateLine([-60.001, -60.001, 0], [-60.001, 60.001, 0]) -> TRUE\n"), 1u);
  EXPECT_EQ(occurrences(out, "\nsize: " + std::to_string(ReadFileBytes(sample).size()) + " bytes\n"), 2u);
  const std::string end = "\ncall: Document.DocumentKind (not logged)\nerror: line 0: message never shown: Jamais\n"
                          "error: line 0: 1 save answer(s) never used\nresult: failed\n";
  EXPECT_EQ(out.substr(out.size() - std::min(out.size(), end.size())), end);
  // Every call the transcript shows is in the log, in order, among the add-in's.
  const std::string log = "\n" + ReadFileBytes(folder.file(L"calls.log"));
  std::istringstream lines(out);
  size_t next = 0;
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("call: ", 0) != 0 || line.find("(not logged)") != std::string::npos) continue;
    ASSERT_NE(next = log.find("\n" + line.substr(6) + "\n", next), std::string::npos) << line;
    ++next;
  }
  // The picture: the part's block in the middle, shaded, on white.
  const PictureProbe picture = probePicture(folder.file(L"p.png"));
  EXPECT_EQ(picture.width, 360u);
  EXPECT_EQ(picture.height, 270u);
  EXPECT_NE(picture.centre, 0xFFFFFFu);
  EXPECT_EQ(picture.corner, 0xFFFFFFu);
}

}  // namespace
