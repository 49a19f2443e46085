/* console_emscripten.cpp - the console's system side in a WebAssembly build:
 * the host page (or the Node runner) is the terminal. Output goes out as
 * UTF-8 only, in the blocks the console layer gathers, handed to the host's
 * adtWrite; input comes from the host's adtRead, which the program awaits
 * without blocking the page (ASYNCIFY unwinds the stack while it waits).
 * See console_system.h. */
#include "console_system.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <emscripten.h>

/* Hands n bytes at bytes to the host, which shows or writes them at once. */
EM_JS(void, HostWrite, (const char *bytes, int n),
      { Module.adtWrite(HEAPU8.subarray(bytes, bytes + n)); });

/* Awaits up to n bytes of input from the host into buf: the count, 0 at the
 * end of input. Before the first wait it arranges that the program's end
 * after a wait still runs the exit handlers: main then returns into the
 * runtime's wake-up, which otherwise drops its status. JavaScript, which
 * clang-format would take for C++. */
// clang-format off
EM_ASYNC_JS(int, HostRead, (char *buf, int n), {
    if (!Asyncify.asyncPromiseHandlers) {
        var ended = function(e) { if (!(e instanceof ExitStatus)) throw e; };
        var finish = function(status) { try { exit(status); } catch (e) { ended(e); } };
        Asyncify.asyncPromiseHandlers = {resolve: finish, reject: ended};
    }
    var bytes = await Module.adtRead(n);
    HEAPU8.set(bytes, buf);
    return bytes.length;
});
// clang-format on

/* Whether the host shows stderr on the terminal that stdout is (the page
 * does; the Node runner keeps the two apart). */
EM_JS(int, HostStderrShared, (), { return Module.adtStderrShared ? 1 : 0; });

/* The host is a terminal: it shows UTF-8 and takes the clear sequence. */
bool StdoutIsTerminal() {
    return true;
}

bool StderrIsStdoutTerminal() {
    return HostStderrShared() != 0;
}

/* No signals to set: the host is no pipe, and the files live in memory. */
void SetUpProcess() {}

/* The arguments come from the host as UTF-8. */
char **SystemArguments(int *, char **argv) {
    return argv;
}

/* UTF-8, unless GBK is asked for, which the converter then refuses. */
bool ChooseSink(OutputEncoding encoding, bool) {
    return encoding != ENCODING_GBK;
}

/* The C library here has no GBK converter. */
bool OpenConverter() {
    errno = ENOSYS;
    return false;
}

void CloseConverter() {}

size_t Utf8ToGbk(const char *, char *, size_t) {
    return (size_t)-1;
}

void SinkWrite(const char *bytes, size_t n) {
    HostWrite(bytes, (int)n);
}

FILE *SinkStream() {
    return nullptr;
}

bool SinkFlush() {
    return true;
}

bool ReaderGone(int) {
    return false;
}

bool ClearTerminal() {
    HostWrite("\033[H\033[2J", 7);
    return true;
}

long ReadInput(char *buf, size_t n) {
    return HostRead(buf, (int)n);
}

/* ---- The screen's size ---- */

/* The host's terminal size; 0 where the host has no terminal (Node). */
EM_JS(int, HostTermCols, (), { return Module.adtCols ? Module.adtCols() : 0; });
EM_JS(int, HostTermRows, (), { return Module.adtRows ? Module.adtRows() : 0; });

bool AskTermSize(TermSize *size) {
    size->cols = HostTermCols();
    size->rows = HostTermRows();
    return size->cols > 0 && size->rows > 0;
}

/* The page's terminal shows reverse video; the Node runner has no terminal. */
bool TermShowsReverse() {
    return HostTermCols() > 0;
}
