/* queue_menu.cpp - the console dialogue of the queue program: draw the menu,
 * read an option, run it on the one queue Q, report, pause; option 0 ends. */
#include "SqQueue.h"
#include "queue_file.h"
#include "console.h"
#include "fail.h"
#include "queue_draw.h"
#include "queue_texts.h"

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

/* The pause after an option: two characters, the first of which normally
 * takes the newline that ended the last number typed. */
static void QueuePause() {
    MenuPause(2);
}

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
        Complain("%s: %s", queue_file, QueueFileError());
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

/* Runs option op (1 to 11) on Q, then pauses. */
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
    QueuePause();
}

/* The queue the options work on: none until option 1. It lives at file scope
 * so that its block stays reachable when the end of input ends the program
 * from inside a read. */
static SqQueue Q = {nullptr, 0, 0};

static const char kHelp[] =
    "Usage: queue_menu [OPTIONS]\n"
    "A bounded circular queue of integers, worked on through a numbered menu.\n"
    "\n"
    "  --draw          draw the queue's storage (front, rear, slots) above the menu\n"
    "  --learn         --draw, and say what the pause waits for\n"
    "  --file PATH     the data file of options 10 and 11 instead of " QUEUE_FILE "\n"
    "  --lang LANG     the dialogue in zh (Chinese, the default) or en (English)\n"
    "  --encoding ENC  output encoding gbk or utf-8 instead of the automatic one\n"
    "  -h, --help      show this help and end\n"
    "  --version       show the version and end\n"
    "\n"
    "The manual page queue_menu(1) describes the menu, the pause and the data file.\n";

/* Options 1 to 11, each followed by its pause. */
static void RunOnQ(int op) {
    RunOption(op, Q);
}

/* The option this program takes: the data file. */
static void TakeOptions(const CmdOptions &opt) {
    if (opt.file) queue_file = opt.file;
}

/* The --draw picture above each menu. */
static void DrawQ(int cols, int rows) {
    DrawQueue(Q, cols, rows);
}

int main(int argc, char **argv) {
    const MenuProgram program = {"queue_menu",
                                 {kHelp, nullptr, true, false},
                                 kMenu,
                                 sizeof kMenu / sizeof kMenu[0],
                                 "    请选择你的操作[0~11]:",
                                 11,
                                 TakeOptions,
                                 RunOnQ,
                                 DrawQ,
                                 kQueueTexts,
                                 kQueueTextCount};
    return RunMenuProgram(argc, argv, program);
}
