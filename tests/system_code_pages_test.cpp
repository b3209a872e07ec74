// Nothing is overridden here: these tests see the system code pages the platform really reports,
// the ones this run was set up with. TAVRIK_EXPECT_SYSTEM_CODE_PAGES names them ("1252 437");
// unset, a Russian system's 1251 and 866 are expected.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
#include <string>

#include "engine/code_pages.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/support/enumeration_check.hpp"
#include "tests/support/test_texts.hpp"

namespace tavrik {
namespace {

struct SystemCodePages {
    std::uint32_t ansi = 1251;
    std::uint32_t oem = 866;
};

SystemCodePages expected_system() {
    SystemCodePages pages;
    if (const char* named = std::getenv("TAVRIK_EXPECT_SYSTEM_CODE_PAGES")) {
        unsigned ansi = 0, oem = 0;
        if (std::sscanf(named, "%u %u", &ansi, &oem) == 2) pages = {ansi, oem};
    }
    return pages;
}

// The name a fixed row (1 to 5) gives a code page before the system rows can.
const char* fixed_row_name(std::uint32_t code_page) {
    for (std::size_t row = 0; row < 5; ++row) {
        if (code_page_catalogue[row].value == code_page) return code_page_catalogue[row].short_name;
    }
    return nullptr;
}

TEST(RealSystemCodePages, AreTheOnesThisRunSetUp) {
    const SystemCodePages expected = expected_system();
    EXPECT_EQ(platform::system_ansi_code_page(), expected.ansi);
    EXPECT_EQ(platform::system_oem_code_page(), expected.oem);
    EXPECT_EQ(resolve_code_page(0), expected.ansi);
    EXPECT_EQ(resolve_code_page(1), expected.oem);
}

TEST(RealSystemCodePages, NameChains) {
    const SystemCodePages system = expected_system();
    const char* ansi_name = fixed_row_name(system.ansi);
    EXPECT_STREQ(code_page_name(system.ansi), ansi_name ? ansi_name : "acp");
    const char* oem_name = fixed_row_name(system.oem);
    if (!oem_name) oem_name = system.oem == system.ansi ? code_page_name(system.ansi) : "oemcp";
    EXPECT_STREQ(code_page_name(system.oem), oem_name);

    // The second origin is the system ANSI code page: its first chain carries its name.
    const CandidateList list("abc");
    ASSERT_EQ(list.size(), MAX_CANDIDATES);
    EXPECT_EQ(test::label(list, 0), "utf8 → cp1251 → cp1251");
}

TEST(RealSystemCodePages, EnumerationMatchesPlainAlgorithm) {
    const std::string prose(test::russian_prose_utf8());
    for (const std::string& input :
         {prose, test::encode(1251, prose), test::russian_prose_in(866),
          test::russian_prose_in(1252), test::russian_prose_in(437), std::string("caf\xE9")}) {
        test::expect_same_as_plain(input);
    }
    std::mt19937 random(5);
    for (int i = 0; i < 30; ++i)
        test::expect_same_as_plain(test::random_garble(random, 1 + i));
}

std::optional<std::string> convert(const std::string& source, std::uint32_t from,
                                   std::uint32_t to) {
    std::string out(64, '\0');
    std::uint64_t length = out.size();
    if (!convert_strict(source, out.data(), length, from, to)) return std::nullopt;
    out.resize(static_cast<std::size_t>(length));
    return out;
}

// Windows-1250 (Central European) has no table of ours: Windows converts it, or nothing does.
TEST(CodePageOutsideOurTables, ConvertedByTheSystemOrNotAtAll) {
#ifdef _WIN32
    EXPECT_EQ(convert("\x8A", 1250, 65001), std::string("\xC5\xA0"));  // Š
    EXPECT_EQ(convert("\xC5\xA0", 65001, 1250), std::string("\x8A"));
    EXPECT_EQ(convert("\xD1\x8F", 65001, 1250), std::nullopt);  // я: the default character
    // 0x81 is undefined in Windows-1250, yet Windows' converter hands it back as U+0081 even
    // when asked to refuse invalid bytes: only our own tables are strict about undefined bytes.
    EXPECT_EQ(convert("\x81", 1250, 65001), std::string("\xC2\x81"));
#else
    EXPECT_EQ(convert("\x8A", 1250, 65001), std::nullopt);
    EXPECT_EQ(convert("a", 65001, 1250), std::nullopt);
#endif
    EXPECT_EQ(convert("\x8A", 1250, 1250), std::string("\x8A"));  // equal code pages: a copy
}

}  // namespace
}  // namespace tavrik
