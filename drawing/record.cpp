// What has been drawn on the client area, in twips, less what later drawing covers.
#include "drawing/record.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

#include "model/backgrounds.h"

namespace pawnfall {
namespace {

// How far inside its edges a picture is sure to cover, in twips, at every scale from 1 up: its
// corner rounds to the nearest device pixel, and its far edge lies within a device pixel of
// where it would lie unrounded. Tiles, 36 pixels on a pitch of 34, still cover without a gap.
constexpr double kNearDoubt = 7.5, kFarDoubt = 15;

std::uint64_t mix(std::uint64_t h, double v) {
  std::uint64_t bits;  // std::bit_cast, which the browser build's library lacks
  std::memcpy(&bits, &v, sizeof bits);
  h = (h ^ bits) * 0x9E3779B97F4A7C15ull;
  return h ^ (h >> 32);
}

int floor_int(double v) { return static_cast<int>(std::floor(v)); }
int ceil_int(double v) { return static_cast<int>(std::ceil(v)); }

}  // namespace

Rect text_ink(double x, double y, const TextBox& m) {
  constexpr double kGrowth = 1.05, kMargin = 2;
  const double left = std::min(0.0, m.left * kGrowth) - kMargin;
  const double top = std::min(0.0, m.top * kGrowth) - kMargin;
  const double right = m.right * kGrowth + kMargin, bottom = m.bottom * kGrowth + kMargin;
  return {floor_int(x + left * 一画素のtwips), floor_int(y + top * 一画素のtwips),
          ceil_int(x + right * 一画素のtwips) + 1, ceil_int(y + bottom * 一画素のtwips) + 1};
}

void DrawingRecord::Footprints::clear() {
  slots_.assign(2048, Slot{});
  used_ = 0;
}

std::uint32_t DrawingRecord::Footprints::replace(const std::vector<DrawOp>& ops, const DrawOp& op,
                                                 std::uint32_t index) {
  std::uint64_t h = static_cast<std::uint64_t>(op.kind);
  for (double v : {op.x1, op.y1, op.x2, op.y2}) h = mix(h, v);
  const auto hash = static_cast<std::uint32_t>(h);
  if (2 * (used_ + 1) > slots_.size()) {
    std::vector<Slot> grown(slots_.size() * 2);
    const std::size_t mask = grown.size() - 1;
    for (const Slot& s : slots_)
      if (s.index != kNone) {
        std::size_t i = s.hash & mask;
        while (grown[i].index != kNone) i = (i + 1) & mask;
        grown[i] = s;
      }
    slots_.swap(grown);
  }
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    Slot& s = slots_[i];
    if (s.index == kNone) {
      s = {index, hash};
      ++used_;
      return kNone;
    }
    if (s.hash != hash) continue;
    const DrawOp& other = ops[s.index];
    if (other.kind == op.kind && other.x1 == op.x1 && other.y1 == op.y1 && other.x2 == op.x2 &&
        other.y2 == op.y2)
      return std::exchange(s.index, index);
  }
}

void DrawingRecord::kill(std::uint32_t index) {
  if (!ops_[index].live) return;
  ops_[index].live = false;
  ++dead_;
}

void DrawingRecord::add(const DrawOp& op) {
  const auto index = static_cast<std::uint32_t>(ops_.size());
  if (const auto earlier = by_footprint_.replace(ops_, op, index); earlier != Footprints::kNone)
    kill(earlier);
  ops_.push_back(op);
}

void DrawingRecord::add_picture(Picture picture, double x, double y, double width, double height) {
  DrawOp op;
  op.kind = DrawOp::Kind::Picture;
  op.picture = picture;
  op.x1 = x, op.y1 = y, op.x2 = x + width, op.y2 = y + height;
  add(op);
  const Rect sure{ceil_int(x + kNearDoubt), ceil_int(y + kNearDoubt), floor_int(op.x2 - kFarDoubt),
                  floor_int(op.y2 - kFarDoubt)};
  if (!live_texts_.empty() && sure.intersects(text_area_)) cover_texts(sure);
}

void DrawingRecord::cover_texts(const Rect& sure) {
  Rect area;
  std::erase_if(live_texts_, [&](std::uint32_t index) {
    TextOp& t = texts_[ops_[index].text];
    t.uncovered.subtract(sure);
    if (t.uncovered.empty()) {
      kill(index);
      return true;
    }
    area |= t.uncovered.bounds();
    return false;
  });
  text_area_ = area;
}

void DrawingRecord::add_outline(int colour, double x1, double y1, double x2, double y2) {
  DrawOp op;
  op.kind = DrawOp::Kind::Outline;
  op.colour = colour;
  op.x1 = x1, op.y1 = y1, op.x2 = x2, op.y2 = y2;
  add(op);
}

void DrawingRecord::add_text(double x, double y, std::string_view text, std::string_view face,
                             int points, int colour, const Rect& ink) {
  // The same text again in the same place paints the very same pixels.
  std::erase_if(live_texts_, [&](std::uint32_t index) {
    const DrawOp& op = ops_[index];
    const TextOp& t = texts_[op.text];
    if (op.x1 != x || op.y1 != y || op.colour != colour || t.points != points || t.text != text ||
        t.face != face)
      return false;
    kill(index);
    return true;
  });
  DrawOp op;
  op.kind = DrawOp::Kind::Text;
  op.colour = colour;
  op.x1 = x, op.y1 = y;
  op.text = static_cast<std::uint32_t>(texts_.size());
  texts_.push_back({std::string(text), std::string(face), points, ink, Region(ink)});
  live_texts_.push_back(static_cast<std::uint32_t>(ops_.size()));
  text_area_ |= ink;
  ops_.push_back(op);
}

std::optional<Picture> DrawingRecord::background() const {
  for (auto op = ops_.rbegin(); op != ops_.rend(); ++op)
    if (op->live && op->kind == DrawOp::Kind::Picture && 背景_コードから(op->picture.code))
      return op->picture;
  return std::nullopt;
}

bool DrawingRecord::compact() {
  if (dead_ < live() + 2048) return false;
  std::vector<DrawOp> ops;
  std::vector<TextOp> texts;
  ops.reserve(live());
  by_footprint_.clear();
  live_texts_.clear();
  for (const DrawOp& op : ops_) {
    if (!op.live) continue;
    DrawOp kept = op;
    const auto index = static_cast<std::uint32_t>(ops.size());
    if (op.kind == DrawOp::Kind::Text) {
      kept.text = static_cast<std::uint32_t>(texts.size());
      texts.push_back(std::move(texts_[op.text]));
      live_texts_.push_back(index);
    } else {
      by_footprint_.replace(ops, op, index);
    }
    ops.push_back(kept);
  }
  ops_ = std::move(ops);
  texts_ = std::move(texts);
  dead_ = 0;
  return true;
}

}  // namespace pawnfall
