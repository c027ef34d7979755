// Writes the page's menu bar from the game's menu table, so that the page lays the bar out while
// the game's code is still on its way rather than at the game's start. Each entry carries its
// command and check item, which menus.js hands back to the game.
//
// Usage: make_menubar OUTPUT_HTML
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "game/menu.h"

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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_HTML\n", argv[0]);
    return 2;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << menubar();
  out.close();
  if (!out) {
    std::fprintf(stderr, "make_menubar: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
