#include "engine/candidates.hpp"

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "engine/code_pages.hpp"
#include "engine/text_score.hpp"

namespace tavrik {

namespace {

constexpr const char* ARROW = " \xE2\x86\x92 ";  // " → "

std::unique_ptr<char[]> allocate(std::size_t size) {
    return std::unique_ptr<char[]>(new (std::nothrow) char[size]);
}

// Appends with bounded formatting, so the label is cut at LABEL_SIZE - 1 bytes.
void append_to_label(std::array<char, LABEL_SIZE>& label, std::size_t& used, const char* piece) {
    if (used >= LABEL_SIZE - 1) return;
    const int n = std::snprintf(label.data() + used, LABEL_SIZE - used, "%s", piece);
    if (n > 0) used = std::min(LABEL_SIZE - 1, used + static_cast<std::size_t>(n));
}

std::array<char, LABEL_SIZE> make_label(std::uint32_t origin,
                                        std::span<const std::uint32_t> intermediates,
                                        std::uint32_t final_code_page) {
    std::array<char, LABEL_SIZE> label{};
    std::size_t used = 0;
    append_to_label(label, used, code_page_name(origin));
    for (const std::uint32_t step : intermediates) {
        append_to_label(label, used, ARROW);
        append_to_label(label, used, code_page_name(step));
    }
    append_to_label(label, used, ARROW);
    append_to_label(label, used, code_page_name(final_code_page));
    return label;
}

// Copies `bytes` into a new NUL-terminated text; false when memory runs out.
bool store_text(Candidate& candidate, std::string_view bytes) {
    auto text = allocate(bytes.size() + 1);
    if (!text) return false;
    if (!bytes.empty()) std::memcpy(text.get(), bytes.data(), bytes.size());
    text[bytes.size()] = '\0';
    candidate.text = std::move(text);
    candidate.length = bytes.size();
    return true;
}

}  // namespace

int run_chain(std::string_view input, Candidate& out, std::uint32_t origin,
              std::span<const std::uint32_t> intermediates, std::uint32_t final_code_page) {
    std::array<std::unique_ptr<char[]>, 2> work{allocate(WORK_BUFFER_SIZE),
                                                allocate(WORK_BUFFER_SIZE)};
    if (!work[0] || !work[1]) return 0;

    std::string_view current = input;
    std::uint32_t current_code_page = origin;
    std::size_t target = 0;
    for (const std::uint32_t step : intermediates) {
        std::uint64_t length = WORK_BUFFER_SIZE;
        if (!convert_strict(current, work[target].get(), length, current_code_page, step)) return 0;
        current = {work[target].get(), static_cast<std::size_t>(length)};
        current_code_page = step;
        target ^= 1;
    }
    // The bytes are now read as what they really are.
    std::uint64_t length = WORK_BUFFER_SIZE;
    if (!convert_strict(current, work[target].get(), length, final_code_page, CODE_PAGE_UTF8)) {
        return 0;
    }
    Candidate result;
    if (!store_text(result, {work[target].get(), static_cast<std::size_t>(length)})) return 0;
    result.score = score_text(result.view());
    result.label = make_label(origin, intermediates, final_code_page);
    out = std::move(result);
    return 1;
}

ChainPlan plan_chains() {
    ChainPlan plan;
    plan.origins = {CODE_PAGE_UTF8, resolve_code_page(SYSTEM_ANSI_PLACEHOLDER),
                    resolve_code_page(SYSTEM_OEM_PLACEHOLDER)};
    for (const CodePageEntry& row : code_page_catalogue) {
        const std::uint32_t resolved = resolve_code_page(row.value);
        if (resolved != CODE_PAGE_ASCII) plan.rows[static_cast<std::size_t>(plan.row_count++)] = resolved;
    }
    return plan;
}

namespace {

// The enumeration without repeated work. A chain's text depends only on the bytes its last step
// reads and on the final code page, so chains that share both share the text and the score,
// and a failure is remembered as well; the first step's output is shared by every final code
// page of one origin. Each candidate still owns its own copy of the text.
class Enumeration {
public:
    Enumeration(std::string_view input, std::span<Candidate, MAX_CANDIDATES> out, int& count)
        : input_(input), out_(out), count_(count) {}

