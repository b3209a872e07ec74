#include "tests/support/enumeration_check.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "tests/reference/plain_engine.hpp"

namespace tavrik::test {

Enumerated::Enumerated(std::string_view input) {
    const int returned = enumerate_candidates(input, candidates, count);
    EXPECT_EQ(returned, count);
}

Enumerated::~Enumerated() {
    free_candidates(std::span(candidates).first(static_cast<std::size_t>(count)));
}

void expect_same_as_plain(std::string_view input) {
    const std::vector<Candidate> expected = plain::enumerate_candidates(input);
    const Enumerated actual(input);
    ASSERT_EQ(static_cast<std::size_t>(actual.count), expected.size())
        << testing::PrintToString(std::string(input.substr(0, 64)));
    for (int i = 0; i < actual.count; ++i) {
        const Candidate& want = expected[static_cast<std::size_t>(i)];
        ASSERT_EQ(actual.label(i), want.label_text()) << "candidate " << i;
        ASSERT_EQ(actual[i].length, want.length) << actual.label(i);
        ASSERT_EQ(actual[i].view(), want.view()) << actual.label(i);
        ASSERT_EQ(actual[i].text[actual[i].length], '\0');
        ASSERT_EQ(actual[i].score, want.score) << actual.label(i);
    }
}

}  // namespace tavrik::test
