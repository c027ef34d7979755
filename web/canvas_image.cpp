// The canvas's pixels, made here and handed to the page in one piece per frame.
#include "web/canvas_image.h"

#include <algorithm>

#include "model/state.h"
#include "web/bridge.h"

namespace pawnfall {
namespace {

// The palette as the canvas's bytes: red, green, blue, opaque.
constexpr std::array<std::uint32_t, 16> kPalette = [] {
  std::array<std::uint32_t, 16> out{};
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::uint32_t c = kPaletteRgb[i];
    out[i] = 0xFF000000u | (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16 & 0xFF);
  }
  return out;
}();

}  // namespace

void CanvasImage::reset(int width, int height, int x, int y, int w, int h) {
  width_ = std::max(0, width);
  height_ = std::max(0, height);
  clip_x0_ = std::clamp(x, 0, width_);
  clip_y0_ = std::clamp(y, 0, height_);
  clip_x1_ = std::clamp(x + w, 0, width_);
  clip_y1_ = std::clamp(y + h, 0, height_);
  // Left uninitialised, then one row filled and copied over the rest in ever larger blocks: the
  // engine copies memory natively, where setting pixel by pixel ran as the game's first,
  // unoptimised code and took milliseconds of its start.
  const std::size_t size = static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
  pixels_.reset(new std::uint32_t[size]);
  std::uint32_t* const pixels = pixels_.get();
  std::fill_n(pixels, std::min(size, static_cast<std::size_t>(width_)), kPalette[色_背景]);
  for (auto done = static_cast<std::size_t>(width_); done < size; done *= 2)
    std::copy_n(pixels, std::min(done, size - done), pixels + done);
  dirty_x0_ = dirty_y0_ = 0;
  dirty_x1_ = width_;
  dirty_y1_ = height_;
}

void CanvasImage::touch(int x0, int y0, int x1, int y1) {
  if (dirty_x0_ >= dirty_x1_ || dirty_y0_ >= dirty_y1_) {
    dirty_x0_ = x0, dirty_y0_ = y0, dirty_x1_ = x1, dirty_y1_ = y1;
    return;
  }
  dirty_x0_ = std::min(dirty_x0_, x0);
  dirty_y0_ = std::min(dirty_y0_, y0);
  dirty_x1_ = std::max(dirty_x1_, x1);
  dirty_y1_ = std::max(dirty_y1_, y1);
}

const CanvasImage::Scaled* CanvasImage::scaled(int id, int w, int h) {
  if (id < 0 || id >= kPictureIds || w <= 0 || h <= 0) return nullptr;
  Scaled& p = pictures_[static_cast<std::size_t>(id)];
  if (p.w != w || p.h != h) {
    p.w = w;
    p.h = h;
    p.pixels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    js_picture_pixels(id, w, h, p.pixels.data());
  }
  return &p;
}

void CanvasImage::copy_span(const Scaled& p, int x, int from_y, int y, int x0, int x1) {
  if (x0 >= x1) return;
  std::copy_n(
      p.pixels.data() + static_cast<std::size_t>(from_y) * static_cast<std::size_t>(p.w) + (x0 - x),
      x1 - x0, row(y) + x0);
}

void CanvasImage::picture(int id, int x, int y, int w, int h) {
  const Scaled* p = scaled(id, w, h);
  if (!p) return;
  const int x0 = std::max(x, clip_x0_), y0 = std::max(y, clip_y0_);
  const int x1 = std::min(x + w, clip_x1_), y1 = std::min(y + h, clip_y1_);
  if (x0 >= x1 || y0 >= y1) return;
  for (int y_at = y0; y_at < y1; ++y_at) copy_span(*p, x, y_at - y, y_at, x0, x1);
  touch(x0, y0, x1, y1);
}

