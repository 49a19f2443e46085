// The --trace tables of the walks on chains either way (the built-in and
// the empty tree are in the trace dialogue), the "...N more" of a deep
// stack, and the trace of a long chain staying linear in its steps.
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"
#include "trace.h"

namespace {

typedef Status (*Walk)(BiTree, const WalkWatch &);
typedef std::function<void(BiTree)> Tracer;

// The trace of a depth-first walk; TraceLevels is the level-order one.
Tracer Walking(Walk walk) {
    return [walk](BiTree T) { TraceWalk(walk, T); };
}

std::string Trace(const Tracer &trace, BiTree T) {
    return Output([&] { trace(T); });
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
        {"XYZ####", TraceLevels, "level 0: X(1)\nlevel 1: Y(2)\nlevel 2: Z(4)\n"},
        {"X#Y#Z##", TraceLevels, "level 0: X(1)\nlevel 1: Y(3)\nlevel 2: Z(7)\n"},
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
         {Walking(PreOrderWalk), Walking(InOrderWalk), Walking(PostOrderWalk), Tracer(TraceLevels)})
        EXPECT_EQ(Trace(trace, nullptr), "");
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
