// The --trace lines of the four walks on chains either way (the built-in
// and the empty tree are in the trace dialogue), the "...N more" of a deep
// stack, and the trace of a long chain staying linear in its steps.
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

#include "test_support.h"
#include "trace.h"

namespace {

typedef Status (*Walk)(BiTree, const WalkWatch &);

std::string Trace(Walk walk, BiTree T) {
    return Output([&] { TraceWalk(walk, T); });
}

TEST(Trace, ChainsStepByStep) {
    struct Case {
        const char *description;
        Walk walk;
        const char *lines;
    } cases[] = {
        {"XYZ####", PreOrderWalk,
         "push X stack: X  out: X\n"
         "push Y stack: X Y  out: X Y\n"
         "push Z stack: X Y Z  out: X Y Z\n"
         "pop Z stack: X Y  out: X Y Z\n"
         "pop Y stack: X  out: X Y Z\n"
         "pop X stack:  out: X Y Z\n"},
        {"XYZ####", InOrderWalk,
         "push X stack: X  out:\n"
         "push Y stack: X Y  out:\n"
         "push Z stack: X Y Z  out:\n"
         "pop Z stack: X Y  out: Z\n"
         "pop Y stack: X  out: Z Y\n"
         "pop X stack:  out: Z Y X\n"},
        {"XYZ####", PostOrderWalk,
         "push X stack: X  out:\n"
         "push Y stack: X Y  out:\n"
         "push Z stack: X Y Z  out:\n"
         "top Z stack: X Y Z  out:\n"
         "pop Z stack: X Y  out: Z\n"
         "top Y stack: X Y  out: Z\n"
         "pop Y stack: X  out: Z Y\n"
         "top X stack: X  out: Z Y\n"
         "pop X stack:  out: Z Y X\n"},
        {"XYZ####", LevelOrderWalk, "level 0: X\nlevel 1: Y\nlevel 2: Z\n"},
        {"X#Y#Z##", PreOrderWalk,
         "push X stack: X  out: X\n"
         "pop X stack:  out: X\n"
         "push Y stack: Y  out: X Y\n"
         "pop Y stack:  out: X Y\n"
         "push Z stack: Z  out: X Y Z\n"
         "pop Z stack:  out: X Y Z\n"},
        {"X#Y#Z##", InOrderWalk,
         "push X stack: X  out:\n"
         "pop X stack:  out: X\n"
         "push Y stack: Y  out: X\n"
         "pop Y stack:  out: X Y\n"
         "push Z stack: Z  out: X Y\n"
         "pop Z stack:  out: X Y Z\n"},
        {"X#Y#Z##", PostOrderWalk,
         "push X stack: X  out:\n"
         "top X stack: X  out:\n"
         "push Y stack: X Y  out:\n"
         "top Y stack: X Y  out:\n"
         "push Z stack: X Y Z  out:\n"
         "top Z stack: X Y Z  out:\n"
         "pop Z stack: X Y  out: Z\n"
         "pop Y stack: X  out: Z Y\n"
         "pop X stack:  out: Z Y X\n"},
        {"X#Y#Z##", LevelOrderWalk, "level 0: X\nlevel 1: Y\nlevel 2: Z\n"},
        // Data outside printable ASCII (option 9 can store any byte).
        {"\n##", PreOrderWalk,
         "push \\x0A stack: \\x0A  out: \\x0A\npop \\x0A stack:  out: \\x0A\n"},
    };
    for (const Case &c : cases) {
        BiTree T = Build(c.description);
        EXPECT_EQ(Trace(c.walk, T), c.lines) << c.description;
        DestroyBiTree(T);
    }
    for (Walk walk : {PreOrderWalk, InOrderWalk, PostOrderWalk, LevelOrderWalk})
        EXPECT_EQ(Trace(walk, nullptr), "");
}

// Past 16 elements a list shows its top (last) 16 after "...N more".
TEST(Trace, DeepStackShowsItsTop16) {
    BiTree T = Build("abcdefghijklmnopqr###################");
    std::string trace = Trace(PreOrderWalk, T);
    EXPECT_NE(trace.find("push q stack: ...1 more b c d e f g h i j k l m n o p q"
                         "  out: ...1 more b c d e f g h i j k l m n o p q\n"
                         "push r stack: ...2 more c d e f g h i j k l m n o p q r"
                         "  out: ...2 more c d e f g h i j k l m n o p q r\n"
                         "pop r stack: ...1 more b c d e f g h i j k l m n o p q"),
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
        long lines; // steps: each node is pushed and popped, in postorder also read
    } cases[] = {{true, PreOrderWalk, 2 * n},
                 {true, PostOrderWalk, 3 * n},
                 {false, InOrderWalk, 2 * n},
                 {false, PostOrderWalk, 3 * n}};
    for (const Case &c : cases) {
        BiTree T = Chain(n, c.left);
        std::istringstream trace(Trace(c.walk, T));
        long lines = 0;
        size_t longest = 0;
        for (std::string line; std::getline(trace, line); lines++)
            longest = std::max(longest, line.size());
        EXPECT_EQ(lines, c.lines);
        EXPECT_LE(longest, 7 + 5 + 7 + 2 * (20 + 5 * TRACE_SHOWN));
        DestroyBiTree(T);
    }
}

} // namespace
