// How far apart two pictures of one size are, for tests that compare drawings.
#pragma once

#include <QImage>

#include <cstdlib>

namespace pawnfall::test {

// Mean difference per channel of two images of one size.
inline double difference(const QImage& a, const QImage& b) {
  double sum = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q));
    }
  return sum / (3.0 * a.width() * a.height());
}

}  // namespace pawnfall::test
