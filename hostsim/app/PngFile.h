// Pixels written as a PNG file through the Windows Imaging Component: the
// body pictures and the picture of a window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace hostsim {

// `bits`: width x height pixels, top row first, 32 bits a pixel (0xRRGGBB,
// as a top-down 32-bit DIB holds them). False when it could not be written.
bool writePng(const std::wstring& pngPath, int width, int height, const uint32_t* bits);

// The window as it is on the screen now, frame included, drawn first (its
// own thread paints it before this returns): what a screenshot shows, so a
// window above it would show too.
bool writeWindowPicture(const std::wstring& pngPath, HWND window);

}  // namespace hostsim
