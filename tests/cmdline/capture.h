// What a piece of code prints on stdout and stderr.
#ifndef TESTS_CMDLINE_CAPTURE_H
#define TESTS_CMDLINE_CAPTURE_H

#include <cstdio>
#include <functional>
#include <string>
#include <gtest/gtest.h>

struct Captured {
    std::string out, err;
};

inline Captured Capture(const std::function<void()> &fn) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    fn();
    fflush(stdout);
    fflush(stderr);
    Captured c;
    c.out = testing::internal::GetCapturedStdout();
    c.err = testing::internal::GetCapturedStderr();
    return c;
}

#endif
