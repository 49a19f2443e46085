// How the tree operations scale: every walk should be linear in the nodes,
// whatever the height, and a graft constant time. Output of the traversals
// goes to a discarded stdout; the report goes to stderr.
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "Bitree.h"
#include "node_alloc.h"

namespace {

// A chain of n nodes, each the left child of the one before.
BiTree LeftChain(long n) {
    BiTree root = nullptr, *link = &root;
    for (long i = 0; i < n; i++) {
        BiTree node = NewNode();
        node->data = 'x';
        node->lchild = node->rchild = nullptr;
        *link = node;
        link = &node->lchild;
    }
    return root;
}

void Quiet() {
    static bool done = false;
    if (!done && freopen(
#ifdef _WIN32
                     "NUL",
#else
                     "/dev/null",
#endif
                     "w", stdout)) {
        done = true;
    }
}

void BM_DepthOfChain(benchmark::State &state) {
    BiTree T = LeftChain(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(BiTreeDepth(T));
    DestroyBiTree(T);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_DepthOfChain)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity();

void BM_PostOrderOfChain(benchmark::State &state) {
    Quiet();
    BiTree T = LeftChain(state.range(0));
    for (auto _ : state)
        PostOrderTraverse(T);
    DestroyBiTree(T);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_PostOrderOfChain)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity();

void BM_LevelOrderOfChain(benchmark::State &state) {
    Quiet();
    BiTree T = LeftChain(state.range(0));
    for (auto _ : state)
        LevelOrderTraverse(T);
    DestroyBiTree(T);
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_LevelOrderOfChain)->RangeMultiplier(10)->Range(1000, 1000000)->Complexity();

// n grafts of the menu's copy (six nodes each) under the root's left child,
// then the whole tree destroyed.
void BM_GraftsThenDestroy(benchmark::State &state) {
    memcpy(bitree::str, BUILTIN_DESCRIPTION, sizeof BUILTIN_DESCRIPTION);
    for (auto _ : state) {
        BiTree T;
        bitree::index = 0;
        CreateBiTree(T);
        for (long i = 0; i < state.range(0); i++) {
            BiTree P;
            bitree::index = 0;
            CreateBiTreeWithoutRight(P);
            DeleteChild(T, T, 1);
            InsertChild(T, T->lchild, 0, P);
        }
        DestroyBiTree(T);
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_GraftsThenDestroy)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::ConsoleReporter report;
    report.SetOutputStream(&std::cerr);
    report.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&report);
    benchmark::Shutdown();
    return 0;
}
