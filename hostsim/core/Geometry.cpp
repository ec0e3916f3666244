#include "core/Geometry.h"

#include <algorithm>
#include <cmath>

namespace hostsim {

void Box::include(const Vec3& p) {
  if (empty) {
    low = high = p;
    empty = false;
    return;
  }
  low = {std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z)};
  high = {std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z)};
}

void Box::include(const Box& other) {
  if (other.empty) return;
  include(other.low);
  include(other.high);
}

bool Box::encloses(const Box& o) const {
  if (empty) return false;
  if (o.empty) return true;
  return low.x <= o.low.x && low.y <= o.low.y && low.z <= o.low.z && high.x >= o.high.x &&
         high.y >= o.high.y && high.z >= o.high.z;
}

namespace {

// Maps (along the axis, first radial, second radial) to world coordinates.
Vec3 alongAxis(char axis, double a, double r1, double r2) {
  switch (axis) {
    case 'x': return {a, r1, r2};
    case 'y': return {r2, a, r1};
    default: return {r1, r2, a};
  }
}

double axial(char axis, const Vec3& v) { return axis == 'x' ? v.x : axis == 'y' ? v.y : v.z; }
double radial1(char axis, const Vec3& v) { return axis == 'x' ? v.y : axis == 'y' ? v.z : v.x; }
double radial2(char axis, const Vec3& v) { return axis == 'x' ? v.z : axis == 'y' ? v.x : v.y; }

void tessellateBlock(const Box& b, std::vector<Triangle>& out) {
  const Vec3 c[8] = {{b.low.x, b.low.y, b.low.z},    {b.high.x, b.low.y, b.low.z},
                     {b.high.x, b.high.y, b.low.z},  {b.low.x, b.high.y, b.low.z},
                     {b.low.x, b.low.y, b.high.z},   {b.high.x, b.low.y, b.high.z},
                     {b.high.x, b.high.y, b.high.z}, {b.low.x, b.high.y, b.high.z}};
  const int faces[6][4] = {{0, 3, 2, 1}, {4, 5, 6, 7}, {0, 1, 5, 4},
                           {2, 3, 7, 6}, {1, 2, 6, 5}, {0, 4, 7, 3}};
  for (const auto& f : faces) {
    out.push_back({c[f[0]], c[f[1]], c[f[2]]});
    out.push_back({c[f[0]], c[f[2]], c[f[3]]});
  }
}

void tessellateCylinder(const Solid& s, std::vector<Triangle>& out) {
  const double pi = 3.14159265358979323846;
  const int n = std::max(3, s.segments);
  const double a0 = axial(s.axis, s.base), a1 = a0 + s.length;
  const double c1 = radial1(s.axis, s.base), c2 = radial2(s.axis, s.base);
  auto rim = [&](int i, double a) {
    double angle = 2 * pi * (i % n) / n;
    return alongAxis(s.axis, a, c1 + s.radius * std::cos(angle), c2 + s.radius * std::sin(angle));
  };
  const Vec3 centre0 = alongAxis(s.axis, a0, c1, c2), centre1 = alongAxis(s.axis, a1, c1, c2);
  for (int i = 0; i < n; ++i) {
    out.push_back({rim(i, a0), rim(i + 1, a0), rim(i + 1, a1)});
    out.push_back({rim(i, a0), rim(i + 1, a1), rim(i, a1)});
    if (!s.removes) {  // a hole has walls but no caps
      out.push_back({centre0, rim(i + 1, a0), rim(i, a0)});
      out.push_back({centre1, rim(i, a1), rim(i + 1, a1)});
    }
  }
}

}  // namespace

Box Solid::bounds() const {
  if (shape == Shape::Block) return block;
  // The facets, not the ideal cylinder: the body's box is made of them.
  std::vector<Triangle> facets;
  tessellateCylinder(*this, facets);
  return boxOfTriangles(facets);
}

void Solid::tessellate(std::vector<Triangle>& out) const {
  if (shape == Shape::Block)
    tessellateBlock(block, out);
  else
    tessellateCylinder(*this, out);
}

Box boxOfTriangles(const std::vector<Triangle>& triangles) {
  Box box;
  for (const Triangle& t : triangles) {
    box.include(t.a);
    box.include(t.b);
    box.include(t.c);
  }
  return box;
}

}  // namespace hostsim
