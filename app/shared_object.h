// Whether a file is a whole shared object, before the loader is let at it.
#pragma once

#include <string>

namespace pawnfall {

// A regular file holding an ELF shared object of this program's class whose program headers
// and the parts of the file they name all lie within the file.
bool whole_shared_object(const std::string& path);

}  // namespace pawnfall
