#include "names/name_judgement.hpp"

#include <algorithm>
#include <new>
#include <string>

namespace tavrik {

PlausibilityMeasure measure_name(std::u16string_view name) {
    return measure_plausibility(name);
}

double name_plausibility_gain(const PlausibilityMeasure& shown,
                              const PlausibilityMeasure& repaired) {
    return (repaired.average - shown.average) *
           static_cast<double>(std::min(repaired.symbols, shown.symbols));
}

PlausibilityMeasure name_own_text_measure(std::u16string_view name) {
    std::u16string own;
    own.reserve(name.size());
    bool in_ascii = false;
    for (const char16_t unit : name) {
        const bool ascii = unit < 0x80;
        if (!ascii) {
            own += unit;
        } else if (!in_ascii) {
            own += u' ';
        }
        in_ascii = ascii;
    }
    return measure_name(own);
}

bool is_convincing_name_repair(std::u16string_view on_disk, std::u16string_view repaired) try {
    if (repaired.empty() || repaired == on_disk) return false;
    const PlausibilityMeasure own = name_own_text_measure(repaired);
    if (own.symbols > 0 && own.average < NAME_READS_AS_TEXT) return false;
    return name_plausibility_gain(measure_name(on_disk), measure_name(repaired)) >=
           NAME_REPAIR_MARGIN;
} catch (const std::bad_alloc&) {
    return false;  // unjudged: left as it is
}

}  // namespace tavrik
