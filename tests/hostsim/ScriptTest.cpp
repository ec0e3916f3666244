// sldworks.exe in script mode, run once as its own process from a copy with
// an Apps folder: the transcript of every command, dialog expectations and
// answers, the exit code, the call log it writes, the picture it draws, and
// the sample round trip of a box extrusion (on a copy of the sample flange).
#include <gtest/gtest.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <sstream>

#include "core/Text.h"
#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

std::wstring besideThisTest(const std::wstring& name) {
  wchar_t self[MAX_PATH];
  const std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  return path.substr(0, path.rfind(L'\\') + 1) + name;
}

std::wstring replaceAll(std::wstring text, const std::wstring& from, const std::wstring& to) {
  for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

std::vector<std::wstring> linesOf(const std::string& utf8) {
  std::vector<std::wstring> lines;
  std::wistringstream text(hostsim::fromUtf8(utf8));
  for (std::wstring line; std::getline(text, line);) lines.push_back(line.substr(0, line.find_last_not_of(L'\r') + 1));
  return lines;
}

// Runs the command line, reading its standard output while it runs (a Wine
// process it starts may keep the pipe open after it ended); a minute at most.
std::string run(std::wstring commandLine, DWORD& exitCode) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE readEnd = nullptr, writeEnd = nullptr;
  CreatePipe(&readEnd, &writeEnd, &inherit, 0);
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  const bool started =
      CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(writeEnd);
  std::string output;
  for (const ULONGLONG deadline = GetTickCount64() + 60000; started;) {
    const bool ended = WaitForSingleObject(process.hProcess, 20) == WAIT_OBJECT_0;
    char buffer[4096];
    DWORD available = 0, read = 0;
    while (PeekNamedPipe(readEnd, nullptr, 0, nullptr, &available, nullptr) && available > 0 &&
           ReadFile(readEnd, buffer, std::min<DWORD>(available, sizeof buffer), &read, nullptr) && read > 0)
      output.append(buffer, read);
    if (ended || GetTickCount64() > deadline) break;
  }
  CloseHandle(readEnd);
  if (!started) return "cannot start the simulator";
  if (WaitForSingleObject(process.hProcess, 0) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 99);
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  return output;
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
  Microsoft::WRL::ComPtr<IWICImagingFactory> factory;
  Microsoft::WRL::ComPtr<IWICBitmapDecoder> decoder;
  Microsoft::WRL::ComPtr<IWICBitmapFrameDecode> frame;
  Microsoft::WRL::ComPtr<IWICFormatConverter> pixels;
  UINT width = 0, height = 0;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&factory))) ||
      FAILED(factory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                &decoder)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&width, &height)) ||
      FAILED(factory->CreateFormatConverter(&pixels)) ||
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

// %F% is the scratch folder (with its backslash). Line numbers in the
// expected errors count from the script's first line.
const wchar_t kScript[] = LR"(expect-message Fichier compacté avec succès dans le dossier\nC:\\nouveau\
menu Compter
answer-save %F%copie.SLDPRT
expect-message %F%copie.SLDPRT
invoke AskSave
answer-save cancel
expect-message annulé
invoke AskSave
invoke ShowMessage
expect-message Autre chose
invoke ShowMessage
expect-message annulé
invoke AskSave
frobnicate
addin %F%absent.dll
open %F%absent.SLDPRT
new-document tiny
call Document.SaveToPath "%F%neuf.SLDPRT"
documents
mkdir %F%d
write-file %F%d\x.SLDPRT hostsim part 1\nrien\n
call Application.OpenDocumentEx "%F%d\x.SLDPRT" 1 &0
copy %F%d\x.SLDPRT %F%d\y.SLDPRT
lock %F%d\y.SLDPRT
call Application.OpenDocumentEx "%F%d\y.SLDPRT" 1 &0
unlock %F%d\y.SLDPRT
delete %F%d\y.SLDPRT
unlock %F%d\y.SLDPRT
call Application.OpenDocumentEx "%F%d\y.SLDPRT" 2 &0
refuse OpenDocumentEx
call Application.OpenDocumentEx "%F%neuf.SLDPRT" 1 &0
fail Document.DocumentKind 2
odd DocumentKind 1 "deux"
call Document.DocumentKind
call Document.DocumentKind
new-tree %F%arbre 8 3 2 2
open %F%arbre\top.SLDASM
menu Compter
call Configuration.GetRootComponent
call Component.ComponentChildren
call Component/1/0.ComponentPath
call Component/1/9.ComponentPath
invoke Nothing
picture %F%p.SLDPRT %F%p.png
picture %F%arbre\top.SLDASM %F%top.png
)";

