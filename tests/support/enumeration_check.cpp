#include "tests/support/enumeration_check.hpp"

#include <gtest/gtest.h>

#include <vector>

#include "tests/reference/plain_engine.hpp"

namespace tavrik::test {

void expect_same_as_plain(std::string_view input) {
    const std::vector<Candidate> expected = plain::enumerate_candidates(input);
    const CandidateList actual(input);
    ASSERT_EQ(static_cast<std::size_t>(actual.size()), expected.size())
        << testing::PrintToString(std::string(input.substr(0, 64)));
    for (int i = 0; i < actual.size(); ++i) {
        const Candidate& want = expected[static_cast<std::size_t>(i)];
        ASSERT_EQ(label(actual, i), want.label_text()) << "candidate " << i;
        ASSERT_EQ(actual[i].length, want.length) << label(actual, i);
        ASSERT_EQ(actual[i].view(), want.view()) << label(actual, i);
        ASSERT_EQ(actual[i].text[actual[i].length], '\0');
        ASSERT_EQ(actual[i].score, want.score) << label(actual, i);
    }
}

}  // namespace tavrik::test
