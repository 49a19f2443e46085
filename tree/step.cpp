/* step.cpp - tree_menu --step (step.h): the frames of a walk, each found by
 * walking again to its step, and the keys that move among them. */
#include "step.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console.h"
#include "output.h"
#include "lang.h"
#include "step_frame.h"
#include "walk_code.h"

/* The frames' texts, in the order of StepTextId; their translations are
 * in the program's catalog (tree_texts.cpp). */
static const char *const kTexts[TEXT_COUNT] = {
    "[本步] <p> {栈中} *已输出*",
    "本步|p|栈中|已输出",
    "[本层] *已输出*",
    "本层|已输出",
    "{1}/{2}  Enter 或 n 下一步  b 上一步  数字 跳到该步  q 到最后",
    "{1}/{2}  Enter 或 n 结束  b 上一步  数字 跳到该步",
    "按键：Enter 或 n 下一步，b 上一步，1 到 {2} 的数字 跳到该步，q 到最后",
    "栈（栈顶在上）",
    "栈顶> ",
    "（空）",
    "... 另有 {1} 个",
    "已输出：",
    "（无）",
    "k = {1}（第 {2} 层）",
    "位置 {1} 到 {2}：",
    "只画出 {1} 以下的部分（第 {2} 层起）",
    "p 指向 {1}：输出 {1}，{1} 入栈，p 移到左孩子 {2}",
    "p 为空：弹出 {1}（它和它的左子树已走完），p 移到它的右孩子 {2}",
    "p 指向 {1}：{1} 入栈，先走它的左子树（{1} 暂不输出），p 移到左孩子 {2}",
    "p 为空：弹出 {1} 并输出（它的左子树已走完），p 移到它的右孩子 {2}",
    "p 指向 {1}：{1} 入栈，标志置 0（先走左子树），p 移到左孩子 {2}",
    "栈顶 {1} 的标志为 1（左右子树都已走完）：弹出 {1} 并输出",
    "栈顶 {1} 的标志为 0（左子树已走完）：标志置 1，p 转向右孩子 {2}",
    "第 {1} 层：从左到右输出 {2}，它们的孩子依次成为下一层",
    "第 {1} 层：从左到右输出 {2}；它们都没有孩子，遍历结束",
    "前序遍历",
    "中序遍历",
    "后序遍历",
    "层序遍历",
};

const char *StepText(StepTextId id) {
    return Tr(kTexts[id]);
}

#define CODE(name) kWalkCode##name, (int)(sizeof kWalkCode##name / sizeof kWalkCode##name[0])

/* The walks, in the order of StepWalk. */
static const WalkShown kWalks[] = {
    {TEXT_NAME_PRE, "PreOrderTraverse", CODE(PreOrder), TEXT_PRE_PUSH, TEXT_PRE_POP, TEXT_PRE_POP,
     PreOrderWalk},
    {TEXT_NAME_IN, "InOrderTraverse", CODE(InOrder), TEXT_IN_PUSH, TEXT_IN_POP, TEXT_IN_POP,
     InOrderWalk},
    {TEXT_NAME_POST, "PostOrderTraverse", CODE(PostOrder), TEXT_POST_PUSH, TEXT_POST_POP,
     TEXT_POST_TOP, PostOrderWalk},
    {TEXT_NAME_LEVEL, "LevelOrderTraverse", CODE(LevelOrder), TEXT_LEVEL_DONE, TEXT_LEVEL_DONE,
     TEXT_LEVEL_DONE, LevelOrderWalk},
};

/* Whether node is among the n at nodes. */
static bool Among(BiTree node, BiTree const *nodes, long n) {
    for (long i = 0; i < n; i++)
        if (nodes[i] == node) return true;
    return false;
}

unsigned FrameState(BiTree node, const void *ctx) {
    const Frame &f = *(const Frame *)ctx;
    unsigned state = Among(node, f.printed, f.nprinted) ? NODE_PRINTED : 0;
    if (f.op == OP_LEVEL) return state | (Among(node, f.nodes, f.nnodes) ? NODE_CURRENT : 0);
    if (node == f.node) state |= NODE_CURRENT;
    if (node == f.p) state |= NODE_P;
    if (Among(node, f.stack, f.depth)) state |= NODE_STACKED;
    return state;
}

/* A copy of n elements of size bytes each (uninitialised where from is
 * null); malloc'd, never null. */
