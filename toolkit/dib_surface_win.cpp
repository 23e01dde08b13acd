#include "toolkit/dib_surface_win.h"

namespace {

BITMAPINFO TopDown24(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

bool DibSurface::Create(int width, int height) {
  Release();
  if (width <= 0 || height <= 0) {
    return false;
  }
  dc_ = CreateCompatibleDC(nullptr);
  BITMAPINFO info = TopDown24(width, height);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) {
    Release();
    return false;
  }
  original_ = SelectObject(dc_, bitmap_);
  bits_ = static_cast<std::uint8_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

void DibSurface::Release() {
  if (dc_ && original_) {
    SelectObject(dc_, original_);
  }
  if (bitmap_) {
    DeleteObject(bitmap_);
  }
  if (dc_) {
    DeleteDC(dc_);
  }
  dc_ = nullptr;
  bitmap_ = nullptr;
  original_ = nullptr;
  bits_ = nullptr;
  width_ = 0;
  height_ = 0;
}

void DibSurface::CopyTo(HDC target, int x, int y) const {
  if (valid()) {
    BitBlt(target, x, y, width_, height_, dc_, 0, 0, SRCCOPY);
  }
}

PixelBuffer LoadPicture(int resourceId) {
  HBITMAP loaded =
      static_cast<HBITMAP>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resourceId),
                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!loaded) {
    return {};
  }
  BITMAP shape{};
  GetObjectW(loaded, sizeof(shape), &shape);
  PixelBuffer picture(shape.bmWidth, shape.bmHeight);
  BITMAPINFO info = TopDown24(shape.bmWidth, shape.bmHeight);
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, loaded, 0, static_cast<UINT>(shape.bmHeight),
                             picture.view().bits, &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(loaded);
  return rows == shape.bmHeight ? std::move(picture) : PixelBuffer();
}
