// Packs each picture set into one sheet for the page, which fetches a set in one request
// instead of one for each of its pictures. Each picture must have its natural size times the
// set's density, or the sheet is not written.
//
// Usage: QT_QPA_PLATFORM=offscreen make_sheets PICTURES_DIR OUTPUT_DIR   (reads
// PICTURES_DIR/Nx/NAME.{bmp,png}, writes OUTPUT_DIR/pictures/Nx.png and the page's links that
// fetch them early, OUTPUT_DIR/preload.html)
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>

#include <cstdio>

#include "drawing/pictures.h"

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s PICTURES_DIR OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const QString from = QString::fromLocal8Bit(argv[1]), to = QString::fromLocal8Bit(argv[2]);
  using namespace pawnfall;
  for (int set = 1; set <= 4; ++set) {
    const Rect size = sheet_size();
    QImage sheet(size.width() * set, size.height() * set, QImage::Format_RGB32);
    sheet.fill(Qt::black);
    QPainter painter(&sheet);
    for (const Picture p : every_picture()) {
      // The picture's path under the pictures' root, without the root's own name.
      const QString file = from + q(picture_path(p, set)).mid(QStringLiteral("pictures").size());
      const QImage picture(file);
      const Rect place = sheet_place(p), natural = picture_size(p);
      if (picture.size() != QSize(natural.width() * set, natural.height() * set)) {
        std::fprintf(stderr, "make_sheets: %s is not %dx%d\n", qPrintable(file),
                     natural.width() * set, natural.height() * set);
        return 1;
      }
      painter.drawImage(place.left * set, place.top * set, picture);
    }
    painter.end();
    const QString out = to + QLatin1Char('/') + q(sheet_path(set));
    QImageWriter writer(out, "png");
    writer.setQuality(0);  // the smallest file: for PNG the quality is the compression
    if (!QDir().mkpath(QFileInfo(out).path()) || !writer.write(sheet)) {
      std::fprintf(stderr, "make_sheets: cannot write %s\n", qPrintable(out));
      return 1;
    }
  }
  // The page asks for the sheet of its screen's density before its scripts run: one link for
  // each set, for the densities at which the starting window's scale picks it.
  QFile links(to + QStringLiteral("/preload.html"));
  if (!links.open(QIODevice::WriteOnly)) {
    std::fprintf(stderr, "make_sheets: cannot write %s\n", qPrintable(links.fileName()));
    return 1;
  }
  for (int set = 1; set <= 4; ++set) {
    QString media;
    if (set > 1) media += QStringLiteral("(min-resolution: %1.01dppx)").arg(set - 1);
    if (set > 1 && set < 4) media += QStringLiteral(" and ");
    if (set < 4) media += QStringLiteral("(max-resolution: %1dppx)").arg(set);
    links.write(QStringLiteral("<link rel=\"preload\" as=\"image\" href=\"%1\" media=\"%2\">\n")
                    .arg(q(sheet_path(set)), media)
                    .toUtf8());
  }
  return 0;
}
