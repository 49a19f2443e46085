// What a piece of code prints: on stdout alone, or on stdout and stderr;
// and the GBK bytes of a text. Shared by the unit tests of every part.
#ifndef TESTS_CAPTURE_H
#define TESTS_CAPTURE_H

#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "console_system.h"
#include "output.h"

// The programs' output waits in the console layer until FlushOutput.
inline std::string Output(const std::function<void()> &fn) {
    FlushOutput();
    testing::internal::CaptureStdout();
    fn();
    FlushOutput();
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

struct Captured {
    std::string out, err;
};

inline Captured Capture(const std::function<void()> &fn) {
    FlushOutput();
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    fn();
    FlushOutput();
    fflush(stdout);
    fflush(stderr);
    Captured c;
    c.out = testing::internal::GetCapturedStdout();
    c.err = testing::internal::GetCapturedStderr();
    return c;
}

// Columns of a UTF-8 line at a terminal, a Chinese character taking two.
inline int Columns(const std::string &line) {
    int cols = 0;
    for (unsigned char c : line)
        cols += c >= 0xE0 ? 2 : c < 0x80 ? 1 : 0;
    return cols;
}

// The GBK bytes of a UTF-8 text: what the programs print for it.
inline std::string Gbk(const char *utf8) {
    char buf[1024];
    size_t n = Utf8ToGbk(utf8, buf, sizeof buf);
    EXPECT_NE(n, (size_t)-1) << utf8;
    return n == (size_t)-1 ? std::string() : std::string(buf, n);
}

#endif
