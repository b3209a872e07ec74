#include "app/cli/streamed_fix.hpp"

#include <algorithm>
#include <memory>

#include "app/cli/written_text.hpp"
#include "engine/readings.hpp"
#include "engine/russian_plausibility.hpp"
#include "engine/streamed_conversion.hpp"
#include "platform/code_page_conversion.hpp"

namespace tavrik::cli {

namespace {

// The size of each piece read after the start.
constexpr std::size_t PIECE_SIZE = 262144;

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

bool is_ascii(std::string_view bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Whether every step of the chain keeps ASCII as it is: our own converters do.
bool keeps_ascii(const ReadingChain& chain) {
    if (!platform::has_own_converter(chain.origin) ||
        !platform::has_own_converter(chain.final_code_page)) {
        return false;
    }
    return std::all_of(chain.intermediates.begin(), chain.intermediates.end(),
                       platform::has_own_converter);
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

// The whole text at once: the most plausible of every reading, catalogue's and ours.
FixReport fix_whole(std::string_view text, const PieceWriter& write, bool copy_when_implausible) {
    FixReport report;
    const Readings readings(text);
    const ReadingChoice choice = choose_reading(readings);
    if (choice.index < 0) {
        report.outcome = FixOutcome::no_reading;
        return report;
    }
    const Candidate& chosen = readings[choice.index];
    report.chain = chosen.label_text();
    if (!choice.plausible) {
        report.outcome = FixOutcome::implausible;
        if (copy_when_implausible && !write(text, report.failure)) {
            report.outcome = FixOutcome::write_failed;
        }
        return report;
    }
    // A chain ending in a copy between equal code pages passes bytes on unchecked: what is not
    // UTF-8 is refused, not written.
    if (!Utf8Stream().take(chosen.view(), true)) {
        report.outcome = FixOutcome::not_converted;
        if (const auto chain = chain_of_label(chosen.label_text())) {
            const TextPlace place = failing_place(ChainConverter(*chain), {}, {}, text, true);
            report.line = place.line;
            report.converted = place.byte;
        }
        return report;
    }
    if (!write(chosen.view(), report.failure)) report.outcome = FixOutcome::write_failed;
    return report;
}

}  // namespace

FixReport fix_streamed(platform::ByteReader& reader, const PieceWriter& write,
                       bool copy_when_implausible) {
    FixReport report;
    // A text of at most WHOLE_TEXT_LIMIT bytes is judged whole, among every reading of ours too
    // (MacCyrillic, Windows' own 1251), and may be refused as no text at all.
    std::string start(WHOLE_TEXT_LIMIT + 1, '\0');
    bool ended = false;
    if (!fill(reader, start, ended, report.failure)) {
        report.outcome = FixOutcome::read_failed;
        return report;
    }
    if (ended) return fix_whole(start, write, copy_when_implausible);
    // A start of nothing but ASCII tells nothing of the reading, and every chain of our own
    // converters keeps it as it is: it goes through unchanged, and the reading is chosen on the
    // first part that holds more.
    std::uint64_t passed = 0;
    InputPosition position;
    while (start.size() > READING_DECISION_SIZE &&
           is_ascii(std::string_view(start).substr(0, READING_DECISION_SIZE))) {
        if (!write(std::string_view(start).substr(0, READING_DECISION_SIZE), report.failure)) {
            report.outcome = FixOutcome::write_failed;
            return report;
        }
        passed += READING_DECISION_SIZE;
        position.pass(std::string_view(start).substr(0, READING_DECISION_SIZE));
        start.erase(0, READING_DECISION_SIZE);
        if (!ended) {
            std::string more(WHOLE_TEXT_LIMIT + 1 - start.size(), '\0');
            if (!fill(reader, more, ended, report.failure)) {
                report.outcome = FixOutcome::read_failed;
                return report;
            }
            start += more;
        }
    }
    // A longer text is judged on its start, among the catalogue's chains, which convert in
    // pieces.
    const std::string_view head =
        std::string_view(start).substr(0, std::min(start.size(), READING_DECISION_SIZE));
    const std::string_view decided =
        head.substr(0, reading_decision_cut(head, ended && head.size() == start.size()));
    const auto chosen = choose_reading_of_start(decided);
    if (!chosen) {
        report.outcome = FixOutcome::no_reading;
        return report;
    }
    report.chain = chosen->label;
    // A text that its most plausible reading does not make text of (binary data, say) is left
    // as it is, as a shorter one is.
    if (std::string probe; ChainConverter(chosen->chain).convert(decided, true, probe) &&
                           !reads_as_text(measure_plausibility(probe))) {
        report.outcome = FixOutcome::implausible;
        if (copy_when_implausible) copy_unchanged(reader, start, write, report);
        return report;
    }
    if (passed > 0 && !keeps_ascii(chosen->chain)) {
        report.outcome = FixOutcome::not_converted;
        report.converted = passed;
        report.line = position.lines + 1;
        return report;
    }
    ChainConverter converter(chosen->chain);
    Utf8Stream check(chosen->chain);
    std::string piece = std::move(start);
    std::string out;
    for (;;) {
        // Copies as they stand before the piece, cheap beside its conversion: a failure is then
        // placed in its line.
        const ChainConverter converter_before = converter;
        const Utf8Stream check_before = check;
        if (!converter.convert(piece, ended, out) || !check.take(out, ended)) {
            report.outcome = FixOutcome::not_converted;
            const TextPlace place =
                failing_place(converter_before, check_before, position, piece, ended);
            report.line = place.line;
            report.converted = place.byte;
            return report;
        }
        position.pass(piece);
        if (!out.empty() && !write(out, report.failure)) {
            report.outcome = FixOutcome::write_failed;
            return report;
        }
        if (ended) return report;
        piece.resize(PIECE_SIZE);
        const auto n = reader.read(piece.data(), piece.size(), report.failure);
        if (!n) {
            report.outcome = FixOutcome::read_failed;
            return report;
        }
        piece.resize(*n);
        ended = *n == 0;
    }
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
                            const std::string& output, const std::string& unfinished) {
    switch (report.outcome) {
        case FixOutcome::repaired:
            break;
        case FixOutcome::read_failed:
            return "cannot read " + input + ": " + report.failure;
        case FixOutcome::no_reading:
            return "nothing to repair in " + input + ": no chain gave a result";
        case FixOutcome::implausible:
            return input + ": no reading of it reads as text; left unchanged";
        case FixOutcome::not_converted:
            return "cannot repair " + input + ": " +
                   (report.line == 0 ? std::string("part of it")
                                     : "line " + std::to_string(report.line) + " (from byte " +
                                           std::to_string(report.converted) + ")") +
                   " does not convert in the reading chosen (" + report.chain + "); " + unfinished;
        case FixOutcome::write_failed:
            return "cannot write " + output + ": " + report.failure;
    }
    return {};
}

}  // namespace tavrik::cli
