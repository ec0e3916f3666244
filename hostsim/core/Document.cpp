#include "core/Document.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <sstream>

#include "core/Files.h"
#include "core/NumberText.h"
#include "core/Paths.h"
#include "core/Utf8.h"

namespace hostsim {

std::wstring Document::name() const { return path.empty() ? title : fileNameOfPath(path); }

namespace {

const char* planeText(PlaneOrientation plane) {
  switch (plane) {
    case PlaneOrientation::Top: return "top";
    case PlaneOrientation::Right: return "right";
    default: return "front";
  }
}

class LineWriter {
 public:
  LineWriter& word(const std::string& text) {
    if (!line_.empty()) line_ += ' ';
    line_ += text;
    return *this;
  }
  LineWriter& number(double value) { return word(formatNumberUtf8(value)); }
  LineWriter& flag(bool value) { return word(value ? "1" : "0"); }
  void end(std::string& out) {
    out += line_;
    out += '\n';
    line_.clear();
  }

 private:
  std::string line_;
};

void writeFeature(const Feature& f, std::string& out) {
  LineWriter w;
  w.word("feature").word(std::to_string(f.id)).word(toUtf8(featureKindText(f.type)));
  switch (f.type) {
    case FeatureType::RefPlane: w.word(planeText(f.plane)); break;
    case FeatureType::Sketch:
      w.word(std::to_string(f.planeId)).flag(f.open).word(std::to_string(f.lines.size()));
      for (const SketchLine& l : f.lines) w.number(l.x0).number(l.y0).number(l.x1).number(l.y1);
      break;
    case FeatureType::Extrusion:
      w.word(std::to_string(f.sketchId)).flag(f.singleDirection).flag(f.flip).flag(f.bothFlag);
      w.number(f.depth1).number(f.depth2);
      break;
    case FeatureType::Plate: {
      const Box& b = f.solid.block;
      w.number(b.low.x).number(b.low.y).number(b.low.z).number(b.high.x).number(b.high.y).number(b.high.z);
      break;
    }
    case FeatureType::Boss:
    case FeatureType::Hole: {
      const Solid& s = f.solid;
      w.word(std::string(1, s.axis)).number(s.base.x).number(s.base.y).number(s.base.z);
      w.number(s.length).number(s.radius).word(std::to_string(s.segments));
      break;
    }
  }
  w.end(out);
  out += "name " + toUtf8(f.name) + "\n";
}

void writeVertex(LineWriter& w, const Vec3& v) { w.number(v.x).number(v.y).number(v.z); }

// Reads whitespace-separated words of one line, with typed accessors that
// remember the first failure.
class LineReader {
 public:
  explicit LineReader(const std::string& line) : stream_(line) {}
  std::string word() {
    std::string w;
    if (!(stream_ >> w)) ok_ = false;
    return w;
  }
  double number() {
    double value = 0;
    if (!parseNumber(word(), value)) ok_ = false;
    return value;
  }
  int integer() {
    double value = number();
    if (value != static_cast<int>(value)) ok_ = false;
    return static_cast<int>(value);
  }
  bool flag() {
    std::string w = word();
    if (w != "0" && w != "1") ok_ = false;
    return w == "1";
  }
  bool ok() const { return ok_; }
  bool atEnd() {
    std::string rest;
    return !(stream_ >> rest);
  }

