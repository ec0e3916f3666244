#include "app/PngFile.h"

#include <wincodec.h>

#include "ComRef.h"

namespace hostsim {

bool writePng(const std::wstring& pngPath, int width, int height, const uint32_t* bits) {
  const UINT stride = static_cast<UINT>(width) * 4;
  ComRef<IWICImagingFactory> factory;
  ComRef<IWICBitmap> source;
  ComRef<IWICStream> stream;
  ComRef<IWICBitmapEncoder> encoder;
  ComRef<IWICBitmapFrameEncode> frame;
  return bits &&
         SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                    __uuidof(IWICImagingFactory), factory.PutVoid())) &&
         SUCCEEDED(factory->CreateBitmapFromMemory(
             static_cast<UINT>(width), static_cast<UINT>(height), GUID_WICPixelFormat32bppBGR, stride,
             stride * static_cast<UINT>(height), const_cast<BYTE*>(reinterpret_cast<const BYTE*>(bits)), source.Put())) &&
         SUCCEEDED(factory->CreateStream(stream.Put())) &&
         SUCCEEDED(stream->InitializeFromFilename(pngPath.c_str(), GENERIC_WRITE)) &&
         SUCCEEDED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Put())) &&
         SUCCEEDED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache)) &&
         SUCCEEDED(encoder->CreateNewFrame(frame.Put(), nullptr)) && SUCCEEDED(frame->Initialize(nullptr)) &&
         SUCCEEDED(frame->WriteSource(source.Get(), nullptr)) && SUCCEEDED(frame->Commit()) &&
         SUCCEEDED(encoder->Commit());
}

bool writeWindowPicture(const std::wstring& pngPath, HWND window) {
  // RDW_UPDATENOW sends the paint messages to the window's thread and waits.
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT frame{};
  if (!GetWindowRect(window, &frame)) return false;
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool written = false;
  if (bitmap) {
    HGDIOBJ before = SelectObject(memory, bitmap);
    written = BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY) && GdiFlush() &&
              writePng(pngPath, width, height, static_cast<const uint32_t*>(bits));
    SelectObject(memory, before);
    DeleteObject(bitmap);
  }
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return written;
}

}  // namespace hostsim
