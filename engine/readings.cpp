#include "engine/readings.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <utility>

#include "encoding/reading_code_pages.hpp"
#include "encoding/utf8.hpp"
#include "engine/candidate_choice.hpp"
#include "engine/candidate_list.hpp"
#include "engine/code_pages.hpp"
#include "engine/heap_text.hpp"
#include "engine/text_score.hpp"
#include "platform/code_page_conversion.hpp"

namespace tavrik {

namespace {

constexpr const char* ARROW = " \xE2\x86\x92 ";  // " → "

// most_plausible_candidate's margin between chains, for a reading of ours on a short text.
constexpr double SHORT_TEXT_MARGIN = 128;

// The table of a code page of ours; null for the catalogue's.
const encoding::SingleByteCodePage* own_table(std::uint32_t code_page) {
    if (code_page == READING_MAC_CYRILLIC) return &encoding::MAC_CYRILLIC;
    if (code_page == READING_WINDOWS_1251) return &encoding::WINDOWS_1251;
    return nullptr;
}

const encoding::SingleByteEncoder* own_encoder(std::uint32_t code_page) {
    if (code_page == READING_MAC_CYRILLIC) return &encoding::MAC_CYRILLIC_ENCODER;
    if (code_page == READING_WINDOWS_1251) return &encoding::WINDOWS_1251_ENCODER;
    return nullptr;
}

// Windows' 10007 characters for the bytes where it differs from Apple's definition.
std::int16_t windows_mac_cyrillic_byte(char32_t c) {
    switch (c) {
        case 0x00A2:
            return 0xA2;
        case 0x2202:
            return 0xB6;
        case 0x00A4:
            return 0xFF;
        default:
            return encoding::SingleByteEncoder::UNMAPPED;
    }
}

bool is_ascii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool same_text(const Candidate& a, std::string_view b) {
    return a.length == b.size() &&
           (b.empty() || std::memcmp(a.text.get(), b.data(), b.size()) == 0);
}

std::string label_of(std::uint32_t origin, std::uint32_t intermediate, std::uint32_t final_page) {
    return std::string(reading_code_page_name(origin)) + ARROW +
           reading_code_page_name(intermediate) + ARROW + reading_code_page_name(final_page);
}

}  // namespace

const char* reading_code_page_name(std::uint32_t code_page) {
    if (code_page == READING_MAC_CYRILLIC) return "maccyrillic";
    if (code_page == READING_WINDOWS_1251) return "win1251";
    return code_page_name(code_page);
}

bool read_in_code_page(std::uint32_t code_page, std::string_view bytes, std::string& utf8) try {
    utf8.clear();
    if (code_page == encoding::UTF8_CODE_PAGE) {
        if (!encoding::utf8::is_well_formed(bytes)) return false;
        utf8.assign(bytes);
        return true;
    }
    if (const auto* table = own_table(code_page)) {
        utf8.resize(bytes.size() * 3);  // each byte's character takes at most three
        std::size_t used = 0;
        for (const char byte : bytes) {
            const char16_t unit = table->to_unicode[static_cast<unsigned char>(byte)];
            if (unit == encoding::UNDEFINED_UNIT) return false;
            if (unit < 0x80) {
                utf8[used++] = static_cast<char>(unit);
            } else if (unit < 0x800) {
                utf8[used++] = static_cast<char>(0xC0 | (unit >> 6));
                utf8[used++] = static_cast<char>(0x80 | (unit & 0x3F));
            } else {
                utf8[used++] = static_cast<char>(0xE0 | (unit >> 12));
                utf8[used++] = static_cast<char>(0x80 | ((unit >> 6) & 0x3F));
                utf8[used++] = static_cast<char>(0x80 | (unit & 0x3F));
            }
        }
        utf8.resize(used);
        return true;
    }
    std::u16string wide;
    if (!platform::decode_to_utf16(code_page, bytes, wide)) return false;
    encoding::utf8::encode_lenient(wide, utf8);
    return true;
} catch (const std::bad_alloc&) {
    return false;
}

bool write_in_code_page(std::uint32_t code_page, std::string_view utf8, std::string& bytes) try {
    bytes.clear();
    if (code_page == encoding::UTF8_CODE_PAGE) {
        if (!encoding::utf8::is_well_formed(utf8)) return false;
        bytes.assign(utf8);
        return true;
    }
    if (const auto* encoder = own_encoder(code_page)) {
        if (!encoding::utf8::is_well_formed(utf8)) return false;
        bytes.reserve(utf8.size());
        for (std::size_t i = 0; i < utf8.size();) {
            const char32_t c = encoding::utf8::next_or_replacement(utf8, i);
            std::int16_t byte = encoder->encode(c);
            if (byte == encoding::SingleByteEncoder::UNMAPPED && code_page == READING_MAC_CYRILLIC)
                byte = windows_mac_cyrillic_byte(c);
            if (byte == encoding::SingleByteEncoder::UNMAPPED) return false;
            bytes.push_back(static_cast<char>(byte));
        }
        return true;
    }
    std::u16string wide;
    if (!encoding::utf8::decode_strict(utf8, wide)) return false;
    const platform::EncodeResult result = platform::encode_from_utf16(code_page, wide, bytes);
    return result.ok && !result.used_default;
} catch (const std::bad_alloc&) {
    return false;
}

Readings::Readings(std::string_view input) {
    try {
        {
            const CandidateList catalogue(input);
            items_.reserve(static_cast<std::size_t>(catalogue.size()) + 32);
            for (const Candidate& candidate : catalogue.view())
                items_.push_back(candidate);
        }
        catalogue_count_ = size();
        // ASCII reads the same in every code page here: nothing of ours to add.
        if (input.empty() || is_ascii(input)) return;

        const auto add = [&](std::string_view text, std::uint32_t origin,
                             std::uint32_t intermediate, std::uint32_t final_page) {
            for (const Candidate& known : items_) {
                if (same_text(known, text)) return;
            }
            Candidate candidate;
            if (make_candidate(text, label_of(origin, intermediate, final_page), candidate))
                items_.push_back(std::move(candidate));
        };

        // The single-byte catalogue code pages (resolved, each once), then UTF-8.
        std::vector<std::uint32_t> catalogue_pages;
        const ChainPlan plan = plan_chains();
        for (int i = 0; i < plan.row_count; ++i) {
            const std::uint32_t page = plan.rows[static_cast<std::size_t>(i)];
            if (page == encoding::UTF8_CODE_PAGE) continue;
            if (std::find(catalogue_pages.begin(), catalogue_pages.end(), page) ==
                catalogue_pages.end())
                catalogue_pages.push_back(page);
        }

        std::string text;
        // The input's bytes read as they are, labelled as the catalogue labels such readings
        // (UTF-8 copied, then read): in the catalogue's code pages too, for a text whose reading
        // outgrows the catalogue's work buffers, then as MacCyrillic.
        for (const std::uint32_t page : catalogue_pages) {
            if (read_in_code_page(page, input, text))
                add(text, encoding::UTF8_CODE_PAGE, encoding::UTF8_CODE_PAGE, page);
        }
        if (read_in_code_page(READING_MAC_CYRILLIC, input, text))
            add(text, encoding::UTF8_CODE_PAGE, encoding::UTF8_CODE_PAGE, READING_MAC_CYRILLIC);

        if (!encoding::utf8::is_well_formed(input)) return;
        // From the text as UTF-8: written in an intermediate, read in a final code page.
        std::vector<std::uint32_t> intermediates;
        if (input.find("\xC2\x98") != std::string_view::npos)
            intermediates.push_back(READING_WINDOWS_1251);
        intermediates.push_back(READING_MAC_CYRILLIC);
        intermediates.insert(intermediates.end(), catalogue_pages.begin(), catalogue_pages.end());
        std::vector<std::uint32_t> finals = catalogue_pages;
        finals.push_back(encoding::UTF8_CODE_PAGE);
        finals.push_back(READING_MAC_CYRILLIC);

        std::string bytes;
        for (const std::uint32_t intermediate : intermediates) {
            if (!write_in_code_page(intermediate, input, bytes)) continue;
            const bool ours = own_table(intermediate) != nullptr;
            for (const std::uint32_t final_page : finals) {
                if (!ours && final_page != READING_MAC_CYRILLIC) continue;  // the catalogue's
                if (read_in_code_page(final_page, bytes, text))
                    add(text, encoding::UTF8_CODE_PAGE, intermediate, final_page);
            }
        }
    } catch (const std::bad_alloc&) {
        // keep the readings found so far
    }
}

bool reads_as_text(const PlausibilityMeasure& measure) {
    return measure.symbols < PLAUSIBILITY_EVIDENCE || measure.average >= IMPLAUSIBLE_BELOW;
}

int most_plausible_with_margin(std::span<const Candidate> candidates, int preferred_count,
                               double margin) {
    const auto preferred = static_cast<std::size_t>(
        std::clamp(preferred_count, 0, static_cast<int>(candidates.size())));
    const int chosen = preferred > 0 ? most_plausible_candidate(candidates.first(preferred)) : -1;
    // The most plausible of the others, the first of equals.
    int other = -1;
    PlausibilityMeasure other_measure;
    for (std::size_t i = preferred; i < candidates.size(); ++i) {
        const PlausibilityMeasure measure = measure_plausibility(candidates[i].view());
        if (other < 0 || measure.average > other_measure.average) {
            other = static_cast<int>(i);
            other_measure = measure;
        }
    }
    if (chosen < 0 || other < 0) return chosen < 0 ? other : chosen;
    const std::string_view chosen_text = candidates[static_cast<std::size_t>(chosen)].view();
    const PlausibilityMeasure chosen_measure = measure_plausibility(chosen_text);
    const double gain =
        (other_measure.average - chosen_measure.average) *
        static_cast<double>(
            std::min(other_measure.symbols, std::max<std::int64_t>(chosen_measure.symbols, 1)));
    // U+0098 is in no text but one Windows' 0x98 garbled: then the other readings are what the
    // text needs, and the more plausible one wins outright.
    const bool holds_0x98 = chosen_text.find("\xC2\x98") != std::string_view::npos;
    // A few letters are little evidence: then a reading of ours needs the margin chains need.
    const bool short_text =
        std::min(other_measure.symbols, chosen_measure.symbols) < PLAUSIBILITY_EVIDENCE;
    const double needed = holds_0x98   ? 0.0
                          : short_text ? std::max(margin, SHORT_TEXT_MARGIN)
                                       : margin;
    return gain > needed ? other : chosen;
}

ReadingChoice choose_reading_by_plausibility(const Readings& readings, double margin) {
    ReadingChoice choice;
    choice.index = most_plausible_with_margin(readings.view(), readings.catalogue_count(), margin);
    if (choice.index < 0) return choice;
    choice.measure = measure_plausibility(readings[choice.index].view());
    choice.plausible = reads_as_text(choice.measure);
    return choice;
}

}  // namespace tavrik
