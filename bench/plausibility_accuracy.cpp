// How often the most plausible reading restores a garbled text exactly, beside the text score's
// choice (the first of the highest scores) and the window's preselection (the most plausible
// among the highest scores). Russian texts of four lengths, none of them from the
// language model's training text, are garbled along the paths such texts travel, handed to the
// enumeration as a Russian Windows hands text over (the shown characters in Windows-1251, or
// their UTF-8 where the window now reads characters 1251 lacks), and the three choices are
// compared with the original. Prints the shares per path and per length, the same for a held-out
// set of texts per path and short/long, and how often the window's choice lost a text that the
// first of the highest scores restored ("lost").
#include <array>
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
#include "engine/candidates.hpp"
#include "engine/russian_plausibility.hpp"
#include "engine/text_score.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/system_code_pages.hpp"
#include "ui/input_text.hpp"
#include "ui/list_line.hpp"
#include "ui/variant_rows.hpp"

namespace {

using namespace tavrik;

const char* const WORDS[] = {"дом", "окно", "вода", "лес",  "кот",    "мама",
                             "сыр", "река", "ночь", "снег", "Москва", "Ёж"};
const char* const PHRASES[] = {"Добрый день",   "Счёт на оплату", "Список покупок",
                               "Мой отпуск",    "Новая папка",    "Сделано в России",
                               "Отчёт за март", "Доброе утро",    "Старый город",
                               "Письмо другу",  "Жёлтые листья",  "Тёплый вечер"};
const char* const SENTENCES[] = {"Завтра мы поедем на дачу, если не будет дождя.",
                                 "Пожалуйста, пришлите договор до конца недели.",
                                 "Поезд отправляется с третьего пути в восемь часов.",
                                 "Бабушка испекла пирог с яблоками и корицей.",
                                 "Встреча переносится на четверг, на два часа дня.",
                                 "В библиотеке открылась выставка старинных карт.",
                                 "Ребята собрались во дворе играть в футбол.",
                                 "Кошка спит на подоконнике и смотрит на птиц.",
                                 "Я оставил ключи у соседки, заберите их вечером.",
                                 "Цены на овощи выросли из-за холодной весны.",
                                 "Субтитры к фильму не совпадают со звуком.",
                                 "Напомни мне купить хлеб и молоко по дороге домой."};
const char* const PARAGRAPHS[] = {
    "Вчера вечером мы гуляли по набережной. Над рекой висел туман, фонари отражались в воде, а "
    "где-то вдалеке играла музыка. Мы долго стояли у перил и молчали, потому что слова были не "
    "нужны.",
    "Уважаемые коллеги! Сообщаем, что в понедельник офис будет закрыт на уборку. Просим забрать "
    "личные вещи со столов до пятницы и выключить компьютеры. Спасибо за понимание.",
    "Рецепт простой: возьмите три яйца, стакан муки и стакан молока. Взбейте всё венчиком, "
    "добавьте щепотку соли и ложку сахара. Жарьте блины на горячей сковороде с двух сторон.",
    "Когда я был маленьким, мы каждое лето ездили к деду в деревню. Там была речка, старая "
    "мельница и огромный сад, где росли вишни. До сих пор помню запах сена и парного молока.",
    "Обновление программы исправляет ошибки при сохранении файлов и ускоряет запуск. Перед "
    "установкой закройте все окна и сделайте копию важных документов.",
    "Экскурсия начнётся в десять утра у главного входа музея. Продолжительность около двух часов. "
    "Фотографировать можно без вспышки, еду и напитки в залы проносить нельзя."};

// Held out: written for this measure alone, in no test and not in the model's training text.
const char* const HELD_OUT_SHORT[] = {
    "Купи молока", "Завтра в шесть", "Жду звонка",       "Окно открыто",
    "Тихий час",   "Сдача с рубля",  "Добро пожаловать", "Свежий хлеб",
    "Кофе остыл",  "Идём в кино?",   "Шарф забыл",       "Щука в пруду",
    "Ёлка в зале", "Цветы для мамы", "Юбилей школы",     "Встреча отменена"};
const char* const HELD_OUT_LONG[] = {
    "Водитель автобуса попросил пассажиров пройти в середину салона.",
    "Вечером обещают грозу, поэтому бельё лучше снять с балкона заранее.",
    "Мы решили отложить ремонт кухни до весны, когда станет теплее.",
    "На прошлой неделе в библиотеку привезли новые учебники по химии.",
    "Пожалуйста, не забудь полить цветы, пока нас не будет дома.",
    "Щенок целый день грыз старый ботинок и никому не давал его отнять.",
    "Чтобы получить справку, нужно прийти в понедельник с паспортом.",
    "Этот маршрут проходит через три горных перевала и два озера.",
    "Юные шахматисты из соседнего города выиграли областной турнир.",
    "Интернет пропал ещё утром, и мастер обещал приехать только завтра.",
    "Художник долго смешивал краски, пока не получил нужный оттенок неба.",
    "Ёжик свернулся клубком под кустом смородины и уснул до вечера."};

using bench::convert;
using bench::length_class;
using bench::letters;

// What a Russian Windows hands the program for a text garbled along one path; nothing when the
// garbling already lost characters (so no repair can restore it).
struct Path {
    const char* name;
    std::function<std::optional<std::string>(const std::string& utf8)> garble;
};

const std::vector<Path> PATHS = {
    {"UTF-8 shown as 1251",
     [](const std::string& t) {
         return convert(65001, 1251, t) ? std::optional(t) : std::nullopt;
     }},
    {"KOI8-R shown as 1251", [](const std::string& t) { return convert(65001, 20866, t); }},
    {"ISO-8859-5 shown as 1251", [](const std::string& t) { return convert(65001, 28595, t); }},
    {"IBM866 shown as 1251", [](const std::string& t) { return convert(65001, 866, t); }},
    {"1251 shown as 866",
     [](const std::string& t) -> std::optional<std::string> {
         const auto bytes = convert(65001, 1251, t);
         const auto shown = bytes ? convert(866, 65001, *bytes) : std::nullopt;
         return shown ? convert(65001, 1251, *shown) : std::nullopt;
     }},
    // The same as the window now reads it: the box's characters, handed over as UTF-8 when the
    // system ANSI code page cannot hold them.
    {"1251 shown as 866, read as characters",
     [](const std::string& t) -> std::optional<std::string> {
         const auto bytes = convert(65001, 1251, t);
         std::u16string shown;
         if (!bytes || !platform::decode_to_utf16(866, *bytes, shown)) return std::nullopt;
         return engine_input(shown);
     }},
    {"UTF-8 shown as 1251, twice",
     [](const std::string& t) -> std::optional<std::string> {
         const auto once = convert(1251, 65001, t);  // the first garbling, kept as UTF-8
         return once && convert(65001, 1251, *once) ? once : std::nullopt;
     }},
    {"KOI8-R shown as 1251, then UTF-8 shown as 1251",
     [](const std::string& t) -> std::optional<std::string> {
         const auto koi8 = convert(65001, 20866, t);
         return koi8 ? convert(1251, 65001, *koi8) : std::nullopt;
     }},
};

// The row the window preselects now for bytes handed over as the box hands them: the box showed
// the bytes' characters in 1251 (or, read as characters, their UTF-8 where 1251 cannot hold
// them).
bool window_now_right(const std::string& input, const std::string& text, bool as_characters) {
    std::string seen = input;
    if (!as_characters || !is_strict_utf8(input)) {
        std::u16string wide;
        platform::decode_as_system(1251, input, wide);
        seen.clear();
        encoding::utf8::encode_lenient(wide, seen);
    }
    const VariantRows rows = variant_rows(input, seen, "utf8");
    return rows.preselected >= 0 &&
           rows.rows[static_cast<std::size_t>(rows.preselected)].view() == text;
}

struct Tally {
    int texts = 0;
    int by_score = 0;
    int by_plausibility = 0;
    int by_window = 0;
    int window_lost = 0;    // the first of the highest scores was right, the window's choice not
    int by_window_now = 0;  // the row the window preselects now, the repair's choice
    int lossy = 0;
};

}  // namespace

