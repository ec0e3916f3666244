#include "app/BodyPicture.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "app/PngFile.h"
#include "core/Paths.h"

namespace hostsim {

namespace {

constexpr int kMargin = 12;
constexpr int kCaptionHeight = 20;
constexpr int kSamples = 2;  // per pixel and axis: smooth edges
constexpr uint32_t kWhite = 0xFFFFFF;

Vec3 minus(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 cross(const Vec3& a, const Vec3& b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
Vec3 unit(const Vec3& v) {
  const double length = std::sqrt(dot(v, v));
  return length > 0 ? Vec3{v.x / length, v.y / length, v.z / length} : Vec3{};
}

// The eye looks from the right, the front and above (z up), as an isometric
// drawing does; the light comes from a little left of the eye.
const Vec3 kEye = unit({1, -1, 1});
const Vec3 kRight = unit({1, 1, 0});
const Vec3 kUp = unit({-1, 1, 2});
const Vec3 kLight = unit({0.4, -1, 1.2});

// 0xRRGGBB, as a 32-bit DIB stores a pixel.
uint32_t shade(const Triangle& t) {
  // Two-sided: the tessellation does not promise outward normals.
  const double facing = std::fabs(dot(unit(cross(minus(t.b, t.a), minus(t.c, t.a))), kLight));
  const double light = 0.3 + 0.7 * facing;
  return static_cast<uint32_t>(70 * light) << 16 | static_cast<uint32_t>(120 * light) << 8 |
         static_cast<uint32_t>(185 * light);
}

// The triangles projected onto a width x height raster, scaled to fit below
// the caption; each pixel keeps the nearest triangle (a depth buffer), so
// hidden faces stay hidden whatever the order of the triangles.
std::vector<uint32_t> rasterize(const std::vector<Triangle>& triangles, int width, int height) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, kWhite);
  if (triangles.empty()) return pixels;
  double left = 1e300, right = -1e300, bottom = 1e300, top = -1e300;
  for (const Triangle& t : triangles)
    for (const Vec3* p : {&t.a, &t.b, &t.c}) {
      left = std::min(left, dot(*p, kRight));
      right = std::max(right, dot(*p, kRight));
      bottom = std::min(bottom, dot(*p, kUp));
      top = std::max(top, dot(*p, kUp));
    }
  const double margin = kMargin * kSamples, drawTop = (kCaptionHeight + kMargin) * kSamples;
  const double scale = std::min((width - 2 * margin) / std::max(right - left, 1e-9),
                                (height - margin - drawTop) / std::max(top - bottom, 1e-9));
  const double originX = width / 2.0 - scale * (left + right) / 2;
  const double originY = (drawTop + height - margin) / 2 + scale * (bottom + top) / 2;

  std::vector<double> nearest(pixels.size(), -1e300);
  for (const Triangle& t : triangles) {
    double x[3], y[3], depth[3];
    const Vec3* vertices[3] = {&t.a, &t.b, &t.c};
    for (int i = 0; i < 3; ++i) {
      x[i] = originX + scale * dot(*vertices[i], kRight);
      y[i] = originY - scale * dot(*vertices[i], kUp);
      depth[i] = dot(*vertices[i], kEye);  // larger is nearer
    }
    const double area = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
    if (std::fabs(area) < 1e-12) continue;  // seen edge-on
    const uint32_t color = shade(t);
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({x[0], x[1], x[2]}))));
    const int x1 = std::min(width - 1, static_cast<int>(std::ceil(std::max({x[0], x[1], x[2]}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({y[0], y[1], y[2]}))));
    const int y1 = std::min(height - 1, static_cast<int>(std::ceil(std::max({y[0], y[1], y[2]}))));
    // The barycentric weight of corner i at a pixel centre, a + b x + c y:
    // the signed area of the opposite edge and the centre, over the whole.
    double a[3], b[3], c[3];
    for (int i = 0; i < 3; ++i) {
      const int j = (i + 1) % 3, k = (i + 2) % 3;
      b[i] = -(y[k] - y[j]) / area;
      c[i] = (x[k] - x[j]) / area;
      a[i] = -(b[i] * x[j] + c[i] * y[j]);
    }
    for (int py = y0; py <= y1; ++py) {
      const double cy = py + 0.5;
      for (int px = x0; px <= x1; ++px) {
        const double cx = px + 0.5;
        const double w0 = a[0] + b[0] * cx + c[0] * cy, w1 = a[1] + b[1] * cx + c[1] * cy;
        const double w2 = 1 - w0 - w1;
        if (w0 < 0 || w1 < 0 || w2 < 0) continue;
        const double d = w0 * depth[0] + w1 * depth[1] + w2 * depth[2];
        const size_t at = static_cast<size_t>(py) * width + px;
        if (d <= nearest[at]) continue;
        nearest[at] = d;
        pixels[at] = color;
      }
    }
  }
  return pixels;
}

