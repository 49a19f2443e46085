// fail_alloc.cpp - an LD_PRELOAD library that makes one allocation of a
// program fail, to see what the program does without memory.
//
// Every call of malloc, calloc and realloc in the process is counted from 0.
// With FAIL_ALLOC_AT=N in the environment, call number N returns null (errno
// ENOMEM); with FAIL_ALLOC_MODE=always every later call fails as well, else
// only that one. Without FAIL_ALLOC_AT nothing fails. The real allocator is
// glibc's, reached through its __libc_ names, so no dlsym is needed (dlsym
// itself allocates).
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *block, size_t size);
}

namespace {

long g_fail_at = -1;   // the call to fail; < 0: none
bool g_always = false; // fail every call from g_fail_at on
long g_calls = 0;      // calls counted so far
bool g_ready = false;  // the environment has been read

// True when this call is to fail. getenv does not allocate, so reading the
// settings on the first call is safe.
bool Refuse() {
    if (!g_ready) {
        const char *at = getenv("FAIL_ALLOC_AT");
        const char *mode = getenv("FAIL_ALLOC_MODE");
        g_fail_at = at ? strtol(at, nullptr, 10) : -1;
        g_always = mode && strcmp(mode, "always") == 0;
        g_ready = true;
    }
    long n = g_calls++;
    if (g_fail_at < 0) return false;
    if (n == g_fail_at || (g_always && n > g_fail_at)) {
        errno = ENOMEM;
        return true;
    }
    return false;
}

} // namespace

extern "C" {

void *malloc(size_t size) {
    return Refuse() ? nullptr : __libc_malloc(size);
}

void *calloc(size_t count, size_t size) {
    return Refuse() ? nullptr : __libc_calloc(count, size);
}

void *realloc(void *block, size_t size) {
    return Refuse() ? nullptr : __libc_realloc(block, size);
}

} // extern "C"
