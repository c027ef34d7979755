// The browser's implementation of the platform. Pixels are made by the page (web/page/drawing.js);
// everything here is in the canvas's device pixels, from the one twips conversion.
#include "web/web_platform.h"

#include <emscripten.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "game/menu.h"
#include "model/pictures.h"
#include "soundlib/pawnfall_sound.h"
#include "web/bridge.h"

namespace pawnfall {
namespace {

// A square is 34 pixels of the starting window: with scales in 34ths, it is a whole number of
// device pixels, the same for every square.
constexpr double kScaleSteps = 34;

// Pictures go to the page by number: code × 4 + look.
constexpr int kLooks = 4;
int picture_id(Picture p) { return p.code * kLooks + p.number; }

}  // namespace

WebPlatform::WebPlatform() {
  hand_page_contract();
  for (const auto& entry : メニュー表)
    if (entry.印) checks_[*entry.印] = entry.初期印;
  for (const auto& entry : 絵の表) {
    const std::string name(entry.名);
    if (!entry.番号付き) js_name_picture(picture_id({entry.code, 0}), name.c_str());
    for (int look = 0; entry.番号付き && look < 3; ++look)
      js_name_picture(picture_id({entry.code, look}), (name + "_" + std::to_string(look)).c_str());
  }
}

WebPlatform::Layout WebPlatform::fit(double width, double height, double ratio) {
  const double fits = std::min(width / 画面幅画素, height / 画面高画素);
  // Unlike a desktop window, a phone's page may be smaller than the starting window.
  const double scale = std::max(1.0, std::floor(fits * ratio * kScaleSteps + 1e-9)) / kScaleSteps;
  const int shown_w = static_cast<int>(std::lround(画面幅画素 * scale));
  const int shown_h = static_cast<int>(std::lround(画面高画素 * scale));
  const int device_w = static_cast<int>(std::lround(width * ratio));
  const int device_h = static_cast<int>(std::lround(height * ratio));
  return {scale, std::max(0, (device_w - shown_w) / 2), std::max(0, (device_h - shown_h) / 2)};
}

int WebPlatform::set_layout(double width, double height, double ratio) {
  layout_ = fit(width, height, ratio);
  device_pixel_ratio_ = ratio;
  const int set = picture_set(layout_.scale);
  const int device_w = static_cast<int>(std::lround(width * ratio));
  const int device_h = static_cast<int>(std::lround(height * ratio));
  const int shown_w = static_cast<int>(std::lround(画面幅画素 * layout_.scale));
  const int shown_h = static_cast<int>(std::lround(画面高画素 * layout_.scale));
  js_layout(device_w, device_h, layout_.x, layout_.y, shown_w, shown_h, set);
  image_.reset(device_w, device_h, layout_.x, layout_.y, shown_w, shown_h);
  image_.forget_pictures();  // the page may have a denser set by now
  record_.for_each([this](const DrawOp& op) { paint(op); });
  image_.flush();
  return set;
}

std::pair<double, double> WebPlatform::press_twips(double x, double y) const {
  return {pixels_to_twips(x * device_pixel_ratio_ - layout_.x, layout_.scale),
          pixels_to_twips(y * device_pixel_ratio_ - layout_.y, layout_.scale)};
}

std::optional<std::pair<int, int>> WebPlatform::natural_size(Picture p) {
  if (p.code < 0 || p.code >= kCodes || p.number < 0 || p.number >= kLooks) return std::nullopt;
  Size& size = sizes_[static_cast<std::size_t>(picture_id(p))];
  if (!size.known) {
    const int packed = js_picture_size(picture_id(p));
    // Asked again until the page has the picture.
    if (packed <= 0) return std::nullopt;
    size = {true, packed >> 16, packed & 0xFFFF};
  }
  return std::pair(size.w, size.h);
}

void WebPlatform::paint_picture(Picture p, double x, double y) {
  const auto size = natural_size(p);
  if (!size) return;
  DrawOp op{.kind = DrawOp::Kind::Picture, .picture = p};
  op.x1 = x;
  op.y1 = y;
  paint(op);
  record_.add(std::move(op), size->first * 一画素のtwips, size->second * 一画素のtwips);
}

void WebPlatform::draw_outline(int colour, double x1, double y1, double x2, double y2) {
  DrawOp op{
      .kind = DrawOp::Kind::Outline, .colour = colour, .x1 = x1, .y1 = y1, .x2 = x2, .y2 = y2};
  paint(op);
  record_.add(std::move(op));
}

void WebPlatform::print_text(double x, double y, std::string_view text, std::string_view face,
                             int points, int colour) {
  // The face is the game's one: the page sets every text in its Japanese serif stack.
  (void)face;
  DrawOp op{.kind = DrawOp::Kind::Text,
            .colour = colour,
            .x1 = x,
            .y1 = y,
            .points = points,
            .text = record_.add_text(std::string(text))};
  paint(op);
  record_.add(std::move(op));
}

void WebPlatform::paint(const DrawOp& op) {
  const double s = layout_.scale;
  const int left = twips_to_pixels(op.x1, s) + layout_.x,
            top = twips_to_pixels(op.y1, s) + layout_.y;
  switch (op.kind) {
    case DrawOp::Kind::Picture: {
      const auto size = natural_size(op.picture);
      if (!size) return;
      image_.picture(picture_id(op.picture), left, top,
                     static_cast<int>(std::lround(size->first * s)),
                     static_cast<int>(std::lround(size->second * s)));
      return;
    }
    case DrawOp::Kind::Outline: {
      // A line of one pixel of the starting window, in whole device pixels; the right and
      // bottom lines lie on the neighbours' left and top ones, as on the desktop.
      const int right = twips_to_pixels(op.x2, s) + layout_.x;
      const int bottom = twips_to_pixels(op.y2, s) + layout_.y;
      const int w = std::max(1, static_cast<int>(std::lround(s)));
      const int width = right - left + w, height = bottom - top + w;
      image_.fill(op.colour, left, top, width, w);
      image_.fill(op.colour, left, bottom, width, w);
      image_.fill(op.colour, left, top, w, height);
      image_.fill(op.colour, right, top, w, height);
      return;
    }
    case DrawOp::Kind::Text:
      // Set in pixels at the 96 dots per inch that the twips assume, times the scale.
      image_.text(left, top, record_.text(op),
                  std::max(1, static_cast<int>(std::lround(op.points * 96.0 / 72.0 * s))),
                  op.colour);
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
