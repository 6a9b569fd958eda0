/* The record in which the swap counter publishes a process's buffer swaps and the key-downs it
 * takes from SDL: a file created (zero-filled, at least this size) by the benchmark and named by
 * SWAP_COUNTER_ENV, mapped shared by the counter in the measured process and read by the benchmark.
 * Times are CLOCK_MONOTONIC nanoseconds, comparable across processes on one machine. */
#ifndef HELICOID_BENCH_SWAP_RECORD_H
#define HELICOID_BENCH_SWAP_RECORD_H

#include <stdint.h>

#define SWAP_COUNTER_ENV "SWAP_COUNTER_FILE"

#ifdef __cplusplus
#include <atomic>
typedef std::atomic<uint64_t> SwapCount;
typedef std::atomic<int64_t> SwapTime;
typedef std::atomic<int32_t> SwapPid;
#else
#include <stdatomic.h>
typedef _Atomic(uint64_t) SwapCount;
typedef _Atomic(int64_t) SwapTime;
typedef _Atomic(int32_t) SwapPid;
#endif

typedef struct SwapRecord {
    SwapCount swaps;     /* buffer swaps so far */
    SwapTime firstSwapNs; /* when the first swap returned; 0 before it */
    SwapTime lastSwapNs;  /* when the latest swap returned */
    SwapPid pid;         /* the process that swapped last */
    SwapCount keyDowns;  /* SDL key-down events the program has taken (SDL_PollEvent) */
    SwapTime lastKeyDownNs; /* when the latest of them was taken */
} SwapRecord;

#endif
