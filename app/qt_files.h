// Files by name in the current folder: bounded reads of regular files, replacements that either
// happen whole or change nothing.
#pragma once

#include <cstddef>
#include <string_view>

#include "model/platform.h"

namespace pawnfall {

FileContents read_regular_file(std::string_view name, std::size_t max_bytes);
SaveResult replace_regular_file(std::string_view name, std::string_view bytes);

}  // namespace pawnfall
