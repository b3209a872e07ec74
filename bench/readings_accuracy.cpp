// The console tool's own choices against what it did before, on texts written for this measure
// alone (in no test, not in the language model's training text): detection by plausibility
// against the count of Cyrillic letters, the tool's readings (MacCyrillic, Windows' 0x98)
// against the catalogue's candidates alone, and how plausible right and wrong readings are,
// which places the threshold below which `fix` leaves a text as it is.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/reencode.hpp"
#include "encoding/utf8.hpp"
#include "engine/candidate_choice.hpp"
#include "engine/candidate_list.hpp"
#include "engine/code_page_detection.hpp"
#include "engine/one_call_repairs.hpp"
#include "engine/readings.hpp"
#include "engine/russian_plausibility.hpp"
#include "engine/seen_text.hpp"
#include "engine/text_repair.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/system_code_pages.hpp"
#include "ui/input_text.hpp"

namespace {

using namespace tavrik;
using bench::length_class;
using bench::letters;

const char* const WORDS[] = {"Ира", "Иди", "щи", "Шар", "ёж",  "Игра",
                             "Шум", "да",  "Ил", "Шея", "мир", "Им"};
const char* const PHRASES[] = {"Игорь Иванович", "Шахматный клуб", "Итоги года", "Широкая улица",
                               "Ищу работу",     "Шоколад",        "Интернет",   "Новый адрес",
                               "Иркутск",        "Шкатулка",       "Исходники",  "Счёт оплачен"};
const char* const SENTENCES[] = {
    "Или даже два файла, если первый не откроется.",
    "Изменения вступают в силу с первого числа следующего месяца.",
    "Шёл мелкий дождь, и прохожие прятались под навесами.",
    "Инженер проверил давление в трубах и записал показания в журнал.",
    "Шкаф пришлось разобрать, потому что он не проходил в дверь.",
    "Иногда проще позвонить, чем писать длинное письмо.",
    "Тренер сказал, что завтра тренировка начнётся на час раньше.",
    "Мы купили билеты на вечерний поезд до Казани.",
    "Из окна гостиницы было видно море и маяк на мысе.",
    "Школьники посадили во дворе двенадцать молодых лип.",
    "Учительница попросила принести к уроку цветные карандаши.",
    "Интересно, почему в этом году так рано выпал снег?",
    "Сосед снизу опять жалуется на шум после десяти вечера.",
    "Шахтёры вернулись домой после долгой смены под землёй.",
    "Игорь забыл зарядку от телефона в такси.",
    "На складе закончилась бумага, поэтому отчёт распечатаем завтра.",
    "Вода в озере прогрелась только к середине июля.",
    "Исправьте, пожалуйста, опечатку во втором абзаце договора.",
    "Шапку я нашёл под диваном, а варежки так и не нашлись.",
    "Электричка задерживается на пятнадцать минут из-за ремонта путей.",
    "Инструкция к стиральной машине написана очень мелким шрифтом.",
    "Девочка нарисовала кота с огромными зелёными глазами.",
    "В субботу на рынке продавали свежую клубнику и мёд.",
    "Иван Петрович уходит на пенсию в конце года.",
    "Шум ветра за окном не давал уснуть до самого утра.",
    "Бухгалтер напомнил, что квартальный отчёт нужно сдать до пятницы.",
    "Из-за тумана самолёт приземлился в соседнем аэропорту.",
    "Мальчик впервые сам завязал шнурки и очень этим гордился.",
    "Итоги конкурса объявят на сайте в среду вечером.",
    "Шеф-повар добавил в суп немного укропа и чёрного перца.",
    "Пароль должен содержать не меньше восьми символов.",
    "Летом мы сплавлялись на байдарках по северной реке.",
    "Извините за опоздание, автобус сломался прямо на мосту.",
    "Старый трамвай медленно поднимался в гору, звеня на поворотах.",
    "Шесть человек записались в кружок резьбы по дереву.",
    "Ключ от подвала висит на гвоздике возле двери.",
    "Из библиотеки позвонили и напомнили вернуть книги.",
    "Цирк приехал в город, и дети только о нём и говорят.",
    "Шоколадный торт съели быстрее, чем успели его сфотографировать.",
    "Файл не сохранился, потому что диск был переполнен.",
    "Иней покрыл траву, и сад стал похож на сказочный лес.",
    "Жильцы дома решили сообща отремонтировать детскую площадку.",
    "Щётку для обуви положи в нижний ящик комода.",
    "Юрист посоветовал не подписывать бумаги до понедельника.",
    "Экзамен по физике перенесли на следующую неделю.",
    "Ира испекла печенье и угостила всех соседей по площадке.",
    "Фонари на набережной зажигаются ровно в восемь вечера.",
    "Ёлочные игрушки хранятся на антресолях в старой коробке."};

std::vector<std::string> held_out_texts() {
    std::vector<std::string> texts;
    for (const char* t : WORDS)
        texts.emplace_back(t);
    for (const char* t : PHRASES)
        texts.emplace_back(t);
    for (const char* t : SENTENCES)
        texts.emplace_back(t);
    // Paragraphs: three sentences each.
    constexpr std::size_t N = std::size(SENTENCES);
    for (std::size_t i = 0; i + 2 < N; i += 3)
        texts.push_back(std::string(SENTENCES[i]) + " " + SENTENCES[i + 1] + "\n" +
                        SENTENCES[i + 2]);
    return texts;
}

std::optional<std::string> encode(std::uint32_t code_page, const std::string& utf8) {
    std::string bytes;
    if (!write_in_code_page(code_page, utf8, bytes)) return std::nullopt;
    return bytes;
}

// Bytes as Windows shows them in its 1251 (0x98 as U+0098), kept or handed over as UTF-8.
std::optional<std::string> shown_in_windows_1251(const std::optional<std::string>& bytes) {
    std::string text;
    if (!bytes || !read_in_code_page(READING_WINDOWS_1251, *bytes, text)) return std::nullopt;
    return text;
}

bool has_0x98(const std::string& input) {
    return input.find("\xC2\x98") != std::string::npos;
}

struct Path {
    const char* name;
    std::function<std::optional<std::string>(const std::string&)> garble;
};

const std::vector<Path>& paths() {
    static const std::vector<Path> all = {
        {"UTF-8 shown as 1251 (Windows' 0x98), twice",
         [](const std::string& t) { return shown_in_windows_1251(t); }},
        {"IBM866 shown as 1251 (Windows' 0x98), as characters",
         [](const std::string& t) { return shown_in_windows_1251(encode(866, t)); }},
        {"MacCyrillic shown as 1251",
         [](const std::string& t) { return encode(READING_MAC_CYRILLIC, t); }},
        {"MacCyrillic shown as 1251 (Windows' 0x98), as characters",
         [](const std::string& t) {
             return shown_in_windows_1251(encode(READING_MAC_CYRILLIC, t));
         }},
        {"UTF-8 shown as MacCyrillic, as characters",
         [](const std::string& t) -> std::optional<std::string> {
             std::string shown;
             if (!read_in_code_page(READING_MAC_CYRILLIC, t, shown)) return std::nullopt;
             return shown;
         }},
        {"UTF-8 shown as 1251", [](const std::string& t) { return std::optional(t); }},
        {"KOI8-R shown as 1251", [](const std::string& t) { return encode(20866, t); }},
        {"ISO-8859-5 shown as 1251", [](const std::string& t) { return encode(28595, t); }},
        {"IBM866 shown as 1251", [](const std::string& t) { return encode(866, t); }},
        {"1251 shown as 866, as characters",
         [](const std::string& t) -> std::optional<std::string> {
             const auto bytes = encode(1251, t);
             std::u16string shown;
             if (!bytes || !platform::decode_to_utf16(866, *bytes, shown)) return std::nullopt;
             return engine_input(shown);
         }},
        {"KOI8-R shown as 1251, then UTF-8 shown as 1251 (Windows' 0x98)",
         [](const std::string& t) { return shown_in_windows_1251(encode(20866, t)); }},
    };
    return all;
}

struct Tally {
    int texts = 0, before = 0, after = 0, refused = 0, wrong_written = 0;
};

void print_share_table(const char* title, const std::map<std::string, Tally>& tallies) {
    std::printf("%-74s %5s %8s %8s %8s %8s\n", title, "texts", "before", "after", "refused",
                "wrong");
    for (const auto& [name, tally] : tallies) {
        const Tally& t = tally;
        const auto share = [&](int n) { return t.texts ? 100.0 * n / t.texts : 0.0; };
        std::printf("%-74s %5d %7.1f%% %7.1f%% %8d %8d\n", name.c_str(), t.texts, share(t.before),
                    share(t.after), t.refused, t.wrong_written);
    }
    std::printf("\n");
}

// Plausibilities of one kind of text, summarised.
struct Spread {
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    void print(const char* name) {
        std::sort(values.begin(), values.end());
        if (values.empty()) return (void)std::printf("%-58s none\n", name);
        const auto at = [&](double q) {
            return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1))];
        };
        const auto below = std::count_if(values.begin(), values.end(),
                                         [](double v) { return v < IMPLAUSIBLE_BELOW; });
        std::printf("%-58s %6zu %8.1f %8.1f %8.1f %8.1f %8.1f %7.1f%%\n", name, values.size(),
                    values.front(), at(0.01), at(0.5), at(0.99), values.back(),
                    100.0 * static_cast<double>(below) / static_cast<double>(values.size()));
    }
};

}  // namespace

