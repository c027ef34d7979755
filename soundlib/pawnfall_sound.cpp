// PLACEHOLDER: the sound library (being written).
#include "pawnfall_sound.h"
extern "C" {
int32_t dsInitialize(int32_t) { return 0; }
int32_t dsCreateDSB(int32_t, const void*, int32_t) { return 0; }
int32_t dsPlay(int32_t) { return 0; }
int32_t dsPlayLooping(int32_t) { return 0; }
int32_t dsStop(int32_t) { return 0; }
int32_t dsFree(int32_t) { return 0; }
int32_t dsTerminate(int32_t) { return 0; }
}
