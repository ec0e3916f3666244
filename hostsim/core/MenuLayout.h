// How add-in menus appear in the main window's menu bar. A menu path
// "Item@Menu" names the menu in the bar last and its submenus before it
// ("Compression@&Outils": the submenu "Compression" of "&Outils").
#pragma once

#include <string>
#include <vector>

#include "core/Simulator.h"

namespace hostsim {

struct MenuNode {
  std::wstring text;
  bool isItem = false;           // an entry that runs a command
  std::vector<MenuNode> children;  // a menu's submenus and entries, in the order added
};

// The menus of the bar for one document kind, in the order they were added.
std::vector<MenuNode> menuLayout(const std::vector<Simulator::MenuEntry>& entries, int documentKind);

}  // namespace hostsim
