// The stored pictures by name and by number: the names the picture files bear, for the
// resources of the window and the files of the page alike.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "drawing/rect.h"
#include "model/platform.h"

namespace pawnfall {

// Pictures go to the page by number: code × 4 + look.
inline constexpr int kPictureLooks = 4;
inline constexpr int kPictureIds = 22 * kPictureLooks;  // every code with a picture is below 22
// The picture's number, or -1 for none.
int picture_id(Picture picture);

// The picture's file name without its extension ("W_ROOK_0", "TAITORU"); empty for none.
std::string picture_name(Picture picture);
// The path of a picture of a set (1 to 4) under the pictures' root: "pictures/2x/W_ROOK_0.png".
// The 1x set, read at every start on most screens, is uncompressed BMP: decoding PNGs took over
// a millisecond of the first frame. The denser sets, 4 to 16 times the pixels, stay PNG.
std::string picture_path(Picture picture, int set);
// The same for a picture of the sets by its file name (the window's icon is one).
std::string picture_path(std::string_view name, int set);

// Every stored picture, in the order of the picture table.
std::vector<Picture> every_picture();

// A picture's natural size in pixels of the starting window: 35 × 35 for the pieces and the
// empty square, 36 × 36 for the tiles, 210 × 50 for the banner; 0 × 0 for none.
Rect picture_size(Picture picture);

// The page fetches each set as one sheet, one request instead of one a picture: where a
// picture stands in the 1x sheet (a set's sheet is that many times larger), and the sheet.
Rect sheet_place(Picture picture);
Rect sheet_size();
// The sheet's path under the site's root: "pictures/2x.png".
std::string sheet_path(int set);

}  // namespace pawnfall
