#include "app/command_line.h"

#include <array>
#include <string_view>

namespace pawnfall {
namespace {

constexpr std::string_view kUsage =
    "Usage: pawnfall [--help | --version]\n"
    "A puzzle game of chess-piece chains: take pieces of one kind that can capture each other.\n"
    "\n"
    "  --help     show this help and exit\n"
    "  --version  show the version and exit\n"
    "\n"
    "The game keeps its settings file Pawnfall.ini in the folder it runs in; installed, in\n"
    "$XDG_DATA_HOME/pawnfall (~/.local/share/pawnfall).\n";

// Options that the window toolkit reads itself, with whether a value follows.
struct ToolkitOption {
  std::string_view name;
  bool takes_value;
};
constexpr std::array<ToolkitOption, 18> kToolkitOptions{{
    {"platform", true},
    {"platformpluginpath", true},
    {"platformtheme", true},
    {"plugin", true},
    {"qwindowgeometry", true},
    {"qwindowicon", true},
    {"qwindowtitle", true},
    {"session", true},
    {"display", true},
    {"geometry", true},
    {"style", true},
    {"stylesheet", true},
    {"qmljsdebugger", true},
    {"reverse", false},
    {"widgetcount", false},
    {"nograb", false},
    {"dograb", false},
    {"sync", false},
}};

const ToolkitOption* toolkit_option(std::string_view name) {
  for (const ToolkitOption& option : kToolkitOptions)
    if (option.name == name) return &option;
  return nullptr;
}

}  // namespace

std::optional<int> answer_command_line(int argc, const char* const* argv, std::ostream& out,
                                       std::ostream& err) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      out << kUsage;
      return 0;
    }
    if (arg == "--version") {
      out << "Pawnfall " PAWNFALL_VERSION "\n";
      return 0;
    }
    // The toolkit takes its options with one dash or two, and a value after "=" or apart.
    std::string_view name = arg.substr(0, arg.find('='));
    if (name.starts_with("--"))
      name.remove_prefix(2);
    else if (name.starts_with("-"))
      name.remove_prefix(1);
    const ToolkitOption* option = arg.starts_with("-") ? toolkit_option(name) : nullptr;
    if (!option) {
      err << "pawnfall: unknown option '" << arg << "'\n" << kUsage;
      return 2;
    }
    if (option->takes_value && arg.find('=') == std::string_view::npos) {
      if (i + 1 == argc) {
        err << "pawnfall: option '" << arg << "' needs a value\n" << kUsage;
        return 2;
      }
      ++i;
    }
  }
  return std::nullopt;
}

}  // namespace pawnfall
