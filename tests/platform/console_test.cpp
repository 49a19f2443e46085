// The console layer: GBK conversion against known bytes, and the reads on
// good input, bad input and cut-off input. (tests/platform/console_check.py
// runs the programs themselves: prompts, write errors, closed pipes.)
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>
#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#define close _close
#define dup _dup
#define dup2 _dup2
#define write _write
#else
#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include "capture.h"
#include "console.h"
#include "console_system.h"

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

TEST(Console, EveryKindOfPrintGivesGbk) {
    // Each text twice: the second print comes from the converted copy.
    auto out = Output([] {
        for (int i = 0; i < 2; i++) {
            PrintText("树的根是");
            PrintChar('A');
            PrintLine("队列为空");
            Print("第%d个结点的数据是%c", 12, 'I');
            PrintText("100% plain\t");
            PrintFixedLine("请选择");
            PrintFixedLine("队列");
        }
    });
    std::string once = Gbk("树的根是") + "A" + Gbk("队列为空") + "\n" + Gbk("第12个结点的数据是I") +
                       "100% plain\t" + Gbk("请选择") + "\n" + Gbk("队列") + "\n";
    EXPECT_EQ(out, once + once);
}

// A buffer printed again with other contents (a drawing's lines) prints what
// it holds now, not what was converted from its address before.
TEST(Console, ChangedBufferPrintsItsNewText) {
    auto out = Output([] {
        char line[32];
        const char *texts[] = {"B(2)", "K(17) longer", "队列", "x"};
        for (const char *text : texts) {
            snprintf(line, sizeof line, "%s", text);
            PrintLine(line);
        }
    });
    EXPECT_EQ(out, "B(2)\nK(17) longer\n" + Gbk("队列") + "\nx\n");
}

// Texts are kept converted by their address: the other of two literals
// given in turn, texts from a table, more texts than the table holds, texts
// that share a slot, and a kept text's buffer refilled each print what they
// are.
TEST(Console, KeptTextsPrintWhatTheyAre) {
    static const char *const kTable[] = {"一", "二"};
    static char refilled[16] = "队列";
    static char apart[3 << 12]; // texts 4096 bytes apart, which share a slot
    strcpy(apart, "队列一");
    strcpy(apart + 4096, "队列二");
    strcpy(apart + 8192, "plain");
    std::vector<std::string> many;
    for (int i = 0; i < 300; i++)
        many.push_back("第" + std::to_string(i));
    struct Row {
        const char *name;
        std::function<const char *(int)> text;
    } rows[] = {
        {"two literals", [](int i) { return i % 2 ? "赋值成功" : "赋值失败"; }},
        {"a table", [](int i) { return kTable[i % 2]; }},
        {"many texts", [&](int i) { return many[i % many.size()].c_str(); }},
        {"a refilled buffer",
         [](int i) { return strcpy(refilled, i % 3 ? "队列" : "x%d"), refilled; }},
        {"a buffer refilled to the same length",
         [](int i) { return strcpy(refilled, i % 2 ? "第1" : "第2"), refilled; }},
        {"texts that share a slot", [](int i) { return apart + 4096 * (i % 3); }},
    };
    for (const Row &row : rows) {
        std::string expected;
        for (int i = 0; i < 900; i++)
            expected += Gbk(row.text(i));
        EXPECT_EQ(Output([&] {
                      for (int i = 0; i < 900; i++)
                          PrintText(row.text(i));
                  }),
                  expected)
            << row.name;
    }
}

#ifndef _WIN32
// A terminal's size as it reports it; one not given a size (0 x 0) counts
// as the default size, as does stdout that is no terminal.
TEST(Console, TerminalSizeOrTheDefault) {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master) | unlockpt(master), 0);
    int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    int saved = dup(1);
    const struct {
        unsigned short cols, rows;
        int want_cols, want_rows;
    } rows[] = {{0, 0, 80, 24}, {100, 0, 80, 24}, {132, 43, 132, 43}};
    for (const auto &row : rows) {
        struct winsize ws = {row.rows, row.cols, 0, 0};
        ASSERT_EQ(ioctl(slave, TIOCSWINSZ, &ws), 0);
        fflush(stdout);
        dup2(slave, 1);
        TermSize size = GetTermSize();
        dup2(saved, 1);
        EXPECT_EQ(size.cols, row.want_cols) << row.cols << "x" << row.rows;
        EXPECT_EQ(size.rows, row.want_rows) << row.cols << "x" << row.rows;
    }
    if (!isatty(1)) { /* stdout a pipe or a file, as under ctest */
        TermSize size = GetTermSize();
        EXPECT_EQ(size.cols * 1000 + size.rows, 80024);
    }
    close(saved);
    close(slave);
    close(master);
}
#endif

