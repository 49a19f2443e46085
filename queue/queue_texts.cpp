/* queue_texts.cpp - queue_menu's texts, each Chinese text with its English
 * translation (lang.h): the dialogue, then what the learner options add. */
#include "queue_texts.h"

const Translation kQueueTexts[] = {
    /* The prompt after the menu, and the outcomes of options 1 to 9. */
    {"    请选择你的操作[0~11]:", "    Choose an operation [0~11]:"},
    {"队列创建成功！", "Queue created!"},
    {"队列创建失败！", "Could not create the queue!"},
    {"队列不存在", "The queue does not exist"},
    {"队列销毁成功", "Queue destroyed"},
    {"队列已清空", "Queue cleared"},
    {"队列是空的", "The queue is empty"},
    {"队列不是空的", "The queue is not empty"},
    {"队列长度为%d\n", "The length of the queue is %d\n"},
    {"队列为空", "The queue is empty"},
    {"队列首元素为%d\n", "The head of the queue is %d\n"},
    {"请输入要入队列的值:", "Enter the value to enqueue:"},
    {"队列已满", "The queue is full"},
    {"%d入队列成功\n", "%d enqueued\n"},
    {"%d出队列成功\n", "%d dequeued\n"},

    /* Options 10 and 11: the data file. */
    {"队列不存在！", "The queue does not exist!"},
    {"文件保存成功", "File saved"},
    {"文件保存失败！", "Could not save the file!"},
    {"文件读取成功", "File read"},
    {"文件读取失败！", "Could not read the file!"},

    /* --draw: the queue's storage as a ring. */
    {"队列Q：不存在（选项1创建它）", "Queue Q: none (option 1 creates it)"},
    {"队列Q：front=%d，rear=%d，长度%d；%s", "Queue Q: front=%d, rear=%d, length %d; %s"},
    {"空：front == rear", "empty: front == rear"},
    {"满：(rear+1)%MAXQSIZE == front", "full: (rear+1)%MAXQSIZE == front"},
    {"非空非满", "neither empty nor full"},
    {"F：front  R：rear  *：留空的一格", "F: front  R: rear  *: the slot kept free"},
    {"=：front 与 rear 同在此格  *：留空的一格",
     "=: front and rear in one slot  *: the slot kept free"},
    {"...第%d~%d格：空", "... slots %d-%d: empty"},
    {"...第%d~%d格：1个元素", "... slots %d-%d: 1 element"},
    {"...第%d~%d格：%d个元素", "... slots %d-%d: %d elements"},
};
const size_t kQueueTextCount = sizeof kQueueTexts / sizeof kQueueTexts[0];