void report_readings_accuracy();    // readings_accuracy.cpp
void report_short_text_accuracy();  // short_text_accuracy.cpp

int main() {
    platform::SystemCodePageOverride russian(1251, 866);
    std::vector<std::string> texts;
    for (const auto* group : {&WORDS[0], &PHRASES[0], &SENTENCES[0], &PARAGRAPHS[0]})
        (void)group;
    for (const char* t : WORDS)
        texts.emplace_back(t);
    for (const char* t : PHRASES)
        texts.emplace_back(t);
    for (const char* t : SENTENCES)
        texts.emplace_back(t);
    for (const char* t : PARAGRAPHS)
        texts.emplace_back(t);

    std::vector<std::string> held_out;
    for (const char* t : HELD_OUT_SHORT)
        held_out.emplace_back(t);
    for (const char* t : HELD_OUT_LONG)
        held_out.emplace_back(t);

    std::map<std::string, Tally> by_path, by_length, held_out_by_path;
    for (const Path& path : PATHS) {
        for (const std::string& text : texts) {
            const char* length = length_class(letters(text));
            const auto input = path.garble(text);
            if (!input) {
                ++by_path[path.name].lossy;
                ++by_length[length].lossy;
                continue;
            }
            std::array<Candidate, MAX_CANDIDATES> candidates;
            int count = 0;
            enumerate_candidates(*input, candidates, count);
            const auto held = std::span(candidates).first(static_cast<std::size_t>(count));
            const bool score_right =
                count > 0 &&
                held[static_cast<std::size_t>(best_candidate_index(held))].view() == text;
            const bool model_right =
                count > 0 &&
                held[static_cast<std::size_t>(most_plausible_candidate(held))].view() == text;
            const bool window_right =
                count > 0 &&
                held[static_cast<std::size_t>(preselected_candidate(held))].view() == text;
            const bool now_right = window_now_right(
                *input, text,
                std::string_view(path.name).find("characters") != std::string_view::npos);
            if (std::getenv("TAVRIK_VERBOSE") && !now_right)
                std::printf("window now, %s: «%s» from «%s»\n", path.name, text.c_str(),
                            input->c_str());
            for (Tally* tally : {&by_path[path.name], &by_length[length]}) {
                ++tally->texts;
                tally->by_window_now += now_right;
                tally->by_score += score_right;
                tally->by_plausibility += model_right;
                tally->by_window += window_right;
                tally->window_lost += score_right && !window_right;
            }
            free_candidates(held);
        }
        for (const std::string& text : held_out) {
            const std::string row = std::string(path.name) +
                                    (letters(text) < 20 ? ", under 20 letters" : ", 20+ letters");
            const auto input = path.garble(text);
            if (!input) {
                ++held_out_by_path[row].lossy;
                continue;
            }
            std::array<Candidate, MAX_CANDIDATES> candidates;
            int count = 0;
            enumerate_candidates(*input, candidates, count);
            const auto held = std::span(candidates).first(static_cast<std::size_t>(count));
            const auto right = [&](int index) {
                return count > 0 && held[static_cast<std::size_t>(index)].view() == text;
            };
            Tally& tally = held_out_by_path[row];
            ++tally.texts;
            tally.by_score += right(best_candidate_index(held));
            tally.by_plausibility += right(most_plausible_candidate(held));
            tally.by_window += right(preselected_candidate(held));
            tally.by_window_now += window_now_right(
                *input, text,
                std::string_view(path.name).find("characters") != std::string_view::npos);
            tally.window_lost +=
                right(best_candidate_index(held)) && !right(preselected_candidate(held));
            free_candidates(held);
        }
    }
    const auto print = [](const char* title, const std::map<std::string, Tally>& tallies) {
        std::printf("%-66s %6s %12s %12s %12s %6s %6s %12s\n", title, "texts", "text score",
                    "plausibility", "window", "lost", "lossy", "window now");
        const auto share = [](int right, int texts) { return texts ? 100.0 * right / texts : 0.0; };
        for (const auto& [name, t] : tallies) {
            std::printf("%-66s %6d %11.1f%% %11.1f%% %11.1f%% %6d %6d %11.1f%%\n", name.c_str(),
                        t.texts, share(t.by_score, t.texts), share(t.by_plausibility, t.texts),
                        share(t.by_window, t.texts), t.window_lost, t.lossy,
                        share(t.by_window_now, t.texts));
        }
        std::printf("\n");
    };
    print("garbling path", by_path);
    print("length", by_length);
    print("held-out texts: garbling path, length", held_out_by_path);
    report_readings_accuracy();
    report_short_text_accuracy();
    return 0;
}
