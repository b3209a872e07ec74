// The enumeration of every chain, without the work that cannot change its result.
//
// Each chain origin -> intermediate -> final is two steps: the input is re-encoded into the
// intermediate (the "source" bytes), and the source is read in the final code page as UTF-8.
// So:
// - the first step depends only on origin and intermediate, and is done once for all finals;
// - the candidate's text depends only on the source bytes and the final code page, so chains
//   that share both share the text and the score, and a failure is remembered as well;
// - text through our own converters that is pure ASCII comes out unchanged whatever the code
//   pages, so all those chains share one text;
// - reading bytes of a single-byte code page as UTF-8 counts what the score needs on the way,
//   and the common words are searched for in the single-byte bytes, which are shorter;
// - chains after the 64th success would be discarded, so they are not run.
// The tests hold the result to the plain algorithm: the same candidates in the same order.
#include <cstring>
#include <new>
#include <vector>

#include "encoding/transcode.hpp"
#include "encoding/up_to_nul.hpp"
#include "engine/candidates.hpp"
#include "engine/chain_label.hpp"
#include "engine/code_pages.hpp"
#include "engine/common_words.hpp"
#include "engine/heap_text.hpp"
#include "engine/text_score.hpp"
#include "platform/code_page_conversion.hpp"

namespace tavrik {

namespace {

bool is_ascii(std::string_view text) {
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, 8);
        if (word & 0x8080808080808080ULL) return false;
    }
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
    }
    return true;
}

// Most bytes a first step from `from` into `to` can write for `n` input bytes.
std::size_t output_bound(std::uint32_t from, std::uint32_t to, std::size_t n) {
    const bool from_table = encoding::single_byte_index(from) >= 0;
    const bool to_table = encoding::single_byte_index(to) >= 0;
    std::size_t bound = WORK_BUFFER_SIZE;
    if (to_table && (from_table || from == encoding::UTF8_CODE_PAGE))
        bound = n;
    else if (from_table && to == encoding::UTF8_CODE_PAGE && n <= WORK_BUFFER_SIZE / 3)
        bound = 3 * n;
    return std::min(bound, WORK_BUFFER_SIZE);
}

class Enumeration {
  public:
    Enumeration(std::string_view input, std::span<Candidate, MAX_CANDIDATES> out, int& count)
        : input_(input), input_is_ascii_(is_ascii(input)), out_(out), count_(count) {}

    void run() {
        const ChainPlan plan = plan_chains();
        const auto rows = std::span(plan.rows).first(static_cast<std::size_t>(plan.row_count));
        steps_.reserve(plan.rows.size());  // references into it stay valid
        for (const std::uint32_t origin : plan.origins) {
            steps_.clear();
            for (const std::uint32_t final_code_page : rows) {
                for (const std::uint32_t intermediate : rows) {
                    if (count_ == MAX_CANDIDATES) return;
                    run_chain(origin, intermediate, final_code_page);
                }
            }
        }
    }

  private:
    static constexpr int INPUT = 0;

    // The bytes a final step reads: the first step's output.
    struct Source {
        std::uint32_t intermediate = 0;
        bool ok = false;
        int id = INPUT;
        // When the step read the input in some code page and wrote it as UTF-8: that code page.
        std::uint32_t input_read_in = 0;
        std::unique_ptr<char[]> storage;
        std::string_view bytes;
    };

    // Which text a chain gives, known before it is made: its source bytes and the code page
    // they are read in. Chains with equal keys give equal texts. `candidate` is the one made
    // from it, -1 when reading failed.
    struct TextKey {
        int source;
        std::uint32_t read_in;
        int candidate;
    };

    bool own(std::uint32_t code_page) const { return platform::has_own_converter(code_page); }

    const Source& first_step(std::uint32_t origin, std::uint32_t intermediate) {
        for (const Source& source : steps_) {
            if (source.intermediate == intermediate) return source;
        }
        Source& source = steps_.emplace_back();
        source.intermediate = intermediate;
        if (origin == intermediate || (input_is_ascii_ && own(origin) && own(intermediate))) {
            // A copy, or ASCII our converters keep as it is: the input, when it fits.
            source.ok = input_.size() <= WORK_BUFFER_SIZE;
            source.bytes = input_;
            return source;
        }
        source.id = ++sources_;
        if (intermediate == encoding::UTF8_CODE_PAGE) source.input_read_in = origin;
        const std::size_t capacity = output_bound(origin, intermediate, input_.size());
        source.storage = allocate_text(capacity);
        std::uint64_t length = capacity;
        source.ok = source.storage &&
                    convert_strict(input_, source.storage.get(), length, origin, intermediate);
        if (source.ok)
            source.bytes = {source.storage.get(), static_cast<std::size_t>(length)};
        else
            source.storage.reset();
        return source;
    }

