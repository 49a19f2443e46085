/* termsize_emscripten.cpp - the size of the host page's terminal in a
 * WebAssembly build. See termsize.h. */
#include "termsize.h"

#include <emscripten.h>

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
