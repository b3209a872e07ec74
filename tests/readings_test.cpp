// The console tool's own readings, its detection by plausibility, and where it gives up.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "encoding/reading_code_pages.hpp"
#include "engine/candidate_choice.hpp"
#include "engine/candidate_list.hpp"
#include "engine/code_page_detection.hpp"
#include "engine/code_pages.hpp"
#include "engine/one_call_repairs.hpp"
#include "engine/readings.hpp"
#include "platform/system_code_pages.hpp"

namespace tavrik {
namespace {

std::string written_in(std::uint32_t code_page, const std::string& utf8) {
    std::string bytes;
    EXPECT_TRUE(write_in_code_page(code_page, utf8, bytes)) << code_page << " " << utf8;
    return bytes;
}

std::string read_in(std::uint32_t code_page, const std::string& bytes) {
    std::string utf8;
    EXPECT_TRUE(read_in_code_page(code_page, bytes, utf8)) << code_page;
    return utf8;
}

// What Windows shows for bytes in its 1251, as UTF-8.
std::string shown_by_windows(const std::string& bytes) {
    return read_in(READING_WINDOWS_1251, bytes);
}

TEST(ReadingCodePages, ReadAndWriteAsDefined) {
    struct Case {
        const char* what;
        std::uint32_t code_page;
        std::string bytes;
        std::string text;  // UTF-8
    };
    const Case cases[] = {
        {"Windows' 1251 reads 0x98 as U+0098", READING_WINDOWS_1251, "\xC8\x98", "И\xC2\x98"},
        {"MacCyrillic capitals and small letters", READING_MAC_CYRILLIC, "\x98\xE0\xDF\xDD\xDE",
         "ШаяЁё"},
        {"MacCyrillic as Apple defines it: 0xA2 0xB6 0xFF", READING_MAC_CYRILLIC, "\xA2\xB6\xFF",
         "Ґґ€"},
        {"a catalogue code page through the catalogue's tables", 20866, "\xF0\xD2\xC9", "При"},
        {"UTF-8 as it is", 65001, "Ш", "Ш"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(read_in(c.code_page, c.bytes), c.text) << c.what;
        EXPECT_EQ(written_in(c.code_page, c.text), c.bytes) << c.what;
    }
}

TEST(ReadingCodePages, RefuseWhatTheyCannotHold) {
    struct Case {
        const char* what;
        std::uint32_t code_page;
        std::string text;  // UTF-8 to write
    };
    const Case cases[] = {
        {"U+0098 in the strict 1251", 1251, "\xC2\x98"},
        {"a Latin letter with an accent in MacCyrillic", READING_MAC_CYRILLIC, "é"},
        {"ill-formed UTF-8", READING_WINDOWS_1251, "\xD0"},
        {"ill-formed UTF-8 into MacCyrillic", READING_MAC_CYRILLIC, "\xFF"},
    };
    std::string bytes;
    for (const Case& c : cases)
        EXPECT_FALSE(write_in_code_page(c.code_page, c.text, bytes)) << c.what;
    std::string text;
    EXPECT_FALSE(read_in_code_page(1251, "\x98", text)) << "the strict 1251 leaves 0x98 undefined";
    EXPECT_FALSE(read_in_code_page(65001, "\xD0", text)) << "ill-formed UTF-8";
}

TEST(ReadingCodePages, MacCyrillicTakesWindowsCharactersForTheBytesWhereTheyDiffer) {
    EXPECT_EQ(written_in(READING_MAC_CYRILLIC, "¢∂¤"), "\xA2\xB6\xFF");
    EXPECT_EQ(encoding::MAC_CYRILLIC.code_page, 10007u);
    EXPECT_EQ(encoding::WINDOWS_1251.to_unicode[0x98], 0x0098);
}

// Texts no catalogue chain restores (or the catalogue's choice gets wrong), and the tool's
// readings do.
TEST(Readings, RestoreWhatTheCatalogueCannot) {
    platform::SystemCodePageOverride russian(1251, 866);
    struct Case {
        const char* what;
        std::string input;
        std::string expected;
        const char* label;
    };
    const std::string utf8_text = "Или даже два файла, если первый не откроется.";
    const std::string sh_text = "Шёл мелкий дождь, и прохожие прятались под навесами.";
    const std::string mac_text = "Вода в озере прогрелась только к середине июля. Ёж, Ягода.";
    const Case cases[] = {
        {"UTF-8 shown as Windows' 1251 and kept: «И» became U+0098", shown_by_windows(utf8_text),
         utf8_text, "utf8 → win1251 → utf8"},
        {"IBM866 shown as Windows' 1251: «Ш» became U+0098",
         shown_by_windows(written_in(866, sh_text)), sh_text, "utf8 → win1251 → cp866"},
        {"a MacCyrillic file shown as 1251", written_in(READING_MAC_CYRILLIC, mac_text), mac_text,
         "utf8 → utf8 → maccyrillic"},
        {"MacCyrillic shown as Windows' 1251, its characters",
         shown_by_windows(written_in(READING_MAC_CYRILLIC, sh_text)), sh_text,
         "utf8 → win1251 → maccyrillic"},
        {"UTF-8 shown as MacCyrillic, its characters", read_in(READING_MAC_CYRILLIC, utf8_text),
         utf8_text, "utf8 → maccyrillic → utf8"},
    };
    for (const Case& c : cases) {
        const CandidateList catalogue(c.input);
        ASSERT_FALSE(catalogue.empty()) << c.what;
        EXPECT_NE(catalogue[most_plausible_candidate(catalogue.view())].view(), c.expected)
            << c.what << ": the catalogue alone does not restore it";
        const Readings readings(c.input);
        const ReadingChoice choice = choose_reading(readings);
        ASSERT_GE(choice.index, readings.catalogue_count()) << c.what;
        EXPECT_EQ(readings[choice.index].view(), c.expected) << c.what;
        EXPECT_STREQ(readings[choice.index].label_text(), c.label) << c.what;
        EXPECT_TRUE(choice.plausible) << c.what;
    }
}

TEST(Readings, KeepTheCatalogueChoiceWhereItIsRight) {
    platform::SystemCodePageOverride russian(1251, 866);
    const std::string text = "Ключ от подвала висит на гвоздике возле двери, Юра.";
    const std::string inputs[] = {
        text,                     // UTF-8, already right
        written_in(1251, text),   // a 1251 file
        written_in(20866, text),  // KOI8-R
        written_in(866, text),    // IBM866
        written_in(28595, text),  // ISO-8859-5
        read_in(1251, text),      // UTF-8 shown as 1251 (no 0x98 in it)
        "plain ASCII, nothing of ours to add",
        "ёж",  // right already; MacCyrillic readings of so short a text are no evidence
    };
    for (const std::string& input : inputs) {
        const Readings readings(input);
        const CandidateList catalogue(input);
        ASSERT_EQ(readings.catalogue_count(), catalogue.size());
        for (int i = 0; i < catalogue.size(); ++i) {
            EXPECT_EQ(readings[i].view(), catalogue[i].view());
            EXPECT_STREQ(readings[i].label_text(), catalogue[i].label_text());
        }
        const ReadingChoice choice = choose_reading(readings);
        ASSERT_GE(choice.index, 0);
        EXPECT_EQ(readings[choice.index].view(),
                  catalogue[most_plausible_candidate(catalogue.view())].view());
    }
    EXPECT_EQ(Readings("plain ASCII").size(), CandidateList("plain ASCII").size());
}

TEST(Readings, NoReadingRepeatsAnotherOnesText) {
    platform::SystemCodePageOverride russian(1251, 866);
    const Readings readings(written_in(READING_MAC_CYRILLIC, "Шапку я нашёл под диваном."));
    for (int i = readings.catalogue_count(); i < readings.size(); ++i) {
        for (int j = 0; j < i; ++j)
            EXPECT_NE(readings[i].view(), readings[j].view()) << i << " " << j;
    }
}

TEST(Readings, WhenNothingReadsAsText) {
    platform::SystemCodePageOverride russian(1251, 866);
    struct Case {
        const char* what;
        std::string input;
        bool plausible;
    };
    std::string noise;
    std::uint32_t state = 7;
    for (int i = 0; i < 300; ++i) {
        state = state * 1103515245u + 12345u;
        noise.push_back(static_cast<char>(state >> 23));
    }
    const Case cases[] = {
        {"a Russian sentence", "Ключ от подвала висит на гвоздике возле двери.", true},
        {"English", "The key to the cellar hangs on a nail by the door.", true},
        {"empty", "", true},
        {"too short to judge", "\x01\x02", true},
        {"control characters", "\x01\x02\x03\x04\x05\x06\x07\x08\x0E\x0F\x10\x11", false},
        {"pseudo-random bytes", noise, false},
    };
    for (const Case& c : cases) {
        const Readings readings(c.input);
        const ReadingChoice choice = choose_reading(readings);
        EXPECT_EQ(choice.plausible, c.plausible)
            << c.what << ": " << choice.measure.average << " over " << choice.measure.symbols;
    }
    EXPECT_TRUE(reads_as_text({IMPLAUSIBLE_BELOW, 100}));
    EXPECT_FALSE(reads_as_text({IMPLAUSIBLE_BELOW - 1, PLAUSIBILITY_EVIDENCE}));
    EXPECT_TRUE(reads_as_text({-96, PLAUSIBILITY_EVIDENCE - 1}));
}

TEST(CodePageDetection, TheMostPlausibleReading) {
    platform::SystemCodePageOverride russian(1251, 866);
    struct Case {
        const char* what;
        std::string input;
        int result;
        std::uint32_t code_page;
        std::uint32_t by_count;  // detect_code_page's answer, unchanged
    };
    const std::string text = "Щётку для обуви положи в нижний ящик комода, Юра.";
    std::string long_text;
    while (long_text.size() < 2 * WORK_BUFFER_SIZE)
        long_text += text + "\n";
    const Case cases[] = {
        {"Windows-1251", written_in(1251, text), 1, 1251, 1251},
        {"IBM866", written_in(866, text), 1, 866, 866},
        {"KOI8-R, which the count takes for 1251", written_in(20866, text), 1, 20866, 1251},
        {"ISO-8859-5", written_in(28595, text), 1, 28595, 1251},
        {"MacCyrillic, outside the catalogue", written_in(READING_MAC_CYRILLIC, text), 1, 10007,
         1251},
        {"UTF-8", text, 2, 65001, 65001},
        {"no Cyrillic anywhere", "plain ASCII", 0, 1251, 1251},
        {"a short KOI8-R word: too little evidence against the count", written_in(20866, "да"), 1,
         1251, 1251},
        {"a short IBM866 word", written_in(866, "щи"), 1, 866, 1251},
        {"KOI8-R whose reading outgrows the catalogue's work buffers (the count finds none)",
         written_in(20866, long_text), 1, 20866, 1251},
        {"a short IBM866 word the count gets right", written_in(866, "Шея"), 1, 866, 866},
    };
    for (const Case& c : cases) {
        const DetectedCodePage detected = detect_code_page_by_plausibility(c.input);
        EXPECT_EQ(detected.result, c.result) << c.what;
        EXPECT_EQ(detected.code_page, c.code_page) << c.what;
        std::uint32_t counted = 0;
        detect_code_page(c.input, counted);
        EXPECT_EQ(counted, c.by_count) << c.what;
    }
}

}  // namespace
}  // namespace tavrik
