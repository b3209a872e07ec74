#include <gtest/gtest.h>

#include <string>

#include "engine/code_pages.hpp"
#include "platform/system_code_pages.hpp"

namespace tavrik {
namespace {

TEST(CodePageCatalogue, RowsInOrder) {
    const std::uint32_t values[] = {1251, 866, 20866, 28595, 65001, 0, 1, 20127};
    const char* names[] = {"cp1251", "cp866", "koi8r", "iso88595", "utf8", "acp", "oemcp", "ascii"};
    for (std::size_t i = 0; i < code_page_catalogue.size(); ++i) {
        EXPECT_EQ(code_page_catalogue[i].value, values[i]);
        EXPECT_STREQ(code_page_catalogue[i].short_name, names[i]);
    }
}

TEST(CodePageNames, RussianSystemNamesItsCodePagesByTheirFixedRows) {
    platform::SystemCodePageOverride russian(1251, 866);
    EXPECT_EQ(resolve_code_page(0), 1251u);
    EXPECT_EQ(resolve_code_page(1), 866u);
    EXPECT_EQ(resolve_code_page(437), 437u);
    EXPECT_STREQ(code_page_name(1251), "cp1251");
    EXPECT_STREQ(code_page_name(866), "cp866");
    EXPECT_STREQ(code_page_name(65001), "utf8");
    EXPECT_STREQ(code_page_name(20127), "ascii");
    EXPECT_STREQ(code_page_name(852), "cp852");
    EXPECT_STREQ(code_page_name(4294967295u), "cp4294967295");
}

TEST(CodePageNames, OtherSystemsShowAcpAndOemcp) {
    platform::SystemCodePageOverride western(1252, 437);
    EXPECT_STREQ(code_page_name(1252), "acp");
    EXPECT_STREQ(code_page_name(437), "oemcp");
    EXPECT_STREQ(code_page_name(1251), "cp1251");
    {
        platform::SystemCodePageOverride central(1250, 852);  // overrides nest
        EXPECT_STREQ(code_page_name(852), "oemcp");
        EXPECT_STREQ(code_page_name(437), "cp437");
    }
    EXPECT_EQ(resolve_code_page(1), 437u);
    // A system code page that is also a fixed row takes the fixed row's name.
    platform::SystemCodePageOverride utf8_system(65001, 866);
    EXPECT_STREQ(code_page_name(65001), "utf8");
}

TEST(CodePageNames, SystemIsAskedAtEveryResolution) {
    {
        platform::SystemCodePageOverride first(1252, 850);
        EXPECT_EQ(resolve_code_page(0), 1252u);
    }
    platform::SystemCodePageOverride second(1251, 866);
    EXPECT_EQ(resolve_code_page(0), 1251u);
    EXPECT_EQ(resolve_code_page(1), 866u);
}

}  // namespace
}  // namespace tavrik
