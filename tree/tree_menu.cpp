/* tree_menu.cpp - the console dialogue of the tree program: draw the menu,
 * read an option, run it on the one tree T, report, pause; option 0 ends. */
#include <cinttypes>
#include <cstdint>
#include <cstring>

#include "Bitree.h"
#include "cmdline.h"
#include "console.h"
#include "tree_texts.h"
#include "description.h"
#include "step.h"
#include "trace.h"
#include "tree_draw.h"

/* The prompt under the menu. */
static const char kPrompt[] = "\t请选择你的操作[0~20]:";

static const char *const kMenu[] = {
    "\n",
    "\tMenu for Bitree",
    "\t-------------------------------------------------",
    "\t\t1.InitaBitree\t\t12.RightChild",
    "\t\t2.DestroyBiTree\t\t13.LeftSibling",
    "\t\t3.CreateBiTree\t\t14.RightSibling",
    "\t\t4.ClearBiTree\t\t15.InsertChild",
    "\t\t5.BiTreeEmpty\t\t16.DeleteChild",
    "\t\t6.BiTreeDepth\t\t17.PreOrderTraverse",
    "\t\t7.Root\t\t\t18.InOrderTraverse",
    "\t\t8.Value\t\t\t19.PostOrderTraverse",
    "\t\t9.Assign\t\t20.LevelOrderTraverse",
    "\t\t10.Parent\t\t",
    "\t\t11.LeftChild\t\t",
    "\t-------------------------------------------------",
};

static const size_t kMenuLines = sizeof kMenu / sizeof kMenu[0];

/* Prints success when result is non-zero, failure when it is 0; returns
 * whether it was a success. */
static bool Report(Status result, const char *success, const char *failure) {
    PrintLine(result ? success : failure);
    return result != 0;
}

/* Options 1 and 3: make a new tree in T with make, which only writes T,
 * and free the tree T held before, which nothing else references. When make
 * fails, T keeps its tree. */
static Status Replace(BiTree &T, Status (*make)(BiTree &)) {
    BiTree old = T;
    Status result = make(T);
    if (result) DestroyBiTree(old);
    return result;
}

/* How the walks of options 17 to 20 are shown. */
struct WalkViews {
    bool trace; /* --trace (or --learn): each walk shows its steps too */
    bool step;  /* --step: the walks show them one at a time instead */
};

/* Options 17 to 19: heading, the steps of the walk (with --trace, or a
 * step at a time with --step), the sequence, closing rule. The sequence is
 * printed by a walk of its own, so it stands on its line exactly as
 * without --trace. Returns how many characters of the pause the steps
 * have read (step.h). */
static int ShowTraversal(const char *heading, Status (*traverse)(BiTree),
                         Status (*walk)(BiTree, const WalkWatch &), int (*step)(BiTree), BiTree T,
                         const WalkViews &views) {
    PrintLine(heading);
    int taken = 0;
    if (views.step)
        taken = step(T);
    else if (views.trace)
        TraceWalk(walk, T, TRACE_SCREEN, TRACE_SCREEN);
    traverse(T);
    PrintText("\n--------The End-------");
    return taken;
}

/* Option 20: the same for the level-order walk, whose trace is a line per
 * level and whose steps are its levels. */
static int ShowLevelOrder(BiTree T, const WalkViews &views) {
    PrintLine("树T层序遍历为：");
    int taken = 0;
    if (views.step)
        taken = StepLevelOrder(T);
    else if (views.trace)
        TraceLevels(T, TRACE_SCREEN);
    LevelOrderTraverse(T);
    PrintText("\n--------The End-------");
    return taken;
}

/* Reads the number an option works with. When it is not a number, the rest
 * of its line is dropped (its newline stays, for the pause) and the line
 * "输入无效" is printed: the option then does nothing. */
static bool ReadOperand(int *value) {
    if (ReadInt(value) == READ_OK) return true;
    DiscardLine(false);
    PrintLine("输入无效");
    return false;
}

/* A node's address as a signed number, in full even where it is wider than
 * int. */
static int64_t Address(BiTree p) {
    return (int64_t)(intptr_t)p;
}

/* Options 10 to 14: read a position, find a relative of its node, report
 * it with its address or say there is none. */
struct Relative {
    const char *prompt;
    BiTree (*find)(BiTree, int);
    bool extra_read; /* option 10 also reads the character after the number */
    const char *found;
    const char *missing;
};

