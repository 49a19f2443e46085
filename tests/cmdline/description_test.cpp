// Every kind of --tree description and what is said about it.
#include <gtest/gtest.h>
#include <string>

#include "description.h"

namespace {

struct Case {
    std::string description;
    const char *problem; // null: good
};

const Case kCases[] = {
    {"ABDH#K###E##CFI###G#J##", nullptr},
    {"#", nullptr},                                         // no tree
    {std::string(49, 'a') + std::string(50, '#'), nullptr}, // 99 characters
    {std::string(50, 'a') + std::string(51, '#'),
     "description too long (101 characters, at most 99)"},
    {"", "unfinished description (1 more subtree needed; '#' is an empty one)"},
    {"AB#", "unfinished description (2 more subtrees needed; '#' is an empty one)"},
    {"A##B", "extra characters after position 3"},
    {"##", "extra characters after position 1"},
    {"A# #", "bad character (a space) at position 3"},
    {"A\t##", "bad character (byte 0x09) at position 2; only printable ASCII"},
    {"\xB6\xFE##", "bad character (byte 0xB6) at position 1; only printable ASCII"},
    {"A#\x7F##", "bad character (byte 0x7F) at position 3; only printable ASCII"},
};

TEST(CheckDescription, EveryKindOfProblem) {
    for (const Case &c : kCases) {
        char why[160];
        const char *problem = CheckDescription(c.description.c_str(), why, sizeof why);
        if (!c.problem)
            EXPECT_EQ(problem, nullptr) << c.description << ": " << problem;
        else
            EXPECT_STREQ(problem, c.problem) << c.description;
    }
}

} // namespace
