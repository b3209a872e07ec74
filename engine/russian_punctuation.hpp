// The punctuation of Russian typography outside ASCII: guillemets, dashes, curly quotes, the
// ellipsis and «№». One list for the measures that treat them as right text.
#pragma once

namespace tavrik {

constexpr bool is_russian_punctuation(char32_t c) {
    switch (c) {
        case 0x00AB:
        case 0x00BB:
        case 0x2013:
        case 0x2014:
        case 0x2026:
        case 0x201C:
        case 0x201D:
        case 0x201E:
        case 0x2116:
            return true;
        default:
            return false;
    }
}

}  // namespace tavrik
