// Menus of add-ins: entries belong to the kind of the active document and
// need their menu; the bar the main window shows. Loading add-ins (Apps,
// /addin) and picking entries are run by the script run (ScriptTest).
#include <functional>

#include "core/MenuLayout.h"
#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

class HostsimMenus : public HostTest {};

TEST_F(HostsimMenus, EntriesBelongToTheActiveKindNeedTheirMenuAndNestFromTheBar) {
  const std::wstring p = part(L"p.SLDPRT"), a = assembly(L"a.SLDASM", {p});
  const MenuFrame frame = app_.GetMenuFrame();
  auto addTopMenu = [&] { return invoke(frame.Get(), hostops::kAddTopMenu, L"Compression@&Outils", 0).text(); };
  auto addEntry = [&](const wchar_t* item) {
    return invoke(frame.Get(), hostops::kAddMenuEntry, L"Compression@&Outils", item, -1, L"Z@Compacter").text();
  };
  EXPECT_EQ(addTopMenu(), L"FALSE") << "no active document, no kind to add to";
  ASSERT_TRUE(sim_.open(a));
  EXPECT_EQ(addEntry(L"Compacter"), L"FALSE") << "its menu is missing";
  EXPECT_EQ(addTopMenu(), L"TRUE");
  for (const wchar_t* item : {L"Compacter", L"Décompacter"}) EXPECT_EQ(addEntry(item), L"TRUE");
  EXPECT_EQ(addEntry(L"Compacter"), L"FALSE") << "one entry per item";
  EXPECT_EQ(sim_.menus().back().callback + L" " + std::to_wstring(sim_.menus().back().position), L"Z@Compacter -1");
  ASSERT_TRUE(sim_.open(p));
  EXPECT_EQ(addEntry(L"Compacter"), L"FALSE") << "the part kind has no such menu yet";
  // The bar as text: menus in brackets, entries bare.
  std::function<std::wstring(const std::vector<hostsim::MenuNode>&)> text = [&](const auto& nodes) {
    std::wstring out;
    for (const auto& n : nodes) out += n.isItem ? n.text + L";" : n.text + L"[" + text(n.children) + L"]";
    return out;
  };
  EXPECT_EQ(text(hostsim::menuLayout(sim_.menus(), 2)), L"&Outils[Compression[Compacter;Décompacter;]]");
  EXPECT_EQ(text(hostsim::menuLayout(sim_.menus(), 1)), L"");
}

}  // namespace
