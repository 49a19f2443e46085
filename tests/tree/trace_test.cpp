// The --trace tables of the walks on chains either way (the built-in and
// the empty tree are in the trace dialogue), the "...N more" of a deep
// stack, and the trace of a long chain staying linear in its steps.
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "lang.h"
#include "output.h"
#include "test_support.h"
#include "trace.h"
#include "tree_texts.h"

namespace {

typedef Status (*Walk)(BiTree, const WalkWatch &);
typedef std::function<void(BiTree)> Tracer;

// The trace of a depth-first walk, and of the level-order one.
Tracer Walking(Walk walk, int width = 0, int page = 0) {
    return [=](BiTree T) { TraceWalk(walk, T, width, page); };
}
const Tracer Levels = [](BiTree T) { TraceLevels(T); };

// What trace prints in a session of the language (English unless said),
// the kept texts forgotten before and after.
std::string Trace(const Tracer &trace, BiTree T, Language lang = LANG_EN) {
    ConsoleInit(ENCODING_UTF8);
    SetLanguage(lang, kTreeTexts, kTreeTextCount);
    std::string out = Output([&] { trace(T); });
    SetLanguage(LANG_ZH, nullptr, 0);
    ConsoleInit(ENCODING_UTF8);
    return out;
}

TEST(Trace, ChainsStepByStep) {
    struct Case {
        const char *description;
        Tracer trace;
        const char *lines;
    } cases[] = {
        {"XYZ####", Walking(PreOrderWalk),
         "step  action  p  stack  output\n"
         "1     push X  Y  X      X\n"
         "2     push Y  Z  X Y    X Y\n"
         "3     push Z  ^  X Y Z  X Y Z\n"
         "4     pop Z   ^  X Y    X Y Z\n"
         "5     pop Y   ^  X      X Y Z\n"
         "6     pop X   ^  -      X Y Z\n"},
        {"X#Y#Z##", Walking(PostOrderWalk), // each stack element with its flag
         "step  action  p  stack     output\n"
         "1     push X  ^  X0        -\n"
         "2     top X   Y  X1        -\n"
         "3     push Y  ^  X1 Y0     -\n"
         "4     top Y   Z  X1 Y1     -\n"
         "5     push Z  ^  X1 Y1 Z0  -\n"
         "6     top Z   ^  X1 Y1 Z1  -\n"
         "7     pop Z   Z  X1 Y1     Z\n"
         "8     pop Y   Y  X1        Z Y\n"
         "9     pop X   X  -         Z Y X\n"},
        {"XYZ####", Levels, "level 1: X(1)\nlevel 2: Y(2)\nlevel 3: Z(4)\n"},
        {"X#Y#Z##", Levels, "level 1: X(1)\nlevel 2: Y(3)\nlevel 3: Z(7)\n"},
        // Data outside printable ASCII (option 9 can store any byte), a
        // blank included, and the columns as wide as it makes them.
        {"\n##", Walking(InOrderWalk),
         "step  action     p  stack  output\n"
         "1     push \\x0A  ^  \\x0A   -\n"
         "2     pop \\x0A   ^  -      \\x0A\n"},
        {" ##", Walking(PreOrderWalk),
         "step  action     p  stack  output\n"
         "1     push \\x20  ^  \\x20   \\x20\n"
         "2     pop \\x20   ^  -      \\x20\n"},
    };
    for (const Case &c : cases) {
        BiTree T = Build(c.description);
        EXPECT_EQ(Trace(c.trace, T), c.lines) << c.description;
        DestroyBiTree(T);
    }
    for (const Tracer &trace :
         {Walking(PreOrderWalk), Walking(InOrderWalk), Walking(PostOrderWalk), Levels})
        EXPECT_EQ(Trace(trace, nullptr), "");
}

// In a Chinese session: the titles and actions in Chinese, the columns as
// wide as their display columns (a Chinese character takes two).
TEST(Trace, Chinese) {
    BiTree T = Build("XY###");
    EXPECT_EQ(Trace(Walking(PreOrderWalk), T, LANG_ZH), "步骤  操作    p  栈   输出\n"
                                                        "1     进栈 X  Y  X    X\n"
                                                        "2     进栈 Y  ^  X Y  X Y\n"
                                                        "3     出栈 Y  ^  X    X Y\n"
                                                        "4     出栈 X  ^  -    X Y\n");
    EXPECT_EQ(Trace(Levels, T, LANG_ZH), "第1层： X(1)\n第2层： Y(2)\n");
    DestroyBiTree(T);
}

// A deep walk at 20, 40 and 80 columns: no line as wide as the screen (the
// lists shorter, then the rows wrapped); on a terminal of 10 rows the
// header again before the row that would push it off the screen.
TEST(Trace, FitsTheWidthAndRepeatsTheHeader) {
    BiTree T = Build("abcdefghijklmnopqr###################");
    for (int width : {20, 40, 80, 120}) {
        std::istringstream trace(Trace(Walking(PostOrderWalk, width, 10), T));
        int lines = 0, since_header = 0;
        for (std::string line; std::getline(trace, line); lines++) {
            EXPECT_LT((int)line.size(), width) << line;
            since_header = line.rfind("step", 0) == 0 ? 0 : since_header + 1;
            EXPECT_LE(since_header, 8) << width << ": line " << lines;
        }
        EXPECT_GT(lines, 3 * 18) << width;
    }
    std::string wide = Trace(Walking(PostOrderWalk, 80, 0), T);
    EXPECT_NE(wide.find("step"), std::string::npos);
    EXPECT_EQ(wide.find("step", 1), std::string::npos); // no page: one header
    DestroyBiTree(T);
}

// Past 16 elements a list shows its top (last) 16 after "...N more".
TEST(Trace, DeepStackShowsItsTop16) {
    BiTree T = Build("abcdefghijklmnopqr###################");
    std::string trace = Trace(Walking(PreOrderWalk), T);
    EXPECT_NE(trace.find("17    push q  r  ...1 more b c d e f g h i j k l m n o p q  "
                         "...1 more b c d e f g h i j k l m n o p q\n"
                         "18    push r  ^  ...2 more c d e f g h i j k l m n o p q r  "
                         "...2 more c d e f g h i j k l m n o p q r\n"
                         "19    pop r   ^  ...1 more b c d e f g h i j k l m n o p q  "),
              std::string::npos)
        << trace;
    DestroyBiTree(T);
}

// A chain of 20000 levels: one line per step, each of bounded length, so
// the output grows with the steps, not with the steps times the height.
TEST(Trace, LongChainStaysLinear) {
    const long n = 20000;
    struct Case {
        bool left;
        Walk walk;
        long lines; // the header and the steps: each node is pushed and popped, in
                    // postorder also read
    } cases[] = {{true, PreOrderWalk, 1 + 2 * n},
                 {true, PostOrderWalk, 1 + 3 * n},
                 {false, InOrderWalk, 1 + 2 * n},
                 {false, PostOrderWalk, 1 + 3 * n}};
    for (const Case &c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases));
        BiTree T = Chain(n, c.left);
        std::istringstream trace(Trace(Walking(c.walk), T));
        long lines = 0;
        size_t longest = 0;
        for (std::string line; std::getline(trace, line); lines++)
            longest = std::max(longest, line.size());
        EXPECT_EQ(lines, c.lines);
        EXPECT_LE(longest, 6 + 8 + 3 + 2 * (20 + 3 * TRACE_SHOWN));
        DestroyBiTree(T);
    }
}

} // namespace
