// The shared command-line parser: every option, in any order, and each kind
// of mistake (one stderr line, nothing on stdout, status 2).
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "capture.h"
#include "cmdline.h"
#include "output.h"

namespace {

// Accepts descriptions that start with 'A'.
const char *CheckTree(const char *value, char *why, size_t size) {
    if (value[0] == 'A') return nullptr;
    snprintf(why, size, "not an A tree");
    return why;
}

const char *CheckPath(const char *value, char *, size_t) {
    return *value ? nullptr : "needs a path, not an empty text";
}

// The two programs' own options, as their tables give them.
enum Program { kTree, kQueue };

struct Result {
    int status;
    CmdShared shared;
    const char *tree = nullptr, *file = nullptr;
    bool trace = false, step = false;
    Captured io;
};

// A row's name in a failure message: its program and arguments.
std::string Row(Program program, const std::vector<const char *> &args) {
    std::string name = program == kTree ? "tree:" : "queue:";
    for (const char *arg : args)
        name += std::string(" ") + arg;
    return name;
}

Result Parse(Program program, std::vector<const char *> args) {
    args.insert(args.begin(), "prog");
    Result r;
    const CmdOption tree[] = {{"--tree", nullptr, &r.tree, CheckTree},
                              {"--trace", &r.trace, nullptr, nullptr},
                              {"--step", &r.step, nullptr, nullptr}};
    const CmdOption queue[] = {{"--file", nullptr, &r.file, CheckPath}};
    r.io = Capture([&] {
        char *const *argv = const_cast<char *const *>(args.data());
        r.status = program == kTree
                       ? ParseCmdLine((int)args.size(), argv, "tree help\n", tree, 3, r.shared)
                       : ParseCmdLine((int)args.size(), argv, "queue help\n", queue, 1, r.shared);
    });
    return r;
}

TEST(ParseCmdLine, GoodCommandLines) {
    SetProgramName("prog");
    struct Case {
        Program program;
        std::vector<const char *> args;
        bool draw, trace;
        OutputEncoding encoding;
        const char *tree, *file;
    } cases[] = {
        {kTree, {}, false, false, ENCODING_AUTO, nullptr, nullptr},
        {kTree, {"--tree", "AB##C##", "--draw"}, true, false, ENCODING_AUTO, "AB##C##", nullptr},
        {kTree,
         {"--encoding=UTF-8", "--tree=A##", "--"},
         false,
         false,
         ENCODING_UTF8,
         "A##",
         nullptr},
        {kTree, {"--trace", "--draw"}, true, true, ENCODING_AUTO, nullptr, nullptr},
        {kTree,
         {"--encoding", "gbk", "--encoding", "utf8"},
         false,
         false,
         ENCODING_UTF8,
         nullptr,
         nullptr},
        {kQueue,
         {"--file", "--draw", "--encoding", "GBK"},
         false,
         false,
         ENCODING_GBK,
         nullptr,
         "--draw"},
        {kQueue, {"--draw", "--file=-"}, true, false, ENCODING_AUTO, nullptr, "-"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(Row(c.program, c.args));
        Result r = Parse(c.program, c.args);
        EXPECT_EQ(r.status, CMD_RUN);
        EXPECT_EQ(r.shared.draw, c.draw);
        EXPECT_EQ(r.trace, c.trace);
        EXPECT_EQ(r.shared.encoding, c.encoding);
        EXPECT_STREQ(r.tree, c.tree);
        EXPECT_STREQ(r.file, c.file);
        EXPECT_EQ(r.io.out + r.io.err, "");
    }
}

// --learn turns on --draw (a program turns on its own views with it);
// --step stands alone; --lang is known to both programs, the last one given
// counting.
TEST(ParseCmdLine, LearnStepAndLang) {
    SetProgramName("prog");
    struct Case {
        Program program;
        std::vector<const char *> args;
        bool draw, trace, step, learn;
        Language lang;
    } cases[] = {
        {kTree, {"--learn"}, true, false, false, true, LANG_ZH},
        {kQueue, {"--learn"}, true, false, false, true, LANG_ZH},
        {kTree, {"--step"}, false, false, true, false, LANG_ZH},
        {kTree, {"--step", "--learn", "--draw"}, true, false, true, true, LANG_ZH},
        {kTree, {"--trace", "--learn"}, true, true, false, true, LANG_ZH},
        {kQueue, {"--lang", "en"}, false, false, false, false, LANG_EN},
        {kTree, {"--lang=EN"}, false, false, false, false, LANG_EN},
        {kQueue, {"--lang", "en", "--lang=zh"}, false, false, false, false, LANG_ZH},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(Row(c.program, c.args));
        Result r = Parse(c.program, c.args);
        EXPECT_EQ(r.status, CMD_RUN);
        EXPECT_EQ(r.shared.draw, c.draw);
        EXPECT_EQ(r.trace, c.trace);
        EXPECT_EQ(r.step, c.step);
        EXPECT_EQ(r.shared.learn, c.learn);
        EXPECT_EQ(r.shared.lang, c.lang);
        EXPECT_EQ(r.io.out + r.io.err, "");
    }
}

TEST(ParseCmdLine, HelpAndVersionPrintAndEnd) {
    SetProgramName("prog");
    const std::vector<const char *> helps[] = {
        {"--draw", "--help", "--bogus"}, {"-h"}, {"--encoding", "gbk", "-h", "--file", "x"}};
    for (const auto &args : helps) {
        SCOPED_TRACE(Row(kTree, args));
        Result h = Parse(kTree, args);
        EXPECT_EQ(h.status, 0);
        EXPECT_EQ(h.io.out + h.io.err, "tree help\n");
    }
    Result r = Parse(kQueue, {"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.io.out.compare(0, 5, "prog "), 0) << r.io.out;
    EXPECT_EQ(r.io.out.back(), '\n');
}

TEST(ParseCmdLine, MistakesSayWhatAndEndWithStatus2) {
    SetProgramName("prog");
    struct Case {
        Program program;
        std::vector<const char *> args;
        const char *problem;
    } cases[] = {
        {kTree, {"--bogus"}, "unknown option '--bogus'"},
        {kTree, {"--file", "x"}, "unknown option '--file'"},
        {kQueue, {"--tree", "A##"}, "unknown option '--tree'"},
        {kTree, {"-H"}, "unknown option '-H'"},
        {kTree, {"-help"}, "unknown option '-help'"},
        {kQueue, {"-h=1"}, "option '-h' takes no value"},
        {kQueue, {"--trace"}, "unknown option '--trace'"},
        {kTree, {"--trace=1"}, "option '--trace' takes no value"},
        {kQueue, {"--step"}, "unknown option '--step'"},
        {kTree, {"--learn=1"}, "option '--learn' takes no value"},
        {kTree, {"--draw", "extra"}, "unexpected argument 'extra'"},
        {kTree, {"--", "--draw"}, "unexpected argument '--draw'"},
        {kTree, {"--draw=yes"}, "option '--draw' takes no value"},
        {kTree, {"--draw", "--tree"}, "option '--tree' needs a value"},
        {kQueue, {"--encoding", "latin1"}, "--encoding: bad value 'latin1' (gbk or utf-8)"},
        {kQueue, {"--file", ""}, "--file: needs a path, not an empty text"},
        {kQueue, {"--lang", "fr"}, "--lang: bad value 'fr' (zh or en)"},
        {kTree, {"--lang"}, "option '--lang' needs a value"},
        {kTree, {"--tree", "B##"}, "--tree: not an A tree"},
        {kTree, {"--encoding", "x\ny"}, "--encoding: bad value 'x?y' (gbk or utf-8)"},
        // Quoted texts stop at 40 bytes; a long option name is cut without "...".
        {kTree,
         {"--encoding", "0123456789012345678901234567890123456789X"},
         "--encoding: bad value '0123456789012345678901234567890123456789...' (gbk or utf-8)"},
        {kTree,
         {"--abcdefghijabcdefghijabcdefghijabcdefghijXY"},
         "unknown option '--abcdefghijabcdefghijabcdefghijabcdefgh'"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(Row(c.program, c.args));
        Result r = Parse(c.program, c.args);
        EXPECT_EQ(r.status, CMD_USAGE);
        EXPECT_EQ(r.io.out, "");
        EXPECT_EQ(r.io.err, std::string("prog: ") + c.problem + "; try 'prog --help'\n");
    }
}

} // namespace
