// The little geometry the simulator needs: axis-aligned boxes, the two kinds
// of primitive solid its features make (blocks and cylinders), and their
// tessellation into triangles.
#pragma once

#include <vector>

namespace hostsim {

struct Vec3 {
  double x = 0, y = 0, z = 0;
};

struct Box {
  Vec3 low, high;
  bool empty = true;

  void include(const Vec3& point);
  void include(const Box& other);
  bool encloses(const Box& other) const;  // other lies inside or on the faces
};

struct Triangle {
  Vec3 a, b, c;
};

// A block or a cylinder along one world axis. A removing solid (a hole) takes
// material away; its tessellation is the wall it leaves behind.
struct Solid {
  enum class Shape { Block, Cylinder };
  Shape shape = Shape::Block;
  bool removes = false;
  Box block;             // Block: its extent
  char axis = 'z';       // Cylinder: 'x', 'y' or 'z'
  Vec3 base;             // Cylinder: centre of the first cap
  double length = 0;     // Cylinder: signed length along the axis
  double radius = 0;
  int segments = 32;     // Cylinder: facets around the axis

  Box bounds() const;
  void tessellate(std::vector<Triangle>& out) const;
};

Box boxOfTriangles(const std::vector<Triangle>& triangles);

}  // namespace hostsim