    void run() {
        const ChainPlan plan = plan_chains();
        const auto rows = std::span(plan.rows).first(static_cast<std::size_t>(plan.row_count));
        for (const std::uint32_t origin : plan.origins) {
            steps_.clear();
            for (const std::uint32_t final_code_page : rows) {
                for (const std::uint32_t intermediate : rows) {
                    if (count_ == MAX_CANDIDATES) return;  // later successes would be dropped
                    run_one(origin, intermediate, final_code_page);
                }
            }
        }
    }

private:
    // The first step's output: the input itself when origin and intermediate are equal.
    struct Step {
        std::uint32_t intermediate;
        bool ok;
        std::unique_ptr<char[]> bytes;
        std::size_t length;
        int source;  // identifies the bytes: 0 for the input, else a number of its own
    };

    // The outcome of reading one source's bytes in one final code page.
    struct Outcome {
        int source;
        std::uint32_t final_code_page;
        int candidate;  // index in out_, or -1 when the step failed
    };

    const Step& first_step(std::uint32_t origin, std::uint32_t intermediate) {
        for (const Step& step : steps_) {
            if (step.intermediate == intermediate) return step;
        }
        Step step{intermediate, false, nullptr, 0, 0};
        if (origin == intermediate) {
            // A copy between equal code pages: the input, when it fits.
            step.ok = input_.size() <= WORK_BUFFER_SIZE;
            step.length = input_.size();
        } else {
            step.source = ++sources_;
            step.bytes = allocate(WORK_BUFFER_SIZE);
            std::uint64_t length = WORK_BUFFER_SIZE;
            step.ok = step.bytes &&
                      convert_strict(input_, step.bytes.get(), length, origin, intermediate);
            step.length = static_cast<std::size_t>(length);
            if (!step.ok) step.bytes.reset();
        }
        steps_.push_back(std::move(step));
        return steps_.back();
    }

    std::string_view bytes_of(const Step& step) const {
        return step.source == 0 ? input_.substr(0, step.length)
                                : std::string_view(step.bytes.get(), step.length);
    }

    void run_one(std::uint32_t origin, std::uint32_t intermediate, std::uint32_t final_code_page) {
        const Step& step = first_step(origin, intermediate);
        if (!step.ok) return;
        const std::array<std::uint32_t, 1> chain{intermediate};
        for (const Outcome& seen : outcomes_) {
            if (seen.source == step.source && seen.final_code_page == final_code_page) {
                if (seen.candidate >= 0) copy_candidate(seen.candidate, origin, chain, final_code_page);
                return;
            }
        }
        Outcome outcome{step.source, final_code_page, -1};
        Candidate& slot = out_[static_cast<std::size_t>(count_)];
        if (run_final_step(bytes_of(step), slot, final_code_page)) {
            slot.label = make_label(origin, chain, final_code_page);
            outcome.candidate = count_++;
        }
        outcomes_.push_back(outcome);
    }

    // The last step of a chain, into `slot`: read `bytes` in the final code page as UTF-8.
    bool run_final_step(std::string_view bytes, Candidate& slot, std::uint32_t final_code_page) {
        if (final_code_page == CODE_PAGE_UTF8) {
            if (!store_text(slot, bytes)) return false;
        } else {
            if (!work_) work_ = allocate(WORK_BUFFER_SIZE);
            std::uint64_t length = WORK_BUFFER_SIZE;
            if (!work_ || !convert_strict(bytes, work_.get(), length, final_code_page, CODE_PAGE_UTF8) ||
                !store_text(slot, {work_.get(), static_cast<std::size_t>(length)})) {
                return false;
            }
        }
        slot.score = score_text(slot.view());
        return true;
    }

    void copy_candidate(int index, std::uint32_t origin, std::span<const std::uint32_t> chain,
                        std::uint32_t final_code_page) {
        const Candidate& original = out_[static_cast<std::size_t>(index)];
        Candidate& slot = out_[static_cast<std::size_t>(count_)];
        if (!store_text(slot, original.view())) return;
        slot.score = original.score;
        slot.label = make_label(origin, chain, final_code_page);
        ++count_;
    }

    std::string_view input_;
    std::span<Candidate, MAX_CANDIDATES> out_;
    int& count_;
    std::vector<Step> steps_;
    std::vector<Outcome> outcomes_;
    std::unique_ptr<char[]> work_;
    int sources_ = 0;
};

}  // namespace

int enumerate_candidates(std::string_view input, std::span<Candidate, MAX_CANDIDATES> out,
                         int& count) {
    count = 0;
    try {
        Enumeration(input, out, count).run();
    } catch (const std::bad_alloc&) {
        // The bookkeeping ran out of memory: keep what was found, as a failed chain would.
    }
    return count;
}

void free_candidates(std::span<Candidate> candidates) {
    for (Candidate& candidate : candidates) {
        candidate.text.reset();
        candidate.length = 0;
    }
}

}  // namespace tavrik
