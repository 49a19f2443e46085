/* menu.cpp - see menu.h. */
#include "menu.h"

#include <cstdio>

#include "input.h"
#include "lang.h"
#include "output.h"
#include "textwidth.h"

/* The line about the last choice, for a learner, when it was out of range,
 * and the lines PrintMenu prints it on this round. */
static char g_notice[96];
static int g_noticed = 0;
#define NOTICE_LINES 4 /* at most */

/* Rows kept for an outcome (up to three lines), the pause's line and the
 * empty line before it (--learn), and the cursor's row. */
#define OUTCOME_ROWS 6

TermSize RoomUnderOutcome() {
    EndLine();
    TermSize screen = GetTermSize();
    screen.rows -= OUTCOME_ROWS;
    return screen;
}

void ClearForMenu() {
    ClearScreen();
    int lines = g_notice[0] ? FittedLines(g_notice, GetTermSize().cols) : 0;
    g_noticed = lines < NOTICE_LINES ? lines : NOTICE_LINES;
}

/* The fewest rows a picture is drawn in above the menu. */
#define PICTURE_MIN_ROWS 5

bool RoomAboveMenu(const char *const *lines, size_t n, const char *prompt, TermSize *room) {
    *room = GetTermSize();
    /* The learner's line, the prompt's rows and the menu's, each line as
     * many rows as it wraps into on a narrow screen. */
    room->rows -= g_noticed + ScreenRows(Tr(prompt), room->cols);
    for (size_t i = 0; i < n; i++)
        room->rows -= ScreenRows(lines[i], room->cols);
    return room->rows >= PICTURE_MIN_ROWS;
}

void PrintMenu(const char *const *lines, size_t n, const char *prompt) {
    for (size_t i = 0; i < n; i++)
        PrintFixedLine(lines[i]);
    if (g_notice[0]) PrintFitted(g_notice, GetTermSize().cols, NOTICE_LINES);
    g_notice[0] = '\0';
    PrintText(prompt);
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
    if (learn && presses > 0) { /* on a line of its own, fitted to the screen */
        char line[96];
        snprintf(line, sizeof line, Tr(presses == 1 ? "(按1次回车键继续)" : "(按%d次回车键继续)"),
                 presses);
        PrintChar('\n');
        PrintFittedOpen(line, GetTermSize().cols);
    }
    Pause(n);
}
