#include "engine/one_call_repairs.hpp"

#include <array>
#include <cstring>

#include "engine/candidate_choice.hpp"
#include "engine/candidate_list.hpp"
#include "engine/code_pages.hpp"
#include "engine/heap_text.hpp"
#include "engine/text_score.hpp"
#include "platform/files.hpp"
#include "platform/path_limits.hpp"
#include "platform/system_code_pages.hpp"

namespace tavrik {

namespace {

bool is_cyrillic_utf8(std::string_view input) {
    return is_strict_utf8(input) == 1 && count_cyrillic_utf8(input) > 0;
}

}  // namespace

int repair_buffer(std::string_view input, char* output, std::uint64_t& output_length) {
    if (is_cyrillic_utf8(input)) {  // already right: nothing to enumerate
        if (output_length < input.size()) return 0;
        if (!input.empty()) std::memcpy(output, input.data(), input.size());
        output_length = input.size();
        return 1;
    }
    const CandidateList list(input);
    if (list.empty()) return 0;
    const Candidate& chosen = list[best_candidate_index(list.view())];
    // Only texts that score above the empty text's 0 are a repair.
    if (!(chosen.score > 0) || chosen.length > output_length) return 0;
    const std::string_view text = chosen.view();
    if (!text.empty()) std::memcpy(output, text.data(), text.size());
    output_length = text.size();
    return 1;
}

int detect_code_page(std::string_view input, std::uint32_t& code_page) {
    if (is_cyrillic_utf8(input)) {
        code_page = encoding::UTF8_CODE_PAGE;
        return 2;
    }
    code_page = platform::system_ansi_code_page();
    std::array<std::int32_t, code_page_catalogue.size()> counts{};
    const auto work = allocate_text(WORK_BUFFER_SIZE);  // one buffer for every row
    if (!work) return 0;
    std::array<std::uint32_t, code_page_catalogue.size()> resolved{};
    for (std::size_t row = 0; row < code_page_catalogue.size(); ++row) {
        resolved[row] = resolve_code_page(code_page_catalogue[row].value);
        if (resolved[row] == encoding::UTF8_CODE_PAGE) continue;
        std::uint64_t length = WORK_BUFFER_SIZE;
        if (convert_strict(input, work.get(), length, resolved[row], encoding::UTF8_CODE_PAGE)) {
            counts[row] = count_cyrillic_utf8({work.get(), static_cast<std::size_t>(length)});
        }
    }
    std::int32_t best = 0;
    for (std::size_t row = 0; row < counts.size(); ++row) {
        if (counts[row] > best) {
            best = counts[row];
            code_page = resolved[row];
        }
    }
    return best > 0 ? 1 : 0;
}

int repair_file(std::u16string_view path) {
    const auto file = platform::read_file_prefix(path, FILE_REPAIR_LIMIT);
    // A longer file would be repaired only in part: refused rather than cut silently.
    if (!file || file->truncated) return 0;
    // A cut output path would name some other file.
    if (path.size() + FIXED_SUFFIX.size() > platform::MAX_PATH_UNITS) return 0;
    const CandidateList list(file->bytes);
    if (list.empty()) return 0;
    std::u16string output(path);
    output += FIXED_SUFFIX;
    return platform::write_file_replacing(output, list[best_candidate_index(list.view())].view())
               ? 1
               : 0;
}

}  // namespace tavrik
