#include "names/name_readings.hpp"

#include <algorithm>
#include <new>
#include <optional>

#include "encoding/raw_names.hpp"
#include "names/name_judgement.hpp"
#include "names/name_repair.hpp"
#include "names/plausible_name_repair.hpp"
#include "platform/file_system.hpp"
#include "platform/path_limits.hpp"

namespace tavrik {

namespace {

bool is_russian_letter(char32_t c) {
    return (c >= 0x0410 && c <= 0x044F) || c == 0x0401 || c == 0x0451;
}

// The name's code points in `text`; false when it holds a surrogate without its pair.
bool code_points(std::u16string_view name, std::u32string& text) {
    text.clear();
    text.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char16_t unit = name[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
            name[i + 1] <= 0xDFFF) {
            text +=
                static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (name[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            return false;
        } else {
            text += unit;
        }
    }
    return true;
}

// What a right Russian name holds: ASCII, Russian letters, and the few signs Word and Windows
// put in names (dashes, guillemets, the apostrophe, «№», the ellipsis). A reading that brings any
// other character (a letter of another alphabet, a box-drawing sign, a soft hyphen) is not right
// Russian: «Ачэх» written in 1251 and read back as 866 is «Ђзне».
bool may_stand_in_russian_name(char32_t c) {
    switch (c) {
        case U'«':
        case U'»':
        case U'—':
        case U'–':
        case U'№':
        case U'…':
        case U'’':
            return true;
        default:
            return c < 0x80 || is_russian_letter(c);
    }
}

// A reading as a name, in `name`: false when it is empty, too long, or holds a separator, a NUL
// or too few Russian letters.
bool as_name(std::u32string_view text, std::u16string& name) {
    if (text.empty()) return false;
    if (std::count_if(text.begin(), text.end(), is_russian_letter) < MIN_READING_LETTERS)
        return false;
    name.clear();
    for (const char32_t c : text) {
        if (c == U'/' || c == U'\\' || c == 0 || !may_stand_in_russian_name(c)) return false;
        if (c >= 0x10000) {
            name += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            name += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            name += static_cast<char16_t>(c);
        }
    }
    return name.size() <= platform::MAX_PATH_UNITS;
}

// How much more plausible per symbol (in the measure's eighths of a bit) a later candidate
// must read to replace an earlier one: a short name often has two readings of about the same
// measure («ïàïêà» is «папка» in 1251 and «ЛЕЛИЕ» in KOI8-R, the latter a little higher), and
// then the commoner way of garbling, tried first, is the likelier.
constexpr double CHOICE_MARGIN = 8;

// Whether a Latin letter stands next to a Cyrillic one: no right Russian word is spelt so, and
// an accented Latin name read in a Cyrillic page is («Crème» in 437 read as 866 is «CrКme»).
bool mixes_alphabets(std::u16string_view name) {
    const auto latin = [](char16_t c) {
        return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    };
    const auto cyrillic = [](char16_t c) { return c >= 0x0400 && c <= 0x04FF; };
    for (std::size_t i = 1; i < name.size(); ++i) {
        if ((latin(name[i - 1]) && cyrillic(name[i])) || (cyrillic(name[i - 1]) && latin(name[i])))
            return true;
    }
    return false;
}

// How many times NAME_REPAIR_MARGIN a repair in capitals alone must gain over a name in small
// letters alone. KOI8-R and 1251 hold the same letters in opposite cases, so one read as the
// other turns small letters into capitals: a right name in small letters of a word Russian does
// not know (a place name in Ukrainian, «холма», «пуйо-пекче») reads in capitals as something
// the letter model rates a little better («УНКЛЮ»). A name in capitals garbled so is rare; one in
// small letters, which shows in capitals, is not, and keeps the ordinary margin.
constexpr double CAPITALS_FROM_SMALL_MARGIN = 4;

bool has_cyrillic_in_case(std::u16string_view name, bool upper) {
    return std::any_of(name.begin(), name.end(), [upper](char16_t c) {
        const bool capital = (c >= 0x0400 && c <= 0x042F) || (c >= 0x0460 && (c & 1) == 0);
        return c >= 0x0400 && c <= 0x04FF && capital == upper;
    });
}

// Whether `candidate` raises every small letter of `name` to a capital.
bool capitals_from_small(std::u16string_view name, std::u16string_view candidate) {
    return !has_cyrillic_in_case(name, true) && !has_cyrillic_in_case(candidate, false);
}

bool is_capital(char16_t c) {
    return (c >= 0x0400 && c <= 0x042F) || (c >= 0x0460 && c <= 0x04FF && (c & 1) == 0) ||
           (c >= u'A' && c <= u'Z');
}

bool is_letter(char16_t c) {
    return (c >= 0x0400 && c <= 0x04FF) || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

// Calls `word(begin, end)` for each run of letters in `name`, while it returns true; whether
// every call did.
template <typename Word>
bool every_word(std::u16string_view name, Word word) {
    for (std::size_t i = 0; i < name.size();) {
        if (!is_letter(name[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < name.size() && is_letter(name[end]))
            ++end;
        if (!word(i, end)) return false;
        i = end;
    }
    return true;
}

// Whether every word of the name is in small letters, in capitals, or capitalised: as people
// write; «рТЙЧЕФ» (KOI8-R read as 1251) is not, and neither is «вЕТВЮСЕМ».
bool cased_as_written(std::u16string_view name) {
    return every_word(name, [&](std::size_t begin, std::size_t end) {
        const auto capitals =
            std::count_if(name.begin() + static_cast<std::ptrdiff_t>(begin),
                          name.begin() + static_cast<std::ptrdiff_t>(end), is_capital);
        return capitals == 0 || capitals == static_cast<std::ptrdiff_t>(end - begin) ||
               (capitals == 1 && is_capital(name[begin]));
    });
}

// Whether `candidate` turns every Cyrillic letter of `name` to the other case, every word of
// `name` being in one case and one at least in small letters: capitals_from_small word by word.
// «ОДГ цртеж» (Serbian) read as KOI8-R is «ндц ЖПРЕФ».
bool raises_a_small_word(std::u16string_view name, std::u16string_view candidate) {
    if (name.size() != candidate.size()) return false;
    const auto cyrillic = [](char16_t c) { return c >= 0x0400 && c <= 0x04FF; };
    bool raised = false;
    const bool swapped = every_word(name, [&](std::size_t begin, std::size_t end) {
        int capitals = 0;
        for (std::size_t at = begin; at < end; ++at) {
            const bool capital = is_capital(name[at]);
            capitals += capital;
            // Every Cyrillic letter turns to the other case, as between KOI8-R and 1251.
            if (cyrillic(name[at]) &&
                (!cyrillic(candidate[at]) || is_capital(candidate[at]) == capital))
                return false;
        }
        if (capitals != 0 && capitals != static_cast<int>(end - begin))
            return false;  // capitalised
        raised = raised || (capitals == 0 && cyrillic(name[begin]));
        return true;
    });
    return swapped && raised;
}

// How many times NAME_REPAIR_MARGIN a repair must gain over a name that reads as right text of
// another Cyrillic language: every character outside ASCII a Cyrillic letter, one at least of
// another alphabet than Russian (ј, љ, і, ї, є, ў ...), every word cased as written. The measure
// counts such a letter as having no place in Russian text, so a reading that turns it into a
// Russian letter gains by that alone: «Јага» (Serbian), read as 866 shown in 1251, is «грур». A
// Russian name garbled into letters alone, cased as written, is rare: 866 shown in 1251 makes
// most letters signs, UTF-8 shown in 1251 a capital after a small letter.
constexpr double ANOTHER_ALPHABET_MARGIN = 4;

bool reads_as_another_cyrillic_language(std::u16string_view name) {
    bool another = false;
    for (const char16_t c : name) {
        if (c < 0x80) continue;
        if (c < 0x0400 || c > 0x045F) return false;
        another = another || !is_russian_letter(c);
    }
    return another && cased_as_written(name);
}

// The choice among the repairs proposed for one name: the name's own measure taken once, each
// candidate measured once, and the shared judgement (is_convincing_name_repair) asked only of a
// candidate that could win, since a walk meets many names and most readings of them fail.
class Choice {
  public:
    explicit Choice(std::u16string_view name) : name_(name) {}

    // Keeps `candidate` when it is convincing and reads more plausibly than the one kept by
    // CHOICE_MARGIN.
    void consider(std::u16string_view candidate) {
        if (!name_cased_as_written_) name_cased_as_written_ = cased_as_written(name_);
        if (*name_cased_as_written_ && !cased_as_written(candidate)) return;
        const PlausibilityMeasure measure = measure_name(candidate);
        if (!name_measure_) name_measure_ = measure_name(name_);
        const double gain = name_plausibility_gain(*name_measure_, measure);
        if (gain < NAME_REPAIR_MARGIN) return;  // never convincing
        if ((capitals_from_small(name_, candidate) || raises_a_small_word(name_, candidate)) &&
            gain < CAPITALS_FROM_SMALL_MARGIN * NAME_REPAIR_MARGIN)
            return;
        if (!name_in_another_language_)
            name_in_another_language_ = reads_as_another_cyrillic_language(name_);
        if (*name_in_another_language_ && gain < ANOTHER_ALPHABET_MARGIN * NAME_REPAIR_MARGIN)
            return;
        if (!best_.empty() && measure.average <= best_average_ + CHOICE_MARGIN) return;
        if (!is_convincing_name_repair(name_, candidate)) return;
        best_.assign(candidate);
        best_average_ = measure.average;
    }

    // 1 and the repair chosen in `out`, or 0 when none was.
    int take(std::u16string& out) {
        if (best_.empty()) return 0;
        out = std::move(best_);
        return 1;
    }

  private:
    std::u16string_view name_;
    std::optional<bool> name_cased_as_written_;
    std::optional<bool> name_in_another_language_;
    std::optional<PlausibilityMeasure> name_measure_;
    std::u16string best_;
    double best_average_ = 0;
};

// The pages a name that is not UTF-8 is read in: those Russian names were written in before
// UTF-8, the commonest first.
constexpr encoding::TextPage RAW_NAME_PAGES[] = {
    encoding::TextPage::cp1251, encoding::TextPage::cp866, encoding::TextPage::koi8r};

// A POSIX name holding bytes that are not UTF-8, read from its bytes.
int repair_raw_name(std::u16string_view name, std::u16string& out) {
    const std::string bytes = encoding::encode_keeping_bytes(name);
    Choice choice(name);
    std::u32string text;
    std::u16string candidate;
    for (const encoding::TextPage page : RAW_NAME_PAGES) {
        if (!encoding::read_text(page, bytes, text)) continue;
        if (as_name(text, candidate) && !mixes_alphabets(candidate)) choice.consider(candidate);
    }
    return choice.take(out);
}

}  // namespace

int repair_name_by_readings(std::u16string_view path, std::u16string& out) try {
    const std::u16string_view name = name_of(path);
    if (platform::NAMES_ARE_BYTES && encoding::holds_raw_bytes(name))
        return repair_raw_name(name, out);
    // Every reading keeps ASCII as it is: an ASCII name has nothing to repair.
    if (std::all_of(name.begin(), name.end(), [](char16_t unit) { return unit < 0x80; })) return 0;
    // Kept from name to name: a walk rereads every name.
    thread_local std::u32string text_kept, reread;
    thread_local std::u16string candidate;
    if (!code_points(name, text_kept)) return 0;
    const std::u32string* const text = &text_kept;
    // A Russian letter is read from bytes that only a character outside ASCII is written as:
    // a name with too few of them cannot give MIN_READING_LETTERS («Café», «Straße»).
    if (std::count_if(text->begin(), text->end(), [](char32_t c) { return c >= 0x80; }) <
        MIN_READING_LETTERS)
        return 0;
    Choice choice(name);
    for (const NameReading& reading : NAME_READINGS) {
        if (!encoding::reread_text_if(reading.shown, reading.source, *text, reread,
                                      may_stand_in_russian_name))
            continue;
        if (as_name(reread, candidate) && !mixes_alphabets(candidate)) choice.consider(candidate);
    }
    return choice.take(out);
} catch (const std::bad_alloc&) {
    return 0;
}

int repair_name_every_way(std::u16string_view path, std::u16string& out) try {
    const std::u16string_view name = name_of(path);
    // Every rule keeps ASCII as it is: an ASCII name has nothing to repair.
    if (std::all_of(name.begin(), name.end(), [](char16_t unit) { return unit < 0x80; }) &&
        system_pages_keep_ascii())
        return 0;
    Choice choice(name);
    const SystemPageReadings system = read_in_system_pages(name);
    std::u16string candidate;
    // The count's repair first: a reading replaces it only when it reads more plausibly.
    if (repair_broken_name_from(name, system, candidate) == 1) choice.consider(candidate);
    candidate.clear();
    if (repair_name_by_readings(path, candidate) == 1) choice.consider(candidate);
    candidate.clear();
    // The plausibility's repair is one of the system's readings, taken only when it holds what a
    // Russian name may: when neither does, it need not be sought.
    const auto may_stand = [](const std::optional<std::u16string>& reading) {
        return reading && std::all_of(reading->begin(), reading->end(), may_stand_in_russian_name);
    };
    if ((may_stand(system.ansi_in_oem) || may_stand(system.oem_in_ansi)) &&
        repair_name_by_plausibility_from(name, system, candidate) == 1 &&
        std::all_of(candidate.begin(), candidate.end(), may_stand_in_russian_name))
        choice.consider(candidate);
    return choice.take(out);
} catch (const std::bad_alloc&) {
    return 0;
}

}  // namespace tavrik
