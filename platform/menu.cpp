/* menu.cpp - the menu round and the programs' start. See menu.h. */
#include "menu.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "console_system.h"
#include "fail.h"
#include "input.h"
#include "lang.h"
#include "output.h"
#include "termsize.h"

TermSize GetTermSize() {
    TermSize size;
    if (!AskTermSize(&size) || size.cols <= 0 || size.rows <= 0)
        size = {TERM_DEFAULT_COLS, TERM_DEFAULT_ROWS};
    return size;
}

/* The menu shown last: its lines and prompt; text, the lines joined, each
 * with its newline, and the prompt after them, printed at once; and the
 * rows it takes on the screen (its newlines and the prompt's row). A
 * program has one menu, so this is built once per run. */
struct Menu {
    const char *const *lines;
    size_t n;
    const char *prompt;
    char *text;
    int rows;
};
static Menu g_menu = {};

/* Makes g_menu the menu of these lines and prompt. */
static void BuildMenu(const char *const *lines, size_t n, const char *key) {
    const char *prompt = Tr(key);
    size_t len = strlen(prompt) + 1;
    for (size_t i = 0; i < n; i++)
        len += strlen(lines[i]) + 1;
    char *text = (char *)malloc(len);
    if (!text) ExitOutOfMemory();
    free(g_menu.text);
    g_menu = Menu{lines, n, key, text, 1};
    for (size_t i = 0; i < n; i++)
        text += sprintf(text, "%s\n", lines[i]);
    strcpy(text, prompt);
    for (const char *c = g_menu.text; *c; c++)
        g_menu.rows += *c == '\n';
}

/* Learners (--learn): the highest choice (-1 when not learning), and the
 * line about the last choice when it was out of range. */
static int g_highest = -1;
static char g_notice[96];

void MenuPause(int n) {
    int presses = n - CharsAhead(n);
    if (g_highest >= 0 && presses == 1) PrintText("\n(按1次回车键继续)");
    if (g_highest >= 0 && presses > 1) Print("\n(按%d次回车键继续)", presses);
    Pause(n);
}

/* For learners: notes a choice outside 0 to g_highest for the next round. */
static void NoteChoice(int choice, bool number) {
    if (g_highest < 0 || (number && choice >= 0 && choice <= g_highest)) return;
    if (number)
        snprintf(g_notice, sizeof g_notice, Tr("没有选项%d，请选择0~%d"), choice, g_highest);
    else
        snprintf(g_notice, sizeof g_notice, Tr("请输入0~%d的数字"), g_highest);
}

int MenuChoice(const char *const *lines, size_t n, const char *prompt, DrawFn draw) {
    if (lines != g_menu.lines || n != g_menu.n || prompt != g_menu.prompt)
        BuildMenu(lines, n, prompt);
    ClearScreen();
    int notice_rows = g_notice[0] ? 1 : 0;
    if (notice_rows) {
        PrintLine(g_notice);
        g_notice[0] = '\0';
    }
    if (draw) {
        TermSize screen = GetTermSize();
        draw(screen.cols, screen.rows - g_menu.rows - notice_rows);
    }
    PrintText(g_menu.text);
    int choice = -1; /* kept by a choice that is not a number */
    bool number = ReadInt(&choice) == READ_OK;
    if (!number) DiscardLine(true);
    NoteChoice(choice, number);
    return choice;
}

int RunMenuProgram(int argc, char **argv, const MenuProgram &program) {
    SetProgramName(program.name);
    argv = Utf8Arguments(&argc, argv);
    CmdOptions opt;
    int status = ParseCmdLine(argc, argv, program.known, opt);
    if (status != CMD_RUN) return status;
    ConsoleInit(opt.encoding);
    SetLanguage(opt.lang, program.texts, program.ntexts);
    if (opt.learn) g_highest = program.last;
    program.start(opt);
    int op = 1;
    while (op != 0) {
        op =
            MenuChoice(program.lines, program.n, program.prompt, opt.draw ? program.draw : nullptr);
        if (op >= 1 && op <= program.last) program.run(op); /* others redraw the menu */
    }
    return 0;
}
