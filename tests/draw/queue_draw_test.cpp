// The --draw picture of the queue's storage, wrapped and full included.
#include <cstdlib>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "SqQueue.h"
#include "capture.h"
#include "output.h"
#include "queue_draw.h"

namespace {

std::string Draw(const SqQueue &Q, int width = QDRAW_WIDTH, int height = QDRAW_HEIGHT) {
    ConsoleInit(ENCODING_UTF8);
    return Capture([&] { DrawQueue(Q, width, height); }).out;
}

// A queue whose head is in slot front, holding the values first, first + 1,
// ... (n of them).
SqQueue Make(int front, int n, int first) {
    SqQueue Q = {nullptr, 0, 0};
    InitQueue(Q);
    Q.front = Q.rear = front;
    for (int i = 0; i < n; i++)
        EnQueue(Q, first + i);
    return Q;
}

// The cells of a picture, by slot: the mark (F, R, = for both, or blank) and the value
// shown ("" for an empty slot, "*" for the slot kept free); a slot that a
// "...第a~b格" line counts gets mark '.'.
struct Cell {
    char mark = '?';
    std::string value;
};

std::vector<Cell> Cells(const std::string &picture) {
    std::vector<Cell> cells(MAXQSIZE);
    std::istringstream in(picture);
    static const std::regex cell("([FR= ])( \\d|\\d\\d):(-?\\d+|\\*)?"), left("第(\\d+)~(\\d+)格");
    for (std::string line; std::getline(in, line);) {
        std::smatch m;
        if (std::regex_search(line, m, left)) {
            for (int i = std::stoi(m[1]); i <= std::stoi(m[2]); i++)
                cells[i].mark = '.';
            continue;
        }
        for (std::sregex_iterator it(line.begin(), line.end(), cell), end; it != end; ++it)
            cells[std::stoi((*it)[2])] = Cell{(*it)[1].str()[0], (*it)[3].str()};
    }
    return cells;
}

// Every state of the ring: each slot shows its mark and value, empty slots
// no value, the slot before front '*'; the first line names the state.
TEST(DrawQueue, RingMarksInEveryState) {
    SqQueue none = {nullptr, 0, 0};
    EXPECT_EQ(Draw(none), "队列Q：不存在（选项1创建它）\n");
    struct Case {
        const char *name;
        int front, n, first;
        const char *state;
    } cases[] = {
        {"empty", 7, 0, 0, "空：front == rear"},
        {"one", 0, 1, 5, "非空非满"},
        {"six, the widest value sets the columns", 0, 6, -2, "非空非满"},
        {"wrapped", 97, 4, 10, "非空非满"},
        {"ends in the last slot", 98, 2, 10, "非空非满"},
        {"full", 0, 99, 0, "满：(rear+1)%MAXQSIZE == front"},
        {"full and wrapped", 40, 99, -50, "满：(rear+1)%MAXQSIZE == front"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SqQueue Q = Make(c.front, c.n, c.first);
        std::string picture = Draw(Q, 120, 60);
        EXPECT_NE(picture.find(c.state), std::string::npos) << picture;
        std::vector<Cell> cells = Cells(picture);
        for (int i = 0; i < MAXQSIZE; i++) {
            int k = (i - Q.front + MAXQSIZE) % MAXQSIZE;
            char mark = i == Q.front ? (i == Q.rear ? '=' : 'F') : i == Q.rear ? 'R' : ' ';
            std::string value = k < c.n                         ? std::to_string(c.first + k)
                                : (i + 1) % MAXQSIZE == Q.front ? "*"
                                                                : "";
            EXPECT_EQ(cells[i].mark, mark) << "slot " << i;
            EXPECT_EQ(cells[i].value, value) << "slot " << i;
        }
        DestroyQueue(Q);
    }
}

// A full queue of the widest values, wrapped at every place, at 20, 40 and
// 80 columns, on the 11 lines that an 80 x 24 screen leaves above
// queue_menu's menu, on fewer, and on a screen with room: no line too long
// or too many, every slot shown or counted, and where the lines allow the
// head, the last element and both sides of the wrap in view.
TEST(DrawQueue, FullQueueFitsTheScreen) {
    struct Case {
        int width, height;
        bool keys_shown;
    } cases[] = {
        {80, 11, true}, {80, 60, true}, {40, 11, true}, {20, 16, true},
        {20, 60, true}, {80, 4, false}, {20, 3, false}, {40, 1, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE("row " + std::to_string(&c - cases) + ": " + std::to_string(c.width) + " x " +
                     std::to_string(c.height));
        for (int front = 0; front < MAXQSIZE; front++) {
            SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height) + " front " +
                         std::to_string(front));
            SqQueue Q = Make(front, MAXQSIZE - 1, 0);
            for (int i = 0; i < MAXQSIZE; i++)
                Q.base[i] = -2147483647 - 1;
            std::string picture = Draw(Q, c.width, c.height);
            std::istringstream in(picture);
            int lines = 0;
            for (std::string line; std::getline(in, line); lines++)
                ASSERT_LT(Columns(line), c.width) << line;
            EXPECT_LE(lines, c.height);
            std::vector<Cell> cells = Cells(picture);
            int last = (Q.rear + MAXQSIZE - 1) % MAXQSIZE;
            DestroyQueue(Q);
            if (c.height < 5) continue;
            for (const Cell &cell : cells)
                EXPECT_NE(cell.mark, '?');
            if (!c.keys_shown) continue;
            for (int slot : {front, last, 0, MAXQSIZE - 1})
                EXPECT_NE(cells[slot].mark, '.') << "slot " << slot;
        }
    }
}

} // namespace
