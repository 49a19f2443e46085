/* cmdline.cpp - see cmdline.h. The options are read by hand: one pass over
 * argv, each argument looked up in the shared rows and then in the
 * program's. */
#include "cmdline.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "console_system.h"

#ifndef ADT_VERSION
#error "ADT_VERSION (the project's version) must be defined by the build"
#endif

const char *ShownName(const char *name, char *out, size_t cap) {
    size_t n = 0;
    for (; *name && n + 4 < cap; name++)
        out[n++] = ((unsigned char)*name < 0x20 || *name == 0x7F) ? '?' : *name;
    while (*name && n > 0 && ((unsigned char)*name & 0xC0) == 0x80) { /* no half character */
        n--;
        name--;
    }
    strcpy(out + n, *name ? "..." : "");
    return out;
}

/* Says on stderr what is wrong (printf-style) and where help is; returns
 * CMD_USAGE. */
PRINTF_LIKE(1, 2) static int Usage(const char *fmt, ...) {
    char text[256];
    va_list ap;
    va_start(ap, fmt);
    vsnprintf(text, sizeof text, fmt, ap);
    va_end(ap);
    Complain("%s; try '%s --help'", text, ProgramName());
    return CMD_USAGE;
}

/* True when a equals b, ASCII letters in any case. */
static bool SameWord(const char *a, const char *b) {
    for (; *a && *b; a++, b++) {
        char x = (*a >= 'A' && *a <= 'Z') ? (char)(*a - 'A' + 'a') : *a;
        if (x != *b) return false;
    }
    return *a == *b;
}

/* The encoding a good --encoding value names. */
static OutputEncoding EncodingNamed(const char *value) {
    if (!value) return ENCODING_AUTO;
    return SameWord(value, "gbk") ? ENCODING_GBK : ENCODING_UTF8;
}

static const char *CheckEncoding(const char *value, char *why, size_t size) {
    if (SameWord(value, "gbk") || SameWord(value, "utf-8") || SameWord(value, "utf8"))
        return nullptr;
    char quoted[44]; /* 40 bytes of the text, "..." */
    snprintf(why, size, "bad value '%s' (gbk or utf-8)", ShownName(value, quoted, sizeof quoted));
    return why;
}

static const char *CheckLanguage(const char *value, char *why, size_t size) {
    Language lang;
    if (ParseLanguage(value, &lang)) return nullptr;
    char quoted[44]; /* 40 bytes of the text, "..." */
    snprintf(why, size, "bad value '%s' (zh or en)", ShownName(value, quoted, sizeof quoted));
    return why;
}

/* The status after --help or --version: 0 when their text reached stdout,
 * else 1 after a line on stderr (a full disk, a closed pipe). */
static int Flushed() {
    if (fflush(stdout) == 0 && !ferror(stdout)) return 0;
    Complain("cannot write to stdout");
    return 1;
}

char **Utf8Arguments(int *argc, char **argv) {
    char **utf8 = SystemArguments(argc, argv);
    if (!utf8) ExitOutOfMemory();
    return utf8;
}

/* The row named by the first len bytes of arg, or null. */
static const CmdOption *FindOption(const char *arg, size_t len, const CmdOption *rows, size_t n) {
    for (size_t i = 0; i < n; i++)
        if (strlen(rows[i].name) == len && memcmp(rows[i].name, arg, len) == 0) return &rows[i];
    return nullptr;
}

/* Takes the option of argv[*i] by its row o; value is what followed "="
 * (null when nothing did). Returns CMD_RUN, or CMD_USAGE after a line on
 * stderr. */
static int TakeOption(const CmdOption &o, const char *value, int argc, char *const *argv, int *i) {
    if (o.flag) {
        if (value) return Usage("option '%s' takes no value", o.name);
        *o.flag = true;
        return CMD_RUN;
    }
    if (!value) {
        if (*i + 1 >= argc) return Usage("option '%s' needs a value", o.name);
        value = argv[++*i];
    }
    char why[160];
    const char *problem = o.check ? o.check(value, why, sizeof why) : nullptr;
    if (problem) return Usage("%s: %s", o.name, problem);
    *o.value = value;
    return CMD_RUN;
}

int ParseCmdLine(int argc, char *const *argv, const char *help, const CmdOption *own, size_t n,
                 CmdShared &shared) {
    shared = CmdShared();
    const char *encoding = nullptr;
    const char *lang = nullptr;
    bool asked_help = false, asked_version = false;
    const CmdOption kShared[] = {
        {"--draw", &shared.draw, nullptr, nullptr},
        {"--learn", &shared.learn, nullptr, nullptr},
        {"--encoding", nullptr, &encoding, CheckEncoding},
        {"--lang", nullptr, &lang, CheckLanguage},
        {"--help", &asked_help, nullptr, nullptr},
        {"-h", &asked_help, nullptr, nullptr},
        {"--version", &asked_version, nullptr, nullptr},
    };
    char quoted[44]; /* 40 bytes of the text, "..." */
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        if (strcmp(arg, "--") == 0) {
            if (i + 1 < argc)
                return Usage("unexpected argument '%s'",
                             ShownName(argv[i + 1], quoted, sizeof quoted));
            break;
        }
        if (arg[0] != '-' || arg[1] == '\0')
            return Usage("unexpected argument '%s'", ShownName(arg, quoted, sizeof quoted));
        const char *eq = strchr(arg, '=');
        size_t len = eq ? (size_t)(eq - arg) : strlen(arg);
        const CmdOption *o = FindOption(arg, len, kShared, sizeof kShared / sizeof kShared[0]);
        if (!o) o = FindOption(arg, len, own, n);
        if (!o) {
            char name[48];
            snprintf(name, sizeof name, "%.*s", (int)(len < 40 ? len : 40), arg);
            return Usage("unknown option '%s'", ShownName(name, quoted, sizeof quoted));
        }
        int status = TakeOption(*o, eq ? eq + 1 : nullptr, argc, argv, &i);
        if (status != CMD_RUN) return status;
        if (asked_help) {
            fputs(help, stdout);
            return Flushed();
        }
        if (asked_version) {
            printf("%s %s\n", ProgramName(), ADT_VERSION);
            return Flushed();
        }
    }
    if (shared.learn) shared.draw = true;
    shared.encoding = EncodingNamed(encoding);
    if (lang) ParseLanguage(lang, &shared.lang);
    return CMD_RUN;
}
