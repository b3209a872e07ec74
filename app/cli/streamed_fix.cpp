#include "app/cli/streamed_fix.hpp"

#include <algorithm>
#include <memory>

#include "encoding/utf8.hpp"
#include "engine/seen_text.hpp"
#include "engine/streamed_conversion.hpp"
#include "engine/text_repair.hpp"

namespace tavrik::cli {

namespace {

// The size of each piece read after the start.
constexpr std::size_t PIECE_SIZE = 262144;
// A line longer than this is repaired in pieces, cut after an ASCII byte (never inside a
// character of any page), so that memory stays bounded whatever the input.
constexpr std::size_t LONGEST_PIECE = 1048576;

constexpr std::string_view UTF8_MARK = "\xEF\xBB\xBF";

// Reads until `buffer` is full or the input ends; false on a failure.
bool fill(platform::ByteReader& reader, std::string& buffer, bool& ended, std::string& failure) {
    std::size_t got = 0;
    ended = false;
    while (got < buffer.size()) {
        const auto n = reader.read(buffer.data() + got, buffer.size() - got, failure);
        if (!n) return false;
        if (*n == 0) {
            ended = true;
            break;
        }
        got += *n;
    }
    buffer.resize(got);
    return true;
}

bool is_utf16(ByteOrderMark mark) {
    return mark == ByteOrderMark::utf16_little || mark == ByteOrderMark::utf16_big;
}

// What is left of the input, written through unchanged: `start`, then the rest.
void copy_unchanged(platform::ByteReader& reader, std::string& start, const PieceWriter& write,
                    FixReport& report) {
    std::string& piece = start;
    for (;;) {
        if (!piece.empty() && !write(piece, report.failure)) {
            report.outcome = FixOutcome::write_failed;
            return;
        }
        piece.resize(PIECE_SIZE);
        const auto n = reader.read(piece.data(), piece.size(), report.failure);
        if (!n) {
            report.outcome = FixOutcome::read_failed;
            return;
        }
        if (*n == 0) return;
        piece.resize(*n);
    }
}

// The whole text at once.
FixReport fix_whole(std::string_view bytes, const PieceWriter& write, bool copy_when_implausible) {
    FixReport report;
    const SeenText seen = seen_text(bytes);
    const TextRepair repair = repair_text(seen.utf8);
    report.chain = repair_label(repair, seen_origin(seen));
    if (repair.garbled) {
        report.outcome = FixOutcome::implausible;
        if (copy_when_implausible && !write(bytes, report.failure))
            report.outcome = FixOutcome::write_failed;
        return report;
    }
    // A byte order mark of either kind comes back as UTF-8's; none where there was none.
    std::string out;
    if (seen.mark != ByteOrderMark::none) out = UTF8_MARK;
    out += repair.text;
    if (!write(out, report.failure)) report.outcome = FixOutcome::write_failed;
    return report;
}

// The input as seen, a line at a time: UTF-16 decoded (a unit split between pieces carried
// over), every other line shown as seen_line shows it.
class SeenLines {
  public:
    explicit SeenLines(ByteOrderMark mark) : mark_(mark) {}

    // Adds bytes of the input; complete lines (and over-long pieces) go to `line`.
    template <class Line>
    bool add(std::string_view bytes, bool last, Line line) {
        if (is_utf16(mark_)) {
            pending_.append(bytes);
            const std::size_t whole = last ? pending_.size() : pending_.size() & ~std::size_t{1};
            std::string decoded = utf8_of_utf16(std::string_view(pending_).substr(0, whole),
                                                mark_ == ByteOrderMark::utf16_big);
            // A high surrogate at the end waits for its pair.
            if (!last && decoded.size() >= 3 &&
                decoded.compare(decoded.size() - 3, 3, "\xEF\xBF\xBD") == 0 && whole >= 2) {
                const std::size_t at = whole - 2;
                const auto high = mark_ == ByteOrderMark::utf16_big
                                      ? static_cast<unsigned char>(pending_[at])
                                      : static_cast<unsigned char>(pending_[at + 1]);
                if (high >= 0xD8 && high <= 0xDB) {
                    decoded = utf8_of_utf16(std::string_view(pending_).substr(0, at),
                                            mark_ == ByteOrderMark::utf16_big);
                    pending_.erase(0, at);
                    return split(decoded, true, last, line);
                }
            }
            pending_.erase(0, whole);
            return split(decoded, true, last, line);
        }
        return split(bytes, false, last, line);
    }

