// What the page's canvas shows, kept as drawing operations.
#include "web/drawing_record.h"

#include <utility>

namespace pawnfall {

void DrawingRecord::add(DrawOp op, double w, double h) {
  // Texts print over what is there (the game clears their place with tiles first): a text is
  // replaced only by one of the same colour at the same point.
  const Place place = op.kind == DrawOp::Kind::Picture ? Place{0, op.x1, op.y1, w, h, 0}
                      : op.kind == DrawOp::Kind::Outline
                          ? Place{1, op.x1, op.y1, op.x2, op.y2, op.colour}
                          : Place{2, op.x1, op.y1, 0, 0, op.colour};
  auto [it, added] = by_place_.try_emplace(place, ops_.size());
  if (!added) {
    ops_[it->second].live = false;
    it->second = ops_.size();
  }
  ops_.push_back({op, place, true});
  // Compacted once the dropped outnumber the kept, so adding stays cheap on the average.
  if (ops_.size() > 2 * by_place_.size() + 64) compact();
}

std::size_t DrawingRecord::add_text(std::string text) {
  texts_.push_back(std::move(text));
  return texts_.size() - 1;
}

void DrawingRecord::compact() {
  // The places stay as they are and only learn their operations' new indices: rebuilding the map
  // would allocate a node per operation kept, several times per commit.
  std::vector<std::size_t> moved(ops_.size());
  std::vector<std::string> texts;
  std::size_t kept = 0;
  for (std::size_t i = 0; i < ops_.size(); ++i) {
    Slot& slot = ops_[i];
    if (!slot.live) continue;
    if (slot.op.kind == DrawOp::Kind::Text) {
      texts.push_back(std::move(texts_[slot.op.text]));
      slot.op.text = texts.size() - 1;
    }
    moved[i] = kept;
    ops_[kept++] = slot;
  }
  ops_.resize(kept);
  texts_ = std::move(texts);
  for (auto& [place, index] : by_place_) index = moved[index];
}

}  // namespace pawnfall
