/* cmdline.cpp - see cmdline.h. The options are parsed by hand: a table of
 * their names, and one pass over argv. */
#include "cmdline.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "fail.h"

#ifndef ADT_VERSION
#error "ADT_VERSION (the project's version) must be defined by the build"
#endif

enum OptionId {
    OPT_DRAW,
    OPT_ENCODING,
    OPT_TREE,
    OPT_FILE,
    OPT_TRACE,
    OPT_STEP,
    OPT_LEARN,
    OPT_LANG,
    OPT_HELP,
    OPT_VERSION
};

struct Option {
    const char *name;
    OptionId id;
    bool takes_value;
};

static const Option kOptions[] = {
    {"--draw", OPT_DRAW, false},   {"--encoding", OPT_ENCODING, true}, {"--tree", OPT_TREE, true},
    {"--file", OPT_FILE, true},    {"--trace", OPT_TRACE, false},      {"--help", OPT_HELP, false},
    {"-h", OPT_HELP, false},       {"--version", OPT_VERSION, false},  {"--step", OPT_STEP, false},
    {"--learn", OPT_LEARN, false}, {"--lang", OPT_LANG, true},
};

/* The option named by the first len bytes of arg, if this program knows it;
 * else null. */
static const Option *FindOption(const char *arg, size_t len, const CmdKnown &known) {
    for (const Option &o : kOptions) {
        if (strlen(o.name) != len || memcmp(o.name, arg, len) != 0) continue;
        if (o.id == OPT_TREE && !known.check_tree) return nullptr;
        if (o.id == OPT_FILE && !known.takes_file) return nullptr;
        if ((o.id == OPT_TRACE || o.id == OPT_STEP) && !known.takes_trace) return nullptr;
        return &o;
    }
    return nullptr;
}

/* A user's text fit to quote in one stderr line: at most 40 bytes, control
 * characters shown as '?', "..." after a longer one. Returns out (44 bytes). */
static const char *Quote(const char *text, char *out) {
    size_t n = 0;
    for (; *text && n < 40; text++)
        out[n++] = ((unsigned char)*text < 0x20 || *text == 0x7F) ? '?' : *text;
    strcpy(out + n, *text ? "..." : "");
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

/* The status after --help or --version: 0 when their text reached stdout,
 * else 1 after a line on stderr (a full disk, a closed pipe). */
static int Flushed() {
    if (fflush(stdout) == 0 && !ferror(stdout)) return 0;
    Complain("cannot write to stdout");
    return 1;
}

int ParseCmdLine(int argc, char *const *argv, const CmdKnown &known, CmdOptions &out) {
    out = CmdOptions(); /* nothing asked for: ENCODING_AUTO, no tree, no file */
    char quoted[48];
    for (int i = 1; i < argc; i++) {
        const char *arg = argv[i];
        if (strcmp(arg, "--") == 0) {
            if (i + 1 < argc) return Usage("unexpected argument '%s'", Quote(argv[i + 1], quoted));
            break;
        }
        if (arg[0] != '-' || arg[1] == '\0')
            return Usage("unexpected argument '%s'", Quote(arg, quoted));
        const char *eq = strchr(arg, '=');
        size_t len = eq ? (size_t)(eq - arg) : strlen(arg);
        const Option *o = FindOption(arg, len, known);
        if (!o) {
            char name[48];
            snprintf(name, sizeof name, "%.*s", (int)(len < 40 ? len : 40), arg);
            return Usage("unknown option '%s'", Quote(name, quoted));
        }
        const char *value = eq ? eq + 1 : nullptr;
        if (!o->takes_value && eq) return Usage("option '%s' takes no value", o->name);
        if (o->takes_value && !value) {
            if (i + 1 >= argc) return Usage("option '%s' needs a value", o->name);
            value = argv[++i];
        }
        char why[160];
        const char *problem;
        switch (o->id) {
        case OPT_DRAW:
            out.draw = true;
            break;
        case OPT_ENCODING:
            if (SameWord(value, "gbk"))
                out.encoding = ENCODING_GBK;
            else if (SameWord(value, "utf-8") || SameWord(value, "utf8"))
                out.encoding = ENCODING_UTF8;
            else
                return Usage("bad value '%s' for --encoding (gbk or utf-8)", Quote(value, quoted));
            break;
        case OPT_TREE:
            if ((problem = known.check_tree(value, why, sizeof why)))
                return Usage("--tree: %s", problem);
            out.tree = value;
            break;
        case OPT_FILE:
            if (!*value) return Usage("--file needs a path, not an empty text");
            out.file = value;
            break;
        case OPT_TRACE:
            out.trace = true;
            break;
        case OPT_STEP:
            out.step = true;
            break;
        case OPT_LEARN:
            out.learn = out.draw = true;
            out.trace = known.takes_trace;
            break;
        case OPT_LANG:
            if (!ParseLanguage(value, &out.lang))
                return Usage("bad value '%s' for --lang (zh or en)", Quote(value, quoted));
            break;
        case OPT_HELP:
            fputs(known.help, stdout);
            return Flushed();
        case OPT_VERSION:
            printf("%s %s\n", ProgramName(), ADT_VERSION);
            return Flushed();
        }
    }
    return CMD_RUN;
}
