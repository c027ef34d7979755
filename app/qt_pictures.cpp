// The picture sets in the program's resources, and each picture loaded once for a density.
#include "app/qt_pictures.h"

#include <algorithm>

#include "drawing/pictures.h"
#include "model/pictures.h"

// The sets live in a static library, so their registration must be asked for (outside any
// namespace), which links them in.
static void register_picture_sets() {
  Q_INIT_RESOURCE(pictures_1x);
  Q_INIT_RESOURCE(pictures_dense);
}

namespace pawnfall {

void register_pictures() { register_picture_sets(); }

QString picture_file(const QString& name, int set) {
  return QStringLiteral(":/") + QString::fromStdString(picture_path(name.toStdString(), set));
}

QString picture_resource(Picture picture, int set) {
  const std::string path = picture_path(picture, set);
  return path.empty() ? QString() : QStringLiteral(":/") + QString::fromStdString(path);
}

const PictureCache::Loaded* PictureCache::get(Picture p, double scale) {
  static_assert(std::ranges::all_of(
      絵の表, [](const 絵情報& e) { return e.code * kPictureLooks < kPictureIds; }));
  const int id = picture_id(p);
  if (id < 0) return nullptr;
  Loaded& slot = pictures_[static_cast<std::size_t>(id)];
  if (slot.scale == scale) return slot.image.isNull() ? nullptr : &slot;
  // Only the set in use is read, and only the pictures asked for; a new zoom that keeps the set
  // reads none again.
  if (const int set = picture_set(scale); slot.set != set) {
    slot.set = set;
    slot.drawn = QImage();
    const QString name = picture_resource(p, set);
    if (!name.isEmpty()) slot.drawn.load(name);
    slot.natural = slot.drawn.size() / set;
    if (!slot.drawn.isNull()) slot.drawn = slot.drawn.convertToFormat(QImage::Format_RGB32);
  }
  slot.scale = scale;
  // Between the sets, the next denser one made smaller; beyond the densest, it enlarged.
  const QSize size(qRound(slot.natural.width() * scale), qRound(slot.natural.height() * scale));
  slot.image = slot.drawn.isNull() || size == slot.drawn.size()
                   ? slot.drawn
                   : slot.drawn.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  return slot.image.isNull() ? nullptr : &slot;
}

}  // namespace pawnfall
