// Opaque copies and solid rectangles written straight into a 32-bit RGB image's rows, clipped.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>

namespace pawnfall {

// Pictures and outlines are opaque copies and solid rectangles, so they go straight to the
// target's rows: a QPainter call costs several times the copy itself, and every square of an
// animation step is such a call.
class PixelRows {
 public:
  // Writes into `target` with a drawing's (0, 0) at `origin`, only within `clip` (in the
  // drawing's pixels).
  PixelRows(QImage& target, QPoint origin, QRect clip)
      : bits_(target.bits()),
        bytes_per_line_(target.bytesPerLine()),
        origin_(origin),
        clip_(clip) {}

  // Copies `source` with its top-left corner at `at`, within `clip` too.
  void copy(const QImage& source, QPoint at, const QRect& clip);
  void fill(QRect area, QRgb colour);

 private:
  QRgb* row(int y) {
    return reinterpret_cast<QRgb*>(bits_ + static_cast<std::ptrdiff_t>(y) * bytes_per_line_);
  }

  uchar* bits_;
  qsizetype bytes_per_line_;
  QPoint origin_;
  QRect clip_;
};

}  // namespace pawnfall