  private:
    template <class Line>
    bool split(std::string_view bytes, bool utf8, bool last, Line line) {
        text_.append(bytes);
        std::size_t start = 0;
        for (;;) {
            std::size_t end = text_.find('\n', start);
            if (end == std::string::npos) {
                if (text_.size() - start <= LONGEST_PIECE) break;
                // Too long a line: cut after the last ASCII byte of the piece.
                end = start + LONGEST_PIECE - 1;
                while (end > start && static_cast<unsigned char>(text_[end]) >= 0x80)
                    --end;
                if (end == start) {
                    // No ASCII at all: cut before a UTF-8 continuation byte at least.
                    end = start + LONGEST_PIECE - 1;
                    while (end > start &&
                           (static_cast<unsigned char>(text_[end + 1]) & 0xC0) == 0x80)
                        --end;
                }
            }
            if (!emit(std::string_view(text_).substr(start, end + 1 - start), utf8, line))
                return false;
            start = end + 1;
        }
        text_.erase(0, start);
        if (last && !text_.empty()) {
            if (!emit(text_, utf8, line)) return false;
            text_.clear();
        }
        return true;
    }
    template <class Line>
    static bool emit(std::string_view bytes, bool utf8, Line& line) {
        // UTF-8 shows as it is (seen_line's own rule), without a copy.
        if (utf8 || encoding::utf8::is_well_formed(bytes)) return line(bytes);
        bool was_utf8 = false;
        return line(std::string_view(seen_line(bytes, was_utf8)));
    }

    ByteOrderMark mark_;
    std::string pending_;  // UTF-16 bytes not yet decoded
    std::string text_;     // bytes of a line not yet complete
};

}  // namespace

FixReport fix_streamed(platform::ByteReader& reader, const PieceWriter& write,
                       bool copy_when_implausible) {
    FixReport report;
    // A text of at most WHOLE_TEXT_LIMIT bytes is judged whole.
    std::string start(WHOLE_TEXT_LIMIT + 1, '\0');
    bool ended = false;
    if (!fill(reader, start, ended, report.failure)) {
        report.outcome = FixOutcome::read_failed;
        return report;
    }
    if (ended) return fix_whole(start, write, copy_when_implausible);

    // A longer one: the chains are learnt on its start, then every line is repaired with them
    // (and with its own, where it is garbled otherwise) as it streams.
    std::size_t mark_length = 0;
    const ByteOrderMark mark = byte_order_mark(start, mark_length);
    const std::string_view body = std::string_view(start).substr(mark_length);
    std::string head(body.substr(0, std::min(body.size(), READING_DECISION_SIZE)));
    head.resize(reading_decision_cut(head, false));
    const SeenText seen_head = seen_text(std::string(start.substr(0, mark_length)) + head);
    const PieceRepair repairer(seen_head.utf8);
    const TextRepair head_repair = repairer.repair(seen_head.utf8);
    report.chain = repair_label(head_repair, seen_origin(seen_head));
    // A start that shows garbling nothing repairs (binary data, say): left as it is, as a
    // shorter text is.
    if (head_repair.garbled) {
        report.outcome = FixOutcome::implausible;
        if (copy_when_implausible) copy_unchanged(reader, start, write, report);
        return report;
    }
    if (mark != ByteOrderMark::none && !write(UTF8_MARK, report.failure)) {
        report.outcome = FixOutcome::write_failed;
        return report;
    }
    SeenLines lines(mark);
    std::string out;
    const auto line = [&](std::string_view seen) {
        repairer.append_repaired(seen, out);
        if (out.size() < PIECE_SIZE) return true;
        const bool written = write(out, report.failure);
        out.clear();
        return written;
    };
    std::string piece = start.substr(mark_length);
    for (;;) {
        if (!lines.add(piece, ended, line)) {
            report.outcome = FixOutcome::write_failed;
            return report;
        }
        if (ended) break;
        piece.resize(PIECE_SIZE);
        const auto n = reader.read(piece.data(), piece.size(), report.failure);
        if (!n) {
            report.outcome = FixOutcome::read_failed;
            return report;
        }
        piece.resize(*n);
        ended = *n == 0;
    }
    if (!out.empty() && !write(out, report.failure)) report.outcome = FixOutcome::write_failed;
    return report;
}

FixReport fix_file_streamed(std::u16string_view path, std::u16string_view output) {
    platform::ByteReader reader;
    FixReport report;
    if (!reader.open_file(path, report.failure)) {
        report.outcome = FixOutcome::read_failed;
        return report;
    }
    // The temporary file is made when the first piece is ready, after the reading is chosen.
    platform::ReplacingWriter writer;
    bool begun = false;
    report = fix_streamed(
        reader,
        [&](std::string_view piece, std::string& failure) {
            if (!begun && !(begun = writer.begin(output, failure))) return false;
            return writer.write(piece, failure);
        },
        false);
    if (report.outcome != FixOutcome::repaired) return report;
    if ((!begun && !writer.begin(output, report.failure)) || !writer.commit(report.failure))
        report.outcome = FixOutcome::write_failed;
    return report;
}

FixReport fix_standard_input_streamed(const PieceWriter& write) {
    platform::ByteReader reader;
    FixReport report;
    if (!reader.open_standard_input(report.failure)) {
        report.outcome = FixOutcome::read_failed;
        return report;
    }
    return fix_streamed(reader, write, true);
}

std::string failure_message(const FixReport& report, const std::string& input,
                            const std::string& output) {
    switch (report.outcome) {
        case FixOutcome::repaired:
            break;
        case FixOutcome::read_failed:
            return "cannot read " + input + ": " + report.failure;
        case FixOutcome::implausible:
            return input + ": no reading of it reads as text; left unchanged";
        case FixOutcome::write_failed:
            return "cannot write " + output + ": " + report.failure;
    }
    return {};
}

}  // namespace tavrik::cli
