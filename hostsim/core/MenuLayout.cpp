#include "core/MenuLayout.h"

namespace hostsim {

namespace {

std::vector<std::wstring> outermostFirst(const std::wstring& path) {
  std::vector<std::wstring> pieces;
  size_t start = 0;
  while (true) {
    size_t at = path.find(L'@', start);
    pieces.insert(pieces.begin(), path.substr(start, at == std::wstring::npos ? std::wstring::npos : at - start));
    if (at == std::wstring::npos) break;
    start = at + 1;
  }
  return pieces;
}

MenuNode& menuIn(std::vector<MenuNode>& level, const std::wstring& text) {
  for (MenuNode& node : level)
    if (!node.isItem && node.text == text) return node;
  level.push_back(MenuNode{text, false, {}});
  return level.back();
}

}  // namespace

std::vector<MenuNode> menuLayout(const std::vector<Simulator::MenuEntry>& entries, int documentKind) {
  std::vector<MenuNode> bar;
  for (const auto& entry : entries) {
    if (entry.documentKind != documentKind) continue;
    std::vector<MenuNode>* level = &bar;
    for (const std::wstring& piece : outermostFirst(entry.menu)) level = &menuIn(*level, piece).children;
    if (!entry.topMenu) level->push_back(MenuNode{entry.item, true, {}});
  }
  return bar;
}

}  // namespace hostsim
