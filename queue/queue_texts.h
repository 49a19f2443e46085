/* queue_texts.h - the catalog of queue_menu's texts (lang.h). */
#ifndef QUEUE_QUEUE_TEXTS_H
#define QUEUE_QUEUE_TEXTS_H

#include <cstddef>

#include "lang.h"

extern const Translation kQueueTexts[];
extern const size_t kQueueTextCount;

#endif
