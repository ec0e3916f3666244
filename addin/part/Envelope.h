#pragma once
// The compaction envelope: one solid box, a little larger than the part,
// that swallows the part's body so the host saves a small file. A sketch
// and its extrusion carry fixed marker names, by which decompaction finds
// and deletes them again. Building and removing it are shared by the part
// and the assembly commands, which tell the user what came of it.
#include <functional>

#include "host/HostObjects.h"

namespace zelm {

// The sketch that holds the envelope's rectangle, and the extrusion of that
// sketch, whose presence is what "compacted" means; with the selection types
// under which the host finds them.
inline constexpr wchar_t kEnvelopeSketchName[] = L"Esq_KMTV_Compact001";
inline constexpr wchar_t kEnvelopeSketchType[] = L"SKETCH";
inline constexpr wchar_t kEnvelopeExtrusionName[] = L"BEx_KMTV_Compact001";
inline constexpr wchar_t kEnvelopeExtrusionType[] = L"BODYFEATURE";

// How far the envelope reaches past the part's box, in the host's model
// length unit: enough for the box to swallow the body, no more.
inline constexpr double kEnvelopeMargin = 0.001;

// What inserting the envelope came to.
enum class EnvelopeOutcome {
  AlreadyCompacted,  // the part carries the marker extrusion: nothing changed
  Built,             // the sketch and its extrusion, each under its marker name
  NoSketch,          // the host opened no sketch: nothing was drawn
  Unnamed,           // built, but the host left a feature without its marker
                     // name: decompaction would not find it
};

// No sketch, or a marker without its name: decompaction would not find the
// envelope.
inline bool LeavesEnvelopeIncomplete(EnvelopeOutcome outcome) {
  return outcome == EnvelopeOutcome::NoSketch || outcome == EnvelopeOutcome::Unnamed;
}

// Inserts the envelope into the open part `document`. `lineRefused` is
// called for each side of the rectangle the host refuses to draw, as it
// refuses it; the other sides are drawn all the same.
EnvelopeOutcome BuildEnvelope(const ModelDocument& document, const std::function<void()>& lineRefused);

// Deletes the envelope's extrusion, then its sketch, from the open part. True
// when both were found and deleted; false when the extrusion is missing
// (nothing deleted) or the sketch is missing (the extrusion is already gone
// by then).
bool RemoveEnvelope(const ModelDocument& document);

}  // namespace zelm
