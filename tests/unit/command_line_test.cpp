// The command line: what is answered before the window, and what is left to the toolkit.
#include <gtest/gtest.h>

#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/command_line.h"

namespace pawnfall {
namespace {

struct Case {
  std::vector<const char*> args;
  std::optional<int> status;
  std::string out;  // expected start of standard output; empty means nothing printed
  std::string err;  // expected start of standard error
};

TEST(CommandLine, AnswersHelpVersionAndUnknownOptionsAndLeavesToolkitOptionsToTheGame) {
  const std::string usage = "Usage: pawnfall";
  const std::vector<Case> cases = {
      {{}, std::nullopt, "", ""},
      {{"--help"}, 0, usage, ""},
      {{"-h"}, 0, usage, ""},
      {{"--version"}, 0, "Pawnfall 0.9\n", ""},
      {{"-platform", "xcb", "--version"}, 0, "Pawnfall 0.9\n", ""},
      {{"--bogus"}, 2, "", "pawnfall: unknown option '--bogus'\nUsage: pawnfall"},
      {{"-v"}, 2, "", "pawnfall: unknown option '-v'"},
      {{"board.txt"}, 2, "", "pawnfall: unknown option 'board.txt'"},
      // A session manager restarts the game with -session and its id.
      {{"-session", "1234abcd"}, std::nullopt, "", ""},
      {{"--platform=offscreen", "-reverse"}, std::nullopt, "", ""},
      {{"-style", "fusion", "-geometry", "+0+0"}, std::nullopt, "", ""},
      // The value of a toolkit option is not read as an option of its own.
      {{"-qwindowtitle", "--help"}, std::nullopt, "", ""},
      {{"-session"}, 2, "", "pawnfall: option '-session' needs a value"},
  };
  for (const Case& c : cases) {
    std::vector<const char*> argv{"pawnfall"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    std::ostringstream out, err;
    const auto status = answer_command_line(static_cast<int>(argv.size()), argv.data(), out, err);
    const std::string label = argv.size() > 1 ? argv[1] : "(none)";
    EXPECT_EQ(status, c.status) << label;
    EXPECT_EQ(out.str().substr(0, c.out.size()), c.out) << label;
    EXPECT_EQ(out.str().empty(), c.out.empty()) << label;
    EXPECT_EQ(err.str().substr(0, c.err.size()), c.err) << label;
    EXPECT_EQ(err.str().empty(), c.err.empty()) << label;
    if (c.status == 2) {
      EXPECT_NE(err.str().find(usage), std::string::npos) << label;
    }
  }
}

}  // namespace
}  // namespace pawnfall
