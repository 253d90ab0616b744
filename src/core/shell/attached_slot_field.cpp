#include "shell/attached_slot.h"

namespace qzt {

// Kept even when nothing in the program reads it at run time: copy tools
// find it in the file. Random-looking marker bytes, not text, so that no
// string of the program repeats them.
#if defined(__GNUC__)
__attribute__((used))
#endif
const unsigned char kAttachedSlot[kSlotFieldSize] = {
    0x51, 0x5a, 0x54, 0xa7, 0x3c, 0xe1, 0x08, 0x9d, 0x6b, 0xf2, 0x47, 0x15, 0xc8, 0x2e, 0x93, 0x70,
    0x00, 0x00, 0x00, 0x00};

}  // namespace qzt
