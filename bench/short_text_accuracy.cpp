// Short texts: single words, pairs of words, and the sentences and paragraphs they come from,
// garbled along the paths that lose short texts most, restored by the console tool's choice
// with the word forms (engine/word_forms.hpp) against the choice by plausibility alone. The
// sentences were written for this measure alone: in no test and not in the language model's
// training text. Their words are common Russian, so nearly all of them are forms the word-form
// set holds (it is made from hunspell-ru, which spells the language, not these texts); the
// "known" column says how many of the right texts consist of known forms only, and a few
// names and new words the set lacks are measured beside them.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "bench/reencode.hpp"
#include "encoding/utf8.hpp"
#include "engine/readings.hpp"
#include "engine/word_forms.hpp"
#include "platform/system_code_pages.hpp"

namespace {

using namespace tavrik;
using bench::length_class;
using bench::letters;

const char* const SENTENCES[] = {"Время летит быстро, когда занят любимым делом.",
                                 "Школы района закрыли на карантин до среды.",
                                 "Мой брат живёт в маленьком доме у самой реки.",
                                 "Сегодня утром шёл снег, а к обеду выглянуло солнце.",
                                 "Где ты был вчера весь день и почему не звонил?",
                                 "Эту книгу я прочёл за два вечера.",
                                 "Собака лает на каждого, кто подходит к калитке.",
                                 "Она купила новое пальто и тёплые сапоги.",
                                 "Врач сказал пить больше воды и меньше сидеть.",
                                 "Поле за лесом засеяли рожью ещё в мае.",
                                 "Ты опять забыл выключить свет в ванной.",
                                 "Наш сын учится в третьем классе и любит рисовать.",
                                 "Хлеб из этой пекарни всегда свежий и мягкий.",
                                 "Ветер сорвал крышу с сарая у соседей.",
                                 "Он ждал её у входа больше часа.",
                                 "Лодка медленно плыла вдоль берега озера.",
                                 "Дети нашли в траве ежа и принесли его домой.",
                                 "Каждый год мы ездим к морю в августе.",
                                 "Почту приносят только по вторникам и пятницам.",
                                 "Мне нужна помощь с переводом этого письма.",
                                 "Зимой дорога до села почти не чистится.",
                                 "Я люблю чай с лимоном и мёдом.",
                                 "Его старый друг вернулся из армии.",
                                 "Мы шли пешком через весь парк до вокзала.",
                                 "Кто последний в очередь за билетами?",
                                 "У неё красивый голос и хороший слух.",
                                 "Фильм оказался скучным, и мы ушли раньше.",
                                 "Часы на башне бьют каждый час.",
                                 "Рыба клюёт лучше всего на рассвете.",
                                 "Мама сварила борщ и позвала всех к столу.",
                                 "Этот мост построили ещё при царе.",
                                 "Холодильник снова шумит по ночам.",
                                 "Бабушка вяжет внукам носки и шарфы.",
                                 "Сад зарос травой, пока хозяин был в отъезде.",
                                 "Новый учитель понравился всему классу.",
                                 "На столе лежит ключ от гаража.",
                                 "Мы выпили кофе и пошли гулять.",
                                 "Птицы улетели на юг в конце сентября.",
                                 "Я не знаю, что ему ответить.",
                                 "Машина стоит во дворе уже неделю."};

// Words and phrases with forms hunspell-ru lacks (names, new words): the word forms must not
// lose them.
const char* const UNKNOWN[] = {"Таврик",      "Зюзино",     "смузи",     "Хабр",
                               "гуглить",     "Кукуево",    "вайфай",    "флешку",
                               "ютубер",      "лайкнул",    "Юзик",      "ИП Жуков",
                               "Хабр и Гугл", "мой вайфай", "смузи дня", "Зюзино, 5"};

std::optional<std::string> encode(std::uint32_t code_page, const std::string& utf8) {
    std::string bytes;
    if (!write_in_code_page(code_page, utf8, bytes)) return std::nullopt;
    return bytes;
}

std::vector<std::string> words_of(const std::string& sentence) {
    std::vector<std::string> words;
    std::string word;
    for (std::size_t i = 0; i <= sentence.size();) {
        const std::size_t at = i;
        const char32_t c =
            i < sentence.size() ? encoding::utf8::next_or_replacement(sentence, i) : (++i, U' ');
        if (c == U' ' || c == U',' || c == U'.' || c == U'?' || c == U'!') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word.append(sentence, at, i - at);
        }
    }
    return words;
}

}  // namespace

