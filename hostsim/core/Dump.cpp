#include "Dump.h"

#include <functional>

#include "Text.h"

namespace hostsim {

namespace {

constexpr int kMaxDepth = 32;  // an assembly that contains itself must not hang the dump

std::vector<std::wstring> childrenOf(const Session& session, const std::wstring& path) {
  if (auto open = session.findByPath(path)) return open->kind == kAssemblyKind ? open->components : std::vector<std::wstring>();
  Document file;
  if (readDocumentFile(path, file) != 0 || file.kind != kAssemblyKind) return {};
  return file.components;
}

void dumpComponents(const Session& session, const std::wstring& assemblyPath,
                    const std::vector<std::wstring>& stored, int depth, std::wstring& out) {
  if (depth > kMaxDepth) return;
  for (const std::wstring& child : stored) {
    const std::wstring resolved = resolveComponentPath(assemblyPath, child);
    out += L"component: " + std::wstring(2 * static_cast<size_t>(depth), L' ') + resolved + L"\n";
    dumpComponents(session, resolved, childrenOf(session, resolved), depth + 1, out);
  }
}

}  // namespace

std::wstring dumpDocument(const Session& session, const std::wstring& path) {
  std::shared_ptr<Document> document = session.findByPath(path);
  Document file;
  std::wstring out = L"document: " + (document ? document->path : path) + L"\n";
  if (!document) {
    long error = readDocumentFile(path, file);
    if (error != 0) return out + L"error: " + std::to_wstring(error) + L"\n";
  }
  const Document& d = document ? *document : file;
  if (d.kind == kPartKind) {
    out += L"kind: part\n";
    for (const Feature& f : d.part.features())
      out += L"feature: " + f.name + L" (" + featureKindText(f.type) + L")\n";
    const Body& body = d.part.body();
    out += L"body: " + std::to_wstring(body.triangles.size()) + L" triangles\n";
    Box box = body.box();
    if (box.empty) box.include(Vec3{});
    out += L"box: " + formatNumber(box.low.x) + L", " + formatNumber(box.low.y) + L", " + formatNumber(box.low.z) +
           L", " + formatNumber(box.high.x) + L", " + formatNumber(box.high.y) + L", " +
           formatNumber(box.high.z) + L"\n";
  } else {
    out += L"kind: assembly\n";
    dumpComponents(session, d.path, d.components, 0, out);
  }
  out += L"size: " + std::to_wstring(fileSize(d.path)) + L" bytes\n";
  return out;
}

}  // namespace hostsim
