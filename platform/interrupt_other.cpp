// Systems without POSIX signals: an interrupt ends the process as the system does it.
#include "platform/interrupt.h"

namespace platform {

void RemoveTemporaryFilesOnInterrupt() {}

}  // namespace platform
