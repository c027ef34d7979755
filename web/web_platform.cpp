// The browser's implementation of the platform. Pixels are made by the page (web/page/drawing.js);
// everything here is in the canvas's device pixels, from the one twips conversion.
#include "web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "game/menu.h"
#include "model/backgrounds.h"
#include "model/pictures.h"
#include "soundlib/pawnfall_sound.h"
#include "web/bridge.h"

namespace pawnfall {

WebPlatform::WebPlatform() {
  for (const auto& entry : メニュー表)
    if (entry.印) checks_[*entry.印] = entry.初期印;
}

int WebPlatform::set_layout(double width, double height, double ratio) {
  // Unlike a desktop window, a phone's page may be much smaller than the starting window.
  fit_ = fit_screen(width, height, ratio, 画面幅画素, 画面高画素);
  device_pixel_ratio_ = ratio;
  width_ = width;
  height_ = height;
  const int set = picture_set(fit_.scale);
  device_width_ = static_cast<int>(std::lround(width * ratio));
  device_height_ = static_cast<int>(std::lround(height * ratio));
  js_layout(device_width_, device_height_, fit_.x, fit_.y, fit_.width, fit_.height, set);
  image_.reset(device_width_, device_height_, fit_.x, fit_.y, fit_.width, fit_.height);
  image_.forget_pictures();  // the page may have a denser set by now
  around_.reset();
  for (const DrawOp& op : record_.ops())
    if (op.live) paint(op);
  painted_ = record_.ops().size();
  paint_around();
  return set;
}

void WebPlatform::start_pictures(int set) {
  // The page fetches its density's sheet as it opens: usually it is there before the game is.
  pictures_pending_ = js_fetch_pictures(set) != 0 ? 0 : set;
}

void WebPlatform::await_pictures() {
  if (pictures_pending_ == 0) return;
  js_load_pictures(pictures_pending_);
  pictures_pending_ = 0;
  set_layout(width_, height_, device_pixel_ratio_);
}

std::pair<double, double> WebPlatform::press_twips(double x, double y) const {
  return pawnfall::press_twips(fit_, x * device_pixel_ratio_, y * device_pixel_ratio_);
}

std::optional<std::pair<int, int>> WebPlatform::natural_size(Picture p) {
  const Rect size = picture_size(p);
  if (size.empty()) return std::nullopt;
  return std::pair(size.width(), size.height());
}

void WebPlatform::paint_picture(Picture p, double x, double y) {
  const auto size = natural_size(p);
  if (!size) return;
  record_.add_picture(p, x, y, size->first * 一画素のtwips, size->second * 一画素のtwips);
  // Around the drawing, outside what the record paints.
  if (背景_コードから(p.code) && p != around_) paint_around();
}

void WebPlatform::paint_pending() {
  const auto& ops = record_.ops();
  for (; painted_ < ops.size(); ++painted_)
    if (ops[painted_].live) paint(ops[painted_]);
  // Compacting moves the operations, which are all painted by now.
  if (record_.compact()) painted_ = record_.ops().size();
}

void WebPlatform::paint_around() {
  const auto tile = record_.background();
  const auto size = tile ? natural_size(*tile) : std::nullopt;
  if (!size) return;
  around_ = tile;
  for (const Rect& r :
       surrounding_tiles(fit_, device_width_, device_height_, size->first, size->second))
    image_.picture_around(picture_id(*tile), r.left, r.top, r.width(), r.height());
}

void WebPlatform::draw_outline(int colour, double x1, double y1, double x2, double y2) {
  record_.add_outline(colour, x1, y1, x2, y2);
}

void WebPlatform::print_text(double x, double y, std::string_view text, std::string_view face,
                             int points, int colour) {
  // Measured at the starting size in the page's fonts, as the window measures it in its own.
  const std::string s(text);
  double box[4] = {0, 0, 0, 0};
  js_text_box(s.c_str(), text_pixels(points, 1), box);
  record_.add_text(x, y, text, face, points, colour,
                   text_ink(x, y, {box[0], box[1], box[2], box[3]}));
}

void WebPlatform::paint(const DrawOp& op) {
  const double s = fit_.scale;
  switch (op.kind) {
    case DrawOp::Kind::Picture: {
      const auto size = natural_size(op.picture);
      if (!size) return;
      const Rect r = picture_pixels(op.x1, op.y1, size->first, size->second, s);
      image_.picture(picture_id(op.picture), r.left + fit_.x, r.top + fit_.y, r.width(),
                     r.height());
      return;
    }
    case DrawOp::Kind::Outline:
      for (const Rect& line : outline_pixels(op.x1, op.y1, op.x2, op.y2, s))
        image_.fill(op.colour, line.left + fit_.x, line.top + fit_.y, line.width(), line.height());
      return;
    case DrawOp::Kind::Text:
      // The face is the game's one: the page sets every text in its Japanese serif stack.
      image_.text(twips_to_pixels(op.x1, s) + fit_.x, twips_to_pixels(op.y1, s) + fit_.y,
                  record_.text(op).text, text_pixels(record_.text(op).points, s), op.colour);
      return;
  }
}

bool WebPlatform::checked(MenuItem item) const {
  auto it = checks_.find(item);
  return it != checks_.end() && it->second;
}

void WebPlatform::set_checked(MenuItem item, bool on) {
  checks_[item] = on;
  js_set_checked(static_cast<int>(item), on);
}

void WebPlatform::message_box(std::string_view text, std::string_view caption, MessageIcon icon) {
  await_pictures();
  flush();  // the box stands over what the game has drawn so far
  js_message_box(std::string(text).c_str(), std::string(caption).c_str(),
                 icon == MessageIcon::Warning);
}

void WebPlatform::wait(double seconds) {
  // Hands the browser back its thread meanwhile: the page shows the step, and presses queue up.
  flush();
  emscripten_sleep(static_cast<unsigned>(std::max(0.0, std::ceil(seconds * 1000))));
}

std::optional<SoundLibrary> WebPlatform::load_sound_library() {
  SoundLibrary table{dsInitialize, dsCreateDSB, dsPlay, dsPlayLooping, dsStop, dsFree, dsTerminate};
  return table;
}

FileContents WebPlatform::read_file(std::string_view name, std::size_t max_bytes) {
  const std::string n(name);
  const int size = js_storage_size(n.c_str());
  if (size == static_cast<int>(StorageSize::Missing)) return {};
  // A storage that refuses to be read may hold the player's best score: it is no missing file.
  if (size < 0) return {FileStatus::Unreadable, {}, "ブラウザの保存領域を読むことができません。"};
  std::string bytes(std::min(static_cast<std::size_t>(size), max_bytes), '\0');
  js_storage_read(n.c_str(), bytes.data(), static_cast<int>(bytes.size()));
  return {FileStatus::Read, std::move(bytes), {}};
}

SaveResult WebPlatform::replace_file(std::string_view name, std::string_view bytes) {
  // The browser's storage replaces an item whole, or leaves the old one.
  switch (static_cast<StorageWrite>(
      js_storage_write(std::string(name).c_str(), bytes.data(), static_cast<int>(bytes.size())))) {
    case StorageWrite::Saved:
      return SaveResult::Saved;
    case StorageWrite::NoSpace:
      return SaveResult::NoSpace;
    case StorageWrite::NotPermitted:
      return SaveResult::NotPermitted;
    case StorageWrite::Failed:
      break;
  }
  return SaveResult::Failed;
}

std::unique_ptr<FileLock> WebPlatform::lock_file(std::string_view) {
  // Nothing to wait for: a save reads, compares and replaces the stored bytes in one run of the
  // page's thread, with no disk between them as on the desktop. A Web Lock across the tabs would
  // cost every save a round trip to the browser, two milliseconds of the longest click.
  return std::make_unique<FileLock>();
}

}  // namespace pawnfall
