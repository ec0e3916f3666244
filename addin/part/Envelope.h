#pragma once
// The compaction envelope: one solid box, a little larger than the part,
// that swallows the part's body so the host saves a small file. Building it
// and removing it are shared by the part and the assembly commands.
#include <windows.h>

#include "host/HostObjects.h"

// Inserts the envelope into the open part `document`.
// `document` is a plain reference: the routine takes a count of its own.
// `model` is the same document, handed over: the routine owns it.
// `announce` nonzero shows the already-compacted message.
// Returns 0 when the part already carries the envelope (nothing changed),
// 1 otherwise, including when the host opened no sketch.
int BuildEnvelope(IDispatch* document, ModelDocument model, int announce);

// Deletes the envelope's extrusion, then its sketch, from the open part.
// Same ownership as BuildEnvelope. TRUE when both were found and deleted;
// FALSE when the extrusion is missing (nothing deleted) or the sketch is
// missing (the extrusion is already gone by then).
BOOL RemoveEnvelope(IDispatch* document, ModelDocument model);
