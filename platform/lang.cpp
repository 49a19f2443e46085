/* lang.cpp - see lang.h. The rows are found through a hash table of their
 * Chinese texts, built once by SetLanguage; a Chinese session never looks. */
#include "lang.h"

#include <cstdint>
#include <cstring>

Language g_session_language = LANG_ZH;

const Translation kSharedTexts[] = {
    {"输入无效", "Invalid input"},
    {"(按1次回车键继续)", "(press Enter once to go on)"},
    {"(按%d次回车键继续)", "(press Enter %d times to go on)"},
    {"没有选项%d，请选择0~%d", "There is no option %d; choose 0 to %d"},
    {"请输入0~%d的数字", "Enter a number from 0 to %d"},
};
const size_t kSharedTextCount = sizeof kSharedTexts / sizeof kSharedTexts[0];

/* Open addressing over the rows of both catalogs: a slot holds a row or
 * null. Twice the rows a catalog may have, so that a probe ends soon. */
enum { kSlots = 2048 };
static const Translation *g_slot[kSlots];

/* FNV-1a of a zero-ended text. */
static uint32_t Hash(const char *s) {
    uint32_t h = 2166136261u;
    for (; *s; s++)
        h = (h ^ (unsigned char)*s) * 16777619u;
    return h;
}

/* The slot of zh: the one holding its row, or the empty one where it would
 * go. The table is never full (rows < kSlots), so the probe ends. */
static const Translation **Slot(const char *zh) {
    uint32_t i = Hash(zh) % kSlots;
    while (g_slot[i] && strcmp(g_slot[i]->zh, zh) != 0)
        i = (i + 1) % kSlots;
    return &g_slot[i];
}

/* Adds n rows; of two rows with one Chinese text, the first stays. */
static void AddRows(const Translation *rows, size_t n) {
    for (size_t i = 0; i < n && i < kSlots / 2; i++) {
        const Translation **s = Slot(rows[i].zh);
        if (!*s) *s = &rows[i];
    }
}

void SetLanguage(Language lang, const Translation *catalog, size_t n) {
    memset(g_slot, 0, sizeof g_slot);
    g_session_language = lang;
    if (lang == LANG_ZH) return;
    AddRows(catalog, n);
    AddRows(kSharedTexts, kSharedTextCount);
}

const char *TranslateText(const char *zh) {
    const Translation *row = *Slot(zh);
    if (!row) return zh;
    switch (g_session_language) {
    case LANG_EN:
        return row->en;
    case LANG_ZH:
        break;
    }
    return zh;
}

bool ParseLanguage(const char *value, Language *lang) {
    static const struct {
        const char *name;
        Language lang;
    } kNames[] = {{"zh", LANG_ZH}, {"en", LANG_EN}};
    for (const auto &k : kNames) {
        size_t i = 0;
        while (value[i] && k.name[i] && (value[i] | 0x20) == k.name[i])
            i++;
        if (!value[i] && !k.name[i]) {
            *lang = k.lang;
            return true;
        }
    }
    return false;
}
