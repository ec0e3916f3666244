// A picture of a part's body: its triangles seen from the right, the front
// and above, each shaded by how squarely it faces the light, each pixel
// showing the nearest one. The pixels are computed here (no 3-D library) and
// shown through GDI; the main window and the script's `picture` command draw
// the same picture.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "core/Geometry.h"

namespace hostsim {

// "NAME - N triangles", NAME being the file name of the path (or the name of
// a document never saved): the caption of both pictures.
std::wstring bodyCaption(const std::wstring& path, size_t triangleCount);

// Fills the area with white and draws the body scaled to fit it, with the
// caption in its top-left corner.
void drawBody(HDC dc, const RECT& area, const std::vector<Triangle>& triangles, const std::wstring& caption);

// The same picture, width x height pixels, written as a PNG file through
// the Windows Imaging Component. False when it could not be written.
bool writeBodyPicture(const std::wstring& pngPath, int width, int height, const std::vector<Triangle>& triangles,
                      const std::wstring& caption);

}  // namespace hostsim
