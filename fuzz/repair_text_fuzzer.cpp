// The repair of text as seen, whole and piece by piece, and the window's rows, on any bytes: every
// repair and reading is well-formed UTF-8; a text left unchanged comes back byte for byte; a
// piece's repair stays within a few times its size; the rows hold the catalogue's first and a
// preselection among them.
#include <string>

#include "engine/text_repair.hpp"
#include "engine/text_score.hpp"
#include "fuzz/fuzz_input.hpp"
#include "ui/variant_rows.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik;
    fuzz::Input input(data, size);
    const fuzz::PickedSystem system(input);
    const std::uint8_t split = input.byte();
    const std::string text(input.rest());

    const TextRepair whole = repair_text(text);
    if (!whole.text.empty() && !is_strict_utf8(whole.text)) __builtin_trap();
    if (!whole.changed && is_strict_utf8(text) && whole.text != text) __builtin_trap();
    for (const WholeReading& reading : whole.readings) {
        if (!reading.text.empty() && !is_strict_utf8(reading.text)) __builtin_trap();
    }

    // Piece by piece, cut at an ASCII character as the console tool cuts lines.
    std::size_t cut = text.empty() ? 0 : split % (text.size() + 1);
    while (cut < text.size() && static_cast<unsigned char>(text[cut]) >= 0x80)
        ++cut;
    const PieceRepair pieces(std::string_view(text).substr(0, cut));
    std::string streamed;
    pieces.append_repaired(std::string_view(text).substr(0, cut), streamed);
    pieces.append_repaired(std::string_view(text).substr(cut), streamed);
    if (!streamed.empty() && !is_strict_utf8(streamed)) __builtin_trap();
    if (pieces.repair(std::string_view(text).substr(cut)).text.size() > 4 * text.size() + 16)
        __builtin_trap();

    if (!is_strict_utf8(text)) return 0;  // the window hands its rows a paste's UTF-8
    const VariantRows rows = variant_rows(text, text, "utf8");
    if (rows.catalogue_count < 0 ||
        static_cast<std::size_t>(rows.catalogue_count) > rows.rows.size())
        __builtin_trap();
    if (rows.rows.empty() != (rows.preselected < 0)) __builtin_trap();
    if (rows.preselected >= static_cast<int>(rows.rows.size())) __builtin_trap();
    return 0;
}
