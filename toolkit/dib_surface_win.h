// A 24-bit top-down DIB section with its memory drawing context: a frame
// that portable code draws into byte by byte and GDI can copy or draw text
// on. Also loads a bitmap resource as such pixels.
#pragma once

#include <windows.h>

#include "toolkit/particles.h"

class DibSurface {
 public:
  DibSurface() = default;
  ~DibSurface() { Release(); }
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  // A black surface of the size; false when it could not be made.
  bool Create(int width, int height);
  void Release();
  bool valid() const { return bitmap_ != nullptr; }
  PixelView view() const { return {bits_, width_, height_, DibStride(width_)}; }
  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  void CopyTo(HDC target, int x = 0, int y = 0) const;

 private:
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ original_ = nullptr;
  std::uint8_t* bits_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// The bitmap resource of the executable as 24-bit pixels, row 0 at the top;
// an empty buffer when it cannot be loaded.
PixelBuffer LoadPicture(int resourceId);
