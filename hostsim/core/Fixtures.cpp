#include "core/Fixtures.h"

#include <windows.h>

#include <cmath>

#include "core/Document.h"
#include "core/Files.h"
#include "core/NumberText.h"
#include "core/Paths.h"
#include "core/Utf8.h"

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
  PartModel& part() { return part_; }

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

bool buildPartShape(const std::wstring& shape, PartModel& part) {
  PartBuilder builder;
  if (shape.empty() || shape == L"plate") plateShape(builder);
  else if (shape == L"tiny") boxShape(builder, L"0,0,0,10,10,10");
  else if (shape == L"flange" || shape == L"detailed") flangeShape(builder);
  else if (shape == L"shaft") shaftShape(builder);
  else if (shape == L"housing") housingShape(builder);
  else if (shape.rfind(L"box:", 0) != 0 || !boxShape(builder, shape.substr(4))) return false;
  part = std::move(builder.part());
  part.rebuild();
  return true;
}

bool writePartFixture(const std::wstring& path, const std::wstring& shape) {
  Document document;
  return buildPartShape(shape, document.part) && writeDocumentFile(document, path);
}

bool writeAssemblyFixture(const std::wstring& path, const std::vector<std::wstring>& children) {
  Document document;
  document.kind = kAssemblyKind;
  document.components = children;
  return writeDocumentFile(document, path);
}

TreeSummary writeAssemblyTree(const std::wstring& folderPath, const TreeRecipe& recipe) {
  TreeSummary summary;
  const size_t fanOut = recipe.fanOut < 1 ? 1 : static_cast<size_t>(recipe.fanOut);
  long long perTopChild = 1;  // part instances under one child of the top
  for (int level = 1; level < recipe.depth && perTopChild <= recipe.instances; ++level)
    perTopChild *= static_cast<long long>(fanOut);
  Document part;
  if (recipe.depth < 1 || recipe.depth > 8 || recipe.fanOut < 1 || recipe.fanOut > 1000 || recipe.uniqueParts < 1 ||
      recipe.uniqueParts > recipe.instances || recipe.instances > 10000000 || perTopChild > recipe.instances ||
      !buildPartShape(recipe.shape, part.part))
    return summary;
  std::wstring folder = fullPath(folderPath);
  if (folder.back() != L'\\') folder += L'\\';
  CreateDirectoryW(folder.c_str(), nullptr);

  // At most 500 files a folder: under Wine creating a file costs a scan of its folder.
  auto place = [&](const std::wstring& group, size_t index, const std::wstring& name) {
    const std::wstring sub = folder + group + L"-" + std::to_wstring(index / 500 + 1) + L"\\";
    if (index % 500 == 0) CreateDirectoryW(sub.c_str(), nullptr);
    return sub + name;
  };
  const std::string partBytes = serializeDocument(part);  // every part file is the same shape
  std::vector<std::wstring> below;  // the files of the level below the one being written
  for (size_t j = 0; j < static_cast<size_t>(recipe.uniqueParts); ++j) {
    below.push_back(place(L"parts", j, L"p" + std::to_wstring(j + 1) + L".SLDPRT"));
    if (!writeWholeFile(below.back(), partBytes)) return summary;
  }
  // Each sub-assembly holds fanOut files of the level below, taken in turn;
  // a level has as many files as it needs to reach every file below it.
  for (int level = recipe.depth - 1; level >= 1; --level) {
    std::vector<std::wstring> files;
    for (size_t j = 0; j * fanOut < below.size(); ++j) {
      std::vector<std::wstring> children;
      for (size_t k = 0; k < fanOut; ++k) children.push_back(below[(j * fanOut + k) % below.size()]);
      const std::wstring name = L"s" + std::to_wstring(level) + L"-" + std::to_wstring(j + 1) + L".SLDASM";
      files.push_back(place(L"level" + std::to_wstring(level), j, name));
      if (!writeAssemblyFixture(files.back(), children)) return summary;
    }
    summary.assemblyFiles += static_cast<long long>(files.size());
    below = std::move(files);
  }
  const long long topChildren = (recipe.instances + perTopChild - 1) / perTopChild;
  std::vector<std::wstring> children;
  for (long long i = 0; i < topChildren; ++i) children.push_back(below[static_cast<size_t>(i) % below.size()]);
  const std::wstring top = folder + L"top.SLDASM";
  if (!writeAssemblyFixture(top, children)) return summary;
  summary.top = top;
  summary.partFiles = recipe.uniqueParts;
  summary.assemblyFiles += 1;
  summary.partInstances = topChildren * perTopChild;
  for (long long perLevel = topChildren, level = 0; level < recipe.depth; ++level, perLevel *= recipe.fanOut)
    summary.components += perLevel;
  return summary;
}

}  // namespace hostsim
