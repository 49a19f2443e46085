/* menu.cpp - the menu round. See menu.h. */
#include "menu.h"

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

int MenuChoice(const char *const *lines, size_t n, const char *prompt, void (*draw)()) {
    ClearScreen();
    if (draw) draw();
    if (lines != g_menu.lines || n != g_menu.n || prompt != g_menu.prompt)
        BuildMenu(lines, n, prompt);
    PutText(&g_menu.form, g_menu.text);
    int choice;
    if (ReadInt(&choice) == READ_OK) return choice;
    DiscardLine(true);
    return -1;
}
