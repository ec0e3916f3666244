#pragma once
// The names that mark a compacted part, and the selection types under which
// the host finds them. Compaction writes them, decompaction looks for them,
// so both sides read them from here.

// The sketch that holds the envelope's rectangle.
inline constexpr wchar_t kEnvelopeSketchName[] = L"Esq_KMTV_Compact001";
inline constexpr wchar_t kEnvelopeSketchType[] = L"SKETCH";

// The extrusion of that sketch: its presence is what "compacted" means.
inline constexpr wchar_t kEnvelopeExtrusionName[] = L"BEx_KMTV_Compact001";
inline constexpr wchar_t kEnvelopeExtrusionType[] = L"BODYFEATURE";

// The plane the envelope is sketched on is selected under its own name.
inline constexpr wchar_t kReferencePlaneType[] = L"PLANE";
inline constexpr wchar_t kReferencePlaneKind[] = L"RefPlane";

// How far the envelope reaches past the part's box, in the host's model
// length unit: enough for the box to swallow the body, no more.
inline constexpr double envelopeMargin = 0.001;
