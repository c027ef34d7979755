// The Qt implementation of the platform: the persistent image, menus, boxes, clock, files.
#include "app/qt_platform.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QMessageBox>
#include <QPainter>
#include <QSaveFile>
#include <QWidget>

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <thread>

namespace pawnfall {
namespace {

constexpr double 一画素のtwips = 15.0;
// The settings file's code page: Shift_JIS with the Windows extensions.
constexpr char 設定符号[] = "CP932";

enum class 変換不能 { 置換, 失敗 };

// Converts text between code pages with the C library's iconv, which costs far less memory
// than loading ICU for one small file. Bytes that do not decode become U+FFFD when asked to.
std::optional<std::string> 符号変換(std::string_view input, const char* to, const char* from,
                                    変換不能 on_error) {
  const iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
  constexpr std::string_view 置換文字 = "\xEF\xBF\xBD";
  // Every input byte becomes at most three output bytes: CP932 to UTF-8 is the widest case.
  std::string out(input.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(input.data());
  std::size_t in_left = input.size();
  char* to_ptr = out.data();
  std::size_t out_left = out.size();
  // The input goes in windows of a few kilobytes, so a file full of bad bytes costs time in
  // proportion to its size: each call after a bad byte would otherwise look at all the rest.
  constexpr std::size_t 窓 = 4096;
  bool ok = true;
  while (in_left > 0 && ok) {
    const std::size_t window = std::min(in_left, 窓);
    std::size_t window_left = window;
    const bool converted =
        iconv(cd, &in, &window_left, &to_ptr, &out_left) != static_cast<std::size_t>(-1);
    const bool at_end = window == in_left;
    in_left -= window - window_left;
    if (converted) continue;
    // A character cut by the window's edge is taken whole by the next window.
    if (errno == EINVAL && !at_end) continue;
    const bool bad_input = errno == EILSEQ || errno == EINVAL;
    ok = bad_input && on_error == 変換不能::置換 && out_left >= 置換文字.size();
    if (ok) {
      std::memcpy(to_ptr, 置換文字.data(), 置換文字.size());
      to_ptr += 置換文字.size();
      out_left -= 置換文字.size();
      ++in;
      --in_left;
    }
  }
  iconv_close(cd);
  if (!ok) return std::nullopt;
  out.resize(out.size() - out_left);
  return out;
}

QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

const char* code_name(int code) {
  switch (code) {
    case KARA:
      return "KARA";
    case W_PORN:
      return "W_PORN";
    case W_NIGT:
      return "W_NIGT";
    case W_BSHO:
      return "W_BSHO";
    case W_ROOK:
      return "W_ROOK";
    case W_QUIN:
      return "W_QUIN";
    case W_KING:
      return "W_KING";
    case B_KING:
      return "B_KING";
    case B_NIGT:
      return "B_NIGT";
    case B_BSHO:
      return "B_BSHO";
    case B_ROOK:
      return "B_ROOK";
    case B_QUIN:
      return "B_QUIN";
    case B_PORN:
      return "B_PORN";
    case TAITORU:
      return "TAITORU";
    case HAIKEI_MIDORI:
      return "HAIKEI_MIDORI";
    case HAIKEI_TATAMI:
      return "HAIKEI_TATAMI";
    case HAIKEI_TAKE:
      return "HAIKEI_TAKE";
    case HAIKEI_UCHU:
      return "HAIKEI_UCHU";
    case HAIKEI_RENGA:
      return "HAIKEI_RENGA";
    default:
      return nullptr;
  }
}

}  // namespace

int twips_to_pixels(double twips) {
  return static_cast<int>(std::floor(twips / 一画素のtwips + 0.5));
}

QColor QtPlatform::palette_colour(int index) {
  static const QRgb palette[16] = {
      qRgb(0, 0, 0),       qRgb(0, 0, 128),   qRgb(0, 128, 0),   qRgb(0, 128, 128),
      qRgb(128, 0, 0),     qRgb(128, 0, 128), qRgb(128, 128, 0), qRgb(192, 192, 192),
      qRgb(128, 128, 128), qRgb(0, 0, 255),   qRgb(0, 255, 0),   qRgb(0, 255, 255),
      qRgb(255, 0, 0),     qRgb(255, 0, 255), qRgb(255, 255, 0), qRgb(255, 255, 255)};
  return QColor(palette[index & 15]);
}

QString QtPlatform::picture_resource(Picture picture) {
  const char* name = code_name(picture.code);
  if (!name) return {};
  const bool numbered = picture.code == KARA || (picture.code >= W_PORN && picture.code <= B_PORN);
  if (!numbered) return QStringLiteral(":/pictures/%1.png").arg(QLatin1String(name));
  return QStringLiteral(":/pictures/%1_%2.png").arg(QLatin1String(name)).arg(picture.number);
}

QtPlatform::QtPlatform(QSize size, qreal device_pixel_ratio)
    : scale_(std::max(1, static_cast<int>(std::ceil(device_pixel_ratio - 0.01)))) {
  // Held at a whole multiple of the logical size so pictures scale without blur.
  image_ = QImage(size * scale_, QImage::Format_RGB32);
  image_.setDevicePixelRatio(scale_);
  image_.fill(palette_colour(色_背景));
}

const QImage* QtPlatform::picture(Picture p) {
  const int key = p.code * 4 + p.number;
  auto it = pictures_.find(key);
  if (it == pictures_.end()) {
    QImage loaded;
    const QString name = picture_resource(p);
    if (!name.isEmpty()) loaded.load(name);
    if (!loaded.isNull()) {
      loaded = loaded.convertToFormat(QImage::Format_RGB32);
      if (scale_ > 1)
        loaded =
            loaded.scaled(loaded.size() * scale_, Qt::IgnoreAspectRatio, Qt::FastTransformation);
      loaded.setDevicePixelRatio(scale_);
    }
    it = pictures_.insert(key, loaded);
  }
  return it->isNull() ? nullptr : &*it;
}

// Pictures and outlines are opaque copies and solid rectangles on one RGB32 image, so they go
// straight to its rows: a QPainter per call costs several times the copy itself, and every
// square of an animation step is such a call.
void QtPlatform::copy_rows(const QImage& source, QPoint at) {
  const QRect target = QRect(at, source.size()).intersected(image_.rect());
  if (target.isEmpty()) return;
  const int skip_x = target.left() - at.x(), skip_y = target.top() - at.y();
  const auto bytes = static_cast<std::size_t>(target.width()) * sizeof(QRgb);
  for (int y = 0; y < target.height(); ++y) {
    const auto* from = reinterpret_cast<const QRgb*>(source.constScanLine(skip_y + y)) + skip_x;
    auto* to = reinterpret_cast<QRgb*>(image_.scanLine(target.top() + y)) + target.left();
    std::memcpy(to, from, bytes);
  }
}

void QtPlatform::fill(QRect area, QRgb colour) {
  const QRect target = area.intersected(image_.rect());
  for (int y = target.top(); y <= target.bottom(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(image_.scanLine(y));
    std::fill(row + target.left(), row + target.left() + target.width(), colour);
  }
}

void QtPlatform::paint_picture(Picture p, double x, double y) {
  if (const QImage* pic = picture(p))
    copy_rows(*pic, QPoint(twips_to_pixels(x), twips_to_pixels(y)) * scale_);
}

void QtPlatform::draw_outline(int colour, double x1, double y1, double x2, double y2) {
  // A one-pixel outline covering the pixels left..right and top..bottom inclusive; at a
  // higher density each pixel is a scale-by-scale block.
  const int left = twips_to_pixels(x1), top = twips_to_pixels(y1);
  const int right = twips_to_pixels(x2), bottom = twips_to_pixels(y2);
  const int s = scale_, width = (right - left + 1) * s, height = (bottom - top + 1) * s;
  const QRgb c = palette_colour(colour).rgb();
  fill(QRect(left * s, top * s, width, s), c);
  fill(QRect(left * s, bottom * s, width, s), c);
  fill(QRect(left * s, top * s, s, height), c);
  fill(QRect(right * s, top * s, s, height), c);
}

void QtPlatform::print_text(double x, double y, std::string_view text, std::string_view face,
                            int points, int colour) {
  QFont font(qs(face));
  // Points at the 96 dots per inch that the twips assume, whatever the screen reports.
  font.setPixelSize(static_cast<int>(std::lround(points * 96.0 / 72.0)));
  // Solid glyph pixels: labels are printed again and again at the same place, and only
  // without blended edges does every print leave exactly the same picture.
  font.setStyleStrategy(QFont::NoAntialias);
  QPainter painter(&image_);
  painter.setFont(font);
  painter.setPen(palette_colour(colour));
  const QFontMetrics metrics(font);
  painter.drawText(QPoint(twips_to_pixels(x), twips_to_pixels(y) + metrics.ascent()), qs(text));
}

void QtPlatform::present() {
  if (surface_) surface_->repaint();
}

bool QtPlatform::checked(MenuItem item) const {
  auto it = actions_.find(item);
  return it != actions_.end() && it->second->isChecked();
}

void QtPlatform::set_checked(MenuItem item, bool on) {
  auto it = actions_.find(item);
  if (it != actions_.end()) it->second->setChecked(on);
}

void QtPlatform::message_box(std::string_view text, std::string_view caption, MessageIcon icon) {
  // Lines are separated by a lone CR in the game's texts.
  QString body = qs(text);
  body.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QChar('\r'), QChar('\n'));
  QMessageBox box(icon == MessageIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon,
                  qs(caption), body, QMessageBox::Ok, surface_ ? surface_->window() : nullptr);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtPlatform::wait(double seconds) {
  // A steady clock, so midnight or a clock change neither shortens nor stretches the pause;
  // sleeping rather than spinning leaves the core free.
  const auto end = std::chrono::steady_clock::now() +
                   std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                       std::chrono::duration<double>(seconds));
  while (std::chrono::steady_clock::now() < end) std::this_thread::sleep_until(end);
}

std::optional<SoundLibrary> QtPlatform::load_sound_library() {
  // Only from the program's own directory: a player's working folder must not supply code.
  static QLibrary library;
  library.setFileName(
      QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("Pawnfall")));
  if (!library.load()) return std::nullopt;
  SoundLibrary table;
  auto resolve = [&](auto& fn, const char* name) {
    fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(library.resolve(name));
  };
  resolve(table.dsInitialize, "dsInitialize");
  resolve(table.dsCreateDSB, "dsCreateDSB");
  resolve(table.dsPlay, "dsPlay");
  resolve(table.dsPlayLooping, "dsPlayLooping");
  resolve(table.dsStop, "dsStop");
  resolve(table.dsFree, "dsFree");
  resolve(table.dsTerminate, "dsTerminate");
  if (!table.complete()) return std::nullopt;
  return table;
}

std::optional<std::vector<std::string>> QtPlatform::read_text_lines(std::string_view name) {
  QFile file(qs(name));
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  const auto text = 符号変換({bytes.constData(), static_cast<std::size_t>(bytes.size())}, "UTF-8",
                             設定符号, 変換不能::置換);
  if (!text) return std::nullopt;
  std::vector<std::string> lines;
  std::string line;
  for (std::size_t i = 0; i < text->size(); ++i) {
    const char c = (*text)[i];
    if (c == '\r') {
      lines.push_back(std::move(line));
      line.clear();
      if (i + 1 < text->size() && (*text)[i + 1] == '\n') ++i;
    } else {
      line += c;
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

bool QtPlatform::replace_text_file(std::string_view name, const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  const auto encoded = 符号変換(text, 設定符号, "UTF-8", 変換不能::失敗);
  if (!encoded) return false;
  const QByteArray bytes(encoded->data(), static_cast<qsizetype>(encoded->size()));
  // A file made read-only stays as it is: renaming a new one over it would get round that.
  const QFileInfo existing(qs(name));
  if (existing.exists() && !existing.isWritable()) return false;
  QSaveFile file(qs(name));
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (file.write(bytes) != bytes.size()) {
    file.cancelWriting();
    return false;
  }
  return file.commit();
}

}  // namespace pawnfall
