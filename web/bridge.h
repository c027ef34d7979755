// The contract between the game's WebAssembly and its page. Every JavaScript function the C++
// calls is declared here and written in web/bridge.js (linked with --js-library), which only
// crosses over to the page's scripts; every number that crosses is named here or in the game's
// own tables and written into the page when the site is built (tools/make_page_parts.cpp), so
// the page's scripts write none of them.
#pragma once

#include <cstdint>

namespace pawnfall {

// What the page's storage answers for an item's length when it has none to give.
enum class StorageSize : int { Missing = -1, Refused = -2 };

// How the page's storage took a write.
enum class StorageWrite : int { Saved, NoSpace, NotPermitted, Failed };

}  // namespace pawnfall

extern "C" {

// The page's area in css pixels and its device pixel ratio.
double js_area_width();
double js_area_height();
double js_device_pixel_ratio();
// Starts loading a picture set's sheet (1 to 4) and returns at once: 1 when it is already there.
int js_fetch_pictures(int set);
// Loads a picture set's sheet (1 to 4) and returns once it is there; the game waits (Asyncify).
void js_load_pictures(int set);
// The first frame is drawn: the page takes presses from now on.
void js_started();
// A wave file the page fetches for the game after the first frame, with its kind (音の種類): the
// page fetches the music only once it is to play.
void js_name_sound(const char* name, int kind);
// A wave the page has fetched, by its name: its length, or -1 when the page has none; then the
// bytes that length answered for.
int js_wave_size(const char* name);
void js_wave_read(const char* name, unsigned char* out, int length);

// The canvas: its size and the drawing's place in device pixels, and the picture set wanted.
void js_layout(int width, int height, int x, int y, int w, int h, int set);
// A text's line box and ink at a size in pixels, from its top-left corner: left, top, right,
// bottom into box.
void js_text_box(const char* text, int size, double* box);
// A picture's pixels at w × h device pixels, as the canvas's bytes.
void js_picture_pixels(int id, int w, int h, std::uint32_t* out);
// A text set in the page's fonts at a size in pixels, in black on clear: its width, height and
// margin into form (its top-left corner stands margin pixels above and left of where the text is
// drawn) and its length in bytes; then those bytes, as the canvas's.
int js_text_ink(const char* text, int size, int* form);
void js_text_ink_read(std::uint8_t* out);
// Puts the part (x, y, w, h) of the pixels on the canvas.
void js_put(std::uint32_t* pixels, int width, int height, int x, int y, int w, int h);

// A menu item's check mark, by MenuItem.
void js_set_checked(int item, int on);
// A modal box; the game waits until it is closed (Asyncify).
void js_message_box(const char* text, const char* caption, int warning);

// The browser's storage, an item as bytes: its length or a StorageSize; then the bytes that
// length answered for; a write answers a StorageWrite.
int js_storage_size(const char* name);
void js_storage_read(const char* name, char* out, int length);
int js_storage_write(const char* name, const char* bytes, int length);

// Web Audio, for the sound library's operations: 0 when the browser refuses.
int js_audio_open();
int js_audio_buffer(int handle, int channels, int frames, int rate, const float* samples,
                    int effect);
void js_audio_play(int handle, int loop);
void js_audio_stop(int handle);
void js_audio_free(int handle);
void js_audio_close();

}  // extern "C"