static void *Copy(const void *from, long n, size_t size) {
    void *to = malloc(size * (size_t)(n > 0 ? n : 1));
    if (!to) ExitOutOfMemory();
    if (from && n > 0) memcpy(to, from, size * (size_t)n);
    return to;
}

/* A walk again, up to the step wanted: the steps counted, the nodes
 * printed so far, and the positions of the level before (level order). */
typedef struct {
    long want, steps;
    Frame *f; /* filled at step want */
    BiTree *visits;
    long nvisits, size;
    BiTree *prev;
    int *prev_pos;
    long nprev;
} Replay;

static void ReplayVisit(BiTree p, void *ctx) {
    Replay *r = (Replay *)ctx;
    if (r->steps >= r->want) return;
    if (r->nvisits == r->size) {
        r->size = r->size ? 2 * r->size : 64;
        BiTree *grown = (BiTree *)realloc(r->visits, sizeof(BiTree) * (size_t)r->size);
        if (!grown) ExitOutOfMemory();
        r->visits = grown;
    }
    r->visits[r->nvisits++] = p;
}

static void ReplayStep(const char *op, BiTree node, BiTree next, SqStack S, const int *flags,
                       void *ctx) {
    Replay *r = (Replay *)ctx;
    if (++r->steps != r->want || !r->f) return;
    Frame &f = *r->f;
    f.op = strcmp(op, "push") == 0 ? OP_PUSH : strcmp(op, "pop") == 0 ? OP_POP : OP_TOP;
    f.node = node;
    f.p = next;
    f.depth = StackLength(S);
    f.stack = (BiTree *)Copy(S.base, f.depth, sizeof(BiTree));
    f.flags = flags ? (int *)Copy(flags, f.depth, sizeof(int)) : nullptr;
    f.printed = (BiTree *)Copy(r->visits, r->nvisits, sizeof(BiTree));
    f.nprinted = r->nvisits;
}

static void ReplayLevel(int k, BiTree const *nodes, int n, void *ctx) {
    Replay *r = (Replay *)ctx;
    if (++r->steps > r->want || !r->f) return;
    /* Each level lists the children of the level before, in order. */
    int *pos = (int *)Copy(nullptr, n, sizeof(int)), j = 0;
    if (k == 0) pos[0] = 1;
    for (long i = 0; k > 0 && i < r->nprev; i++) {
        if (r->prev[i]->lchild) pos[j++] = ChildPosition(r->prev_pos[i], 0);
        if (r->prev[i]->rchild) pos[j++] = ChildPosition(r->prev_pos[i], 1);
    }
    free(r->prev);
    free(r->prev_pos);
    r->prev = (BiTree *)Copy(nodes, n, sizeof(BiTree));
    r->prev_pos = pos;
    r->nprev = n;
    if (r->steps < r->want) return;
    Frame &f = *r->f;
    f.op = OP_LEVEL;
    f.level = k;
    f.nodes = (BiTree *)Copy(nodes, n, sizeof(BiTree));
    f.pos = (int *)Copy(pos, n, sizeof(int));
    f.nnodes = n;
    f.printed = (BiTree *)Copy(r->visits, r->nvisits, sizeof(BiTree));
    f.nprinted = r->nvisits;
}

/* Walks T up to step want; fills f at that step when f is not null.
 * Returns the walk's number of steps. */
static long WalkTo(Status (*walk)(BiTree, const WalkWatch &), BiTree T, long want, Frame *f) {
    Replay r = {want, 0, f, nullptr, 0, 0, nullptr, nullptr, 0};
    const WalkWatch w = {f ? ReplayVisit : nullptr, ReplayStep, ReplayLevel, &r};
    walk(T, w);
    free(r.visits);
    free(r.prev);
    free(r.prev_pos);
    return r.steps;
}

/* The sentence of f's step. */
static void Say(Frame &f) {
    char a1[24], a2[256];
    if (f.op == OP_LEVEL) {
        snprintf(a1, sizeof a1, "%d", f.level + 1);
        for (long i = 0, at = 0; i < f.nnodes && at < 40; i++) {
            if (i > 0) a2[at++] = ' ';
            at += ElementText(a2 + at, f.nodes[i]->data);
            a2[at] = '\0';
            if (i + 1 < f.nnodes && at >= 40) snprintf(a2 + at, 8, " ...");
        }
        bool last = f.k == f.n;
        Fill(f.sentence, sizeof f.sentence, StepText(last ? TEXT_LEVEL_LAST : TEXT_LEVEL_DONE), a1,
             a2);
        return;
    }
    ElementText(a1, f.node->data);
    if (f.p)
        ElementText(a2, f.p->data);
    else
        snprintf(a2, sizeof a2, "NULL");
    StepTextId id = f.op == OP_PUSH ? f.walk->push : f.op == OP_POP ? f.walk->pop : f.walk->top;
    Fill(f.sentence, sizeof f.sentence, StepText(id), a1, a2);
}

