// The console layer: GBK conversion against known bytes, and the reads on
// good input, bad input and cut-off input.
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define close _close
#define dup _dup
#define dup2 _dup2
#define write _write
#else
#include <unistd.h>
#endif

#include "console.h"

namespace {

TEST(Console, ConvertsToKnownGbkBytes) {
    char buf[64];
    ASSERT_EQ(Utf8ToGbk("二叉树", buf, sizeof buf), 6u);
    EXPECT_EQ(std::string(buf, 6), "\xB6\xFE\xB2\xE6\xCA\xF7");
    ASSERT_EQ(Utf8ToGbk("队列不存在！", buf, sizeof buf), 12u);
    EXPECT_EQ(std::string(buf + 10, 2), "\xA3\xA1");
    EXPECT_EQ(Utf8ToGbk("plain %d\n", buf, sizeof buf), 9u);
    EXPECT_EQ(Utf8ToGbk("二叉树", buf, 4), (size_t)-1) << "must not overrun";
}

// Feeds text to stdin for the duration of a test: file descriptor 0 becomes
// the read end of a pipe that holds the text, the way the programs get their
// input from a script. (stdin itself is not assignable everywhere: on Windows
// it is an expression, not a variable.)
class ConsoleRead : public testing::Test {
  protected:
    void Feed(const std::string &text) {
        int fds[2];
#ifdef _WIN32
        ASSERT_EQ(_pipe(fds, 4096, _O_BINARY), 0);
#else
        ASSERT_EQ(pipe(fds), 0);
#endif
        // The texts are far smaller than a pipe's buffer: no reader needed.
        ASSERT_EQ(write(fds[1], text.data(), (unsigned)text.size()), (int)text.size());
        close(fds[1]);
        fflush(stdout);
        int saved = dup(0);
        ASSERT_GE(saved, 0);
        ASSERT_EQ(dup2(fds[0], 0), 0);
        close(fds[0]);
        saved_ = saved;
        clearerr(stdin);
    }
    void TearDown() override {
        if (saved_ < 0) return;
        // Drain what the test left (the writer is gone, so this ends), so
        // that nothing of it stays in stdin's buffer, then put fd 0 back.
        while (getchar() != EOF) {
        }
        dup2(saved_, 0);
        close(saved_);
        clearerr(stdin);
    }
    int saved_ = -1;
};

TEST_F(ConsoleRead, NumbersLikeScanf) {
    Feed(" \t\n-17x +0042\n2147483647 -2147483648\n");
    int v = 0;
    ASSERT_EQ(ReadInt(&v), READ_OK);
    EXPECT_EQ(v, -17);
    EXPECT_EQ(ReadChar(), 'x') << "the character after the digits stays unread";
    ASSERT_EQ(ReadInt(&v), READ_OK);
    EXPECT_EQ(v, 42);
    EXPECT_EQ(ReadChar(), '\n');
    ASSERT_EQ(ReadInt(&v), READ_OK);
    EXPECT_EQ(v, 2147483647);
    ASSERT_EQ(ReadInt(&v), READ_OK);
    EXPECT_EQ(v, -2147483647 - 1);
}

TEST_F(ConsoleRead, NotNumbers) {
    Feed("abc\n-\n2147483648z\n-2147483649\n99999999999999999999999 7\n");
    int v = 5;
    EXPECT_EQ(ReadInt(&v), READ_NAN);
    EXPECT_EQ(ReadChar(), 'a') << "the bad character stays unread";
    DiscardLine(true);
    EXPECT_EQ(ReadInt(&v), READ_NAN) << "a sign alone";
    EXPECT_EQ(ReadChar(), '\n');
    EXPECT_EQ(ReadInt(&v), READ_NAN) << "above INT_MAX";
    EXPECT_EQ(ReadChar(), 'z') << "all the digits are consumed";
    EXPECT_EQ(ReadInt(&v), READ_NAN) << "below INT_MIN";
    EXPECT_EQ(ReadInt(&v), READ_NAN);
    EXPECT_EQ(ReadInt(&v), READ_OK);
    EXPECT_EQ(v, 7);
}

TEST_F(ConsoleRead, DiscardLineKeepsNewlineWhenAsked) {
    Feed("rest of line\nnext");
    DiscardLine(false);
    EXPECT_EQ(ReadChar(), '\n');
    EXPECT_EQ(ReadChar(), 'n');
}

TEST_F(ConsoleRead, NumberCutShortByEndOfInputCounts) {
    Feed("12");
    int v = 0;
    ASSERT_EQ(ReadInt(&v), READ_OK);
    EXPECT_EQ(v, 12);
}

TEST(ConsoleEnd, EndOfInputEndsProgramWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            // An empty input: the null device. Exit status 3 if it cannot
            // be opened, so that a closed stdin cannot pass for it.
            if (!freopen(
#ifdef _WIN32
                    "NUL",
#else
                    "/dev/null",
#endif
                    "r", stdin))
                exit(3);
            int v;
            ReadInt(&v);
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