void CanvasImage::picture_around(int id, int x, int y, int w, int h) {
  const Scaled* p = scaled(id, w, h);
  if (!p) return;
  const int x0 = std::max(x, 0), y0 = std::max(y, 0);
  const int x1 = std::min(x + w, width_), y1 = std::min(y + h, height_);
  if (x0 >= x1 || y0 >= y1) return;
  for (int y_at = y0; y_at < y1; ++y_at) {
    if (y_at < clip_y0_ || y_at >= clip_y1_) {
      copy_span(*p, x, y_at - y, y_at, x0, x1);
    } else {
      copy_span(*p, x, y_at - y, y_at, x0, std::min(x1, clip_x0_));
      copy_span(*p, x, y_at - y, y_at, std::max(x0, clip_x1_), x1);
    }
  }
  touch(x0, y0, x1, y1);
}

void CanvasImage::fill(int colour, int x, int y, int w, int h) {
  const int x0 = std::max(x, clip_x0_), y0 = std::max(y, clip_y0_);
  const int x1 = std::min(x + w, clip_x1_), y1 = std::min(y + h, clip_y1_);
  if (x0 >= x1 || y0 >= y1) return;
  for (int y_at = y0; y_at < y1; ++y_at)
    std::fill_n(row(y_at) + x0, x1 - x0, kPalette[static_cast<std::size_t>(colour & 15)]);
  touch(x0, y0, x1, y1);
}

const CanvasImage::Ink& CanvasImage::ink(const std::string& text, int pixels) {
  const auto key = std::make_pair(pixels, text);
  if (const auto known = inks_.find(key); known != inks_.end()) return known->second;
  // The score's texts change with every chain: only the latest few are kept.
  if (inks_.size() >= 64) inks_.clear();
  Ink& ink = inks_[key];
  int form[3] = {0, 0, 0};
  const int length = js_text_ink(text.c_str(), pixels, form);
  if (form[0] > 0 && form[1] > 0 && length == form[0] * form[1] * 4) {
    ink.w = form[0], ink.h = form[1], ink.margin = form[2];
    ink_bytes_.resize(static_cast<std::size_t>(length));
    js_text_ink_read(ink_bytes_.data());
    ink.alpha.resize(ink_bytes_.size() / 4);
    for (std::size_t i = 0; i < ink.alpha.size(); ++i) ink.alpha[i] = ink_bytes_[i * 4 + 3];
  }
  return ink;
}

// Blended here rather than in the page's script, whose loops ran unoptimised at the start.
void CanvasImage::text(int x, int y, const std::string& text, int pixels, int colour) {
  const Ink& ink = this->ink(text, pixels);
  const int left = x - ink.margin, top = y - ink.margin;
  const int x0 = std::max(left, clip_x0_), y0 = std::max(top, clip_y0_);
  const int x1 = std::min(left + ink.w, clip_x1_), y1 = std::min(top + ink.h, clip_y1_);
  if (x0 >= x1 || y0 >= y1) return;
  const std::uint32_t rgb = kPaletteRgb[static_cast<std::size_t>(colour & 15)];
  const unsigned channel[3] = {rgb >> 16 & 255, rgb >> 8 & 255, rgb & 255};
  for (int y_at = y0; y_at < y1; ++y_at) {
    const std::uint8_t* from =
        ink.alpha.data() + static_cast<std::size_t>(y_at - top) * static_cast<std::size_t>(ink.w) +
        static_cast<std::size_t>(x0 - left);
    auto* to = reinterpret_cast<std::uint8_t*>(row(y_at) + x0);
    for (int n = x1 - x0; n > 0; --n, ++from, to += 4) {
      const unsigned a = *from;
      if (a == 0) continue;
      for (int k = 0; k < 3; ++k)
        to[k] = static_cast<std::uint8_t>((channel[k] * a + to[k] * (255 - a) + 127) / 255);
    }
  }
  touch(x0, y0, x1, y1);
}

void CanvasImage::flush() {
  if (dirty_x0_ >= dirty_x1_ || dirty_y0_ >= dirty_y1_) return;
  js_put(pixels_.get(), width_, height_, dirty_x0_, dirty_y0_, dirty_x1_ - dirty_x0_,
         dirty_y1_ - dirty_y0_);
  dirty_x1_ = dirty_x0_;
}

}  // namespace pawnfall
