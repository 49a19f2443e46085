/* tree_texts.cpp - tree_menu's texts, each Chinese text with its English
 * translation (lang.h): the dialogue, then what the learner options add. */
#include "tree_texts.h"

#include <cinttypes>

const Translation kTreeTexts[] = {
    /* The prompt after the menu, and the outcomes of options 1 to 7. */
    {"\t请选择你的操作[0~20]:", "\tChoose an operation [0~20]:"},
    {"空二叉树创建成功", "Empty binary tree created"},
    {"空二叉树创建失败", "Could not create an empty binary tree"},
    {"二叉树销毁成功", "Binary tree destroyed"},
    {"二叉树销毁失败", "Could not destroy the binary tree"},
    {"二叉树构造成功", "Binary tree built"},
    {"二叉树构造失败", "Could not build the binary tree"},
    {"二叉树清空成功", "Binary tree cleared"},
    {"二叉树清空失败", "Could not clear the binary tree"},
    {"二叉树是空的", "The binary tree is empty"},
    {"二叉树不是空的", "The binary tree is not empty"},
    {"树的深度是%d\n", "The depth of the tree is %d\n"},
    {"树的根是%c\n", "The root of the tree is %c\n"},
    {"T不存在", "T does not exist"},
    {"T为空", "T is empty"},

    /* Options 8 to 14: nodes by their position. */
    {"该二叉树不存在第%d个元素\n", "The binary tree has no node at position %d\n"},
    {"请输入要查找的结点在满二叉树中的对应位置：",
     "Enter the position of the node in the full binary tree:"},
    {"第%d个结点的数据是%c", "The data of node %d is %c"},
    {"请输入要赋值的位置的要赋的值：", "Enter the position and, right after it, the value:"},
    {"赋值成功", "Value assigned"},
    {"赋值失败", "Could not assign the value"},
    {"请输入要查找双亲结点的结点在满二叉树中的序号:",
     "Enter the position in the full binary tree of the node whose parent you want:"},
    {"第%d个结点的双亲结点的指针是%" PRId64 ",数据是%c",
     "The parent of node %d has the pointer %" PRId64 " and the data %c"},
    {"不存在此结点或此结点无双亲", "No such node, or the node has no parent"},
    {"请输入要查找左孩子结点的结点在满二叉树中的序号:",
     "Enter the position in the full binary tree of the node whose left child you want:"},
    {"第%d个结点的左孩子结点的指针是%" PRId64 ",数据是%c",
     "The left child of node %d has the pointer %" PRId64 " and the data %c"},
    {"不存在此结点或此结点无左孩子", "No such node, or the node has no left child"},
    {"请输入要查找右孩子结点的结点在满二叉树中的序号:",
     "Enter the position in the full binary tree of the node whose right child you want:"},
    {"第%d个结点的右孩子结点的指针是%" PRId64 ",数据是%c",
     "The right child of node %d has the pointer %" PRId64 " and the data %c"},
    {"不存在此结点或此结点无右孩子", "No such node, or the node has no right child"},
    {"请输入要查找左兄弟结点的结点在满二叉树中的序号:",
     "Enter the position in the full binary tree of the node whose left sibling you want:"},
    {"第%d个结点的左兄弟结点的指针是%" PRId64 ",数据是%c",
     "The left sibling of node %d has the pointer %" PRId64 " and the data %c"},
    {"不存在此结点或此结点无左兄弟", "No such node, or the node has no left sibling"},
    {"请输入要查找右兄弟结点的结点在满二叉树中的序号:",
     "Enter the position in the full binary tree of the node whose right sibling you want:"},
    {"第%d个结点的右兄弟结点的指针是%" PRId64 ",数据是%c",
     "The right sibling of node %d has the pointer %" PRId64 " and the data %c"},
    {"不存在此结点或此结点无右兄弟", "No such node, or the node has no right sibling"},

    /* Options 15 and 16: grafting and cutting. */
    {"二叉树P构造失败", "Could not build the binary tree P"},
    {"P是与T删去右子树之后相同的树", "P is the same tree as T without its right subtree"},
    {"树P已构造，要插入为左子树还是右子树?请输入0或1:",
     "Tree P is built. Insert it as the left or the right subtree? Enter 0 or 1:"},
    {"树P插入成功", "Tree P inserted"},
    {"树P插入失败", "Could not insert tree P"},
    {"P是T的左子树", "P is the left subtree of T"},
    {"要删除P的左子树还是右子树?请输入0或1:",
     "Delete the left or the right subtree of P? Enter 0 or 1:"},
    {"删除成功", "Subtree deleted"},
    {"删除失败", "Could not delete the subtree"},

    /* Options 17 to 20: the traversals. */
    {"树T前序遍历为：", "Preorder traversal of tree T:"},
    {"树T中序遍历为：", "Inorder traversal of tree T:"},
    {"树T后序遍历为：", "Postorder traversal of tree T:"},
    {"树T层序遍历为：", "Level-order traversal of tree T:"},
};
const size_t kTreeTextCount = sizeof kTreeTexts / sizeof kTreeTexts[0];