/* Frame k of n of shown on T, with the line naming the keys when help is
 * set. */
static void PrintFrame(const WalkShown &shown, BiTree T, long k, long n, int width, int rows,
                       DrawMark style, bool help) {
    Frame f;
    memset(&f, 0, sizeof f);
    f.walk = &shown;
    f.T = T;
    f.k = k;
    f.n = n;
    WalkTo(shown.walk, T, k, &f);
    Say(f);
    ShowFrame(f, width, rows, style, help);
    free(f.stack);
    free(f.flags);
    free(f.printed);
    free(f.nodes);
    free(f.pos);
}

long StepCount(StepWalk walk, BiTree T) {
    return WalkTo(kWalks[walk].walk, T, 0, nullptr);
}

void PrintStepFrame(StepWalk walk, BiTree T, long k, int width, int rows, DrawMark style) {
    PrintFrame(kWalks[walk], T, k, StepCount(walk, T), width, rows - 1, style, false);
}

/* Shows step k of n: at a terminal on a cleared screen, leaving its last
 * row for the line typed. */
static void Show(const WalkShown &shown, BiTree T, long k, long n, bool help) {
    ClearScreen();
    TermSize screen = GetTermSize();
    PrintFrame(shown, T, k, n, screen.cols, screen.rows - 1,
               ScreenShowsAttributes() ? MARK_ATTRIBUTES : MARK_BRACKETS, help);
}

/* What a line typed at a frame asks for. */
typedef enum { KEY_NEXT, KEY_BACK, KEY_GO, KEY_END, KEY_BAD } Key;

static Key ReadKey(long n, long *to) {
    char line[32];
    if (!ReadLineOrEnd(line, sizeof line)) return KEY_END;
    size_t len = strlen(line);
    while (len > 0 && (line[len - 1] == '\r' || line[len - 1] == ' '))
        line[--len] = '\0'; /* a console's line may end in CR LF */
    if (len == 0 || strcmp(line, "n") == 0) return KEY_NEXT;
    if (strcmp(line, "b") == 0) return KEY_BACK;
    if (strcmp(line, "q") == 0) return KEY_END;
    if (len > 9 || strspn(line, "0123456789") != len) return KEY_BAD;
    *to = atol(line);
    return *to >= 1 && *to <= n ? KEY_GO : KEY_BAD;
}

/* The frames of walk on T, moved among by the keys (step.h). */
static int StepThrough(const WalkShown &shown, BiTree T) {
    long n = WalkTo(shown.walk, T, 0, nullptr);
    if (n == 0) return 0;
    char rest[8];
    if (!ReadLineOrEnd(rest, sizeof rest)) return 1; /* the rest of the option's line */
    bool terminal = TerminalRows() > 0;              /* a screen that each frame is drawn on anew */
    long k = 1;
    Show(shown, T, k, n, false);
    for (;;) {
        long to = k;
        switch (ReadKey(n, &to)) {
        case KEY_NEXT:
            if (k == n) return 1;
            k++;
            break;
        case KEY_BACK:
            if (k > 1) k--;
            break;
        case KEY_GO:
            k = to;
            break;
        case KEY_END:
            return 1;
        case KEY_BAD:
            if (terminal)
                Show(shown, T, k, n, true);
            else
                ShowKeysHelp(n, GetTermSize().cols);
            continue;
        }
        Show(shown, T, k, n, false);
    }
}

int StepPreOrder(BiTree T) {
    return StepThrough(kWalks[STEP_PREORDER], T);
}

int StepInOrder(BiTree T) {
    return StepThrough(kWalks[STEP_INORDER], T);
}

int StepPostOrder(BiTree T) {
    return StepThrough(kWalks[STEP_POSTORDER], T);
}

int StepLevelOrder(BiTree T) {
    return StepThrough(kWalks[STEP_LEVELORDER], T);
}
