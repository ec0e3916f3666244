#pragma once
// The steps BuildEnvelope is made of, each one a few host calls.
#include <windows.h>

#include <string_view>

#include "host/HostObjects.h"
#include "part/PartBox.h"

// Selects, under the type "PLANE", the reference plane with that ordinal
// (from 1, in feature order). Returns the selection's result, or TRUE
// without selecting anything when the part has fewer planes.
BOOL SelectReferencePlane(const ModelDocument& model, const PartDocument& part, long ordinal);

// Draws one line of the open sketch; shows the refused-line message when
// the host does not make it. Returns whether it did.
BOOL DrawSketchLine(const ModelDocument& model, SketchPoint start, SketchPoint end);

// Gives `name` to the selected object when exactly one is selected; with
// any other selection nothing is named. Always returns 1.
int RenameSelected(const ModelDocument& model, std::wstring_view name);
