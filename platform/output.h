/* output.h - what the programs print, and how it reaches the user.
 *
 * The texts are UTF-8 in the sources. They go out as GBK bytes, or as UTF-8
 * on a POSIX terminal that cannot show GBK, or as UTF-16 characters at a
 * Windows console. Output is buffered and written out just before the
 * program waits for input, and at exit; a failed write ends the program
 * with a stderr line and status 1 (quietly when the reader of a pipe went
 * away).
 *
 * Print, PrintText and PrintLine are macros: each place that prints a fixed
 * text (a string literal or a constant char array) owns a static record in
 * which that text is converted on its first print, so that later prints of
 * it are a plain write. Any other text (a pointer, a buffer being filled) is
 * converted each time it is printed.
 */
#ifndef PLATFORM_OUTPUT_H
#define PLATFORM_OUTPUT_H

#include <cstddef>

/* The output encoding: chosen from where stdout goes (AUTO), or forced.
 *
 * AUTO: GBK, except UTF-8 on a POSIX terminal whose charset is not GBK, and
 * UTF-16 (WriteConsoleW) when stdout is a Windows console.
 * GBK, UTF8: these bytes wherever stdout goes. At a Windows console too: the
 * bytes are then written as they are and the console shows them by its own
 * code page, which the program leaves alone (936 shows GBK, 65001 UTF-8). */
enum OutputEncoding { ENCODING_AUTO, ENCODING_GBK, ENCODING_UTF8 };

/* Decides whether stdout is a terminal and which encoding the texts take,
 * and opens the converter. When the converter cannot be had, says so on
 * stderr and ends the program (status 1, or 254 without memory) before
 * anything is printed. Makes sure the output is written and checked at
 * exit. Call at the start of main; a later call (tests) converts every
 * fixed text anew. */
void ConsoleInit(OutputEncoding encoding = ENCODING_AUTO);

/* Clears the screen of a terminal or console; does nothing when stdout is
 * redirected to a file or a pipe. */
void ClearScreen();

/* Prints one byte as it is (an element character). */
void PrintChar(char c);

/* printf with a UTF-8 format: the format is converted before formatting, so
 * "%c" arguments go out as the raw bytes they are. */
#define Print(...) PutFormat(CONSOLE_SITE(CONSOLE_FIRST(__VA_ARGS__, 0)), __VA_ARGS__)
/* Prints a UTF-8 text as it is, '%' included. */
#define PrintText(s) PutText(CONSOLE_SITE(s), s)
/* Prints a UTF-8 text and a newline. */
#define PrintLine(s) PutLine(CONSOLE_SITE(s), s)

/* ---- What the macros expand to --------------------------------------------- */

/* A fixed text's output form, owned by the place that prints it. room has
 * as many bytes as the UTF-8 text (the GBK form is never longer). */
struct FixedText {
    const char *utf8; /* the text converted, null before the first print */
    unsigned round;   /* the ConsoleInit call it was converted for */
    const char *out;  /* its output bytes: utf8 itself, or room */
    size_t size;      /* of out, without the zero byte */
    char *room;
};

/* True for the type of a fixed text: a string literal or const char array. */
template <typename T> constexpr bool kIsFixedText = false;
template <size_t N> constexpr bool kIsFixedText<const char (&)[N]> = true;
template <size_t N> constexpr bool kIsFixedText<const char[N]> = true;

/* The calling place's own record for a fixed text s, or null when s is not
 * one. sizeof and decltype do not evaluate s, so the lambda captures
 * nothing; the record is constant-initialized, so no guard runs. */
#define CONSOLE_SITE(s)                                                                            \
    ([]() -> FixedText * {                                                                         \
        static char room_[kIsFixedText<decltype(s)> ? sizeof(s) : 1];                              \
        static FixedText text_ = {nullptr, 0, nullptr, 0, room_};                                  \
        return kIsFixedText<decltype(s)> ? &text_ : nullptr;                                       \
    }())
#define CONSOLE_FIRST(first, ...) first

/* Print a text through its place's record (site), or converted on the spot
 * when site is null. */
void PutText(FixedText *site, const char *text);
void PutLine(FixedText *site, const char *text);
void PutFormat(FixedText *site, const char *fmt, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

/* Writes out all pending output (the input layer calls it before it waits;
 * call it before a line on stderr, so that the line follows the texts before
 * it, at a console too). A failed write ends the program. */
void FlushOutput();

#endif
