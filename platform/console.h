/* console.h - everything the menu programs need from the console: what they
 * print (output.h), what they read (input.h) and the menu round they share
 * (menu.h). */
#ifndef PLATFORM_CONSOLE_H
#define PLATFORM_CONSOLE_H

#include "input.h"
#include "menu.h"
#include "output.h"

#endif
