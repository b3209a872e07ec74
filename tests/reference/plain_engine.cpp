#include "tests/reference/plain_engine.hpp"

#include <cstdio>
#include <cstring>
#include <string>

#include "engine/code_pages.hpp"
#include "engine/text_score.hpp"
#include "platform/code_page_conversion.hpp"

namespace tavrik::plain {

int convert_strict(std::string_view source, char* destination, std::uint64_t& destination_length,
                   std::uint32_t from_code_page, std::uint32_t to_code_page) {
    if (source.empty()) {
        destination_length = 0;
        return 1;
    }
    if (from_code_page == to_code_page) {
        if (destination_length < source.size()) return 0;
        std::memcpy(destination, source.data(), source.size());
        destination_length = source.size();
        return 1;
    }
    std::u16string wide;
    if (!platform::decode_to_utf16(from_code_page, source, wide) || wide.empty()) return 0;
    std::string encoded;
    const auto result = platform::encode_from_utf16(to_code_page, wide, encoded);
    if (!result.ok || encoded.empty() || encoded.size() > destination_length) return 0;
    if (to_code_page != encoding::UTF8_CODE_PAGE && result.used_default) return 0;
    std::memcpy(destination, encoded.data(), encoded.size());
    destination_length = encoded.size();
    return 1;
}

int is_strict_utf8(std::string_view text) {
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = p[i];
        if (c <= 0x7F) {
            ++i;
            continue;
        }
        std::size_t more;
        unsigned char low = 0x80, high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c == 0xE0) {
            more = 2, low = 0xA0;
        } else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE || c == 0xEF) {
            more = 2;
        } else if (c == 0xED) {
            more = 2, high = 0x9F;
        } else if (c == 0xF0) {
            more = 3, low = 0x90;
        } else if (c >= 0xF1 && c <= 0xF3) {
            more = 3;
        } else if (c == 0xF4) {
            more = 3, high = 0x8F;
        } else {
            return 0;
        }
        if (i + more >= n) return 0;
        if (p[i + 1] < low || p[i + 1] > high) return 0;
        for (std::size_t k = 2; k <= more; ++k) {
            if (p[i + k] < 0x80 || p[i + k] > 0xBF) return 0;
        }
        i += more + 1;
    }
    return 1;
}

int contains_common_word(std::string_view text) {
    if (text.empty()) return 0;
    for (std::size_t w = 0; COMMON_WORDS[w] != nullptr; ++w) {
        if (std::strstr(text.data(), COMMON_WORDS[w]) != nullptr) return 1;
    }
    return 0;
}

double score_text(std::string_view text) {
    if (text.empty()) return 0.0;
    if (is_strict_utf8(text) == 0) return 1.0;
    const double length = static_cast<double>(text.size());
    const double density = 3.0 * count_cyrillic_utf8(text) / length;
    double score = density > 0.3 ? 100.0 : density > 0.1 ? 80.0 : 60.0;
    if (contains_common_word(text)) score += 50.0;
    int printable = 0;
    for (const char c : text)
        printable += c >= 0x20 && c <= 0x7E;
    if (printable / length > 0.7) score += 10.0;
    return score;
}

int run_chain(std::string_view input, Candidate& out, std::uint32_t origin,
              std::span<const std::uint32_t> intermediates, std::uint32_t final_code_page) {
    // Two work buffers, as every chain has; kept between calls only to spare the tests the cost.
    static std::string work[2] = {std::string(WORK_BUFFER_SIZE, '\0'),
                                  std::string(WORK_BUFFER_SIZE, '\0')};
    std::string_view current = input;
    std::uint32_t from = origin;
    int target = 0;
    for (const std::uint32_t step : intermediates) {
        std::uint64_t length = WORK_BUFFER_SIZE;
        if (!convert_strict(current, work[target].data(), length, from, step)) return 0;
        current = std::string_view(work[target]).substr(0, length);
        from = step;
        target ^= 1;
    }
    std::uint64_t length = WORK_BUFFER_SIZE;
    if (!convert_strict(current, work[target].data(), length, final_code_page,
                        encoding::UTF8_CODE_PAGE)) {
        return 0;
    }
    Candidate result;
    auto text = std::make_shared<char[]>(length + 1);
    std::memcpy(text.get(), work[target].data(), length);
    result.text = std::move(text);
    result.length = length;
    result.score = score_text(result.view());
    std::size_t used = 0;
    auto append = [&](const char* piece) {
        if (used < LABEL_SIZE - 1) {
            const int n = std::snprintf(result.label.data() + used, LABEL_SIZE - used, "%s", piece);
            used = std::min(LABEL_SIZE - 1, used + static_cast<std::size_t>(n));
        }
    };
    append(code_page_name(origin));
    for (const std::uint32_t step : intermediates) {
        append(" \xE2\x86\x92 ");
        append(code_page_name(step));
    }
    append(" \xE2\x86\x92 ");
    append(code_page_name(final_code_page));
    out = std::move(result);
    return 1;
}

std::vector<Candidate> enumerate_candidates(std::string_view input) {
    std::vector<Candidate> held;
    const std::uint32_t origins[] = {encoding::UTF8_CODE_PAGE, resolve_code_page(0),
                                     resolve_code_page(1)};
    for (const std::uint32_t origin : origins) {
        for (const CodePageEntry& final_row : code_page_catalogue) {
            const std::uint32_t final_code_page = resolve_code_page(final_row.value);
            if (final_code_page == CODE_PAGE_ASCII) continue;
            for (const CodePageEntry& middle_row : code_page_catalogue) {
                const std::uint32_t intermediate = resolve_code_page(middle_row.value);
                if (intermediate == CODE_PAGE_ASCII) continue;
                Candidate candidate;
                const std::uint32_t chain[] = {intermediate};
                if (plain::run_chain(input, candidate, origin, chain, final_code_page) &&
                    held.size() < MAX_CANDIDATES) {
                    held.push_back(std::move(candidate));
                }
            }
        }
    }
    return held;
}

}  // namespace tavrik::plain
