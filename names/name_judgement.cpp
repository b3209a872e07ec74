#include "names/name_judgement.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <new>
#include <string>

namespace tavrik {

namespace {

// The names measured last on this thread, with their measures: the rules that judge one name
// measure it and its readings again and again.
class RecentMeasures {
  public:
    PlausibilityMeasure measure(std::u16string_view name) {
        const std::uint64_t hash = hash_of(name);
        for (const Entry& entry : entries_) {
            if (entry.used && entry.hash == hash && std::u16string_view(entry.name) == name)
                return entry.measure;
        }
        const PlausibilityMeasure measure = measure_plausibility(name);
        if (name.size() <= LONGEST_KEPT) {
            Entry& entry = entries_[next_];
            next_ = (next_ + 1) % entries_.size();
            entry.name.assign(name);  // reuses the entry's room
            entry.measure = measure;
            entry.hash = hash;
            entry.used = true;
        }
        return measure;
    }

  private:
    static constexpr std::size_t LONGEST_KEPT = 260;
    // FNV-1a: the readings of one name are as long as it and often alike at the start.
    static std::uint64_t hash_of(std::u16string_view name) {
        std::uint64_t hash = 14695981039346656037u;
        for (const char16_t unit : name)
            hash = (hash ^ unit) * 1099511628211u;
        return hash;
    }
    struct Entry {
        std::u16string name;
        std::uint64_t hash = 0;
        PlausibilityMeasure measure;
        bool used = false;
    };
    std::array<Entry, 8> entries_;
    std::size_t next_ = 0;
};

}  // namespace

PlausibilityMeasure measure_name(std::u16string_view name) {
    thread_local RecentMeasures recent;
    return recent.measure(name);
}

double name_plausibility_gain(const PlausibilityMeasure& shown,
                              const PlausibilityMeasure& repaired) {
    return (repaired.average - shown.average) *
           static_cast<double>(std::min(repaired.symbols, shown.symbols));
}

PlausibilityMeasure name_own_text_measure(std::u16string_view name) {
    thread_local std::u16string own;  // its room kept for the next name
    own.clear();
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
