// choose_reading, apart from the rest of readings.cpp: it alone uses the word forms, so that
// nothing else that links the readings (detection by plausibility) carries their table.
#include <cstdint>

#include "engine/readings.hpp"
#include "engine/word_forms.hpp"

namespace tavrik {

ReadingChoice choose_reading(const Readings& readings, double margin) {
    ReadingChoice choice = choose_reading_by_plausibility(readings, margin);
    if (choice.index < 0) return choice;
    const WordFormCount chosen = count_word_forms(readings[choice.index].view());
    if (chosen.letters > WORD_FORM_TEXT_LETTERS || chosen.unknown == 0) return choice;
    int known = -1;
    PlausibilityMeasure known_measure;
    for (int i = 0; i < readings.size(); ++i) {
        const WordFormCount count = count_word_forms(readings[i].view());
        // Letters as large a share of its characters: not a reading that leaves a few letters
        // among box drawing and symbols.
        if (count.known == 0 || count.unknown > 0 ||
            std::int64_t{count.letters} * chosen.characters <
                std::int64_t{chosen.letters} * count.characters)
            continue;
        const PlausibilityMeasure measure = measure_plausibility(readings[i].view());
        if (!reads_as_text(measure)) continue;
        if (known < 0 || measure.average > known_measure.average) {
            known = i;
            known_measure = measure;
        }
    }
    if (known < 0) return choice;
    choice.index = known;
    choice.measure = known_measure;
    choice.plausible = reads_as_text(known_measure);
    return choice;
}

}  // namespace tavrik