 private:
  std::istringstream stream_;
  bool ok_ = true;
};

bool readFeature(LineReader& r, Feature& f) {
  f.id = r.integer();
  FeatureType type;
  if (!featureTypeFromKindText(fromUtf8(r.word()), type)) return false;
  f.type = type;
  switch (type) {
    case FeatureType::RefPlane: {
      std::string plane = r.word();
      if (plane == "front") f.plane = PlaneOrientation::Front;
      else if (plane == "top") f.plane = PlaneOrientation::Top;
      else if (plane == "right") f.plane = PlaneOrientation::Right;
      else return false;
      break;
    }
    case FeatureType::Sketch: {
      f.planeId = r.integer();
      f.open = r.flag();
      int count = r.integer();
      if (count < 0 || count > 100000) return false;
      for (int i = 0; i < count && r.ok(); ++i) {
        SketchLine l;
        l.x0 = r.number();
        l.y0 = r.number();
        l.x1 = r.number();
        l.y1 = r.number();
        f.lines.push_back(l);
      }
      break;
    }
    case FeatureType::Extrusion:
      f.sketchId = r.integer();
      f.singleDirection = r.flag();
      f.flip = r.flag();
      f.bothFlag = r.flag();
      f.depth1 = r.number();
      f.depth2 = r.number();
      break;
    case FeatureType::Plate: {
      f.solid.shape = Solid::Shape::Block;
      Vec3 a{r.number(), r.number(), r.number()};
      Vec3 b{r.number(), r.number(), r.number()};
      f.solid.block.include(a);
      f.solid.block.include(b);
      break;
    }
    case FeatureType::Boss:
    case FeatureType::Hole: {
      std::string axis = r.word();
      if (axis != "x" && axis != "y" && axis != "z") return false;
      f.solid.shape = Solid::Shape::Cylinder;
      f.solid.axis = axis[0];
      f.solid.base.x = r.number();
      f.solid.base.y = r.number();
      f.solid.base.z = r.number();
      f.solid.length = r.number();
      f.solid.radius = r.number();
      f.solid.segments = r.integer();
      if (f.solid.segments < 3 || f.solid.segments > 100000) return false;
      break;
    }
  }
  return r.ok() && r.atEnd();
}

// Reads the file through the handle: its first line alone when a kind is
// asked for and the line names another (a part is told from an assembly
// without reading its body).
long readThrough(HANDLE file, std::string& bytes, const char* wantedHeader) {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file, &size) || size.QuadPart >= (1LL << 30)) return kOpenFileCorrupt;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  size_t done = 0;
  if (wantedHeader) {
    DWORD read = 0;
    const DWORD first = static_cast<DWORD>(std::min<size_t>(bytes.size(), 64));
    if (!ReadFile(file, bytes.data(), first, &read, nullptr) || read != first) return kOpenFileCorrupt;
    if (bytes.compare(0, std::strlen(wantedHeader), wantedHeader) != 0) return kOpenKindMismatch;
    done = first;
  }
  DWORD read = 0;
  const DWORD rest = static_cast<DWORD>(bytes.size() - done);
  if (rest > 0 && (!ReadFile(file, bytes.data() + done, rest, &read, nullptr) || read != rest)) return kOpenFileCorrupt;
  return 0;
}

std::vector<std::string> splitLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

bool parsePart(const std::vector<std::string>& lines, Document& document) {
  std::vector<Feature> features;
  Body body;
  size_t i = 1;
  for (; i < lines.size() && lines[i].rfind("feature ", 0) == 0; ++i) {
    LineReader r(lines[i]);
    r.word();
    Feature f;
    if (!readFeature(r, f)) return false;
    if (++i >= lines.size() || lines[i].rfind("name ", 0) != 0) return false;
    f.name = fromUtf8(lines[i].substr(5));
    features.push_back(std::move(f));
  }
  if (i >= lines.size() || lines[i].rfind("body ", 0) != 0) return false;
  LineReader header(lines[i]);
  header.word();
  int count = header.integer();
  if (!header.ok() || count < 0 || static_cast<size_t>(count) > lines.size()) return false;
  for (int t = 0; t < count; ++t) {
    if (++i >= lines.size()) return false;
    LineReader r(lines[i]);
    if (r.word() != "t") return false;
    Triangle tri{{r.number(), r.number(), r.number()}, {r.number(), r.number(), r.number()},
                 {r.number(), r.number(), r.number()}};
    if (!r.ok() || !r.atEnd()) return false;
    body.triangles.push_back(tri);
  }
  if (++i >= lines.size() || lines[i] != "end") return false;
  document.kind = kPartKind;
  document.part.setFeatures(std::move(features));
  document.part.setBody(std::move(body));
  return true;
}

