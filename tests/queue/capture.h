// What a piece of queue code prints on stdout.
#ifndef TESTS_QUEUE_CAPTURE_H
#define TESTS_QUEUE_CAPTURE_H

#include <cstdio>
#include <functional>
#include <string>
#include <gtest/gtest.h>

inline std::string Output(const std::function<void()> &fn) {
    testing::internal::CaptureStdout();
    fn();
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

#endif
