// Whether a proposed repair of a file name is good enough to list the name as garbled and rename
// it. A rule that proposes repairs looks at one sign only (more Cyrillic letters, one reading
// between code pages), and a right name often shows that sign too: «список дел — март.txt» read
// in the other code page gains a letter, «Ч» for the dash. So every proposal, whatever rule
// made it, is judged here on the whole name by the Russian plausibility measure
// (engine/russian_plausibility.hpp) before anything is listed or renamed: the repair must read
// as right text and clearly better than the name on disk.
#pragma once

#include <string_view>

#include "engine/russian_plausibility.hpp"

namespace tavrik {

// How much more plausible the repair must be than the name on disk, over the whole name, in the
// measure's eighths of a bit (name_plausibility_gain): 4 bits, the repair sixteen times as
// likely. Measured in bench/name_accuracy.cpp: of the 562 right names (of some 40,000: Russian,
// English, Ukrainian, Belarusian, Bulgarian, Serbian, and names with dashes, guillemets and
// «№») whose reading in the other code page has more Cyrillic, none gains more than 8; of the
// garbled Russian names the count finds, fewer than 2 in 1,000 gain less than 32.
inline constexpr double NAME_REPAIR_MARGIN = 32;

// Below this average (russian_plausibility's unit) a name's own text (name_own_text_measure)
// does not read as right text. A whole text needs -52 (IMPLAUSIBLE_BELOW); a name is a few
// words without context, and the wrong readings a rule proposes come closer than random bytes:
// UTF-8 shown in the OEM code page «repairs» into UTF-8 shown in the ANSI one («С„Р°Р№Р»» for
// «файл»), which averages -44 to -60. With the margin, -48 loses 0.5 % of the garbled Russian
// names the count finds (the shortest, and foreign place names that read poorly as Russian),
// and lets 18 of 12,769 names in UTF-8 shown in 866 through; -52 would let 234 through.
inline constexpr double NAME_READS_AS_TEXT = -48;

// The measure of a name as it stands, all of it.
PlausibilityMeasure measure_name(std::u16string_view name);

// How much more plausible `repaired` reads than `shown`: the difference of their averages over
// the symbols both have (the fewer), so that one name is not favoured for being longer.
double name_plausibility_gain(const PlausibilityMeasure& shown,
                              const PlausibilityMeasure& repaired);

// The measure of what a reading of the name decides: its characters outside ASCII, each run of
// ASCII taken as one boundary. Every reading between these code pages keeps ASCII as it is, so
// a file extension, digits or Latin words say nothing about which reading is right; counted in,
// they would lift a wrong reading's average towards that of text.
PlausibilityMeasure name_own_text_measure(std::u16string_view name);

// True when `repaired`, proposed for the name `on_disk`, differs from it, reads as right text
// (name_own_text_measure at NAME_READS_AS_TEXT or above) and reads more plausibly than
// `on_disk` by NAME_REPAIR_MARGIN at least. Letters of other Cyrillic alphabets (і, ї, є, ў, ј,
// љ ...) count as the measure counts them, as characters with no place in Russian text: in a
// right Ukrainian or Serbian name and in its garbled reading alike, so the margin still keeps
// such a name; and they are what UTF-8 shown in 1251 is made of, which must not read as text.
bool is_convincing_name_repair(std::u16string_view on_disk, std::u16string_view repaired);

}  // namespace tavrik
