// The repair of text as it was seen: every way garbled Russian is shown comes back, garbled spans
// inside right text come back with every other byte as it was, and right text in any language
// stays exactly as it is.
#include <gtest/gtest.h>

#include <string>

#include "engine/seen_text.hpp"
#include "engine/text_repair.hpp"
#include "platform/system_code_pages.hpp"
#include "ui/variant_rows.hpp"

namespace tavrik {
namespace {

struct Case {
    const char* how;
    std::string seen;
    std::string repaired;
};

TEST(TextRepair, EveryWayOfShowingGarbledRussianComesBack) {
    const Case cases[] = {
        {"UTF-8 shown as 1251", "РџСЂРёРІРµС‚, РјРёСЂ!", "Привет, мир!"},
        {"1251 shown as 1252", "Àëåêñåé", "Алексей"},
        {"UTF-8 shown as 1252", "Ð¿Ñ€Ð¸Ð²ÐµÑ‚", "привет"},
        {"KOI8-R shown as Latin-1", "èÏÔÉÔÅ ËÕÐÉÔØ", "Хотите купить"},
        {"UTF-8 shown as 437 (a zip's name)", "╤ü╨░╨╜╤â╨╖╨╡╨╗4_╤ü╨▓╨╡╤Ç╨┤╨╗╨╛╨▓╨░ 48_.zip",
         "санузел4_свердлова 48_.zip"},
        {"UTF-8 shown as 866, «№» of three bytes",
         "╨б╤З╤С╤В ╨╜╨░ ╨╛╨┐╨╗╨░╤В╤Г тДЦ 12 ╨╛╤В 3 ╨╝╨░╤А╤В╨░", "Счёт на оплату № 12 от 3 марта"},
        {"1251 shown as 866", "╧ЁштхЄ, ьшЁ!", "Привет, мир!"},
        {"UTF-8 shown as Mac OS Roman", "–ü—Ä–∞–≤–∏—Ç—å –ø—Ä–µ–∞–º–±—É–ª—É", "Править преамбулу"},
        {"slang, UTF-8 shown as 1251", "РЎР°Р±Р¶", "Сабж"},
        {"UTF-8 shown as 1251 three times",
         "Р\xC2\xA0В\xC2\xA0РІР‚СњР\xC2\xA0В\xC2\xA0РЎвЂўР\xC2\xA0В\xC2\xA0РЎвЂќР\xC2\xA0РЋРЎвЂњР"
         "\xC2\xA0В"
         "\xC2\xA0РЎВ\xC2\x98Р\xC2\xA0В\xC2\xA0Р’ВµР\xC2\xA0В\xC2\xA0Р\xC2\xA0вЂ¦Р\xC2\xA0РЋРІР‚С™Р"
         "\xC2\xA0РЋРІР‚в„–",
         "Документы"},
        {"a garbled string beside the right one in code",
         "printf(\"Привет мир!\\n\"); // выведет \"╧ЁштхЄ ьшЁ!\"",
         "printf(\"Привет мир!\\n\"); // выведет \"Привет мир!\""},
        {"SQL with a garbled value and comment",
         "INSERT INTO t VALUES ('РџСЂРёРІРµС‚'); -- РєРѕРјРјРµРЅС‚Р°СЂРёР№",
         "INSERT INTO t VALUES ('Привет'); -- комментарий"},
        {"a log, one line garbled", "ok: запуск\nerr: Ð¾Ñ\xC2\x88Ð¸Ð±ÐºÐ°\nok: 3 файла\n",
         "ok: запуск\nerr: ошибка\nok: 3 файла\n"},
        // Short words, where a reading that makes signs or spaces of letters reads cheaply.
        {"866 shown as 1251, a capital shown as a sign", "€Ја\u00A0", "Игра"},
        {"866 shown as 1251, a letter shown as a sign at the end", "с¦", "ёж"},
        {"ISO-8859-5 shown as 1251, not «с–» nor «с÷»", "сЦ", "ёж"},
        {"866 shown as 1251, «а» alone shown as a no-break space",
         "\u0098\u00A0ЇЄг п \u00AD\u00A0ис« Ї®¤ ¤Ёў\u00A0\u00AD®¬, \u00A0 ў\u00A0аҐ¦ЄЁ в\u00A0Є Ё "
         "\u00ADҐ \u00AD\u00A0и«Ёбм.",
         "Шапку я нашёл под диваном, а варежки так и не нашлись."},
        {"866 shown as 1251, digits grouped by 866's no-break space",
         "5 Ї\u00A0Ї®Є  2я330я501я120 Ў\u00A0©в бў®Ў®¤\u00AD®",
         "5 папок  2\u00A0330\u00A0501\u00A0120 байт свободно"},
        {"1251 shown as 437, a dash alone between words",
         "╬Σφα Φτ ±Φδⁿφ√⌡ ±≥ε≡εφ Debian ù ²≥ε ±Φ±≥σ∞α ≤∩≡αΓδσφΦ\u00A0 ∩αΩσ≥α∞Φ.",
         "Одна из сильных сторон Debian — это система управления пакетами."},
        {"1251 shown as MacCyrillic, guillemets around a sign",
         "≈сли им€ пакета содержит тильду (Ђ~ї), то оно считаетс€ шаблоном поиска.",
         "Если имя пакета содержит тильду («~»), то оно считается шаблоном поиска."},
        {"MacCyrillic shown as 1251, a capital as a sign, not « Ёр»",
         "€ра испекла печенье и угостила всех соседей по площадке.",
         "Ира испекла печенье и угостила всех соседей по площадке."},
        {"KOI8-R shown as 866, words of box drawing alone after an ASCII word",
         "х╙╠╔ ╒ ╫┴╙ ┼╙╘╪ debian, ─╥╒╟╔┼ ╦╧═┴╬─┘:", "Если у вас есть debian, другие команды:"},
        {"ISO-8859-5 shown as Latin-1, letters alone in «и т. д.»",
         "ÂÕÚãéØÙ áßØáÞÚ ÜÐèØÝ Debian ÔÞáâãßÕÝ ßÞ ÐÔàÕáã: https://db.debian.org/machines.cgi. ÍâÐ "
         "ÒÕÑ-áâàÐÝØæÐ áÞÔÕàÖØâ ØÜÕÝÐ ÜÐèØÝ, ÚÞÝâÐÚâÝãî ØÝäÞàÜÐæØî, ØÝäÞàÜÐæØî Þ âÞÜ, ÚâÞ ÜÞÖÕâ "
         "ÒåÞÔØâì ÝÐ ÔÐÝÝãî ÜÐèØÝã, ÚÛîçØ SSH Ø â. Ô.",
         "Текущий список машин Debian доступен по адресу: https://db.debian.org/machines.cgi. Эта "
         "веб-страница содержит имена машин, контактную информацию, информацию о том, кто может "
         "входить на данную машину, ключи SSH и т. д."},
        {"1251 shown as 437, an ASCII letter alone beside a dash alone",
         "ù x ╬Σφα Φτ ±Φδⁿφ√⌡ ±≥ε≡εφ", "— x Одна из сильных сторон"},
        {"1251 shown as MacCyrillic, guillemets shown as letters at words' edges",
         "≈сли им€ пакета содержит Ђпоисковые шаблоныї, то оно считаетс€ выражением.",
         "Если имя пакета содержит «поисковые шаблоны», то оно считается выражением."},
        {"1251 shown as MacCyrillic beside a right Macedonian line",
         "≈сли им€ пакета содержит тильду, то оно считаетс€ шаблоном.\nЌе се вратам. Ѓорѓи и "
         "Ќерка.",
         "Если имя пакета содержит тильду, то оно считается шаблоном.\nЌе се вратам. Ѓорѓи и "
         "Ќерка."},
        {"UTF-8 shown as 1251 after a printf directive and its unit", "осталось %dс, РїСЂРёРІРµС‚",
         "осталось %dс, привет"},
        {"MacCyrillic shown as 1251, a capital as another alphabet's letter",
         "’екущий список машин доступен по адресу: https://db.example.org. ќта страница "
         "содержит имена машин.",
         "Текущий список машин доступен по адресу: https://db.example.org. Эта страница "
         "содержит имена машин."},
    };
    for (const Case& c : cases) {
        const TextRepair repair = repair_text(c.seen);
        EXPECT_EQ(repair.text, c.repaired) << c.how;
        EXPECT_TRUE(repair.changed) << c.how;
        EXPECT_FALSE(repair.garbled) << c.how;
    }
}

TEST(TextRepair, RightTextInAnyLanguageStaysByteForByte) {
    const char* const right[] = {
        "fin de fichier prématurée",
        "Mettre le système en veille à minuit",
        "Příliš žluťoučký kůň úpěl ďábelské ódy",
        "Zażółć gęślą jaźń",
        "Görüntü dosyası açılamadı",
        "Não foi possível abrir o arquivo às três",
        "Привіт, як справи? Ми п’ємо чай.",
        "Неочаквано дълъг заглавен запис",
        "Шмартно на Паки",
        "Straße, naïve, Ångström",
        "Съешь же ещё этих мягких французских булок, да выпей чаю.",
        "plain English, nothing else",
        "Ёлка, «ёж» — №5…",
        // «све» written in 866 is UTF-8, but of a Mongolian letter: no garbling of Russian.
        "Користи „Stream_LF“ формат за све бинарне ФТП датотеке",
        // A place's name: read from 866 as 1251 it would be the abbreviation «исх».
        "Ёбе",
        // A Ukrainian «ї» at a word's end is no guillemet shown as MacCyrillic.
        "конаї",
        // Serbian and Macedonian words that start with their own letters, which MacCyrillic's
        // capitals shown in 1251 also make («је» read so is «Ае», «ћерка» «Мерка»).
        "Он је дошао кући и ћерка је ту.",
        "Здраво свете! Ово је провера ђака и ћерке.",
        // «ЦП» written in 1251 is UTF-8 of «ƿ», a letter no Russian text has.
        "процесс переносится на другой ЦП",
        // Read from MacCyrillic, «Д» would be the Latin «ƒ»; read from KOI8-R, Ukrainian words
        // in small letters would be Russian ones in capitals.
        "Д_во стран:",
        "(відсутній)",
        "відеокліп ogg Theora",
        // A unit right after a printf directive is no Cyrillic letter beside Latin ones.
        "%2uч %2uм %2luс  време на работа на сървъра",
        // A table's borders are no garbled words.
        "┌─────┬────────┐\n│ Имя │ Размер │\n└─────┴────────┘",
    };
    for (const char* text : right) {
        const TextRepair repair = repair_text(std::string(text));
        EXPECT_EQ(repair.text, text);
        EXPECT_FALSE(repair.changed) << text;
        EXPECT_FALSE(repair.garbled) << text;
    }
}

TEST(TextRepair, TextThatIsNoTextIsLeftAndSaidSo) {
    // Control characters, and bytes that are no text shown as 1251 shows them.
    EXPECT_TRUE(
        repair_text(std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x0e\x0f\x10\x11")).garbled);
    EXPECT_TRUE(repair_text(std::string("Ђ‚ѓ„…†‡€‰Љ‹ЊЌЋЏђ‘’“”•–—™љ›њќћџ")).garbled);
}

TEST(TextRepair, LabelsNameTheChainOrTheParts) {
    const TextRepair whole = repair_text(std::string("Ð¿Ñ€Ð¸Ð²ÐµÑ‚"));
    EXPECT_EQ(repair_label(whole, "utf8"), "utf8 → cp1252 → utf8");
    const TextRepair parts = repair_text(std::string("Привет и ╧ЁштхЄ"));
    EXPECT_TRUE(parts.in_parts);
    EXPECT_EQ(repair_label(parts, "utf8"), "по частям: cp866 → cp1251");
    EXPECT_EQ(repair_label(repair_text(std::string("привет")), "utf8"), "");
}

// A long text's lines: what append_repaired appends is the text the whole repair of the line
// gives, on starts garbled through a chain that reads UTF-8 last and one that does not, and on a
// right start.
TEST(PieceRepair, ALineAppendedIsWhatItsWholeRepairGives) {
    const auto repeated = [](std::string_view line) {
        std::string text;
        for (int i = 0; i < 20; ++i)
            text += line;
        return text;
    };
    const struct Start {
        const char* how;
        std::string text;
    } starts[] = {
        {"UTF-8 shown as 1251", repeated("РџСЂРёРІРµС‚, РјРёСЂ! РљР°Рє РґРµР»Р°?\n")},
        {"1251 shown as 1252", repeated("Àëåêñåé ïðèøåë äîìîé.\n")},
        {"right Russian", repeated("Привет, мир! Как дела?\n")},
    };
    const struct Line {
        const char* how;
        std::string line;
        std::string repaired;  // on every start
    } lines[] = {
        {"ASCII", "for (int i = 0; i < n; ++i) {}\n", "for (int i = 0; i < n; ++i) {}\n"},
        {"nothing", "", ""},
        {"right Russian", "Как дела?\n", "Как дела?\n"},
        {"UTF-8 shown as 1251", "РџСЂРёРІРµС‚, РјРёСЂ!\n", "Привет, мир!\n"},
        {"1251 shown as 1252", "Àëåêñåé ïðèøåë äîìîé.\n", "Алексей пришел домой.\n"},
        {"1251 shown as 866", "╧ЁштхЄ, ьшЁ!\n", "Привет, мир!\n"},
        {"garbled inside ASCII", "log: РџСЂРёРІРµС‚ (17)\n", "log: Привет (17)\n"},
    };
    for (const Start& start : starts) {
        const PieceRepair repairer(start.text);
        for (const Line& line : lines) {
            std::string out = "before|";
            repairer.append_repaired(line.line, out);
            EXPECT_EQ(out, "before|" + repairer.repair(line.line).text)
                << start.how << ", " << line.how;
            EXPECT_EQ(out, "before|" + line.repaired) << start.how << ", " << line.how;
        }
    }
}

// Words recur from line to line: a line repaired after others is repaired as it would be first,
// whatever those others made of the same words (in capitals among small letters, or among
// capitals; right, or garbled beside garbled words).
TEST(PieceRepair, ALineIsRepairedAsItWouldBeFirst) {
    const std::string start = "РџСЂРёРІРµС‚, РјРёСЂ! РљР°Рє РґРµР»Р°?\nПривет, мир!\n";
    const char* const lines[] = {
        "ЛПЫЛБ ЙДЕФ ДПНПК\n",    "слово ЛПЫЛБ в строке\n",
        "МГУ и ХТМЛ\n",          "ЗДАНИЕ МГУ НА ГОРАХ\n",
        "РџСЂРёРІРµС‚ Привет\n", "Привет РџСЂРёРІРµС‚, РјРёСЂ!\n",
        "Ïðèâåò Привет\n",       "Привет\n",
    };
    const PieceRepair shared(start);
    for (int round = 0; round < 2; ++round) {
        for (const char* line : lines) {
            const PieceRepair fresh(start);
            EXPECT_EQ(shared.repair(line).text, fresh.repair(line).text) << line;
            std::string out;
            shared.append_repaired(line, out);
            EXPECT_EQ(out, fresh.repair(line).text) << line;
        }
    }
}

TEST(SeenText, MarksAndLinesShowAsAnEditorShowsThem) {
    const platform::SystemCodePageOverride russian(1251, 866);
    struct Shown {
        const char* what;
        std::string bytes;
        std::string seen;
        ByteOrderMark mark;
    };
    const Shown cases[] = {
        {"UTF-8 after its mark", "\xEF\xBB\xBFРџ", "Рџ", ByteOrderMark::utf8},
        {"UTF-16 little endian", std::string("\xFF\xFE\x20\x04\x0F\x04", 6), "РЏ",
         ByteOrderMark::utf16_little},
        {"UTF-16 big endian", std::string("\xFE\xFF\x04\x20\x04\x0F", 6), "РЏ",
         ByteOrderMark::utf16_big},
        {"1251 bytes", "\xCF\xF0\xE8\xE2\xE5\xF2", "Привет", ByteOrderMark::none},
        {"a UTF-8 line beside a 1251 line", "Да\n\xCD\xE5\xF2\n", "Да\nНет\n", ByteOrderMark::none},
    };
    for (const Shown& c : cases) {
        const SeenText seen = seen_text(c.bytes);
        EXPECT_EQ(seen.utf8, c.seen) << c.what;
        EXPECT_EQ(seen.mark, c.mark) << c.what;
    }
}

// The window's rows: the catalogue's as they are, then ours; what is
// preselected.
TEST(VariantRows, CatalogueFirstThenOursAndWhatFixWritesPreselected) {
    const platform::SystemCodePageOverride russian(1251, 866);
    // Nothing to repair: the earliest row showing the text as given.
    const VariantRows right = variant_rows("\xCF\xF0\xE8\xE2\xE5\xF2", "Привет", "utf8");
    ASSERT_GE(right.preselected, 0);
    EXPECT_LT(right.preselected, right.catalogue_count);
    EXPECT_EQ(right.rows[static_cast<std::size_t>(right.preselected)].view(), "Привет");
    for (int i = 0; i < right.preselected; ++i)
        EXPECT_NE(right.rows[static_cast<std::size_t>(i)].view(), "Привет");
    // Repaired in parts: a row of ours, labelled so, preselected.
    const std::string mixed = "Привет и ╧ЁштхЄ";
    const VariantRows parts = variant_rows(mixed, mixed, "utf8");
    ASSERT_GE(parts.preselected, parts.catalogue_count);
    const Candidate& chosen = parts.rows[static_cast<std::size_t>(parts.preselected)];
    EXPECT_EQ(chosen.view(), "Привет и Привет");
    EXPECT_STREQ(chosen.label_text(), "по частям: cp866 → cp1251");
    EXPECT_LE(parts.rows.size(), static_cast<std::size_t>(parts.catalogue_count + MAX_OWN_ROWS));
    // Bytes no chain of the catalogue reads: no rows at all, as always.
    EXPECT_TRUE(variant_rows(std::string(3 * 1048576, '\xC0'), "x", "utf8").rows.empty());
}

}  // namespace
}  // namespace tavrik
