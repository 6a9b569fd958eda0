/* Counts a process's GLX buffer swaps from outside the program, as an LD_PRELOAD library.
 *
 * The count is published in a small file that the benchmark creates and names in the
 * environment variable SWAP_COUNTER_FILE (see swap_record.h); the library maps it shared and
 * updates it on every swap, so a reader sees the count at once and the program carries no
 * benchmark code. Without the variable, or if the file does not exist, swaps pass through
 * uncounted.
 *
 * Callers reach glXSwapBuffers in three ways, and all three end in the counting wrapper:
 *   - linked directly against libGL: this library exports glXSwapBuffers itself;
 *   - libGL opened with dlopen and the function looked up with dlsym (SDL2 and Wine do this):
 *     dlsym is interposed and hands out the wrapper for that name;
 *   - looked up with glXGetProcAddress(ARB): both are interposed the same way.
 * The real dlsym comes from dlvsym, which is not interposed. Because it is then called from
 * here, a lookup with RTLD_NEXT searches from this library on rather than from the caller;
 * none of the programs measured makes such lookups.
 *
 * It also interposes SDL_PollEvent, the one way the native build takes SDL's events, and stamps
 * each key-down taken: the runner compares that with the time it sent the key with XTest.
 */
#define _GNU_SOURCE
#include "swap_record.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdatomic.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <time.h>
#include <unistd.h>

typedef void *(*DlsymFunction)(void *, const char *);
typedef void (*SwapFunction)(void *, unsigned long);
typedef void (*(*GetProcFunction)(const unsigned char *))(void);
typedef int (*PollFunction)(void *);

/* SDL_KEYDOWN, the type in the first 32 bits of an SDL_Event (SDL2's ABI). */
enum { sdlKeyDown = 0x300 };

static DlsymFunction realDlsym;
static _Atomic(SwapFunction) realSwap;
static _Atomic(GetProcFunction) realGetProc;
static _Atomic(GetProcFunction) realGetProcArb;

static pthread_once_t recordOnce = PTHREAD_ONCE_INIT;
static SwapRecord *record;

static void findRealDlsym(void) {
    /* glibc 2.34 moved dlsym into libc under a new version; older ones only have the first. */
    realDlsym = (DlsymFunction)dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.34");
    if (realDlsym == NULL) realDlsym = (DlsymFunction)dlvsym(RTLD_NEXT, "dlsym", "GLIBC_2.2.5");
}

static void *lookUp(void *handle, const char *name) {
    static pthread_once_t once = PTHREAD_ONCE_INIT;
    pthread_once(&once, findRealDlsym);
    return realDlsym != NULL ? realDlsym(handle, name) : NULL;
}

static void mapRecord(void) {
    const char *path = getenv(SWAP_COUNTER_ENV);
    if (path == NULL || path[0] == '\0') return;
    int fd = open(path, O_RDWR | O_CLOEXEC);
    if (fd < 0) return;
    void *mapped = mmap(NULL, sizeof(SwapRecord), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    close(fd);
    if (mapped != MAP_FAILED) record = (SwapRecord *)mapped;
}

static int64_t monotonicNs(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (int64_t)now.tv_sec * 1000000000 + now.tv_nsec;
}

static void countingSwap(void *display, unsigned long drawable) {
    SwapFunction swap = atomic_load(&realSwap);
    if (swap == NULL) {
        swap = (SwapFunction)lookUp(RTLD_NEXT, "glXSwapBuffers");
        if (swap == NULL) return;
        atomic_store(&realSwap, swap);
    }
    swap(display, drawable);

    /* Stamped after the swap returns: the frame has then been handed to the X server. */
    pthread_once(&recordOnce, mapRecord);
    if (record == NULL) return;
    int64_t now = monotonicNs();
    int64_t unset = 0;
    atomic_compare_exchange_strong(&record->firstSwapNs, &unset, now);
    atomic_store(&record->lastSwapNs, now);
    atomic_store(&record->pid, (int32_t)getpid());
    atomic_fetch_add(&record->swaps, 1);
}

static void (*wrapperFor(const char *name))(void);

/* Our wrapper where we have one, else what the real lookup function (cached or found) gives. */
static void (*lookUpProc(const unsigned char *name, _Atomic GetProcFunction *real, const char *realName))(void) {
    void (*wrapper)(void) = wrapperFor((const char *)name);
    if (wrapper != NULL) return wrapper;
    GetProcFunction get = atomic_load(real);
    if (get == NULL) get = (GetProcFunction)lookUp(RTLD_NEXT, realName);
    return get != NULL ? get(name) : NULL;
}

static void (*countingGetProc(const unsigned char *name))(void) {
    return lookUpProc(name, &realGetProc, "glXGetProcAddress");
}

static void (*countingGetProcArb(const unsigned char *name))(void) {
    return lookUpProc(name, &realGetProcArb, "glXGetProcAddressARB");
}

/* The wrapper to hand out for a name, or NULL for names this library leaves alone. */
static void (*wrapperFor(const char *name))(void) {
    if (name == NULL) return NULL;
    if (strcmp(name, "glXSwapBuffers") == 0) return (void (*)(void))countingSwap;
    if (strcmp(name, "glXGetProcAddress") == 0) return (void (*)(void))countingGetProc;
    if (strcmp(name, "glXGetProcAddressARB") == 0) return (void (*)(void))countingGetProcArb;
    return NULL;
}

__attribute__((visibility("default"))) void *dlsym(void *handle, const char *name) {
    void *found = lookUp(handle, name);
    void (*wrapper)(void) = wrapperFor(name);
    if (found == NULL || wrapper == NULL) return found;
    /* Keep the real function the caller would have got, then give it the wrapper. */
    if (wrapper == (void (*)(void))countingSwap)
        atomic_store(&realSwap, (SwapFunction)found);
    else if (wrapper == (void (*)(void))countingGetProc)
        atomic_store(&realGetProc, (GetProcFunction)found);
    else
        atomic_store(&realGetProcArb, (GetProcFunction)found);
    return (void *)wrapper;
}

__attribute__((visibility("default"))) void glXSwapBuffers(void *display, unsigned long drawable) {
    countingSwap(display, drawable);
}

__attribute__((visibility("default"))) void (*glXGetProcAddress(const unsigned char *name))(void) {
    return countingGetProc(name);
}

__attribute__((visibility("default"))) void (*glXGetProcAddressARB(const unsigned char *name))(void) {
    return countingGetProcArb(name);
}

__attribute__((visibility("default"))) int SDL_PollEvent(void *event) {
    static _Atomic(PollFunction) realPoll;
    PollFunction poll = atomic_load(&realPoll);
    if (poll == NULL) {
        poll = (PollFunction)lookUp(RTLD_NEXT, "SDL_PollEvent");
        if (poll == NULL) return 0;
        atomic_store(&realPoll, poll);
    }
    int taken = poll(event);
    if (taken == 0 || event == NULL || *(const uint32_t *)event != sdlKeyDown) return taken;
    pthread_once(&recordOnce, mapRecord);
    if (record != NULL) {
        atomic_store(&record->lastKeyDownNs, monotonicNs());
        atomic_fetch_add(&record->keyDowns, 1);
    }
    return taken;
}
