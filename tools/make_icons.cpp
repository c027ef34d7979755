// Writes the icon in the theme sizes for installation, each drawn at its own size.
//
// Usage: QT_QPA_PLATFORM=offscreen make_icons OUTPUT_DIR   (writes
// OUTPUT_DIR/NxN/apps/pawnfall.png)
#include <QDir>
#include <QGuiApplication>

#include <cstdio>

#include "tools/figures.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const pawnfall::art::Glyphs glyphs(pawnfall::art::kSansFont);
  if (!glyphs.valid()) {
    std::fprintf(stderr, "make_icons: cannot read %s\n", pawnfall::art::kSansFont);
    return 1;
  }
  for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
    const QString dir =
        QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[1])).arg(size);
    const QString file = dir + QStringLiteral("/pawnfall.png");
    if (!QDir().mkpath(dir) || !pawnfall::art::icon(glyphs, size).save(file, "PNG")) {
      std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
      return 1;
    }
  }
  return 0;
}
