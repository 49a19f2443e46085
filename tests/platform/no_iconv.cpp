// Loaded with LD_PRELOAD into a menu program: iconv_open fails as on a
// system without the GBK converter, so that the program's refusal to start
// can be checked (console_check.py no-converter).
#include <cerrno>

extern "C" void *iconv_open(const char *, const char *) {
    errno = EINVAL;
    return (void *)-1;
}
