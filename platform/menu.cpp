/* menu.cpp - see menu.h. */
#include "menu.h"

#include <cstdio>

#include "input.h"
#include "lang.h"
#include "output.h"

/* The line about the last choice, for a learner, when it was out of range;
 * whether ClearForMenu printed one this round. */
static char g_notice[96];
static bool g_noticed = false;

void ClearForMenu() {
    ClearScreen();
    g_noticed = g_notice[0] != '\0';
    if (!g_noticed) return;
    PrintLine(g_notice);
    g_notice[0] = '\0';
}

TermSize RoomAboveMenu(const char *const *lines, size_t n) {
    TermSize room = GetTermSize();
    room.rows -= 1 + (g_noticed ? 1 : 0); /* the prompt's row, the learner's line */
    for (size_t i = 0; i < n; i++) {
        room.rows--;
        for (const char *c = lines[i]; *c; c++)
            room.rows -= *c == '\n';
    }
    return room;
}

void PrintMenu(const char *const *lines, size_t n, const char *prompt) {
    for (size_t i = 0; i < n; i++)
        PrintFixedLine(lines[i]);
    PrintFixed(prompt);
}

int ReadChoice(int highest, bool learn) {
    int choice = -1; /* kept by a choice that is not a number */
    bool number = ReadInt(&choice) == READ_OK;
    if (!number) DiscardLine(true);
    if (!learn || (number && choice >= 0 && choice <= highest)) return choice;
    if (number)
        snprintf(g_notice, sizeof g_notice, Tr("没有选项%d，请选择0~%d"), choice, highest);
    else
        snprintf(g_notice, sizeof g_notice, Tr("请输入0~%d的数字"), highest);
    return choice;
}

void MenuPause(int n, bool learn) {
    int presses = n - CharsAhead(n);
    if (learn && presses == 1) PrintText("\n(按1次回车键继续)");
    if (learn && presses > 1) Print("\n(按%d次回车键继续)", presses);
    Pause(n);
}
