// Writes document files directly, without automation, so tests, samples and
// benchmarks can make any part or assembly they need.
//
// Part shapes (millimetre-like units, the front plane through the origin):
//   "plate"    a 100 x 60 x 10 plate with four holes
//   "flange"   a disc with a hub, a bore and eight bolt holes
//   "shaft"    a stepped shaft along x with centre holes
//   "housing"  a block with four corner bosses, a bore and mounting holes
//   "box:x0,y0,z0,x1,y1,z1"  one plain block: a small file
//   "tiny"     box:0,0,0,10,10,10
//   "detailed" the flange
#pragma once

#include <string>
#include <vector>

#include "core/PartModel.h"

namespace hostsim {

bool buildPartShape(const std::wstring& shape, PartModel& part);  // false for an unknown shape
bool writePartFixture(const std::wstring& path, const std::wstring& shape);
bool writeAssemblyFixture(const std::wstring& path, const std::vector<std::wstring>& children);

// An assembly tree made from a few numbers, written into a folder: top.SLDASM,
// the parts pJ.SLDPRT (all of the one shape) in parts-1\, parts-2\... and the
// sub-assemblies sL-J.SLDASM of level L (1 below the top) in levelL-1\...,
// 500 files a folder; components are stored as full paths. Every sub-assembly holds fanOut
// files of the level below, taken in turn, so files are shared; the top
// holds as many level-1 sub-assemblies as the instances need. With depth 1
// the top holds the parts.
struct TreeRecipe {
  long long instances = 1000;   // part components in the whole tree, rounded up to whole top children
  long long uniqueParts = 200;  // part files, at most instances
  int depth = 4;                // levels of assemblies above the parts (1 to 8)
  int fanOut = 10;              // children of every sub-assembly (1 to 1000)
  std::wstring shape = L"tiny";
};
struct TreeSummary {
  std::wstring top;  // empty when the recipe is refused or a file could not be written
  long long partInstances = 0, components = 0, partFiles = 0, assemblyFiles = 0;
};
TreeSummary writeAssemblyTree(const std::wstring& folder, const TreeRecipe& recipe);

}  // namespace hostsim
