/* step_frame.h - what the parts of tree_menu --step share: a frame, the
 * state of a walk at one step (step.cpp takes it), and how it is shown
 * (step_frame.cpp lays it out, step_picture.cpp draws its tree, with the
 * texts of step_texts.cpp). Calls go one way: step.cpp, step_frame.cpp,
 * step_picture.cpp, step_texts.cpp. */
#ifndef TREE_STEP_FRAME_H
#define TREE_STEP_FRAME_H

#include "Bitree.h"
#include "label.h"

/* What a step did: a push, a pop, postorder's GetTop (the turn right), or
 * one level of the level-order walk. */
enum StepOp { OP_PUSH, OP_POP, OP_TOP, OP_LEVEL };

/* The texts of the frames (step_texts.cpp holds them; their translations
 * are in the program's catalog). */
enum StepTextId {
    TEXT_LEGEND,       /* what the bracket marks mean */
    TEXT_LEGEND_ATTR,  /* the words the attributes mark */
    TEXT_LEGEND_LEVEL, /* the same for a level: its nodes and those printed */
    TEXT_LEGEND_LEVEL_ATTR,
    TEXT_KEYS,      /* the keys line: {1} step, {2} steps */
    TEXT_KEYS_LAST, /* the same on the last frame */
    TEXT_KEYS_HELP, /* after a line that is no key: {2} steps */
    TEXT_STACK,     /* the stack's title */
    TEXT_STACK_TOP, /* before the top entry */
    TEXT_STACK_EMPTY,
    TEXT_STACK_MORE, /* {1} entries not shown */
    TEXT_PRINTED,    /* the title of the nodes printed so far */
    TEXT_NONE,       /* nothing printed yet */
    TEXT_LEVEL,      /* level frames: {1} k, {2} the level's number from 1 */
    TEXT_SLOTS,      /* {1} first position, {2} last */
    TEXT_PART,       /* the picture shows a part: {1} its root, {2} its level */
    /* What a step did and why: {1} the node, {2} where p goes. */
    TEXT_PRE_PUSH,
    TEXT_PRE_POP,
    TEXT_IN_PUSH,
    TEXT_IN_POP,
    TEXT_POST_PUSH,
    TEXT_POST_POP,
    TEXT_POST_TOP,
    /* A level: {1} its number from 1, {2} its nodes. */
    TEXT_LEVEL_DONE,
    TEXT_LEVEL_LAST,
    /* The walks' names. */
    TEXT_NAME_PRE,
    TEXT_NAME_IN,
    TEXT_NAME_POST,
    TEXT_NAME_LEVEL,
    TEXT_COUNT
};

/* A walk as its frames show it. */
typedef struct {
    StepTextId name;         /* its name, as its heading says it */
    const char *function;    /* the traversal's name */
    const char *const *code; /* the lines of its loop (walk_code.h) */
    int code_lines;
    StepTextId push, pop, top; /* the sentences of its steps */
    Status (*walk)(BiTree, const WalkWatch &);
} WalkShown;

/* The state of a walk at step k of n. The arrays are the frame's own. */
typedef struct {
    const WalkShown *walk;
    BiTree T; /* the tree walked */
    long k, n;
    StepOp op;
    BiTree node;   /* the node of the step (depth-first walks) */
    BiTree p;      /* p after the step, null past a leaf */
    BiTree *stack; /* the stack after the step, bottom first */
    int *flags;    /* postorder: the flag of each entry, else null */
    long depth;
    BiTree *printed; /* the nodes printed so far, in order */
    long nprinted;
    int level;     /* level frames: the level's k, 0 for the root's */
    BiTree *nodes; /* level frames: the level's nodes, left to right */
    int *pos;      /* and their positions */
    long nnodes;
    char sentence[512]; /* what the step did and why */
} Frame;

/* A frame text in the session's language. */
const char *StepText(StepTextId id);

/* Writes fmt at out (size bytes), with {1} and {2} replaced by a1 and a2;
 * returns the length. */
int Fill(char *out, int size, const char *fmt, const char *a1, const char *a2);

/* Prints the frame in at most rows lines of at most width columns: the
 * heading, the tree, the code with the stack, p and the output beside it,
 * the sentence, and the keys line (help instead when help is set). Where
 * they do not fit, the code goes first, then the sentence, then the tree
 * takes a line per level. Returns the lines printed. */
int ShowFrame(const Frame &f, int width, int rows, DrawMark style, bool help);

/* The line naming the keys of a walk of n steps, in lines of fewer than
 * width columns. */
void ShowKeysHelp(long n, int width);

/* The tree of a frame in at most rows lines of fewer than width columns,
 * drawn as tree_draw.h draws it (compact false) or a line per level; the
 * step's node is always in view. Returns the lines printed, or, when print
 * is false, the lines it would print. */
int FramePicture(const Frame &f, int width, int rows, DrawMark style, bool compact, bool print);

#endif