static const Relative kRelatives[] = {
    {"请输入要查找双亲结点的结点在满二叉树中的序号:", Parent, true,
     "第%d个结点的双亲结点的指针是%" PRId64 ",数据是%c", "不存在此结点或此结点无双亲"},
    {"请输入要查找左孩子结点的结点在满二叉树中的序号:", LeftChild, false,
     "第%d个结点的左孩子结点的指针是%" PRId64 ",数据是%c", "不存在此结点或此结点无左孩子"},
    {"请输入要查找右孩子结点的结点在满二叉树中的序号:", RightChild, false,
     "第%d个结点的右孩子结点的指针是%" PRId64 ",数据是%c", "不存在此结点或此结点无右孩子"},
    {"请输入要查找左兄弟结点的结点在满二叉树中的序号:", LeftSibling, false,
     "第%d个结点的左兄弟结点的指针是%" PRId64 ",数据是%c", "不存在此结点或此结点无左兄弟"},
    {"请输入要查找右兄弟结点的结点在满二叉树中的序号:", RightSibling, false,
     "第%d个结点的右兄弟结点的指针是%" PRId64 ",数据是%c", "不存在此结点或此结点无右兄弟"},
};

static void ShowRelative(const Relative &r, BiTree T) {
    int e;
    PrintText(r.prompt);
    if (!ReadOperand(&e)) return;
    if (r.extra_read) ReadChar();
    BiTree pri = r.find(T, e);
    if (pri)
        Print(r.found, e, Address(pri), pri->data);
    else
        PrintText(r.missing);
}

/* Option 15: build P, a copy of the described tree (bitree::str) without
 * its right subtree (only the nodes that are grafted are made), cut T's
 * right subtree, and graft P under the left child of T's root on the side
 * the user picks. Once grafted P's nodes belong to T, so the next build
 * only overwrites P. When P cannot be built, T is left as it was. Returns
 * false when there is to be no pause. */
static bool GraftCopy(BiTree &T, BiTree &P) {
    bitree::index = 0;
    if (!CreateBiTreeWithoutRight(P)) {
        PrintLine("二叉树P构造失败");
        return false;
    }
    DeleteChild(T, T, 1);
    PrintLine("P是与T删去右子树之后相同的树");
    PrintText("树P已构造，要插入为左子树还是右子树?请输入0或1:");
    int LR;
    if (!ReadOperand(&LR)) {
        DestroyBiTree(P);
        return true;
    }
    ReadChar();
    if (InsertChild(T, T ? T->lchild : nullptr, LR, P)) {
        PrintLine("树P插入成功");
    } else {
        PrintLine("树P插入失败");
        DestroyBiTree(P); /* not grafted: nothing else holds these nodes */
    }
    return true;
}

/* Option 16: free one side of the left child of T's root. Returns whether
 * a subtree was cut. */
static bool CutSubtree(BiTree T) {
    PrintLine("P是T的左子树");
    PrintText("要删除P的左子树还是右子树?请输入0或1:");
    int LR;
    if (!ReadOperand(&LR)) return false;
    ReadChar();
    return Report(DeleteChild(T, T ? T->lchild : nullptr, LR), "删除成功", "删除失败");
}

/* Options 8 and 9: the data at a position, and assigning to it. */
static void ShowValue(BiTree T) {
    int e;
    PrintText("请输入要查找的结点在满二叉树中的对应位置：");
    if (!ReadOperand(&e)) return;
    TElemType elem = Value(T, e);
    Print("第%d个结点的数据是%c", e, elem);
}

/* Returns whether a value was assigned. */
static bool AssignValue(BiTree T) {
    int e;
    PrintText("请输入要赋值的位置的要赋的值：");
    if (!ReadOperand(&e)) return false;
    TElemType elem = (TElemType)ReadChar(); /* the character right after the digits */
    ReadChar();
    bool done = Assign(T, e, elem) == OK;
    PrintLine(done ? "赋值成功" : "赋值失败");
    return done;
}

/* Runs option op (1 to 20) on T (P for option 15); *changed tells whether
 * it changed T. Returns how many characters the pause after it reads: 3,
 * the first normally the newline that ended the last number typed, less
 * those --step has read; 0 when there is to be no pause. */
