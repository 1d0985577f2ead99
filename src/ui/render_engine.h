// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Bitmaps with pixel access (the lighting page recolours key images) and image loading.

#include <cstdint>
#include <optional>
#include <vector>

#include "ui/dui_string.h"

namespace DuiLib {

// 32-bit pixels, 0xAARRGGBB, not premultiplied, rows top to bottom.
class CBitmap {
 public:
  CBitmap() = default;
  CBitmap(int width, int height, std::uint32_t fill = 0);
  int GetWidth() const { return width_; }
  int GetHeight() const { return height_; }
  bool IsNull() const { return width_ <= 0 || height_ <= 0; }
  // Out-of-range coordinates read 0 and write nothing.
  std::uint32_t GetPixel(int x, int y) const;
  void SetPixel(int x, int y, std::uint32_t argb);
  std::uint32_t* Bits() { return pixels_.data(); }
  const std::uint32_t* Bits() const { return pixels_.data(); }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<std::uint32_t> pixels_;
};

class CRenderEngine {
 public:
  // Loads the image an image-syntax text names ("skins/a.png", "file='a.png' corner=...",
  // "res='a.png' ..."): a named in-memory image first, else the file under the resource
  // path (or an absolute path). Empty when it cannot be read.
  static std::optional<CBitmap> GdiplusLoadBitmap(const CDuiString& image);
  // The file (or in-memory name) part of an image-syntax text.
  static CDuiString ImageFileOf(const CDuiString& image);
  // The name of an image's twice-size twin, drawn instead of it where the device pixel ratio is
  // above 1 ("skins/a.png" -> "skins/a@2x.png", "kb_3_preview_1" -> "kb_3_preview_1@2x"). An
  // in-memory image gets one by AddImage under that name.
  static CDuiString TwinImageName(const CDuiString& file);
};

}  // namespace DuiLib
