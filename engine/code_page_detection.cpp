#include "engine/code_page_detection.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "encoding/utf8.hpp"
#include "engine/candidate_choice.hpp"
#include "engine/candidates.hpp"
#include "engine/code_pages.hpp"
#include "engine/heap_text.hpp"
#include "engine/one_call_repairs.hpp"
#include "engine/readings.hpp"
#include "engine/text_score.hpp"

namespace tavrik {

DetectedCodePage detect_code_page_by_plausibility(std::string_view input) {
    DetectedCodePage counted;
    counted.result = detect_code_page(input, counted.code_page);
    if (counted.result == 2) return counted;
    try {
        // The count's answer first: on a short text it is often the better guess (IBM866 read
        // as 1251 loses letters to symbols), and the margin leaves it there unless the text
        // says otherwise.
        // (When no catalogue reading held Cyrillic, perhaps only for want of room, its answer
        // is the system ANSI code page, placed first all the same.)
        std::vector<std::uint32_t> pages = {counted.code_page == 1251 ? READING_WINDOWS_1251
                                                                      : counted.code_page};
        for (const std::uint32_t page : {READING_WINDOWS_1251, 866u, 20866u, 28595u}) {
            if (std::find(pages.begin(), pages.end(), page) == pages.end()) pages.push_back(page);
        }
        for (const std::uint32_t system : {resolve_code_page(SYSTEM_ANSI_PLACEHOLDER),
                                           resolve_code_page(SYSTEM_OEM_PLACEHOLDER)}) {
            const bool known =
                system == 1251 || std::find(pages.begin(), pages.end(), system) != pages.end();
            if (!known && system != encoding::UTF8_CODE_PAGE) pages.push_back(system);
        }
        const std::size_t catalogue_pages = pages.size();
        pages.push_back(READING_MAC_CYRILLIC);
        std::vector<Candidate> readings;
        std::vector<std::uint32_t> read_in;
        int preferred = 0;  // readings of catalogue code pages
        std::string text;
        for (std::size_t p = 0; p < pages.size(); ++p) {
            const std::uint32_t page = pages[p];
            if (!read_in_code_page(page, input, text) || count_cyrillic_utf8(text) == 0) continue;
            auto stored = allocate_shared_text(text.size());
            if (!stored) continue;
            std::memcpy(stored.get(), text.data(), text.size());
            stored.get()[text.size()] = '\0';
            Candidate candidate;
            candidate.text = std::move(stored);
            candidate.length = text.size();
            readings.push_back(std::move(candidate));
            read_in.push_back(page == READING_WINDOWS_1251 ? 1251 : page);
            if (p < catalogue_pages) ++preferred;
        }
        if (readings.empty()) return counted;
        const auto chosen = static_cast<std::size_t>(
            most_plausible_with_margin(readings, preferred, OWN_READING_MARGIN));
        return {1, read_in[chosen]};
    } catch (const std::bad_alloc&) {
        return counted;
    }
}

}  // namespace tavrik
