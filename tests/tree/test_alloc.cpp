// Node allocator and helpers for the tree tests.
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

#include "console.h"
#include "node_alloc.h"
#include "test_support.h"

namespace test_alloc {
std::string freed;
long live = 0;
long fail_after = -1;
void Reset() {
    freed.clear();
    live = 0;
    fail_after = -1;
}
} // namespace test_alloc

BiTree NewNode() {
    if (test_alloc::fail_after == 0) return nullptr;
    if (test_alloc::fail_after > 0) test_alloc::fail_after--;
    test_alloc::live++;
    return (BiTree)malloc(sizeof(BiTNode));
}

void FreeNode(BiTree n) {
    test_alloc::freed += n->data;
    test_alloc::live--;
    free(n);
}

BiTree Build(const char *description) {
    memset(bitree::str, 0, sizeof bitree::str);
    strncpy(bitree::str, description, sizeof bitree::str - 1);
    bitree::index = 0;
    BiTree T = nullptr;
    CreateBiTree(T);
    return T;
}

std::string Describe(BiTree T) {
    if (!T) return "#";
    return std::string(1, T->data) + Describe(T->lchild) + Describe(T->rchild);
}

BiTree Chain(long n, bool left, char data) {
    BiTree root = nullptr, *link = &root;
    for (long i = 0; i < n; i++) {
        BiTree node = NewNode();
        node->data = data;
        node->lchild = node->rchild = nullptr;
        *link = node;
        link = left ? &node->lchild : &node->rchild;
    }
    return root;
}

// What the small-stack thread runs, and whether it got to the end. A stack
// overflow kills the whole process on Windows and Linux, but under Wine only
// the thread ends (with status 0): the flag tells that apart from success.
struct StackRun {
    const std::function<void()> *fn;
    bool finished;
};

static void RunToEnd(void *arg) {
    StackRun *run = static_cast<StackRun *>(arg);
    (*run->fn)();
    run->finished = true;
}

#ifdef _WIN32
static DWORD WINAPI RunThread(LPVOID arg) {
    RunToEnd(arg);
    return 0;
}
void RunWithStack(size_t bytes, const std::function<void()> &fn) {
    StackRun run = {&fn, false};
    // Without the flag, the size would only be the initially committed part
    // and the reservation would stay the .exe's default (2 MiB with MinGW).
    HANDLE h =
        CreateThread(nullptr, bytes, RunThread, &run, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(h, nullptr);
    WaitForSingleObject(h, INFINITE);
    CloseHandle(h);
    ASSERT_TRUE(run.finished) << "the thread with a " << bytes << "-byte stack died";
}
#else
static void *RunThread(void *arg) {
    RunToEnd(arg);
    return nullptr;
}
void RunWithStack(size_t bytes, const std::function<void()> &fn) {
    StackRun run = {&fn, false};
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    ASSERT_EQ(pthread_attr_setstacksize(&attr, bytes), 0);
    pthread_t thread;
    ASSERT_EQ(pthread_create(&thread, &attr, RunThread, &run), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
    ASSERT_TRUE(run.finished) << "the thread with a " << bytes << "-byte stack died";
}
#endif
