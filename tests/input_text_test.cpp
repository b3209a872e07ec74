// The input box's characters as the engine's bytes, and files as the input box's text. Runs on
// Linux with our tables and under Wine with the system's converter: both must agree.
#include <gtest/gtest.h>

#include <string>

#include "platform/system_code_pages.hpp"
#include "ui/input_text.hpp"

namespace tavrik {
namespace {

using namespace std::string_literals;

TEST(EngineInput, AnsiBytesWhenTheTextSurvivesTheRoundTripElseUtf8) {
    struct Case {
        std::uint32_t ansi;
        std::u16string text;
        std::string bytes;
    };
    const Case cases[] = {
        // A 1251 paste: exactly the bytes the narrow interface hands over.
        {1251, u"РџСЂРёРІРµС‚, РјРёСЂ!", "Привет, мир!"},
        {1251, u"Hello\r\nworld", "Hello\r\nworld"},
        {1251, u"", ""},
        // «И» in UTF-8 is D0 98: Windows carries byte 0x98 as U+0098 in 1251, and back.
        {1251, u"Р\u0098РЅ", "\xD0\x98\xD0\xBD"},
        // 1251 shown as 866, as a console shows it: 1251 cannot hold the box drawing.
        {1251, u"╧ЁштхЄ, ьшЁ!", "╧ЁштхЄ, ьшЁ!"},
        // A best fit would make «e» of «é»; the text is taken whole instead.
        {1251, u"café", "café"},
        {1251, u"Ж\xD800", "Ж\xEF\xBF\xBD"},  // a lone surrogate
        {1252, u"café", "caf\xE9"},
        {1252, u"\u0081\u008D", "\x81\x8D"},  // undefined in 1252, C1 controls on Windows
        {1252, u"РџСЂРёРІРµС‚", "РџСЂРёРІРµС‚"},
        {866, u"╧ЁштхЄ, ьшЁ!", "\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0!"},
    };
    for (const Case& c : cases) {
        platform::SystemCodePageOverride system(c.ansi, 866);
        EXPECT_EQ(engine_input(c.text), c.bytes) << c.ansi << " " << c.bytes;
    }
}

TEST(EngineInput, AnsiBytesComeBackAsTheyWentIn) {
    // Whatever a 1251 or 1252 file or paste puts into the box reaches the engine unchanged.
    std::string every_byte;
    for (int byte = 1; byte < 256; ++byte)
        every_byte += static_cast<char>(byte);
    for (const std::uint32_t ansi : {1251u, 1252u}) {
        platform::SystemCodePageOverride system(ansi, 866);
        EXPECT_EQ(engine_input(text_from_ansi(every_byte)), every_byte) << ansi;
    }
}

TEST(TextOfFile, ByteOrderMarksAndNuls) {
    platform::SystemCodePageOverride russian(1251, 866);
    struct Case {
        const char* what;
        std::string bytes;
        bool truncated;
        std::u16string text;
        bool cut_at_nul;
        bool utf16;
    };
    const Case cases[] = {
        {"1251 bytes", "\xCF\xF0\xE8\xE2\xE5\xF2", false, u"Привет", false, false},
        {"a NUL byte cuts", "\xCF\xF0\0after"s, false, u"Пр", true, false},
        {"a NUL first", "\0abc"s, false, u"", true, false},
        {"a UTF-8 mark is not text", "\xEF\xBB\xBF\xD0\x9F", false, u"Рџ", false, false},
        {"UTF-16 LE", "\xFF\xFE\x1F\x04\x40\x04!\0"s, false, u"Пр!", false, true},
        {"UTF-16 BE", "\xFE\xFF\x04\x1F\x04\x40\0!"s, false, u"Пр!", false, true},
        {"UTF-16 LE, a NUL unit cuts", "\xFF\xFE\x1F\x04\0\0\x40\x04"s, false, u"П", true, true},
        {"UTF-16, Latin letters hold NUL bytes", "\xFF\xFEH\0i\0"s, false, u"Hi", false, true},
        {"UTF-16, an odd last byte", "\xFF\xFE\x1F\x04\x40"s, false, u"П\uFFFD", false, true},
        {"UTF-16, an odd last byte of a cut file", "\xFF\xFE\x1F\x04\x40"s, true, u"П", false,
         true},
        {"UTF-16, only the mark", "\xFF\xFE", false, u"", false, true},
        {"UTF-16, a lone surrogate stays", "\xFF\xFE\x00\xD8"s, false, u"\xD800", false, true},
    };
    for (const Case& c : cases) {
        const FileText file = text_of_file(c.bytes, c.truncated);
        EXPECT_EQ(file.text, c.text) << c.what;
        EXPECT_EQ(file.cut_at_nul, c.cut_at_nul) << c.what;
        EXPECT_EQ(file.utf16, c.utf16) << c.what;
    }
}

}  // namespace
}  // namespace tavrik
