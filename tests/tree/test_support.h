// Helpers shared by the tree tests: a node allocator that records what is
// freed and can refuse memory, tree builders, and a small-stack runner.
#ifndef TESTS_TREE_TEST_SUPPORT_H
#define TESTS_TREE_TEST_SUPPORT_H

#include <functional>
#include <string>

#include "Bitree.h"
#include "capture.h"

namespace test_alloc {
extern std::string freed; // data of each node freed, in order
extern long live;         // nodes allocated and not yet freed
extern long fail_after;   // allocations left before NewNode returns null; < 0: never
void Reset();
} // namespace test_alloc

// Builds the tree a preorder description gives, from its first character.
BiTree Build(const char *description);
// The preorder description of T ("#" for each empty subtree).
std::string Describe(BiTree T);
// A chain of n nodes, each the left (or right) child of the one before.
BiTree Chain(long n, bool left, char data = 'x');
// Runs fn on a thread whose call stack is only bytes long.
void RunWithStack(size_t bytes, const std::function<void()> &fn);

#endif
