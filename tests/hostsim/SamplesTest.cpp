// The sample documents are what the fixture writers make today, and the
// sample assembly has the tree its description promises. The source tree is
// the P: drive under scripts/wine-run.
#include <gtest/gtest.h>

#include "hostsim/HostTestSupport.h"
#include "core/Simulator.h"

using namespace hosttest;

namespace {

const std::wstring kSamples = L"P:\\samples\\documents\\";

TEST(HostsimSamples, PartsAreTheFixtureShapes) {
  TempFolder folder;
  const std::pair<const wchar_t*, const wchar_t*> parts[] = {{L"pieces\\bride.SLDPRT", L"flange"},
                                                             {L"pieces\\arbre.SLDPRT", L"shaft"},
                                                             {L"pieces\\plaque.SLDPRT", L"plate"},
                                                             {L"carters\\carter.SLDPRT", L"housing"}};
  for (const auto& part : parts) {
    const std::wstring fresh = folder.file(L"fresh.SLDPRT");
    ASSERT_TRUE(hostsim::writePartFixture(fresh, part.second));
    const std::string sample = readFileBytes(kSamples + part.first);
    EXPECT_EQ(readFileBytes(fresh), sample) << "regenerate the samples: " << part.second;
    EXPECT_GT(sample.size(), 10000u);
    EXPECT_LT(sample.size(), 1000000u);
  }
}

TEST(HostsimSamples, AssemblyHasASubAssemblyRepeatsAndTwoFolders) {
  hostsim::Simulator sim;
  const std::wstring dump = sim.dump(kSamples + L"ensembles\\ensemble.SLDASM");
  const std::wstring expected =
      L"document: P:\\samples\\documents\\ensembles\\ensemble.SLDASM\n"
      L"kind: assembly\n"
      L"component: P:\\samples\\documents\\carters\\carter.SLDPRT\n"
      L"component: P:\\samples\\documents\\ensembles\\sous-ensemble.SLDASM\n"
      L"component:   P:\\samples\\documents\\pieces\\arbre.SLDPRT\n"
      L"component:   P:\\samples\\documents\\pieces\\bride.SLDPRT\n"
      L"component:   P:\\samples\\documents\\pieces\\bride.SLDPRT\n"
      L"component: P:\\samples\\documents\\pieces\\plaque.SLDPRT\n"
      L"component: P:\\samples\\documents\\pieces\\plaque.SLDPRT\n"
      L"component: P:\\samples\\documents\\pieces\\bride.SLDPRT\n";
  EXPECT_EQ(dump.substr(0, expected.size()), expected) << std::string(dump.begin(), dump.end());
}

}  // namespace
