// Names as a Russian Windows garbles them, for tests of name repair.
#pragma once

#include <string>
#include <string_view>

namespace tavrik::test {

// `real` written in the OEM code page (866) and read in the ANSI one (1251).
std::u16string shown_in_ansi(std::u16string_view real);

}  // namespace tavrik::test
