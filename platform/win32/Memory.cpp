#include "platform/Memory.h"

namespace platform {

// Large pages need a privilege a user's process does not have: nothing to ask for.
void AdviseLargeBlock(void*, size_t) {}

}  // namespace platform
