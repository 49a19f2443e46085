// Where a line breaks: FitLine's rules, one row a case.
#include <gtest/gtest.h>
#include <string>

#include "textwidth.h"

namespace {

TEST(TextWidth, LinesBreakWhereAReaderExpects) {
    struct Row {
        const char *text;
        int width; // lines of fewer columns
        const char *first, *rest;
    } rows[] = {
        // A soft break (after ；) that leaves the line half full is taken
        // before one between two Chinese characters: 非空非满 stays whole.
        {"队列Q：front=1，rear=12，长度11；非空非满", 40, "队列Q：front=1，rear=12，长度11；",
         "非空非满"},
        // None half way: between two characters, but never before ）or ，.
        {"p 为空：弹出 H 并输出（它的左子树已走完），p 移到它的右孩子 K", 40,
         "p 为空：弹出 H 并输出（它的左子树已走", "完），p 移到它的右孩子 K"},
        // A blank half way before punctuation later: *：留空的一格 stays whole.
        {"=：front 与 rear 同在此格  *：留空的一格", 40, "=：front 与 rear 同在此格",
         "*：留空的一格"},
        {"abcdef（中文）", 9, "abcdef", "（中文）"}, // never after （
        {"Enter or n: next  b: back", 20, "Enter or n: next", "b: back"},
        {"abcdefgh", 5, "abcd", "efgh"},                      // no break: at the width
        {"\033[7mAB\033[0m CD", 4, "\033[7mAB\033[0m", "CD"}, // escapes take no column
        {"one\ntwo", 40, "one", "two"},
    };
    for (const Row &r : rows) {
        SCOPED_TRACE(r.text);
        const char *next = nullptr;
        size_t n = FitLine(r.text, r.width, &next);
        EXPECT_EQ(std::string(r.text, n), r.first);
        EXPECT_STREQ(next, r.rest);
    }
}

} // namespace
