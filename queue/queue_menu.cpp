/* queue_menu.cpp - the console dialogue of the queue program: draw the menu,
 * read an option, run it on the one queue Q, report, pause; option 0 ends. */
#include <cstring>

#include "SqQueue.h"
#include "cmdline.h"
#include "console.h"
#include "output.h"
#include "queue_texts.h"
#include "queue_draw.h"
#include "queue_file.h"

/* The prompt under the menu. */
static const char kPrompt[] = "    请选择你的操作[0~11]:";

static const char *const kMenu[] = {
    "\n",
    "      Menu for Linear Table On Sequence Structure ",
    "-------------------------------------------------",
    "    \t  1. IntiaQueue       7. EnQueue",
    "    \t  2. DestroyQueue     8. DeQueue ",
    "    \t  3. ClearQueue       9. QueueTravserse",
    "    \t  4. QueueEmpty       10. SaveFile",
    "    \t  5. QueueLength      11. ReadFile",
    "    \t  6. GetHead",
    "    \t  0. Exit",
    "-------------------------------------------------",
};

/* The message of options 2 to 9 for a queue that does not exist; options 10
 * and 11 use "队列不存在！" instead. */
static const char kNoQueue[] = "队列不存在";

static const size_t kMenuLines = sizeof kMenu / sizeof kMenu[0];

/* The line for a missing queue when result is INFEASIBLE, else none. Returns
 * true when it printed. */
static bool ReportNoQueue(Status result) {
    if (result != INFEASIBLE) return false;
    PrintLine(kNoQueue);
    return true;
}

/* Options 10 and 11: the outcome of a save or a load. Their texts end
 * without a newline, so the pause waits right behind them. A failure is
 * followed by one stderr line that names the file and the reason, after
 * the texts on stdout. */
static void ReportFile(Status result, const char *success, const char *failure) {
    if (result == OK) {
        PrintText(success);
    } else if (result == INFEASIBLE) {
        PrintText("队列不存在！");
    } else {
        PrintText(failure);
        FlushOutput();
        Complain("%s: %s", QueueFileName(), QueueFileError());
    }
}

/* Option 7: prompt, drop one character (normally the newline after the 7),
 * read the value and append it. A value that is not a number appends
 * nothing: the rest of its line goes, its newline is left for the pause. */
static void AskAndEnQueue(SqQueue &Q) {
    PrintText("请输入要入队列的值:");
    ReadChar();
    int e;
    if (ReadInt(&e) != READ_OK) {
        DiscardLine(false);
        PrintLine("输入无效");
        return;
    }
    Status result = EnQueue(Q, e);
    if (ReportNoQueue(result)) return;
    if (result == ERROR)
        PrintLine("队列已满");
    else
        Print("%d入队列成功\n", e);
}

/* What the --draw picture shows of a queue: whether it exists, front, rear
 * and the elements; after an option that changed it, the picture is drawn
 * again under the option's outcome. */
typedef struct {
    bool exists;
    int front, rear;
    int elem[MAXQSIZE];
} Seen;

static Seen Look(const SqQueue &Q) {
    Seen s = {Q.base != nullptr, Q.front, Q.rear, {0}};
    for (int i = Q.front; s.exists && i != Q.rear; i = (i + 1) % MAXQSIZE)
        s.elem[i] = Q.base[i];
    return s;
}

static bool SameQueue(const Seen &a, const Seen &b) {
    if (a.exists != b.exists) return false;
    if (!a.exists) return true;
    return a.front == b.front && a.rear == b.rear && memcmp(a.elem, b.elem, sizeof a.elem) == 0;
}

