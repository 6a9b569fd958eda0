/* Counts a program's GLX buffer swaps and the key-downs it takes from SDL, from outside it: an
 * LD_PRELOAD library that publishes both in the record of swap_record.h. Without the record's
 * variable it only passes the calls on, so the measured programs carry no benchmark code. */
#define _GNU_SOURCE
#include "swap_record.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

typedef void* (*DlsymFunction)(void*, const char*);
typedef void (*SwapFunction)(void*, unsigned long);
typedef void* (*GetProcFunction)(const unsigned char*);
typedef int (*PollFunction)(void*);

enum { sdlKeyDown = 0x300 }; /* SDL_KEYDOWN, the first 32 bits of an SDL_Event in SDL2's ABI */

static DlsymFunction realDlsym;
static void *realSwap, *realGetProc, *realPoll; /* through __atomic builtins: any thread may call */
static SwapRecord* record;

/* Since glibc 2.34 (Debian 12 has 2.36) dlsym is in libc under that version. */
static void findRealDlsym(void) { realDlsym = (DlsymFunction)dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.34"); }

/* The real lookup. Called from here, RTLD_NEXT searches the libraries after this one. */
static void* lookUp(void* handle, const char* name) {
    static pthread_once_t once = PTHREAD_ONCE_INIT;
    pthread_once(&once, findRealDlsym);
    return realDlsym != NULL ? realDlsym(handle, name) : NULL;
}

/* The real function kept in `slot`, or else the next library's of that name. */
static void* real(void** slot, const char* name) {
    void* found = __atomic_load_n(slot, __ATOMIC_ACQUIRE);
    if (found == NULL) __atomic_store_n(slot, found = lookUp(RTLD_NEXT, name), __ATOMIC_RELEASE);
    return found;
}

__attribute__((constructor)) static void mapRecord(void) {
    const char* path = getenv(SWAP_COUNTER_ENV);
    int fd = path != NULL ? open(path, O_RDWR | O_CLOEXEC) : -1;
    if (fd < 0) return;
    void* mapped = mmap(NULL, sizeof(SwapRecord), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    if (mapped != MAP_FAILED) record = mapped;
}

static int64_t nowNs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
}

static void countingSwap(void* display, unsigned long drawable) {
    SwapFunction swap = (SwapFunction)real(&realSwap, "glXSwapBuffers");
    if (swap != NULL) swap(display, drawable);
    if (record == NULL) return;
    /* Stamped after the swap returns: the frame has then gone to the X server. */
    int64_t unset = 0;
    __atomic_compare_exchange_n(&record->firstSwapNs, &unset, nowNs(), 0, __ATOMIC_SEQ_CST, __ATOMIC_SEQ_CST);
    __atomic_add_fetch(&record->swaps, 1, __ATOMIC_SEQ_CST);
}

static void* countingGetProc(const unsigned char* name);

/* The counting functions in place of the real ones, which are kept; anything else as found. */
static void* substitute(const char* name, void* found) {
    if (found == NULL || name == NULL) return found;
    if (strcmp(name, "glXSwapBuffers") == 0) {
        __atomic_store_n(&realSwap, found, __ATOMIC_RELEASE);
        return (void*)countingSwap;
    }
    /* NOTE: glXGetProcAddress and its ARB name are one function in every libGL. */
    if (strcmp(name, "glXGetProcAddress") == 0 || strcmp(name, "glXGetProcAddressARB") == 0) {
        __atomic_store_n(&realGetProc, found, __ATOMIC_RELEASE);
        return (void*)countingGetProc;
    }
    return found;
}

static void* countingGetProc(const unsigned char* name) {
    GetProcFunction get = (GetProcFunction)real(&realGetProc, "glXGetProcAddressARB");
    return get != NULL ? substitute((const char*)name, get(name)) : NULL;
}

/* SDL2 and Wine open libGL with dlopen and look the swap up with dlsym (SDL through
 * glXGetProcAddress, itself looked up so): they get the counting one. */
__attribute__((visibility("default"))) void* dlsym(void* handle, const char* name) {
    return substitute(name, lookUp(handle, name));
}

/* Programs linked against libGL, as the GLX loop, call this one. */
__attribute__((visibility("default"))) void glXSwapBuffers(void* display, unsigned long drawable) {
    countingSwap(display, drawable);
}

/* The native build takes SDL's events only here: each key-down it takes is stamped. */
__attribute__((visibility("default"))) int SDL_PollEvent(void* event) {
    PollFunction poll = (PollFunction)real(&realPoll, "SDL_PollEvent");
    int taken = poll != NULL ? poll(event) : 0;
    if (taken != 0 && event != NULL && *(const uint32_t*)event == sdlKeyDown && record != NULL) {
        __atomic_store_n(&record->lastKeyDownNs, nowNs(), __ATOMIC_SEQ_CST);
        __atomic_add_fetch(&record->keyDowns, 1, __ATOMIC_SEQ_CST);
    }
    return taken;
}
