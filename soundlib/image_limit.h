/* The largest wave image the sound library accepts, header included: the one limit its C
   interface states and its wave check applies. Over a minute and a half of CD-quality sound,
   small enough that no image can decode into an unreasonable amount of memory. */
#pragma once

#define DS_MAX_IMAGE_BYTES (16u * 1024u * 1024u)
