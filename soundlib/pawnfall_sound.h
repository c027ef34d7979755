// The sound library's C interface: one output, any number of wave buffers, 32-bit handles.
//
// Handles are never 0 and never reused while the process lives; 0 means "none". Every buffer
// operation on 0, on a freed handle or on a handle of an earlier session does nothing.
//
// dsInitialize opens the audio output and answers the interface handle, or 0 when no output can
// be opened. The window argument is not needed here and is ignored. A second call while the
// output is open answers the same handle.
//
// dsCreateDSB decodes a complete RIFF/WAVE image into a new buffer. No length is passed, so the
// library reads no more of the image than its own RIFF header declares, and answers 0 for an
// image whose header is not a plausible RIFF/WAVE header (wrong tags, a declared size too small
// for a wave or above DS_MAX_IMAGE_BYTES) or whose data cannot be decoded. The
// caller may release the image as soon as the call returns.
//
// Flags of dsCreateDSB, combined by OR:
//   DS_FLAG_MEMORY (1): the buffer is decoded into memory at creation. This is the only kind of
//                       buffer the library makes; a call without this bit answers 0.
//   DS_FLAG_EFFECT (2): a sound effect, mixed at full level. Without it the buffer is background
//                       music, mixed at half level so that effects stay clear above it.
// So 3 makes a sound effect and 1 makes background music.
//
// dsPlay plays a buffer once from its start; playing a buffer that is already sounding restarts
// it. dsPlayLooping repeats it without a gap until dsStop. Different buffers sound together.
// dsFree stops and releases a buffer; dsTerminate releases every buffer and closes the output.
// The operations answer 1 when they did something and 0 otherwise.
#pragma once
#include <stdint.h>

#include "soundlib/image_limit.h"
#ifdef __cplusplus
extern "C" {
#endif
#define PAWNFALL_EXPORT __attribute__((visibility("default")))

#define DS_FLAG_MEMORY 1
#define DS_FLAG_EFFECT 2

PAWNFALL_EXPORT int32_t dsInitialize(int32_t window);
PAWNFALL_EXPORT int32_t dsCreateDSB(int32_t iface, const void* image, int32_t flags);
PAWNFALL_EXPORT int32_t dsPlay(int32_t buffer);
PAWNFALL_EXPORT int32_t dsPlayLooping(int32_t buffer);
PAWNFALL_EXPORT int32_t dsStop(int32_t buffer);
PAWNFALL_EXPORT int32_t dsFree(int32_t buffer);
PAWNFALL_EXPORT int32_t dsTerminate(int32_t iface);
#ifdef __cplusplus
}
#endif
