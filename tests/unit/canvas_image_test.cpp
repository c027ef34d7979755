// The browser's canvas pixels, against a stand-in for the page: a text 3 × 2 from a margin of 1.
#include <gtest/gtest.h>

#include "model/state.h"
#include "web/canvas_image.h"

static int texts_asked = 0;
static std::vector<std::uint32_t> put;  // the first row of the last part put on the canvas

extern "C" int js_text_ink(const char*, int, int* form) {
  form[0] = 3, form[1] = 2, form[2] = 1;
  return ++texts_asked, 3 * 2 * 4;
}
extern "C" void js_text_ink_read(std::uint8_t* out) {
  for (const int a : {255, 255, 255, 64, 0, 255}) out[3] = static_cast<std::uint8_t>(a), out += 4;
}
extern "C" void js_picture_pixels(int, int, int, std::uint32_t*) {}
extern "C" void js_put(std::uint32_t* pixels, int width, int, int x, int y, int w, int) {
  put.assign(pixels + y * width + x, pixels + y * width + x + w);
}

TEST(CanvasImage, ATextIsBlendedOnlyWithinTheDrawingAndAskedOfThePageOnce) {
  pawnfall::CanvasImage image;
  image.reset(5, 2, 1, 1, 3, 1);  // the drawing: row 1, columns 1 to 3
  image.flush();
  image.text(2, 1, "1", 12, pawnfall::色_白);  // its ink from (1, 0), partly outside the drawing
  image.flush();
  // White at alpha 64 over the background green rounds to (64, 160, 64); alpha 0 leaves it.
  EXPECT_EQ(put, (std::vector<std::uint32_t>{0xFF40A040, 0xFF008000, 0xFFFFFFFF}));
  image.text(2, 1, "1", 12, pawnfall::色_白);
  EXPECT_EQ(texts_asked, 1);
}
