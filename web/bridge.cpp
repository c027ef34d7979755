// The numbers the page shares with the game, handed over as JSON from where they are declared.
#include "web/bridge.h"

#include <cstdio>
#include <string>
#include <string_view>

#include "drawing/pictures.h"
#include "model/state.h"
#include "sound/sound.h"
#include "soundlib/image_limit.h"

namespace pawnfall {
namespace {

void append_string(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
      out += escaped;
    } else {
      out += c;
    }
  }
  out += '"';
}

template <class Code>
void append_member(std::string& out, std::string_view name, Code code) {
  if (out.back() != '{') out += ',';
  append_string(out, name);
  out += ':' + std::to_string(static_cast<int>(code));
}

}  // namespace

void hand_page_contract() {
  std::string json = "{\"buttons\":{";
  append_member(json, "left", 左ボタン);
  append_member(json, "right", 右ボタン);
  append_member(json, "middle", 中ボタン);
  append_member(json, "other", 他のボタン);
  json += "},\"storage\":{";
  append_member(json, "missing", StorageSize::Missing);
  append_member(json, "refused", StorageSize::Refused);
  append_member(json, "saved", StorageWrite::Saved);
  append_member(json, "noSpace", StorageWrite::NoSpace);
  append_member(json, "notPermitted", StorageWrite::NotPermitted);
  append_member(json, "failed", StorageWrite::Failed);
  json += "},\"sounds\":{";
  append_member(json, "effect", 音の種類::効果音);
  append_member(json, "music", 音の種類::音楽);
  // The largest wave image the sound library takes: a larger file is not even read whole.
  append_member(json, "largest", DS_MAX_IMAGE_BYTES);
  // The picture sheets by set, and where each picture stands in the 1x sheet.
  json += "},\"sheets\":{";
  for (int set = 1; set <= 4; ++set) {
    if (json.back() != '{') json += ',';
    append_string(json, std::to_string(set));
    json += ':';
    append_string(json, sheet_path(set));
  }
  json += "},\"places\":{";
  for (const Picture p : every_picture()) {
    const Rect r = sheet_place(p);
    if (json.back() != '{') json += ',';
    append_string(json, std::to_string(picture_id(p)));
    json += ":[" + std::to_string(r.left) + ',' + std::to_string(r.top) + ',' +
            std::to_string(r.width()) + ',' + std::to_string(r.height()) + ']';
  }
  json += "}}";
  js_contract(json.c_str());
}

}  // namespace pawnfall
