/* fail.cpp - see fail.h. */
#include "fail.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "output.h"

static const char *g_program = "menu";

void SetProgramName(const char *name) {
    g_program = name;
}

const char *ProgramName() {
    return g_program;
}

void Complain(const char *fmt, ...) {
    ClearForComplaint();
    fprintf(stderr, "%s: ", g_program);
    va_list ap;
    va_start(ap, fmt);
    vfprintf(stderr, fmt, ap);
    va_end(ap);
    fputc('\n', stderr);
}

void ExitOutOfMemory() {
    Complain("out of memory");
    exit(-2); /* OVERFLOW, the status the operations' callers expect */
}
