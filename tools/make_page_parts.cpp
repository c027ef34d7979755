// Writes the parts of the page that come from the game's own tables, so that the page has them
// before the game's code has come and nothing builds them at the game's start:
// - the menu bar from the menu table, each entry with its command and check item, which menus.js
//   hands back to the game;
// - the numbers the page shares with the game, as JSON: the mouse buttons, the storage's answers,
//   the kinds of sound, and the picture sheets with each picture's place in them.
//
// Usage: make_page_parts OUTPUT_HTML
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "drawing/pictures.h"
#include "game/menu.h"
#include "model/state.h"
#include "sound/sound.h"
#include "soundlib/image_limit.h"
#include "web/bridge.h"

namespace {

std::string escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// The bar as the page's style sheet and scripts know it: on the bar a button in a `div.top`,
// below it `li` entries; an entry that opens deeper ones is followed by their `ul`.
std::string menubar() {
  using namespace pawnfall;
  std::string html = "<nav id=\"menubar\" role=\"menubar\" aria-label=\"メニュー\">";
  std::vector<std::string> closers;  // what ends each open submenu, innermost last
  for (const メニュー項目& entry : メニュー表) {
    while (closers.size() > static_cast<std::size_t>(entry.段)) {
      html += closers.back();
      closers.pop_back();
    }
    const bool opens = !entry.命令;
    const bool bar = entry.段 == 0;
    if (bar) html += "<div class=\"top\">";
    html += bar ? "<button" : "<li tabindex=\"-1\"";
    html += entry.印 ? " role=\"menuitemcheckbox\"" : " role=\"menuitem\"";
    if (opens)
      html += bar ? " aria-expanded=\"false\" aria-haspopup=\"true\""
                  : " class=\"sub\" aria-haspopup=\"true\"";
    if (entry.命令)
      html += " data-command=\"" + std::to_string(static_cast<int>(*entry.命令)) + '"';
    if (entry.印) {
      html += " data-item=\"" + std::to_string(static_cast<int>(*entry.印)) + '"';
      html += entry.初期印 ? " aria-checked=\"true\"" : " aria-checked=\"false\"";
    }
    html += '>' + escaped(entry.名);
    if (bar) html += "</button>";
    if (opens) {
      html += "<ul role=\"menu\">";
      closers.push_back(bar ? "</ul></div>" : "</ul></li>");
    } else {
      html += bar ? "</div>" : "</li>";
    }
  }
  while (!closers.empty()) {
    html += closers.back();
    closers.pop_back();
  }
  return html + "</nav>\n";
}

void append_string(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20 || c == '<') {
      // '<' too, so that no text can end the script element the JSON stands in.
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

std::string contract() {
  using namespace pawnfall;
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
  return json + "}}";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_HTML\n", argv[0]);
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << menubar() << "<script type=\"application/json\" id=\"contract\">" << contract()
      << "</script>\n";
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_page_parts: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
