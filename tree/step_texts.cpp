/* step_texts.cpp - the texts of the --step frames (step_frame.h), and
 * how their {1} and {2} are filled in. */
#include <cstdio>

#include "lang.h"
#include "step_frame.h"

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

int Fill(char *out, int size, const char *fmt, const char *a1, const char *a2) {
    int n = 0;
    for (const char *s = fmt; *s && n < size - 1; s++) {
        bool slot = s[0] == '{' && (s[1] == '1' || s[1] == '2') && s[2] == '}';
        if (!slot) {
            out[n++] = *s;
            continue;
        }
        n += snprintf(out + n, (size_t)(size - n), "%s", s[1] == '1' ? a1 : a2);
        if (n > size - 1) n = size - 1;
        s += 2;
    }
    out[n] = '\0';
    return n;
}
