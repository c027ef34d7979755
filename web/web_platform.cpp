// The browser's implementation of the platform. Pixels are made by the page (web/page/page.js);
// everything here is in the canvas's device pixels, from the one twips conversion.
#include "web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "model/backgrounds.h"
#include "model/pictures.h"
#include "soundlib/pawnfall_sound.h"

EM_JS(void, js_layout, (int width, int height, int x, int y, int w, int h, int set),
      { Page.layout(width, height, x, y, w, h, set); });
EM_JS(void, js_name_picture, (int id, const char* name),
      { Page.namePicture(id, UTF8ToString(name)); });
EM_JS(int, js_picture_size, (int id), { return Page.pictureSize(id); });
EM_JS(void, js_text_box, (const char* text, int size, double* box),
      { Page.textBox(UTF8ToString(text), size, box); });
EM_JS(void, js_set_checked, (int item, int on), { Page.setChecked(item, on); });
EM_ASYNC_JS(void, js_message_box, (const char* text, const char* caption, int warning),
            { await Page.messageBox(UTF8ToString(text), UTF8ToString(caption), warning); });
EM_JS(int, js_storage_size, (const char* name), { return Page.storage.size(UTF8ToString(name)); });
EM_JS(void, js_storage_read, (const char* name, char* out, int length),
      { Page.storage.read(UTF8ToString(name), out, length); });
EM_JS(int, js_storage_write, (const char* name, const char* bytes, int length),
      { return Page.storage.write(UTF8ToString(name), bytes, length); });

namespace pawnfall {

WebPlatform::WebPlatform() {
  checks_[MenuItem::TATAMI] = true;
  for (const Picture p : every_picture()) js_name_picture(picture_id(p), picture_name(p).c_str());
}

int WebPlatform::set_layout(double width, double height, double ratio) {
  // Unlike a desktop window, a phone's page may be much smaller than the starting window.
  fit_ = fit_screen(width, height, ratio, 画面幅画素, 画面高画素);
  device_pixel_ratio_ = ratio;
  const int set = picture_set(fit_.scale);
  device_width_ = static_cast<int>(std::lround(width * ratio));
  device_height_ = static_cast<int>(std::lround(height * ratio));
  js_layout(device_width_, device_height_, fit_.x, fit_.y, fit_.width, fit_.height, set);
  image_.reset(device_width_, device_height_, fit_.x, fit_.y, fit_.width, fit_.height);
  image_.forget_pictures();  // the page may have a denser set by now
  around_.reset();
  for (const DrawOp& op : record_.ops())
    if (op.live) paint(op);
  paint_around();
  image_.flush();
  return set;
}

std::pair<double, double> WebPlatform::press_twips(double x, double y) const {
  return pawnfall::press_twips(fit_, x * device_pixel_ratio_, y * device_pixel_ratio_);
}

std::optional<std::pair<int, int>> WebPlatform::natural_size(Picture p) {
  const int id = picture_id(p);
  if (id < 0) return std::nullopt;
  Size& size = sizes_[static_cast<std::size_t>(id)];
  if (!size.known) {
    const int packed = js_picture_size(id);
    // Asked again until the page has the picture.
    if (packed <= 0) return std::nullopt;
    size = {true, packed >> 16, packed & 0xFFFF};
  }
  return std::pair(size.w, size.h);
}

void WebPlatform::paint_picture(Picture p, double x, double y) {
  const auto size = natural_size(p);
  if (!size) return;
  record_.add_picture(p, x, y, size->first * 一画素のtwips, size->second * 一画素のtwips);
  paint(record_.ops().back());
  if (背景_コードから(p.code) && p != around_) paint_around();
  record_.compact();
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
  paint(record_.ops().back());
  record_.compact();
}

void WebPlatform::print_text(double x, double y, std::string_view text, std::string_view face,
                             int points, int colour) {
  // Measured at the starting size in the page's fonts, as the window measures it in its own.
  const std::string s(text);
  double box[4] = {0, 0, 0, 0};
  js_text_box(s.c_str(), text_pixels(points, 1), box);
  record_.add_text(x, y, text, face, points, colour,
                   text_ink(x, y, {box[0], box[1], box[2], box[3]}));
  paint(record_.ops().back());
  record_.compact();
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
  image_.flush();  // the box stands over what the game has drawn so far
  js_message_box(std::string(text).c_str(), std::string(caption).c_str(),
                 icon == MessageIcon::Warning);
}

void WebPlatform::wait(double seconds) {
  // Hands the browser back its thread meanwhile: the page shows the step, and presses queue up.
  image_.flush();
  emscripten_sleep(static_cast<unsigned>(std::max(0.0, std::ceil(seconds * 1000))));
}

std::optional<SoundLibrary> WebPlatform::load_sound_library() {
  SoundLibrary table{dsInitialize, dsCreateDSB, dsPlay, dsPlayLooping, dsStop, dsFree, dsTerminate};
  return table;
}

FileContents WebPlatform::read_file(std::string_view name, std::size_t max_bytes) {
  const std::string n(name);
  const int size = js_storage_size(n.c_str());
  if (size == -1) return {};
  if (size < 0) return {FileStatus::Unreadable, {}, "ブラウザの保存領域を読むことができません。"};
  std::string bytes(std::min(static_cast<std::size_t>(size), max_bytes), '\0');
  js_storage_read(n.c_str(), bytes.data(), static_cast<int>(bytes.size()));
  return {FileStatus::Read, std::move(bytes), {}};
}

SaveResult WebPlatform::replace_file(std::string_view name, std::string_view bytes) {
  // The browser's storage replaces an item whole, or leaves the old one.
  switch (
      js_storage_write(std::string(name).c_str(), bytes.data(), static_cast<int>(bytes.size()))) {
    case 0:
      return SaveResult::Saved;
    case 1:
      return SaveResult::NoSpace;
    case 2:
      return SaveResult::NotPermitted;
    default:
      return SaveResult::Failed;
  }
}

std::unique_ptr<FileLock> WebPlatform::lock_file(std::string_view) {
  // Nothing to wait for: a save reads, compares and replaces the stored bytes in one run of the
  // page's thread, with no disk between them as on the desktop. A Web Lock across the tabs would
  // cost every save a round trip to the browser, two milliseconds of the longest click.
  return std::make_unique<FileLock>();
}

}  // namespace pawnfall
