/* The record in which the preloaded swap counter publishes a program's buffer swaps and the
 * key-downs it takes from SDL: a file the runner creates, names in SWAP_COUNTER_FILE and maps
 * shared. Both sides use the __atomic builtins; times are CLOCK_MONOTONIC nanoseconds. */
#pragma once

#include <stdint.h>

#define SWAP_COUNTER_ENV "SWAP_COUNTER_FILE"

typedef struct SwapRecord {
    int64_t swaps;         /* buffer swaps so far */
    int64_t firstSwapNs;   /* when the first swap returned; 0 before it */
    int64_t keyDowns;      /* SDL key-downs the program has taken (SDL_PollEvent) */
    int64_t lastKeyDownNs; /* when the latest of them was taken */
} SwapRecord;