void report_readings_accuracy() {
    platform::SystemCodePageOverride russian(1251, 866);
    const std::vector<std::string> texts = held_out_texts();

    // Detection: the file's bytes in each code page.
    const std::pair<const char*, std::uint32_t> written_in[] = {
        {"Windows-1251", 1251}, {"IBM866", 866},  {"KOI8-R", 20866},
        {"ISO-8859-5", 28595},  {"UTF-8", 65001}, {"MacCyrillic", READING_MAC_CYRILLIC}};
    std::map<std::string, Tally> detection;
    for (const auto& [name, code_page] : written_in) {
        for (const std::string& text : texts) {
            const auto bytes = encode(code_page, text);
            if (!bytes) continue;
            Tally& t = detection[std::string(name) + ", " + length_class(letters(text))];
            std::uint32_t counted = 0;
            detect_code_page(*bytes, counted);
            ++t.texts;
            t.before += counted == code_page;
            t.after += detect_code_page_by_plausibility(*bytes).code_page == code_page;
        }
    }
    print_share_table("detect: file written in, length (before: count, after: plausibility)",
                      detection);

    // Restoring: the catalogue's most plausible candidate (before) against the tool's choice
    // among its readings (after; a refused text counts as not restored).
    std::map<std::string, Tally> restored, with_0x98;
    std::map<std::string, Spread> right, wrong_before, wrong_after, noise;
    int false_refusals = 0;
    const bool verbose = std::getenv("TAVRIK_VERBOSE") != nullptr;
    for (const Path& path : paths()) {
        for (const std::string& text : texts) {
            const auto input = path.garble(text);
            if (!input) continue;
            const CandidateList catalogue(*input);
            const int old_choice =
                catalogue.empty() ? -1 : most_plausible_candidate(catalogue.view());
            const bool before = old_choice >= 0 && catalogue[old_choice].view() == text;
            const Readings readings(*input);
            const ReadingChoice choice = choose_reading(readings);
            const bool chosen_right = choice.index >= 0 && readings[choice.index].view() == text;
            // Now: the repair of the text the bytes show, as fix makes it.
            const TextRepair repair = repair_text(seen_text(*input).utf8);
            const bool after = !repair.garbled && repair.text == text;
            const std::string row = std::string(path.name) + ", " + length_class(letters(text));
            if (verbose && !after)
                std::printf("%s: «%s» -> «%s»%s\n", row.c_str(), text.c_str(), repair.text.c_str(),
                            repair.garbled ? " (left, garbled)" : "");
            for (Tally* t : {&restored[row], has_0x98(*input) ? &with_0x98[row] : nullptr}) {
                if (!t) continue;
                ++t->texts;
                t->before += before;
                t->after += after;
                t->refused += repair.garbled;
                t->wrong_written += !repair.garbled && repair.text != text;
            }
            false_refusals += chosen_right && !choice.plausible;
            if (old_choice >= 0 && !before) {
                const std::string_view chosen = catalogue[old_choice].view();
                wrong_before[length_class(letters(std::string(chosen)))].add(
                    russian_plausibility(chosen));
            }
            if (choice.index >= 0 && !chosen_right) {
                const std::string_view chosen = readings[choice.index].view();
                wrong_after[length_class(letters(std::string(chosen)))].add(choice.measure.average);
            }
        }
    }
    print_share_table("fix: garbling path, length (before: catalogue, after: the repair now)",
                      restored);
    print_share_table("fix, the inputs that hold U+0098: garbling path, length", with_0x98);

    // How plausible texts are: every held-out text and every sentence, right; the choices that
    // were wrong; and bytes that are no text at all (a fixed pseudo-random sequence).
    for (const std::string& text : texts)
        right[length_class(letters(text))].add(russian_plausibility(text));
    std::uint32_t state = 12345;
    for (int n = 0; n < 400; ++n) {
        std::string bytes;
        const int length = 4 + n * 5;
        for (int i = 0; i < length; ++i) {
            state = state * 1103515245u + 12345u;
            bytes.push_back(static_cast<char>(state >> 23));
        }
        const Readings readings(bytes);
        const ReadingChoice choice = choose_reading(readings);
        if (choice.index >= 0) {
            const std::string_view chosen = readings[choice.index].view();
            noise[length_class(letters(std::string(chosen)))].add(choice.measure.average);
        }
    }
    std::printf("%-58s %6s %8s %8s %8s %8s %8s %8s\n", "plausibility of", "texts", "min", "1%",
                "median", "99%", "max", "below");
    const auto print_all = [](const char* what, std::map<std::string, Spread>& spreads) {
        for (auto& [length, spread] : spreads)
            spread.print((std::string(what) + ", " + length).c_str());
    };
    print_all("held-out Russian texts", right);
    print_all("wrong choices of the catalogue alone", wrong_before);
    print_all("wrong choices among the tool's readings", wrong_after);
    print_all("choice for pseudo-random bytes", noise);
    std::printf("threshold %.0f below %d symbols' evidence never; right choices refused: %d\n\n",
                IMPLAUSIBLE_BELOW, static_cast<int>(PLAUSIBILITY_EVIDENCE), false_refusals);

    // The threshold swept: right texts and pseudo-random bytes refused.
    std::printf("%-10s %28s %28s\n", "threshold", "right refused (5+ / 1-4)",
                "random bytes refused");
    for (const double threshold : {-40.0, -44.0, -48.0, -52.0, -56.0, -64.0}) {
        int right_5 = 0, right_5_refused = 0, right_short = 0, right_short_refused = 0;
        for (const std::string& text : texts) {
            const PlausibilityMeasure m = measure_plausibility(text);
            const bool refused = m.symbols >= PLAUSIBILITY_EVIDENCE && m.average < threshold;
            (letters(text) < 5 ? right_short : right_5) += 1;
            (letters(text) < 5 ? right_short_refused : right_5_refused) += refused;
        }
        int random = 0, random_refused = 0;
        for (const auto& [length, spread] : noise) {
            for (const double v : spread.values) {
                ++random;
                random_refused += v < threshold;
            }
        }
        std::printf("%-10.0f %13d/%d %6d/%d %20d/%d\n", threshold, right_5_refused, right_5,
                    right_short_refused, right_short, random_refused, random);
    }
    std::printf("\n");

    // The margin of the readings of ours swept: texts restored (20+ letters) on the paths
    // through MacCyrillic, and texts the catalogue alone restored that the choice then loses.
    std::printf("%-8s %24s %24s %24s\n", "margin", "Mac paths, 20+ restored", "others, 20+",
                "lost to ours (all)");
    for (const double margin : {128.0, 64.0, 48.0, 32.0, 16.0}) {
        int mac = 0, mac_right = 0, other = 0, other_right = 0, lost = 0;
        for (const Path& path : paths()) {
            const bool through_mac =
                std::string(path.name).find("MacCyrillic") != std::string::npos;
            for (const std::string& text : texts) {
                const auto input = path.garble(text);
                if (!input) continue;
                const Readings readings(*input);
                const int chosen =
                    most_plausible_with_margin(readings.view(), readings.catalogue_count(), margin);
                const int old =
                    most_plausible_with_margin(readings.view(), readings.catalogue_count(), 1e300);
                const bool right = chosen >= 0 && readings[chosen].view() == text;
                const bool was_right = old >= 0 && readings[old].view() == text;
                lost += was_right && !right;
                if (was_right && !right && margin == OWN_READING_MARGIN)
                    std::printf("  lost: %s: %s -> %s\n", path.name, text.c_str(),
                                std::string(readings[chosen].view()).c_str());
                if (letters(text) < 20) continue;
                (through_mac ? mac : other) += 1;
                (through_mac ? mac_right : other_right) += right;
            }
        }
        std::printf("%-8.0f %17d/%d %17d/%d %24d\n", margin, mac_right, mac, other_right, other,
                    lost);
    }
    std::printf("\n");
}
