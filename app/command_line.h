// The program's few command-line options, answered before any window or display is needed.
#pragma once

#include <optional>
#include <ostream>

namespace pawnfall {

// Answers --help and --version on `out` with status 0, and an unknown option or argument with
// the usage on `err` and status 2. Nothing (the game should start) for no arguments or only the
// toolkit's own options, such as the -session that a desktop session manager restarts it with.
std::optional<int> answer_command_line(int argc, const char* const* argv, std::ostream& out,
                                       std::ostream& err);

}  // namespace pawnfall
