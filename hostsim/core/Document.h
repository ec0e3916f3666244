// A document as the simulator holds it, and its file format.
//
// Files are UTF-8 text, one record a line:
//   hostsim part 1                      | hostsim assembly 1
//   feature ID KIND PARAMS...           | component FULL-PATH
//   name NAME                           | end
//   ...
//   body TRIANGLE-COUNT
//   t x y z x y z x y z                 (one line a triangle)
//   end
// Feature parameters by kind:
//   RefPlane       front|top|right
//   ProfileFeature PLANE-ID OPEN(0|1) LINE-COUNT then x0 y0 x1 y1 per line
//   Extrusion      SKETCH-ID SINGLE(0|1) FLIP(0|1) BOTH(0|1) DEPTH1 DEPTH2
//   Plate          x0 y0 z0 x1 y1 z1
//   Boss, Hole     AXIS(x|y|z) CX CY CZ LENGTH RADIUS SEGMENTS
// The body is the cached tessellation of the last rebuild, so a detailed part
// is large on disk and a part whose body is one box is small.
#pragma once

#include <string>
#include <vector>

#include "PartModel.h"

namespace hostsim {

constexpr long kPartKind = 1;
constexpr long kAssemblyKind = 2;

// Error codes of opening a document (0 is success).
constexpr long kOpenFileMissing = 2;
constexpr long kOpenFileCorrupt = 3;
constexpr long kOpenKindMismatch = 4;

struct Document {
  long kind = kPartKind;
  std::wstring path;
  PartModel part;                       // parts
  std::vector<std::wstring> components; // assemblies: top-level component files as stored

  std::wstring name() const;  // the file name with extension
};

std::string serializeDocument(const Document& document);
bool writeDocumentFile(const Document& document, const std::wstring& path);
// Reads a document file; returns 0 or kOpenFileMissing / kOpenFileCorrupt.
long readDocumentFile(const std::wstring& path, Document& document);

// A component stands for the file of its name beside the assembly when the
// assembly's folder holds one, and for its stored path otherwise.
std::wstring resolveComponentPath(const std::wstring& assemblyPath, const std::wstring& storedPath);

}  // namespace hostsim
