/* menu.cpp - the menu round. See menu.h. */
#include "menu.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fail.h"
#include "input.h"
#include "output.h"

/* The menu shown last: its lines and prompt, and text, the lines joined,
 * each with its newline, and the prompt after them. text and the room for
 * its output form are one owned block. A program has one menu, so this is
 * built once per run. */
struct Menu {
    const char *const *lines;
    size_t n;
    const char *prompt;
    char *text;
    FixedText form;
};
static Menu g_menu = {};

/* Makes g_menu the menu of these lines and prompt. */
static void BuildMenu(const char *const *lines, size_t n, const char *prompt) {
    size_t len = strlen(prompt);
    for (size_t i = 0; i < n; i++)
        len += strlen(lines[i]) + 1;
    char *text = (char *)malloc(2 * (len + 1));
    if (!text) ExitOutOfMemory();
    free(g_menu.text);
    g_menu = Menu{lines, n, prompt, text, {nullptr, 0, nullptr, 0, text + len + 1}};
    for (size_t i = 0; i < n; i++) {
        size_t k = strlen(lines[i]);
        memcpy(text, lines[i], k);
        text[k] = '\n';
        text += k + 1;
    }
    memcpy(text, prompt, strlen(prompt) + 1);
}

/* Learners: the highest choice (-1 when not learning), and the line about
 * the last choice when it was out of range. */
static int g_highest = -1;
static char g_notice[96];
static int g_notice_rows = 0;

void MenuLearn(int highest) {
    g_highest = highest;
}

int MenuNoticeRows() {
    return g_notice_rows;
}

void MenuPause(int n) {
    int presses = n - CharsAhead(n);
    if (g_highest >= 0 && presses > 0) Print("\n(按%d次回车键继续)", presses);
    Pause(n);
}

/* For learners: notes a choice outside 0 to g_highest for the next round. */
static void NoteChoice(int choice, bool number) {
    if (g_highest < 0 || (number && choice >= 0 && choice <= g_highest)) return;
    if (number)
        snprintf(g_notice, sizeof g_notice, "没有选项%d，请选择0~%d", choice, g_highest);
    else
        snprintf(g_notice, sizeof g_notice, "请输入0~%d的数字", g_highest);
}

int MenuChoice(const char *const *lines, size_t n, const char *prompt, void (*draw)()) {
    ClearScreen();
    g_notice_rows = g_notice[0] ? 1 : 0;
    if (g_notice[0]) {
        PrintLine(g_notice);
        g_notice[0] = '\0';
    }
    if (draw) draw();
    if (lines != g_menu.lines || n != g_menu.n || prompt != g_menu.prompt)
        BuildMenu(lines, n, prompt);
    PutText(&g_menu.form, g_menu.text);
    int choice;
    if (ReadInt(&choice) == READ_OK) {
        NoteChoice(choice, true);
        return choice;
    }
    DiscardLine(true);
    NoteChoice(-1, false);
    return -1;
}
