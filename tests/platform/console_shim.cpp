// Loaded with LD_PRELOAD into a menu program, to see what the program does
// when the system fails it; without these settings in the environment it
// changes nothing:
//   SHIM_ICONV_ERRNO=N  iconv_open fails with errno N, as on a system
//                       without the GBK converter (EINVAL) or without memory
//   SHIM_FAIL_FLUSH=N   the Nth fflush of stdout (from 1) writes to /dev/full
//                       instead, so that one write fails with ENOSPC in the
//                       middle of a session while all the others succeed
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

long Setting(const char *name) {
    const char *value = getenv(name);
    return value ? strtol(value, nullptr, 10) : 0;
}

// The Nth flush runs with fd 1 on /dev/full, then fd 1 is put back.
int FlushToFull(int (*real)(FILE *), FILE *stream) {
    int saved = dup(1), full = open("/dev/full", O_WRONLY);
    if (saved < 0 || full < 0 || dup2(full, 1) < 0) abort();
    int result = real(stream);
    int err = errno;
    dup2(saved, 1);
    close(saved);
    close(full);
    errno = err;
    return result;
}

} // namespace

extern "C" void *iconv_open(const char *to, const char *from) {
    long err = Setting("SHIM_ICONV_ERRNO");
    if (err == 0) {
        auto real = (void *(*)(const char *, const char *))dlsym(RTLD_NEXT, "iconv_open");
        return real(to, from);
    }
    errno = (int)err;
    return (void *)-1;
}

extern "C" int fflush(FILE *stream) {
    static long calls = 0;
    auto real = (int (*)(FILE *))dlsym(RTLD_NEXT, "fflush");
    if (stream == stdout && ++calls == Setting("SHIM_FAIL_FLUSH")) return FlushToFull(real, stream);
    return real(stream);
}