// Started with p.SLDPRT open, the add-in of Apps adds its entry for parts;
// the library without InitUserDLL3 and the folder named like a library are
// passed over.
const wchar_t kTranscript[] = LR"(open: %F%p.SLDPRT -> ok
addin: hostsim_test_addin.dll -> 4242
menu: Compter
message: Fichier compacté avec succès dans le dossier\nC:\nouveau\
invoke: AskSave
save-dialog: p.SLDPRT -> %F%copie.SLDPRT
message: %F%copie.SLDPRT
invoke: AskSave
save-dialog: p.SLDPRT -> cancel
message: annulé
invoke: ShowMessage
message: Fichier compacté avec succès dans le dossier\nC:\nouveau\
error: line 9: unexpected message: Fichier compacté avec succès dans le dossier\nC:\nouveau\
invoke: ShowMessage
message: Fichier compacté avec succès dans le dossier\nC:\nouveau\
error: line 11: expected message: Autre chose
invoke: AskSave
error: line 13: unexpected dialog: save dialog with no queued answer (cancelled): "Save As"
save-dialog: p.SLDPRT -> cancel
message: annulé
error: line 14: unknown command frobnicate
addin: %F%absent.dll -> -2147024770
open: %F%absent.SLDPRT -> error 2
error: line 16: cannot open %F%absent.SLDPRT
new-document: Pièce1 -> ok
call: Document.SaveToPath("%F%neuf.SLDPRT") -> TRUE
documents: 2
  %F%p.SLDPRT
> %F%neuf.SLDPRT
mkdir: %F%d -> ok
write-file: %F%d\x.SLDPRT -> ok
call: Application.OpenDocumentEx("%F%d\x.SLDPRT", 1, &3) -> null
copy: %F%d\x.SLDPRT %F%d\y.SLDPRT -> ok
lock: %F%d\y.SLDPRT -> ok
call: Application.OpenDocumentEx("%F%d\y.SLDPRT", 1, &5) -> null
unlock: %F%d\y.SLDPRT -> ok
delete: %F%d\y.SLDPRT -> ok
unlock: %F%d\y.SLDPRT -> not locked
error: line 28: %F%d\y.SLDPRT is not locked
call: Application.OpenDocumentEx("%F%d\y.SLDPRT", 2, &2) -> null
refuse: OpenDocumentEx 1
call: Application.OpenDocumentEx("%F%neuf.SLDPRT", 1, &1) -> null (refused)
fail: Document.DocumentKind 2
odd: DocumentKind 1 "deux"
call: Document.DocumentKind() -> "deux" (odd answer)
call: Document.DocumentKind() -> error 0x80020009 "Simulated failure of Document.DocumentKind"
new-tree: %F%arbre\top.SLDASM -> 8 part instances, 12 components, 3 part files, 3 assembly files
open: %F%arbre\top.SLDASM -> ok
menu: Compter
error: line 38: no menu entry Compter for the active document
call: Configuration.GetRootComponent() -> object
call: Component.ComponentChildren() -> [object, object, object, object]
call: Component.ComponentPath() -> "%F%arbre\parts-1\p3.SLDPRT"
error: line 42: no component Component/1/9
invoke: Nothing
error: line 43: no loaded add-in exports Nothing
picture: %F%p.SLDPRT -> %F%p.png
picture: %F%arbre\top.SLDASM -> no part
error: line 45: %F%arbre\top.SLDASM is no part
)";

