// Files by name in the current folder: bounded reads of regular files, replacements that either
// happen whole or change nothing.
#pragma once

#include <chrono>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "model/platform.h"

namespace pawnfall {

FileContents read_regular_file(std::string_view name, std::size_t max_bytes);
SaveResult replace_regular_file(std::string_view name, std::string_view bytes);
// An exclusive lock on the folder that holds the file, waiting at most `wait` for another
// holder (null then). Where the file system refuses that, a lock file beside the file, made for
// as long as the lock is held; where none can be had at all, a token that holds nothing.
std::unique_ptr<FileLock> lock_folder_of(std::string_view name, std::chrono::milliseconds wait);
// Removes the replacements of the file that saves which were killed left beside it.
void remove_left_behind_temporaries(std::string_view name);
// A system error number as a short sentence for the player.
std::string describe_error(int error);

}  // namespace pawnfall