    // Chains whose text is known to be the same share one key.
    TextKey key_of(const Source& source, std::uint32_t final_code_page) const {
        if (source.id == INPUT && input_is_ascii_ && own(final_code_page)) {
            return {INPUT, encoding::UTF8_CODE_PAGE, -1};
        }
        if (final_code_page == encoding::UTF8_CODE_PAGE && source.input_read_in != 0) {
            return {INPUT, source.input_read_in, -1};
        }
        return {source.id, final_code_page, -1};
    }

    void run_chain(std::uint32_t origin, std::uint32_t intermediate,
                   std::uint32_t final_code_page) {
        const Source& source = first_step(origin, intermediate);
        if (!source.ok) return;
        TextKey key = key_of(source, final_code_page);
        Candidate& slot = out_[static_cast<std::size_t>(count_)];
        bool made = false;
        bool known = false;
        for (const TextKey& text : made_texts_) {
            if (text.source == key.source && text.read_in == key.read_in) {
                known = true;
                made = text.candidate >= 0 &&
                       share(out_[static_cast<std::size_t>(text.candidate)], slot);
                break;
            }
        }
        if (!known) {
            made = read(source.bytes, final_code_page, slot);
            key.candidate = made ? count_ : -1;
            made_texts_.push_back(key);
        }
        if (!made) return;
        const std::uint32_t chain[] = {intermediate};
        slot.label = make_chain_label(origin, chain, final_code_page);
        ++count_;
    }

    static bool store(Candidate& slot, std::shared_ptr<char[]> text, std::size_t length,
                      double score) {
        text[length] = '\0';
        slot.text = std::move(text);
        slot.length = length;
        slot.score = score;
        return true;
    }

    static bool share(const Candidate& original, Candidate& slot) {
        slot.text = original.text;
        slot.length = original.length;
        slot.score = original.score;
        return true;
    }

    // The last step: `bytes` read in the final code page, as UTF-8, scored.
    bool read(std::string_view bytes, std::uint32_t final_code_page, Candidate& slot) {
        if (final_code_page == encoding::UTF8_CODE_PAGE) {  // a copy
            auto text = allocate_shared_text(bytes.size());
            if (!text) return false;
            std::memcpy(text.get(), bytes.data(), bytes.size());
            return store(slot, std::move(text), bytes.size(), score_text(bytes));
        }
        const int table = encoding::single_byte_index(final_code_page);
        if (table >= 0) return read_single_byte(bytes, table, slot);

        if (!work_) work_ = allocate_text(WORK_BUFFER_SIZE);
        std::uint64_t length = WORK_BUFFER_SIZE;
        if (!work_ || !convert_strict(bytes, work_.get(), length, final_code_page,
                                      encoding::UTF8_CODE_PAGE)) {
            return false;
        }
        const auto size = static_cast<std::size_t>(length);
        auto text = allocate_shared_text(size);
        if (!text) return false;
        std::memcpy(text.get(), work_.get(), size);
        const std::string_view converted(text.get(), size);
        return store(slot, std::move(text), size, score_text(converted));
    }

    // Every byte of the source stands for one character of the text, so the text's measures
    // come with the conversion, and its common words are found in the source.
    bool read_single_byte(std::string_view bytes, int table, Candidate& slot) {
        // Characters above U+007F take two or three bytes: bounds on the text's length, which
        // settle many failures at once and size the text without a second copy.
        const std::size_t high = encoding::transcode::count_high_bytes(bytes);
        if (bytes.size() + high > WORK_BUFFER_SIZE) return false;
        const std::size_t room = std::min(WORK_BUFFER_SIZE, bytes.size() + 2 * high);
        auto text = allocate_shared_text(room);
        if (!text) return false;
        const encoding::transcode::Utf8Measure measure =
            encoding::transcode::single_byte_to_utf8_measured(bytes, text.get(), room, table);
        if (!measure.ok) return false;
        const bool common_word =
            COMMON_WORDS_IN_SINGLE_BYTE[static_cast<std::size_t>(table)].occurs_in(
                encoding::up_to_nul(bytes));
        const double score = measure.length == 0
                                 ? score::EMPTY
                                 : score::from_measures(measure.length, measure.cyrillic,
                                                        measure.printable, common_word);
        return store(slot, std::move(text), measure.length, score);
    }

    std::string_view input_;
    bool input_is_ascii_;
    std::span<Candidate, MAX_CANDIDATES> out_;
    int& count_;
    std::vector<Source> steps_;  // the first steps of the current origin
    std::vector<TextKey> made_texts_;
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
        // The bookkeeping ran out of memory: keep what was found, as failed chains would.
    }
    return count;
}

}  // namespace tavrik
