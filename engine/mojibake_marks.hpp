// The marks garbling leaves in a text, which right text in any language seldom has: the trigram
// model says how Russian a text reads, these say how garbled it looks. «РџСЂРёРІРµС‚» (UTF-8 shown
// as 1251) puts capitals after small letters inside a word and signs between letters,
// «Ð¿Ñ€Ð¸Ð²ÐµÑ‚» (the same through 1252) and «Ïðèâåò» (1251 through 1252) runs of accented Latin
// letters that make no word of any language, «╧ЁштхЄ» (1251 through 866) box drawing beside
// letters. French, Czech, Ukrainian or English as it is written shows none of them: accents
// inside Latin words, «ї» or «ў» among Cyrillic letters, «’» inside a word are right.
#pragma once

#include <string_view>

namespace tavrik {

// The number of marks in `text`, counted pair by pair of neighbouring characters (a capital
// Cyrillic letter right after a small letter, or any capital right after a small Cyrillic one;
// a Cyrillic letter beside a Latin or Greek one; box drawing beside a letter; a sign that is
// no letter between two letters, a sign right text never writes against a word at a Cyrillic
// word's edge), plus each C1 control, plus each accented Latin letter past
// the second in a run of those of Latin-1 and Windows-1252.
int count_mojibake_marks(std::u32string_view text);

// Whether `text` has any of those marks: the count stopped at the first.
bool shows_mojibake_marks(std::u32string_view text);

}  // namespace tavrik
