// Menus of add-ins: entries belong to the kind of the active document and
// need their menu; the bar's layout. Loading add-ins (Apps, /addin) and
// picking entries are run by the script run (ScriptTest).
#include "core/MenuLayout.h"
#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

class HostsimMenus : public HostTest {};

TEST_F(HostsimMenus, MenuEntriesBelongToTheActiveKindAndNeedTheirMenu) {
  const std::wstring p = part(L"p.SLDPRT"), a = assembly(L"a.SLDASM", {p});
  Obj frame = objectOf(app(dispid::GetMenuFrame));
  auto addTopMenu = [&] { return booleanOf(method(frame.get(), dispid::AddTopMenu, args(L"M@&Outils", 0))); };
  auto addEntry = [&] {
    return booleanOf(method(frame.get(), dispid::AddMenuEntry, args(L"M@&Outils", L"A", -1, L"x@A")));
  };
  EXPECT_FALSE(addTopMenu()) << "no active document, no kind to add to";
  ASSERT_TRUE(sim.open(a));
  EXPECT_FALSE(addEntry()) << "its menu is missing";
  EXPECT_TRUE(addTopMenu());
  EXPECT_TRUE(addEntry());
  EXPECT_FALSE(addEntry()) << "one entry per item";
  EXPECT_EQ(sim.menus().back().documentKind, 2);
  EXPECT_EQ(sim.menus().back().callback + L" " + std::to_wstring(sim.menus().back().position), L"x@A -1");
  ASSERT_TRUE(sim.open(p));
  EXPECT_FALSE(addEntry()) << "the part kind has no such menu yet";
}

TEST(HostsimMenuLayout, MenuPathsNestFromTheBarAndFollowTheKind) {
  const std::vector<hostsim::Simulator::MenuEntry> entries = {
      {1, L"Compression@&Outils", L"", L"", 0, true},
      {1, L"Compression@&Outils", L"Compacter", L"Z@CompacterPart", -1, false},
      {1, L"Compression@&Outils", L"Décompacter", L"Z@DeCompacterPart", -1, false},
      {2, L"Compression@&Outils", L"", L"", 0, true},
      {2, L"Compression@&Outils", L"Compacter", L"Z@CompacterAsm", -1, false},
      {1, L"&Aide", L"", L"", 0, true},
  };
  // A layout as text: menus in brackets, entries bare.
  std::function<std::wstring(const std::vector<hostsim::MenuNode>&)> text = [&](const auto& nodes) {
    std::wstring out;
    for (const auto& n : nodes) out += n.isItem ? n.text + L";" : n.text + L"[" + text(n.children) + L"]";
    return out;
  };
  EXPECT_EQ(text(hostsim::menuLayout(entries, 1)), L"&Outils[Compression[Compacter;Décompacter;]]&Aide[]");
  EXPECT_EQ(text(hostsim::menuLayout(entries, 2)), L"&Outils[Compression[Compacter;]]");
  EXPECT_EQ(text(hostsim::menuLayout(entries, 3)), L"") << "a drawing has no add-in menus";
}

}  // namespace
