// Writes the window icon in the usual theme sizes for installation.
#include <QDir>
#include <QGuiApplication>
#include <QImage>

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  const QImage icon(QString::fromLocal8Bit(argv[1]));
  if (icon.isNull()) return 1;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString dir =
        QStringLiteral("%1/%2x%2/apps").arg(QString::fromLocal8Bit(argv[2])).arg(size);
    QDir().mkpath(dir);
    const QImage scaled = icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    if (!scaled.save(dir + QStringLiteral("/pawnfall.png"))) return 1;
  }
  return 0;
}
