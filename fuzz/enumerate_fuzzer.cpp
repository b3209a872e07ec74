// score_text and the enumeration's fast paths against the plain algorithm: the same candidates,
// texts, scores and labels, in the same order; at most 64; the identity chain present with the
// input unchanged; scores only from the allowed set.
#include <cstring>
#include <string>

#include "engine/candidates.hpp"
#include "engine/text_score.hpp"
#include "fuzz/fuzz_input.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/reference/plain_engine.hpp"

namespace {

bool allowed_score(double score) {
    if (score == 0.0 || score == 1.0) return true;
    for (int s = 60; s <= 160; s += 10) {
        if (score == s) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik;
    fuzz::Input input(data, size);
    const fuzz::PickedSystem system(input);
    const std::string text(input.rest());  // with a NUL after it, as the plain search needs

    if (score_text(text) != plain::score_text(text)) __builtin_trap();
    if (contains_common_word(text) != plain::contains_common_word(text)) __builtin_trap();
    if (is_strict_utf8(text) != plain::is_strict_utf8(text)) __builtin_trap();

    std::array<Candidate, MAX_CANDIDATES> fast;
    int count = -1;
    if (enumerate_candidates(text, fast, count) != count) __builtin_trap();
    const std::vector<Candidate> slow = plain::enumerate_candidates(text);
    if (count < 0 || count > MAX_CANDIDATES || static_cast<std::size_t>(count) != slow.size())
        __builtin_trap();
    bool identity = false;
    for (int i = 0; i < count; ++i) {
        const Candidate& a = fast[static_cast<std::size_t>(i)];
        const Candidate& b = slow[static_cast<std::size_t>(i)];
        if (std::strcmp(a.label_text(), b.label_text()) != 0 || a.view() != b.view() ||
            a.score != b.score || a.text[a.length] != '\0' || !allowed_score(a.score)) {
            __builtin_trap();
        }
        if (std::strcmp(a.label_text(), "utf8 \xE2\x86\x92 utf8 \xE2\x86\x92 utf8") == 0 &&
            a.view() == text) {
            identity = true;
        }
    }
    if (!text.empty() && !identity) __builtin_trap();
    free_candidates(std::span(fast).first(static_cast<std::size_t>(count)));
    return 0;
}
