// The sample documents are what the fixture writers make today, and every
// component of the sample assembly is found. The samples are on P:, as in
// the source tree (under CTest, a copy of them: tests/CMakeLists.txt).
#include <gtest/gtest.h>

#include <sstream>

#include "hostsim/HostTestSupport.h"

using namespace hosttest;

namespace {

const std::wstring kSamples = L"P:\\samples\\documents\\";

TEST(HostsimSamples, PartsAreTheFixtureShapesAndTheAssemblysComponentsAreFound) {
  TempFolder folder;
  const std::pair<const wchar_t*, const wchar_t*> parts[] = {{L"pieces\\bride.SLDPRT", L"flange"},
                                                              {L"pieces\\arbre.SLDPRT", L"shaft"},
                                                              {L"pieces\\plaque.SLDPRT", L"plate"},
                                                              {L"carters\\carter.SLDPRT", L"housing"}};
  for (const auto& [file, shape] : parts) {
    ASSERT_TRUE(hostsim::writePartFixture(folder.file(L"fresh.SLDPRT"), shape));
    EXPECT_EQ(ReadFileBytes(folder.file(L"fresh.SLDPRT")), ReadFileBytes(kSamples + file))
        << "regenerate the samples: " << Utf8(shape);
  }
  hostsim::Simulator sim;
  std::wistringstream dump(sim.dump(kSamples + L"ensembles\\ensemble.SLDASM"));
  int components = 0;
  for (std::wstring line; std::getline(dump, line);) {
    if (line.rfind(L"component: ", 0) != 0) continue;
    ++components;
    EXPECT_TRUE(testsupport::FileExists(line.substr(line.find_first_not_of(L' ', 11)))) << Utf8(line);
  }
  EXPECT_GT(components, 0);
}

}  // namespace