void report_short_text_accuracy() {
    platform::SystemCodePageOverride russian(1251, 866);
    // Each word, each pair of neighbouring words, each sentence, and paragraphs of three.
    std::set<std::string> unique;
    std::vector<std::string> texts;
    const auto add = [&](const std::string& text) {
        if (unique.insert(text).second) texts.push_back(text);
    };
    constexpr std::size_t N = std::size(SENTENCES);
    for (const char* sentence : SENTENCES) {
        const std::vector<std::string> words = words_of(sentence);
        for (std::size_t i = 0; i < words.size(); ++i) {
            add(words[i]);
            if (i + 1 < words.size()) add(words[i] + " " + words[i + 1]);
        }
        add(sentence);
    }
    for (const char* text : UNKNOWN)
        add(text);
    for (std::size_t i = 0; i + 2 < N; i += 3)
        add(std::string(SENTENCES[i]) + " " + SENTENCES[i + 1] + "\n" + SENTENCES[i + 2]);

    struct Path {
        const char* name;
        std::function<std::optional<std::string>(const std::string&)> garble;
    };
    const Path paths[] = {
        {"KOI8-R shown as 1251", [](const std::string& t) { return encode(20866, t); }},
        {"IBM866 shown as 1251", [](const std::string& t) { return encode(866, t); }},
        {"ISO-8859-5 shown as 1251", [](const std::string& t) { return encode(28595, t); }},
        {"UTF-8 shown as 1251 (Windows' 0x98), twice",
         [](const std::string& t) -> std::optional<std::string> {
             std::string shown;
             if (!read_in_code_page(READING_WINDOWS_1251, t, shown)) return std::nullopt;
             return shown;
         }},
        {"UTF-8 (not garbled)", [](const std::string& t) { return std::optional(t); }},
    };
    struct Tally {
        int texts = 0, known = 0, before = 0, after = 0, gained = 0, lost = 0;
    };
    std::map<std::string, Tally> tallies;
    for (const Path& path : paths) {
        for (const std::string& text : texts) {
            const auto input = path.garble(text);
            if (!input) continue;
            const Readings readings(*input);
            const auto right = [&](const ReadingChoice& c) {
                return c.index >= 0 && c.plausible && readings[c.index].view() == text;
            };
            const bool before = right(choose_reading_by_plausibility(readings));
            const bool after = right(choose_reading(readings));
            Tally& t = tallies[std::string(path.name) + ", " + length_class(letters(text))];
            ++t.texts;
            t.known += count_word_forms(text).unknown == 0;
            t.before += before;
            t.after += after;
            t.gained += after && !before;
            t.lost += before && !after;
            // TAVRIK_SHOW_CHANGES=1 lists the texts the word forms gained or lost.
            if (std::getenv("TAVRIK_SHOW_CHANGES") && before != after)
                std::printf("%s %s: %s\n", after ? "gained" : "lost", path.name, text.c_str());
        }
    }
    std::printf("%-60s %5s %6s %8s %8s %6s %6s\n",
                "short texts: path, length (before: plausibility, after: word forms)", "texts",
                "known", "before", "after", "gained", "lost");
    for (const auto& [name, t] : tallies) {
        const auto share = [&](int n) { return t.texts ? 100.0 * n / t.texts : 0.0; };
        std::printf("%-60s %5d %6d %7.1f%% %7.1f%% %6d %6d\n", name.c_str(), t.texts, t.known,
                    share(t.before), share(t.after), t.gained, t.lost);
    }
    std::printf("\n");
}
