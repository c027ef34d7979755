// The sound library's C interface.
#pragma once
#include <stdint.h>
#ifdef __cplusplus
extern "C" {
#endif
#define PAWNFALL_EXPORT __attribute__((visibility("default")))
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
