// Faults for the program under test, loaded with LD_PRELOAD: PAWNFALL_FAIL_FIRST_OPEN=EIO (or
// ESTALE, EMFILE) fails the first open of a file named Pawnfall.ini with that error, and
// PAWNFALL_SLOW_FSYNC_MS=30 makes every fsync and fdatasync take that much longer.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <unistd.h>

static int failed_once;

static int fault_for(const char* path) {
  const char* wanted = getenv("PAWNFALL_FAIL_FIRST_OPEN");
  const char* base = strrchr(path, '/');
  if (!wanted || failed_once || strcmp(base ? base + 1 : path, "Pawnfall.ini") != 0) return 0;
  failed_once = 1;
  if (strcmp(wanted, "EIO") == 0) return EIO;
  if (strcmp(wanted, "ESTALE") == 0) return ESTALE;
  if (strcmp(wanted, "EMFILE") == 0) return EMFILE;
  return 0;
}

#define OPEN_SHIM(name)                                                                   \
  int name(const char* path, int flags, ...) {                                            \
    static int (*real)(const char*, int, mode_t);                                         \
    if (!real) *(void**)&real = dlsym(RTLD_NEXT, #name);                                  \
    va_list args;                                                                         \
    va_start(args, flags);                                                                \
    const mode_t mode =                                                                   \
        (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, mode_t) : 0; \
    va_end(args);                                                                         \
    const int fault = fault_for(path);                                                    \
    if (!fault) return real(path, flags, mode);                                           \
    errno = fault;                                                                        \
    return -1;                                                                            \
  }

OPEN_SHIM(open)
OPEN_SHIM(open64)

static void slow_down(void) {
  const char* ms = getenv("PAWNFALL_SLOW_FSYNC_MS");
  if (!ms) return;
  const long n = atol(ms);
  const struct timespec pause = {n / 1000, (n % 1000) * 1000000L};
  nanosleep(&pause, NULL);
}

int fsync(int fd) {
  static int (*real)(int);
  if (!real) *(void**)&real = dlsym(RTLD_NEXT, "fsync");
  slow_down();
  return real(fd);
}

int fdatasync(int fd) {
  static int (*real)(int);
  if (!real) *(void**)&real = dlsym(RTLD_NEXT, "fdatasync");
  slow_down();
  return real(fd);
}
