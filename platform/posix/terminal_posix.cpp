#include <unistd.h>

#include "platform/terminal.hpp"

namespace tavrik::platform {

bool standard_error_is_terminal() {
    return isatty(STDERR_FILENO) == 1;
}

}  // namespace tavrik::platform
