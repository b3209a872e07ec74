// Whether a standard stream is a terminal a person watches (where a progress line belongs).
#pragma once

namespace tavrik::platform {

// True when standard error is a terminal: a tty on POSIX, a console on Windows.
bool standard_error_is_terminal();

}  // namespace tavrik::platform