static int RunOption(int op, BiTree &T, BiTree &P, const WalkViews &views, bool *changed) {
    int taken = 0; /* characters of the pause read by --step */
    *changed = false;
    switch (op) {
    case 1:
        *changed = Report(Replace(T, InitBiTree), "空二叉树创建成功", "空二叉树创建失败");
        break;
    case 2:
        *changed = Report(DestroyBiTree(T), "二叉树销毁成功", "二叉树销毁失败");
        break;
    case 3:
        bitree::index = 0;
        *changed = Report(Replace(T, CreateBiTree), "二叉树构造成功", "二叉树构造失败");
        break;
    case 4:
        *changed = Report(ClearBiTree(T), "二叉树清空成功", "二叉树清空失败");
        break;
    case 5: /* no tree (-1) counts as empty */
        Report(BiTreeEmpty(T), "二叉树是空的", "二叉树不是空的");
        break;
    case 6:
        Print("树的深度是%d\n", BiTreeDepth(T));
        break;
    case 7:
        Print("树的根是%c\n", Root(T));
        break;
    case 8:
        ShowValue(T);
        break;
    case 9:
        *changed = AssignValue(T);
        break;
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
        ShowRelative(kRelatives[op - 10], T);
        break;
    case 15: /* cuts T's right subtree, whether P is then grafted or not */
        if (!GraftCopy(T, P)) return 0;
        *changed = T != nullptr;
        break;
    case 16:
        *changed = CutSubtree(T);
        break;
    case 17:
        taken = ShowTraversal("树T前序遍历为：", PreOrderTraverse, PreOrderWalk, StepPreOrder, T,
                              views);
        break;
    case 18:
        taken =
            ShowTraversal("树T中序遍历为：", InOrderTraverse, InOrderWalk, StepInOrder, T, views);
        break;
    case 19:
        taken = ShowTraversal("树T后序遍历为：", PostOrderTraverse, PostOrderWalk, StepPostOrder, T,
                              views);
        break;
    case 20:
        taken = ShowLevelOrder(T, views);
        break;
    default:
        break;
    }
    return 3 - taken;
}

static const char kHelp[] =
    "Usage: tree_menu [OPTIONS]\n"
    "A binary tree of characters, worked on through a numbered menu.\n"
    "\n"
    "  --draw              draw the tree, each node with its position, above the menu\n"
    "  --tree DESCRIPTION  the preorder description options 3 and 15 build from\n"
    "  --trace             print each stack step of the walks (options 17 to 20)\n"
    "  --step              show the walks of options 17 to 20 one step at a time\n"
    "  --learn             --draw and --trace, and say what the pause waits for\n"
    "  --lang LANG         the dialogue in zh (Chinese, the default) or en (English)\n"
    "  --encoding ENC      output encoding gbk or utf-8 instead of the automatic one\n"
    "  -h, --help          show this help and end\n"
    "  --version           show the version and end\n"
    "\n"
    "A description lists the nodes in preorder, each a printable ASCII character\n"
    "(no space), '#' for an empty subtree; the built-in one is\n" BUILTIN_DESCRIPTION ".\n"
    "The manual page tree_menu(1) describes the menu, the pause and node positions.\n";

/* Start: the arguments, the options, the console and the description.
 * Then the loop: clear the screen, draw the tree (--draw), print the menu,
 * read the choice, run the option, pause; until 0 (or the end of input,
 * which ends the program inside a read). */
int main(int argc, char **argv) {
    SetProgramName("tree_menu");
    argv = Utf8Arguments(&argc, argv);
    const char *description = BUILTIN_DESCRIPTION;
    WalkViews views = {false, false};
    const CmdOption options[] = {
        {"--tree", nullptr, &description, CheckDescription},
        {"--trace", &views.trace, nullptr, nullptr},
        {"--step", &views.step, nullptr, nullptr},
    };
    CmdShared shared;
    int status =
        ParseCmdLine(argc, argv, kHelp, options, sizeof options / sizeof options[0], shared);
    if (status != CMD_RUN) return status;
    ConsoleInit(shared.encoding);
    SetLanguage(shared.lang, kTreeTexts, kTreeTextCount);
    views.trace = views.trace || shared.learn;
    /* Checked to fit str with its zero byte; the rest of str stays zero. */
    memcpy(bitree::str, description, strlen(description) + 1);

    /* The loop's trees, static so that they stay reachable when the end of
     * input ends the program inside a read. */
    static BiTree T = nullptr; /* no tree until option 1 or 3 */
    static BiTree P = nullptr; /* the tree option 15 builds and grafts into T */
    int op = 1;
    while (op != 0) {
        ClearForMenu();
        TermSize room = {0, 0};
        bool above = shared.draw && RoomAboveMenu(kMenu, kMenuLines, kPrompt, &room);
        if (above) DrawBiTree(T, room.cols, room.rows);
        PrintMenu(kMenu, kMenuLines, kPrompt);
        op = ReadChoice(20, shared.learn);
        if (op < 1 || op > 20) continue; /* 0 ends the loop; others redraw the menu */
        bool changed;
        int pause = RunOption(op, T, P, views, &changed);
        if (pause == 0) continue;
        if (shared.draw && (changed || !above)) { /* the tree now, under the outcome */
            room = RoomUnderOutcome();
            DrawBiTree(T, room.cols, room.rows);
        }
        MenuPause(pause, shared.learn);
    }
    return 0;
}