/* Runs option op (1 to 11) on Q. */
static void RunOption(int op, SqQueue &Q) {
    int e = 0;
    Status result;
    switch (op) {
    case 1:
        PrintLine(InitQueue(Q) != ERROR ? "队列创建成功！" : "队列创建失败！");
        break;
    case 2:
        if (!ReportNoQueue(DestroyQueue(Q))) PrintLine("队列销毁成功");
        break;
    case 3:
        if (!ReportNoQueue(ClearQueue(Q))) PrintLine("队列已清空");
        break;
    case 4:
        result = QueueEmpty(Q);
        if (!ReportNoQueue(result)) PrintLine(result == TRUE ? "队列是空的" : "队列不是空的");
        break;
    case 5:
        result = QueueLength(Q);
        if (!ReportNoQueue(result)) Print("队列长度为%d\n", result);
        break;
    case 6:
        result = GetHead(Q, e);
        if (ReportNoQueue(result)) break;
        if (result == EMPTYQUEUE)
            PrintLine("队列为空");
        else
            Print("队列首元素为%d\n", e);
        break;
    case 7:
        AskAndEnQueue(Q);
        break;
    case 8:
        result = DeQueue(Q, e);
        if (ReportNoQueue(result)) break;
        if (result == ERROR)
            PrintLine("队列为空");
        else
            Print("%d出队列成功\n", e);
        break;
    case 9: /* the traversal prints the elements itself */
        result = QueueTravserse(Q);
        if (!ReportNoQueue(result) && result == EMPTYQUEUE) PrintLine("队列为空");
        break;
    case 10:
        ReportFile(SaveFile(Q), "文件保存成功", "文件保存失败！");
        break;
    case 11:
        ReportFile(ReadF(Q), "文件读取成功", "文件读取失败！");
        break;
    default:
        break;
    }
}

static const char kHelp[] =
    "Usage: queue_menu [OPTIONS]\n"
    "A bounded circular queue of integers, worked on through a numbered menu.\n"
    "\n"
    "  --draw          draw the queue's slots as a ring above the menu\n"
    "  --learn         --draw, and say what the pause waits for\n"
    "  --file PATH     the data file of options 10 and 11 instead of " QUEUE_FILE "\n"
    "  --lang LANG     the dialogue in zh (Chinese, the default) or en (English)\n"
    "  --encoding ENC  output encoding gbk or utf-8 instead of the automatic one\n"
    "  -h, --help      show this help and end\n"
    "  --version       show the version and end\n"
    "\n"
    "The manual page queue_menu(1) describes the menu, the pause and the data file.\n";

/* A --file path must name something. */
static const char *CheckPath(const char *path, char *, size_t) {
    return *path ? nullptr : "needs a path, not an empty text";
}

/* Start: the arguments, the options, the console. Then the loop: clear
 * the screen, draw the queue (--draw), print the menu, read the choice,
 * run the option, pause; until 0 (or the end of input, which ends the
 * program inside a read). */
int main(int argc, char **argv) {
    SetProgramName("queue_menu");
    argv = Utf8Arguments(&argc, argv);
    const CmdOption options[] = {
        {"--file", nullptr, &queue_file, CheckPath},
    };
    CmdShared shared;
    int status =
        ParseCmdLine(argc, argv, kHelp, options, sizeof options / sizeof options[0], shared);
    if (status != CMD_RUN) return status;
    ConsoleInit(shared.encoding);
    SetLanguage(shared.lang, kQueueTexts, kQueueTextCount);

    /* No queue until option 1. Static, so that its block stays reachable
     * when the end of input ends the program inside a read. */
    static SqQueue Q = {nullptr, 0, 0};
    int op = 1;
    while (op != 0) {
        ClearForMenu();
        TermSize room = {0, 0};
        bool above = shared.draw && RoomAboveMenu(kMenu, kMenuLines, kPrompt, &room);
        if (above) DrawQueue(Q, room.cols, room.rows);
        PrintMenu(kMenu, kMenuLines, kPrompt);
        op = ReadChoice(11, shared.learn);
        if (op < 1 || op > 11) continue; /* 0 ends the loop; others redraw the menu */
        Seen before = {};
        if (shared.draw) before = Look(Q);
        RunOption(op, Q);
        if (shared.draw && (!above || !SameQueue(before, Look(Q)))) { /* the queue now */
            room = RoomUnderOutcome();
            DrawQueue(Q, room.cols, room.rows);
        }
        MenuPause(2, shared.learn); /* the first normally the newline after a number */
    }
    return 0;
}