const char* const kNoConfiguration = "answer ActiveConfiguration null";
const char* const kNoRootComponent = "answer GetRootComponent null";
const char* const kEmptyChildrenArray = "answer ComponentChildren empty-array";

bool parseAssembly(const std::vector<std::string>& lines, Document& document) {
  std::vector<std::wstring> components;
  AssemblyAnswers answers;
  size_t i = 1;
  for (; i < lines.size() && lines[i] != "end"; ++i) {
    const std::string& line = lines[i];
    if (line.rfind("component ", 0) == 0 && line.size() > 10) components.push_back(fromUtf8(line.substr(10)));
    else if (line == kNoConfiguration) answers.noConfiguration = true;
    else if (line == kNoRootComponent) answers.noRootComponent = true;
    else if (line == kEmptyChildrenArray) answers.emptyChildrenArray = true;
    else return false;
  }
  if (i + 1 != lines.size()) return false;  // "end" is the last line
  document.kind = kAssemblyKind;
  document.components = std::move(components);
  document.answers = answers;
  return true;
}

}  // namespace

std::string serializeDocument(const Document& document) {
  std::string out;
  if (document.kind == kAssemblyKind) {
    out += "hostsim assembly 1\n";
    const AssemblyAnswers& a = document.answers;
    if (a.noConfiguration) out += std::string(kNoConfiguration) + "\n";
    if (a.noRootComponent) out += std::string(kNoRootComponent) + "\n";
    if (a.emptyChildrenArray) out += std::string(kEmptyChildrenArray) + "\n";
    for (const std::wstring& c : document.components) out += "component " + toUtf8(c) + "\n";
    out += "end\n";
    return out;
  }
  out += "hostsim part 1\n";
  for (const Feature& f : document.part.features()) writeFeature(f, out);
  const Body& body = document.part.body();
  out += "body " + std::to_string(body.triangles.size()) + "\n";
  for (const Triangle& t : body.triangles) {
    LineWriter w;
    w.word("t");
    writeVertex(w, t.a);
    writeVertex(w, t.b);
    writeVertex(w, t.c);
    w.end(out);
  }
  out += "end\n";
  return out;
}

bool writeDocumentFile(const Document& document, const std::wstring& path) {
  std::string bytes = serializeDocument(document);
  return writeWholeFile(path, bytes);
}

long readDocumentFile(const std::wstring& path, Document& document, FileHold* hold, long onlyKind) {
  if (path.empty()) return kOpenFileMissing;
  FileHold own;
  FileHold& file = hold ? *hold : own;
  if (file.take(path, hold ? 0 : FILE_SHARE_READ) != 0)
    return GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? kOpenFileMissing : kOpenFileUnreadable;
  const char* header = onlyKind == kPartKind ? "hostsim part 1\n" : onlyKind == kAssemblyKind ? "hostsim assembly 1\n" : nullptr;
  std::string bytes;
  long error = readThrough(static_cast<HANDLE>(file.handle()), bytes, header);
  std::vector<std::string> lines = splitLines(bytes);
  Document loaded;
  loaded.path = path;
  if (error == 0 && !lines.empty()) {
    bool ok = false;
    if (lines[0] == "hostsim part 1") ok = parsePart(lines, loaded);
    else if (lines[0] == "hostsim assembly 1") ok = parseAssembly(lines, loaded);
    error = ok ? 0 : kOpenFileCorrupt;
  } else if (error == 0) {
    error = kOpenFileCorrupt;
  }
  if (error != 0) {
    file.release();
    return error;
  }
  loaded.hold = std::move(document.hold);  // a caller's hold stays where the caller keeps it
  document = std::move(loaded);
  return 0;
}

}  // namespace hostsim
