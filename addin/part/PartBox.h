#pragma once
// The part's bounding box as the host reports it, and the rectangle and
// extrusion of the envelope that encloses it.
#include "host/HostObjects.h"

// b0..b2: the low corner (x, y, z); b3..b5: the high corner. x and y are
// the sketch's axes, z the direction of the extrusion.
struct PartBox {
  double b0, b1, b2, b3, b4, b5;
};

// A point of the envelope's sketch.
struct SketchPoint {
  double x, y;
};

// Reads the part's box from the host. An answer that is not an array of at
// least six numbers from index 0 fails like a host call (HostCallError):
// reading past a short array would read memory that is not there.
PartBox ReadPartBox(const PartDocument& part);

// The four corners of the envelope's rectangle: the box's x/y extent widened
// by envelopeMargin on every side.
SketchPoint EnvelopeLowLow(const PartBox& box);
SketchPoint EnvelopeLowHigh(const PartBox& box);
SketchPoint EnvelopeHighLow(const PartBox& box);
SketchPoint EnvelopeHighHigh(const PartBox& box);

// The fifteen ExtrudeSketch values that make the rectangle into a box
// reaching past the part on both sides of the sketch plane.
ExtrusionValues EnvelopeExtrusion(const PartBox& box);
