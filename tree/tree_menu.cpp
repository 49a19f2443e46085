/* tree_menu.cpp - the console dialogue of the tree program: draw the menu,
 * read an option, run it on the one tree T, report, pause; option 0 ends. */
#include <cstring>

#include "Bitree.h"
#include "console.h"

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

/* The pause after an option: three characters, the first of which normally
 * takes the newline that ended the last number typed. */
static void TreePause() {
    Pause(3);
}

/* Prints success when result is non-zero, failure when it is 0. */
static void Report(Status result, const char *success, const char *failure) {
    PrintLine(result ? success : failure);
}

/* Options 1 and 3: make a new tree in T with make, which only writes T,
 * and free the tree T held before, which nothing else references. */
static Status Replace(BiTree &T, Status (*make)(BiTree &)) {
    BiTree old = T;
    Status result = make(T);
    if (result) DestroyBiTree(old);
    return result;
}

/* Options 17 to 19: heading, the sequence, closing rule. */
static void ShowTraversal(const char *heading, Status (*traverse)(BiTree), BiTree T) {
    PrintLine(heading);
    traverse(T);
    Print("\n--------The End-------");
}

/* Runs option op (1 to 20) on T, then pauses. */
static void RunOption(int op, BiTree &T) {
    switch (op) {
    case 1:
        Report(Replace(T, InitBiTree), "空二叉树创建成功", "空二叉树创建失败");
        break;
    case 2:
        Report(DestroyBiTree(T), "二叉树销毁成功", "二叉树销毁失败");
        break;
    case 3:
        bitree::index = 0;
        Report(Replace(T, CreateBiTree), "二叉树构造成功", "二叉树构造失败");
        break;
    case 4:
        Report(ClearBiTree(T), "二叉树清空成功", "二叉树清空失败");
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
    case 17:
        ShowTraversal("树T前序遍历为：", PreOrderTraverse, T);
        break;
    case 18:
        ShowTraversal("树T中序遍历为：", InOrderTraverse, T);
        break;
    case 19:
        ShowTraversal("树T后序遍历为：", PostOrderTraverse, T);
        break;
    default:
        break;
    }
    TreePause();
}

/* The tree the options work on: no tree until option 1 or 3. It lives at
 * file scope so that it stays reachable when the end of input ends the
 * program from inside a read. */
static BiTree T = nullptr;

int main() {
    ConsoleInit();
    memcpy(bitree::str, BUILTIN_DESCRIPTION, sizeof BUILTIN_DESCRIPTION);
    int op = 1;
    while (op != 0) {
        ClearScreen();
        for (const char *line : kMenu)
            PrintLine(line);
        Print("\t请选择你的操作[0~20]:");
        if (ReadInt(&op) != READ_OK) {
            DiscardLine(true); /* not a number: draw the menu again */
            op = -1;
            continue;
        }
        if (op < 1 || op > 20) continue;
        RunOption(op, T);
    }
    return 0;
}
