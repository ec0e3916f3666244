// The sample documents are what the fixture writers make today, and the
// sample assembly has the tree its description promises. The source tree is
// the P: drive under scripts/wine-run.
#include <gtest/gtest.h>

#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

const std::wstring kSamples = L"P:\\samples\\documents\\";

TEST(HostsimSamples, PartsAreTheFixtureShapesAndTheAssemblyHasItsTree) {
  TempFolder folder;
  for (const auto& part : {std::make_pair(L"pieces\\bride.SLDPRT", L"flange"), std::make_pair(L"pieces\\arbre.SLDPRT", L"shaft"),
                           std::make_pair(L"pieces\\plaque.SLDPRT", L"plate"), std::make_pair(L"carters\\carter.SLDPRT", L"housing")}) {
    ASSERT_TRUE(hostsim::writePartFixture(folder.file(L"fresh.SLDPRT"), part.second));
    EXPECT_EQ(ReadFileBytes(folder.file(L"fresh.SLDPRT")), ReadFileBytes(kSamples + part.first))
        << "regenerate the samples: " << testing::PrintToString(part.second);
  }
  hostsim::Simulator sim;
  const std::wstring dump = sim.dump(kSamples + L"ensembles\\ensemble.SLDASM");
  const std::wstring p = kSamples + L"pieces\\";
  const std::wstring expected = L"document: " + kSamples + L"ensembles\\ensemble.SLDASM\nkind: assembly\n"
      L"component: " + kSamples + L"carters\\carter.SLDPRT\ncomponent: " + kSamples + L"ensembles\\sous-ensemble.SLDASM\n"
      L"component:   " + p + L"arbre.SLDPRT\ncomponent:   " + p + L"bride.SLDPRT\ncomponent:   " + p + L"bride.SLDPRT\n"
      L"component: " + p + L"plaque.SLDPRT\ncomponent: " + p + L"plaque.SLDPRT\ncomponent: " + p + L"bride.SLDPRT\n";
  EXPECT_EQ(testsupport::Utf8(dump.substr(0, expected.size())), testsupport::Utf8(expected));
}

}  // namespace