// Feeds text to stdin for the duration of a test: file descriptor 0 becomes
// the read end of a pipe, which a thread fills with the text and then
// closes, the way the programs get their input from a script. (stdin itself
// is not assignable everywhere: on Windows it is an expression, not a
// variable.)
class ConsoleRead : public testing::Test {
  protected:
    void Feed(const std::string &text) {
        int fds[2];
#ifdef _WIN32
        ASSERT_EQ(_pipe(fds, 4096, _O_BINARY), 0);
#else
        ASSERT_EQ(pipe(fds), 0);
        signal(SIGPIPE, SIG_IGN); // input the test leaves unread: the writer stops
#endif
        saved_ = dup(0);
        ASSERT_GE(saved_, 0);
        ASSERT_EQ(dup2(fds[0], 0), 0);
        close(fds[0]);
        writer_ = std::thread([fd = fds[1], text] {
            for (size_t done = 0; done < text.size();) {
                int n = write(fd, text.data() + done, (unsigned)(text.size() - done));
                if (n <= 0) break;
                done += (size_t)n;
            }
            close(fd);
        });
    }
    void TearDown() override {
        if (saved_ < 0) return;
        // Forget what the test left read ahead, then put fd 0 back, which
        // also closes the pipe's last read end and so ends the writer.
        DropInput();
        dup2(saved_, 0);
        close(saved_);
        if (writer_.joinable()) writer_.join();
    }
    int saved_ = -1;
    std::thread writer_;
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

TEST_F(ConsoleRead, ReadsAcrossBlocks) {
    // Far more than one block of read-ahead, so that numbers and lines are
    // cut by block ends: each still comes out whole.
    std::string text;
    for (int i = 0; i < 40000; i++)
        text += std::to_string(i) + (i % 2 ? "\n" : " junk\n");
    Feed(text);
    for (int i = 0; i < 40000; i++) {
        int v = -1;
        ASSERT_EQ(ReadInt(&v), READ_OK) << i;
        ASSERT_EQ(v, i);
        if (i % 2)
            ASSERT_EQ(ReadChar(), '\n') << i;
        else
            DiscardLine(true);
    }
}

// One menu round as the programs run it, without a picture.
int MenuRound(const char *const *lines, size_t n, const char *prompt) {
    ClearForMenu();
    PrintMenu(lines, n, prompt);
    return ReadChoice(9, false);
}

TEST_F(ConsoleRead, MenuEachTimeAsGiven) {
    // Two menus in turn: each round shows the menu it is given.
    static const char *const kOne[] = {"\n", "一"};
    static const char *const kTwo[] = {"二", "-"};
    Feed("1\n2\nx y\n3\n");
    FlushOutput();
    testing::internal::CaptureStdout();
    EXPECT_EQ(MenuRound(kOne, 2, "选:"), 1);
    EXPECT_EQ(MenuRound(kTwo, 2, "选:"), 2);
    EXPECT_EQ(MenuRound(kOne, 1, "选:"), -1) << "not a number: the line goes";
    EXPECT_EQ(MenuRound(kOne, 2, "选:"), 3);
    FlushOutput();
    fflush(stdout);
    std::string one = "\n\n" + Gbk("一") + "\n" + Gbk("选:");
    std::string two = Gbk("二") + "\n-\n" + Gbk("选:");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), one + two + "\n\n" + Gbk("选:") + one);
}

TEST_F(ConsoleRead, EndOfInputEndsProgramWithStatusZero) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Feed("");
            int v;
            ReadInt(&v);
            exit(3); // not reached when the end of input ends the program
        },
        testing::ExitedWithCode(0), "");
}

} // namespace
