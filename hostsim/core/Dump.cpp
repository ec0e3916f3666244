#include "core/Dump.h"

#include <functional>

#include "core/Files.h"
#include "core/NumberText.h"
#include "core/Paths.h"

namespace hostsim {

namespace {

void dumpComponents(const Component& component, int depth, std::wstring& out) {
  for (const auto& child : component.children) {
    out += L"component: " + std::wstring(2 * static_cast<size_t>(depth), L' ') + child->path + L"\n";
    dumpComponents(*child, depth + 1, out);
  }
}

}  // namespace

std::wstring dumpDocument(Session& session, const std::wstring& path) {
  std::shared_ptr<Document> document = session.findByPath(path);
  Document file;
  std::wstring out = L"document: " + (document ? document->path : path) + L"\n";
  if (!document) {
    long error = readDocumentFile(fullPath(path), file);
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
    dumpComponents(d.tree ? *d.tree : *session.loadTree(d), 0, out);
  }
  out += L"size: " + std::to_wstring(fileSize(d.path)) + L" bytes\n";
  return out;
}

}  // namespace hostsim
