// A document as the simulator holds it, and its file format.
//
// Files are UTF-8 text, one record a line:
//   hostsim part 1                      | hostsim assembly 1
//   feature ID KIND PARAMS...           | answer OPERATION VALUE  (optional, below)
//   name NAME                           | component PATH
//   ...                                 | end
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
// An assembly's answer records give the empty answers a host can give:
//   answer ActiveConfiguration null     the document has no active configuration
//   answer GetRootComponent null        its configuration has no root component
//   answer ComponentChildren empty-array  a component of this file without
//                                       children answers an empty array, not VT_EMPTY
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "core/Files.h"
#include "core/PartModel.h"

namespace hostsim {

constexpr long kPartKind = 1;
constexpr long kAssemblyKind = 2;

// Error codes of opening a document (0 is success).
constexpr long kOpenRefused = 1;         // a planned refusal (see CallLog.h)
constexpr long kOpenFileMissing = 2;     // no such file (an empty path included)
constexpr long kOpenFileCorrupt = 3;     // not a document of this format
constexpr long kOpenKindMismatch = 4;    // a document of another kind than asked
constexpr long kOpenFileUnreadable = 5;  // exists but cannot be opened: held without sharing, access denied, a folder
constexpr long kOpenBadKind = 6;         // asked for a kind other than 1 and 2

struct AssemblyAnswers {
  bool noConfiguration = false;     // answer ActiveConfiguration null
  bool noRootComponent = false;     // answer GetRootComponent null
  bool emptyChildrenArray = false;  // answer ComponentChildren empty-array
};

// A component of a loaded assembly tree: the full path of its file, resolved.
struct Component {
  std::wstring path;
  std::vector<std::shared_ptr<const Component>> children;
  bool emptyArray = false;  // without children it answers an empty array (its file's answer record)
};

struct Document {
  long kind = kPartKind;
  std::wstring path;   // empty for a document never saved
  std::wstring title;  // the name of a document never saved
  PartModel part;                        // parts
  std::vector<std::wstring> components;  // assemblies: top-level component files as stored
  AssemblyAnswers answers;               // assemblies
  std::shared_ptr<const Component> tree;  // assemblies: loaded when the document is opened
  bool closed = false;  // its automation objects fail every call from then on
  FileHold hold;        // the file, held while the document is open

  std::wstring name() const;  // the file name with extension, or the title
};

std::string serializeDocument(const Document& document);
bool writeDocumentFile(const Document& document, const std::wstring& path);
// Reads a document file; returns 0 or an error code above. With a hold, the
// file is read through it and stays held, shared with no one, on success. With a kind, a file of
// another kind answers kOpenKindMismatch after its first line.
long readDocumentFile(const std::wstring& path, Document& document, FileHold* hold = nullptr, long onlyKind = 0);

}  // namespace hostsim
