// Where the program keeps its settings file and finds its sounds: the installed program in the
// player's data folder by the XDG rules, a built one in the folder it runs in.
#pragma once

#include <optional>
#include <string>

namespace pawnfall {

struct Place {
  std::string sounds;  // the wave files' folder; empty for the current folder
  // Why no settings file can be kept this session, if none can.
  std::optional<std::string> files_unavailable;
};

// For the installed program (its sounds stand at `sounds_from_program`, relative to its own
// folder): makes the data folder if need be and moves into it. Otherwise changes nothing.
Place settle_in_data_folder(const std::string& sounds_from_program);

}  // namespace pawnfall
