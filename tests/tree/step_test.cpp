// The --step frames at many screen sizes: every frame of every walk, on
// trees small and deep, fits its screen (no more lines than its rows less
// the one kept for typing, no line as wide as its columns) and keeps the
// step's node in view.
#include <gtest/gtest.h>
#include <sstream>
#include <string>

#include "console.h"
#include "step.h"
#include "test_support.h"

namespace {

// Columns a UTF-8 line takes on a terminal: escapes none, CJK 2.
int Columns(const std::string &line) {
    int cols = 0;
    for (size_t i = 0; i < line.size(); i++) {
        unsigned char c = (unsigned char)line[i];
        if (c == 0x1b) {
            i = line.find('m', i);
            continue;
        }
        if (c < 0x80 || c >= 0xC0) cols += c >= 0xE0 ? 2 : 1;
    }
    return cols;
}

TEST(StepFrame, EveryFrameFitsItsScreenAndShowsItsNode) {
    ConsoleInit(ENCODING_UTF8);
    const struct {
        const char *name, *description;
    } trees[] = {
        {"built-in", BUILTIN_DESCRIPTION},
        {"left chain of 40", "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN#########################"
                             "################"},
        {"full, 5 levels", "ABDHP##Q##IR##S##EJT##U##KV##W##CFLX##Y##MZ##a##GNb##c##Od##e##"},
    };
    const struct {
        int cols, rows;
    } screens[] = {{80, 24}, {40, 24}, {120, 40}, {30, 16}, {20, 10}};
    for (const auto &t : trees) {
        BiTree T = Build(t.description);
        for (int walk = STEP_PREORDER; walk <= STEP_LEVELORDER; walk++) {
            long n = StepCount((StepWalk)walk, T);
            for (const auto &s : screens) {
                for (long k = 1; k <= n; k++) {
                    SCOPED_TRACE(std::string(t.name) + ", walk " + std::to_string(walk) + ", " +
                                 std::to_string(s.cols) + "x" + std::to_string(s.rows) + ", step " +
                                 std::to_string(k));
                    std::string out = Output([&] {
                        PrintStepFrame((StepWalk)walk, T, k, s.cols, s.rows, MARK_BRACKETS);
                    });
                    std::istringstream in(out);
                    int lines = 0;
                    for (std::string line; std::getline(in, line); lines++)
                        ASSERT_LT(Columns(line), s.cols) << line;
                    ASSERT_LE(lines, s.rows - 1) << out;
                    ASSERT_NE(out.find('['), std::string::npos) << out;
                }
            }
        }
        DestroyBiTree(T);
    }
}

} // namespace
