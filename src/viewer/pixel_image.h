#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "viewer/column_trace.h"

namespace ampelon {

// 32-bit pixels written straight into memory that someone else owns (an image's bits).
struct PixelImage {
  std::uint32_t* pixels = nullptr;
  std::ptrdiff_t stride = 0;  // pixels from one row to the next
  int width = 0;
  int height = 0;
};

// Fills [left, right) x [top, bottom), clipped to the image.
void FillRect(PixelImage image, int left, int top, int right, int bottom, std::uint32_t pixel);

// Draws a traced curve whose column 0 is the image's column `left` and row 0 its row `top`, each
// span as a `thickness` pixels wide stroke reaching `thickness` - 1 pixels below it, clipped to
// `clipBottom`.
void DrawSpans(PixelImage image, std::span<const ColumnSpan> spans, int left, int top,
               int clipBottom, int thickness, std::uint32_t pixel);

}  // namespace ampelon
