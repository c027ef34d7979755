// The game's text, UTF-8 in standard strings, as Qt's strings.
#pragma once

#include <QString>

#include <string_view>

namespace pawnfall {

inline QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace pawnfall
