#include "Fixtures.h"

#include <cmath>

#include "Document.h"
#include "Text.h"

namespace hostsim {

namespace {

class PartBuilder {
 public:
  PartBuilder() : part_(PartModel::withReferencePlanes()) {}

  void plate(const wchar_t* name, Vec3 low, Vec3 high) {
    Feature f;
    f.type = FeatureType::Plate;
    f.name = part_.uniqueName(name);
    f.solid.shape = Solid::Shape::Block;
    f.solid.block.include(low);
    f.solid.block.include(high);
    part_.add(std::move(f));
  }
  void cylinder(FeatureType type, const wchar_t* name, char axis, Vec3 base, double length, double radius,
                int segments) {
    Feature f;
    f.type = type;
    f.name = part_.uniqueName(name);
    f.solid.shape = Solid::Shape::Cylinder;
    f.solid.axis = axis;
    f.solid.base = base;
    f.solid.length = length;
    f.solid.radius = radius;
    f.solid.segments = segments;
    part_.add(std::move(f));
  }
  void boss(const wchar_t* name, char axis, Vec3 base, double length, double radius, int segments) {
    cylinder(FeatureType::Boss, name, axis, base, length, radius, segments);
  }
  void hole(const wchar_t* name, char axis, Vec3 base, double length, double radius, int segments) {
    cylinder(FeatureType::Hole, name, axis, base, length, radius, segments);
  }
  bool write(const std::wstring& path) {
    part_.rebuild();
    Document document;
    document.kind = kPartKind;
    document.path = path;
    document.part = part_;
    return writeDocumentFile(document, path);
  }

 private:
  PartModel part_;
};

void plateShape(PartBuilder& b) {
  b.plate(L"Plaque", {-50, -30, 0}, {50, 30, 10});
  const double corners[4][2] = {{-40, -20}, {40, -20}, {40, 20}, {-40, 20}};
  for (const auto& c : corners) b.hole(L"Perçage", 'z', {c[0], c[1], 0}, 10, 4, 24);
}

void flangeShape(PartBuilder& b) {
  const double pi = 3.14159265358979323846;
  b.boss(L"Disque", 'z', {0, 0, 0}, 12, 60, 96);
  b.boss(L"Moyeu", 'z', {0, 0, 12}, 30, 30, 96);
  b.hole(L"Alésage", 'z', {0, 0, 0}, 42, 15, 64);
  for (int i = 0; i < 8; ++i) {
    double angle = 2 * pi * i / 8;
    b.hole(L"Trou de boulon", 'z', {45 * std::cos(angle), 45 * std::sin(angle), 0}, 12, 5, 32);
  }
}

void shaftShape(PartBuilder& b) {
  const double steps[][2] = {{40, 10}, {60, 15}, {80, 20}, {60, 15}, {40, 10}};  // length, radius
  double x = -140;
  for (const auto& step : steps) {
    b.boss(L"Portée", 'x', {x, 0, 0}, step[0], step[1], 64);
    x += step[0];
  }
  b.hole(L"Centre", 'x', {-140, 0, 0}, 8, 2, 24);
  b.hole(L"Centre", 'x', {140, 0, 0}, -8, 2, 24);
  b.plate(L"Clavette", {-20, -4, 17}, {20, 4, 23});
}

void housingShape(PartBuilder& b) {
  b.plate(L"Corps", {-60, -45, -30}, {60, 45, 30});
  const double corners[4][2] = {{-60, -45}, {60, -45}, {60, 45}, {-60, 45}};
  for (const auto& c : corners) b.boss(L"Bossage", 'z', {c[0], c[1], -30}, 60, 10, 48);
  b.hole(L"Alésage", 'y', {0, -45, 0}, 90, 25, 96);
  for (const auto& c : corners) b.hole(L"Taraudage", 'z', {c[0], c[1], -30}, 60, 4, 32);
  b.plate(L"Semelle", {-75, -55, -40}, {75, 55, -30});
}

bool boxShape(PartBuilder& b, const std::wstring& corners) {
  double v[6];
  size_t start = 0;
  for (int i = 0; i < 6; ++i) {
    size_t comma = corners.find(L',', start);
    if ((comma == std::wstring::npos) != (i == 5)) return false;
    std::wstring piece = corners.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
    if (!parseNumber(toUtf8(piece), v[i])) return false;
    start = comma + 1;
  }
  if (!(v[0] < v[3] && v[1] < v[4] && v[2] < v[5])) return false;
  b.plate(L"Bloc", {v[0], v[1], v[2]}, {v[3], v[4], v[5]});
  return true;
}

}  // namespace

bool writePartFixture(const std::wstring& path, const std::wstring& shape) {
  PartBuilder builder;
  if (shape.empty() || shape == L"plate") plateShape(builder);
  else if (shape == L"flange") flangeShape(builder);
  else if (shape == L"shaft") shaftShape(builder);
  else if (shape == L"housing") housingShape(builder);
  else if (shape.rfind(L"box:", 0) == 0) {
    if (!boxShape(builder, shape.substr(4))) return false;
  } else return false;
  return builder.write(path);
}

bool writeAssemblyFixture(const std::wstring& path, const std::vector<std::wstring>& children) {
  Document document;
  document.kind = kAssemblyKind;
  document.path = path;
  document.components = children;
  return writeDocumentFile(document, path);
}

}  // namespace hostsim
