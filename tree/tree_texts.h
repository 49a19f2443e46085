/* tree_texts.h - the catalog of tree_menu's texts (lang.h). */
#ifndef TREE_TREE_TEXTS_H
#define TREE_TREE_TEXTS_H

#include <cstddef>

#include "lang.h"

extern const Translation kTreeTexts[];
extern const size_t kTreeTextCount;

#endif
