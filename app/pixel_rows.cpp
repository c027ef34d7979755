// Opaque copies and solid rectangles written straight into a 32-bit RGB image's rows, clipped.
#include "app/pixel_rows.h"

#include <algorithm>
#include <cstring>

namespace pawnfall {

void PixelRows::copy(const QImage& source, QPoint at, const QRect& clip) {
  const QRect target = QRect(at, source.size()).intersected(clip_).intersected(clip);
  if (target.isEmpty()) return;
  const int skip_x = target.left() - at.x(), skip_y = target.top() - at.y();
  const auto bytes = static_cast<std::size_t>(target.width()) * sizeof(QRgb);
  const qsizetype step = source.bytesPerLine();
  const uchar* from = source.constBits() + skip_y * step;
  for (int y = 0; y < target.height(); ++y, from += step)
    std::memcpy(row(origin_.y() + target.top() + y) + origin_.x() + target.left(),
                reinterpret_cast<const QRgb*>(from) + skip_x, bytes);
}

void PixelRows::fill(QRect area, QRgb colour) {
  const QRect target = area.intersected(clip_);
  for (int y = target.top(); y <= target.bottom(); ++y)
    std::fill_n(row(origin_.y() + y) + origin_.x() + target.left(), target.width(), colour);
}

}  // namespace pawnfall
