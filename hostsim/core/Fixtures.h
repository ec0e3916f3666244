// Writes document files directly, without automation, so tests, samples and
// benchmarks can make any part or assembly they need.
//
// Part shapes (millimetre-like units, the front plane through the origin):
//   "plate"    a 100 x 60 x 10 plate with four holes
//   "flange"   a disc with a hub, a bore and eight bolt holes
//   "shaft"    a stepped shaft along x with centre holes
//   "housing"  a block with four corner bosses, a bore and mounting holes
//   "box:x0,y0,z0,x1,y1,z1"  one plain block: a small file
#pragma once

#include <string>
#include <vector>

namespace hostsim {

bool writePartFixture(const std::wstring& path, const std::wstring& shape);
bool writeAssemblyFixture(const std::wstring& path, const std::vector<std::wstring>& children);

}  // namespace hostsim
