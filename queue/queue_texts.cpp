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
};
const size_t kQueueTextCount = sizeof kQueueTexts / sizeof kQueueTexts[0];
