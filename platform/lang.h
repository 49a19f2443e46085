/* lang.h - the language of a session: every text of the dialogue in the one
 * language the learner chose (--lang zh or en).
 *
 * The sources hold each text in Chinese, the programs' own language. Each
 * program keeps a catalog of its texts (tree/tree_texts.cpp,
 * queue/queue_texts.cpp), one row per Chinese text with its translations
 * beside it, the way message catalogs key a translation by its original
 * text; this file keeps the rows of the texts both programs share. A third
 * language is one more member of Translation and one more column.
 *
 * The rule at the call sites: PrintText, PrintLine and Print (output.h)
 * translate the text (for Print, the format) they are given, so a call site
 * writes the Chinese text alone. A text put together before it is printed
 * (by snprintf, or joined with others) takes Tr() where it is made, on its
 * format or its parts. A text without a row goes out as it is, and so does
 * every text of a Chinese session: there Tr is one comparison, inline.
 *
 * A translation of a format has the same conversions, in the same order,
 * as its Chinese text (the catalogs' tests check it).
 */
#ifndef PLATFORM_LANG_H
#define PLATFORM_LANG_H

#include <cstddef>

enum Language { LANG_ZH, LANG_EN };

/* One row of a catalog: a Chinese text and its translation. */
struct Translation {
    const char *zh;
    const char *en;
};

/* The session's language, set once at start by SetLanguage; read it
 * through Tr or SessionLanguage. */
extern Language g_session_language;

/* Sets the session's language and the program's catalog (n rows; the rows
 * of the shared texts are looked up too). Called once at start, before the
 * first text is printed; a later call (tests) replaces both. */
void SetLanguage(Language lang, const Translation *catalog, size_t n);

/* The language set by SetLanguage (LANG_ZH before). */
inline Language SessionLanguage() {
    return g_session_language;
}

/* zh in the session's language: zh itself when the session is Chinese or no
 * row holds zh, else the row's translation. */
const char *TranslateText(const char *zh);
inline const char *Tr(const char *zh) {
    return g_session_language == LANG_ZH ? zh : TranslateText(zh);
}

/* The language a --lang value names ("zh" or "en", letters in any case):
 * true and *lang set, or false for any other value. */
bool ParseLanguage(const char *value, Language *lang);

/* The rows of the texts both programs share (the menu round's lines), for
 * the catalogs' tests. */
extern const Translation kSharedTexts[];
extern const size_t kSharedTextCount;

#endif