// The picture in a top-down 32-bit DIB selected into a new memory DC; the
// caller deletes both.
HBITMAP renderPicture(HDC memory, int width, int height, const std::vector<Triangle>& triangles,
                      const std::wstring& caption, uint32_t*& bits) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* raw = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
  if (!bitmap) return nullptr;
  bits = static_cast<uint32_t*>(raw);
  // Each pixel the mean of its kSamples x kSamples samples.
  const std::vector<uint32_t> samples = rasterize(triangles, width * kSamples, height * kSamples);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint32_t sum[3] = {};
      for (int sy = 0; sy < kSamples; ++sy)
        for (int sx = 0; sx < kSamples; ++sx) {
          const uint32_t s = samples[static_cast<size_t>(y * kSamples + sy) * width * kSamples + x * kSamples + sx];
          for (int c = 0; c < 3; ++c) sum[c] += (s >> (8 * c)) & 0xFF;
        }
      uint32_t pixel = 0;
      for (int c = 0; c < 3; ++c) pixel |= (sum[c] / (kSamples * kSamples)) << (8 * c);
      bits[static_cast<size_t>(y) * width + x] = pixel;
    }
  SelectObject(memory, bitmap);
  SelectObject(memory, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(memory, TRANSPARENT);
  SetTextColor(memory, RGB(40, 40, 40));
  RECT text{kMargin / 2, kMargin / 2, width, kMargin / 2 + kCaptionHeight};
  DrawTextW(memory, caption.c_str(), static_cast<int>(caption.size()), &text, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX);
  GdiFlush();
  return bitmap;
}

}  // namespace

std::wstring bodyCaption(const std::wstring& path, size_t triangleCount) {
  return fileNameOfPath(path) + L" - " + std::to_wstring(triangleCount) + L" triangles";
}

void drawBody(HDC dc, const RECT& area, const std::vector<Triangle>& triangles, const std::wstring& caption) {
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  HDC memory = CreateCompatibleDC(dc);
  const int savedState = SaveDC(memory);
  uint32_t* bits = nullptr;
  if (HBITMAP bitmap = renderPicture(memory, width, height, triangles, caption, bits)) {
    BitBlt(dc, area.left, area.top, width, height, memory, 0, 0, SRCCOPY);
    RestoreDC(memory, savedState);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
}

bool writeBodyPicture(const std::wstring& pngPath, int width, int height, const std::vector<Triangle>& triangles,
                      const std::wstring& caption) {
  HDC memory = CreateCompatibleDC(nullptr);
  const int savedState = SaveDC(memory);
  uint32_t* bits = nullptr;
  HBITMAP bitmap = renderPicture(memory, width, height, triangles, caption, bits);
  const bool written = bitmap && writePng(pngPath, width, height, bits);
  RestoreDC(memory, savedState);
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  return written;
}

}  // namespace hostsim
