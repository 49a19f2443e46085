// Loaded with LD_PRELOAD into a menu program, to see what the program does
// when the system fails it; without these settings in the environment it
// changes nothing:
//   SHIM_ICONV_ERRNO=N  iconv_open fails with errno N, as on a system
//                       without the GBK converter (EINVAL) or without memory
//   SHIM_FAIL_WRITE=N   the Nth write of stdout (from 1) fails with ENOSPC,
//                       in the middle of a session while all the others
//                       succeed: a write of stdio's buffer, by fflush or by
//                       an fwrite that fills it, goes to /dev/full instead
//                       (glibc's FILE fields tell when stdio writes, since
//                       its own write calls cannot be caught), and so does
//                       a block the program writes to fd 1 itself
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

// Whether this write of stdout's buffer is the one to fail.
bool FailThisWrite() {
    static long writes = 0;
    return ++writes == Setting("SHIM_FAIL_WRITE");
}

// Runs call with fd 1 on /dev/full, then puts fd 1 back.
template <typename Call> auto OnFull(Call call) {
    int saved = dup(1), full = open("/dev/full", O_WRONLY);
    if (saved < 0 || full < 0 || dup2(full, 1) < 0) abort();
    auto result = call();
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
    static auto real = (int (*)(FILE *))dlsym(RTLD_NEXT, "fflush");
    if (stream == stdout && stream->_IO_write_ptr > stream->_IO_write_base && FailThisWrite())
        return OnFull([&] { return real(stream); });
    return real(stream);
}

extern "C" size_t fwrite(const void *data, size_t size, size_t n, FILE *stream) {
    static auto real = (size_t(*)(const void *, size_t, size_t, FILE *))dlsym(RTLD_NEXT, "fwrite");
    bool fills =
        stream->_IO_write_ptr && stream->_IO_buf_end - stream->_IO_write_ptr < (long)(size * n);
    if (stream == stdout && fills && FailThisWrite())
        return OnFull([&] { return real(data, size, n, stream); });
    return real(data, size, n, stream);
}

extern "C" ssize_t write(int fd, const void *data, size_t n) {
    static auto real = (ssize_t(*)(int, const void *, size_t))dlsym(RTLD_NEXT, "write");
    if (fd == 1 && FailThisWrite()) return OnFull([&] { return real(fd, data, n); });
    return real(fd, data, n);
}