TEST(HostsimScript, OneRunTranscribesEveryCommandAndWritesTheCallLog) {
  TempFolder folder;
  const std::wstring exe = folder.file(L"sldworks.exe"), apps = folder.subfolder(L"Apps");
  ASSERT_TRUE(CopyFileW(besideThisTest(L"..\\..\\hostsim\\sldworks.exe").c_str(), exe.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(besideThisTest(L"hostsim_test_addin.dll").c_str(), (apps + L"hostsim_test_addin.dll").c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(besideThisTest(L"hostsim_plain_library.dll").c_str(), (apps + L"autre.dll").c_str(), FALSE));
  folder.subfolder(L"Apps\\dossier.dll");
  ASSERT_TRUE(hostsim::writePartFixture(folder.file(L"p.SLDPRT"), L"tiny"));
  // The sample round trip, on a copy of the sample flange.
  const std::wstring sample = L"P:\\samples\\documents\\pieces\\bride.SLDPRT", flange = folder.file(L"bride.SLDPRT");
  ASSERT_TRUE(CopyFileW(sample.c_str(), flange.c_str(), FALSE));
  std::wstring roundTrip = hostsim::fromUtf8(ReadFileBytes(L"P:\\samples\\documents\\envelope-round-trip.txt"));
  roundTrip = replaceAll(replaceAll(roundTrip, sample, flange), L"C:\\bride-enveloppe.SLDPRT", folder.file(L"env.SLDPRT"));
  const std::wstring ending = L"call-log off\ncall Document.DocumentKind\nexpect-message Jamais\nanswer-save x\n";
  ASSERT_TRUE(WriteFileBytes(folder.file(L"script.txt"),
                             testsupport::Utf8(replaceAll(kScript, L"%F%", folder.path()) + roundTrip + ending)));

  DWORD exitCode = 0;
  const std::vector<std::wstring> lines = linesOf(run(L"\"" + exe + L"\" /script " + folder.file(L"script.txt") +
                                                          L" /log " + folder.file(L"calls.log") + L" " +
                                                          folder.file(L"p.SLDPRT"), exitCode));
  std::wstring all;
  for (const std::wstring& line : lines) all += line + L"\n";
  SCOPED_TRACE(all);
  EXPECT_EQ(exitCode, 1u);
  const std::wstring expected = replaceAll(kTranscript, L"%F%", folder.path());
  EXPECT_EQ(testsupport::Utf8(all.substr(0, expected.size())), testsupport::Utf8(expected));
  auto count = [&](const std::wstring& prefix) {
    return std::count_if(lines.begin(), lines.end(), [&](const std::wstring& l) { return l.rfind(prefix, 0) == 0; });
  };
  EXPECT_EQ(count(L"body: 1408 triangles"), 2) << "the flange's body before the envelope and after its removal";
  EXPECT_EQ(count(L"body: 12 triangles"), 1) << "and one box with it";
  EXPECT_EQ(count(L"call: Document.CreateLine([-60.001, -60.001, 0], [-60.001, 60.001, 0]) -> TRUE"), 1);
  EXPECT_EQ(count(L"size: " + std::to_wstring(ReadFileBytes(sample).size()) + L" bytes"), 2);
  const std::vector<std::wstring> last(lines.end() - 4, lines.end());
  EXPECT_EQ(last, (std::vector<std::wstring>{L"call: Document.DocumentKind (not logged)",
                                             L"error: line 0: message never shown: Jamais",
                                             L"error: line 0: 1 save answer(s) never used", L"result: failed"}));
  // The log: the add-in's menus at start, then every call the transcript shows.
  std::vector<std::wstring> logged = {L"Application.GetMenuFrame() -> object",
                                      L"MenuFrame.AddTopMenu(\"Essai@&Outils\", 0) -> TRUE",
                                      L"MenuFrame.AddMenuEntry(\"Essai@&Outils\", \"Compter\", -1, \"hostsim_test_addin@ShowMessage\") -> TRUE"};
  for (const std::wstring& line : lines)
    if (line.rfind(L"call: ", 0) == 0 && line.find(L"(not logged)") == std::wstring::npos) logged.push_back(line.substr(6));
  EXPECT_EQ(linesOf(ReadFileBytes(folder.file(L"calls.log"))), logged);
  // The picture: the part's block in the middle, shaded, on white.
  const PictureProbe picture = probePicture(folder.file(L"p.png"));
  EXPECT_EQ(picture.width, 360u);
  EXPECT_EQ(picture.height, 270u);
  EXPECT_NE(picture.centre, 0xFFFFFFu);
  EXPECT_EQ(picture.corner, 0xFFFFFFu);
}

}  // namespace
