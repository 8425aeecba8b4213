#include "viewer/pixel_image.h"

#include <algorithm>

namespace ampelon {

void FillRect(PixelImage image, int left, int top, int right, int bottom, std::uint32_t pixel) {
  left = std::max(left, 0);
  top = std::max(top, 0);
  right = std::min(right, image.width);
  bottom = std::min(bottom, image.height);
  if (left >= right) return;
  for (int row = top; row < bottom; ++row) {
    std::uint32_t* start = image.pixels + row * image.stride;
    std::fill(start + left, start + right, pixel);
  }
}

void DrawSpans(PixelImage image, std::span<const ColumnSpan> spans, int left, int top,
               int clipBottom, int thickness, std::uint32_t pixel) {
  const int bottomLimit = std::min(clipBottom, image.height);
  const int rightLimit =
      std::min(left + static_cast<int>(spans.size()) + thickness - 1, image.width);
  for (std::size_t index = 0; index < spans.size(); ++index) {
    const ColumnSpan& span = spans[index];
    if (span.top > span.bottom) continue;
    const int column = left + static_cast<int>(index);
    const int right = std::min(column + thickness, rightLimit);
    const int first = std::max(top + span.top, 0);
    const int last = std::min(top + span.bottom + thickness, bottomLimit);
    for (int row = first; row < last; ++row) {
      std::uint32_t* start = image.pixels + row * image.stride;
      for (int x = std::max(column, 0); x < right; ++x) start[x] = pixel;
    }
  }
}

}  // namespace ampelon
