// The single-byte code pages the program converts with tables of its own, so that every
// build gives the same results and undefined bytes fail everywhere (Windows' own converter
// accepts 0x98 in Windows-1251, for example).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace tavrik::encoding {

// Marks a byte the code page leaves undefined; no code page maps a byte to U+FFFF.
inline constexpr char16_t UNDEFINED_UNIT = 0xFFFF;

struct SingleByteCodePage {
    std::uint32_t code_page;
    const char* description;
    std::array<char16_t, 256> to_unicode;
};

inline constexpr std::array<SingleByteCodePage, 8> SINGLE_BYTE_CODE_PAGES = {{
#include "single_byte_tables.inc"
}};

// UTF-16 unit -> byte, as a two-level table: the unit's high byte picks one of a few
// 256-entry pages. Built at compile time from the byte -> unit table.
class SingleByteEncoder {
  public:
    static constexpr int MAX_PAGES = 12;
    static constexpr std::int16_t UNMAPPED = -1;

    constexpr explicit SingleByteEncoder(const SingleByteCodePage& page) {
        for (auto& p : pages_)
            p.fill(UNMAPPED);
        for (int byte = 0; byte < 256; ++byte) {
            const char16_t unit = page.to_unicode[static_cast<std::size_t>(byte)];
            if (unit == UNDEFINED_UNIT) continue;
            const auto high = static_cast<std::size_t>(unit >> 8);
            if (page_of_high_[high] == 0) {
                if (page_count_ == MAX_PAGES) throw "too many pages for one code page";
                page_of_high_[high] = static_cast<std::uint8_t>(++page_count_);
            }
            auto& slot = pages_[page_of_high_[high] - 1u][unit & 0xFFu];
            // Keep the first byte when two bytes map to one unit, as Windows does.
            if (slot == UNMAPPED) slot = static_cast<std::int16_t>(byte);
        }
    }

    // The byte for `unit`, or UNMAPPED.
    constexpr std::int16_t encode(char32_t code_point) const {
        if (code_point > 0xFFFF) return UNMAPPED;
        const std::uint8_t page = page_of_high_[code_point >> 8];
        return page == 0 ? UNMAPPED : pages_[page - 1u][code_point & 0xFFu];
    }

  private:
    std::array<std::uint8_t, 256> page_of_high_{};
    std::array<std::array<std::int16_t, 256>, MAX_PAGES> pages_{};
    int page_count_ = 0;
};

namespace detail {
constexpr std::array<SingleByteEncoder, SINGLE_BYTE_CODE_PAGES.size()> make_encoders() {
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
        return std::array<SingleByteEncoder, sizeof...(I)>{
            SingleByteEncoder(SINGLE_BYTE_CODE_PAGES[I])...};
    }
    (std::make_index_sequence<SINGLE_BYTE_CODE_PAGES.size()>{});
}
}  // namespace detail

inline constexpr auto SINGLE_BYTE_ENCODERS = detail::make_encoders();

// Index into SINGLE_BYTE_CODE_PAGES / SINGLE_BYTE_ENCODERS, or -1 when the code page has no
// table of ours.
constexpr int single_byte_index(std::uint32_t code_page) {
    for (std::size_t i = 0; i < SINGLE_BYTE_CODE_PAGES.size(); ++i) {
        if (SINGLE_BYTE_CODE_PAGES[i].code_page == code_page) return static_cast<int>(i);
    }
    return -1;
}

// The character a code page writes for one it cannot hold ('?' in every table of ours).
inline constexpr unsigned char DEFAULT_CHARACTER = '?';

}  // namespace tavrik::encoding
