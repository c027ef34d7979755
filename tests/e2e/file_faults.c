// Faults for the program under test, loaded with LD_PRELOAD. Each is off unless its variable is
// set: PAWNFALL_FAIL_FIRST_OPEN=EIO (or ESTALE, EMFILE) fails the first open of a file named
// Pawnfall.ini with that error, PAWNFALL_FAIL_OPEN=EACCES every one, PAWNFALL_FAIL_FIRST_READ=EIO
// the first read from it; PAWNFALL_FAIL_FLOCK=ENOLCK (or EOPNOTSUPP) fails every flock, as a file
// system that refuses it does; PAWNFALL_FAIL_SYNC=EIO fails every fsync and fdatasync, and
// PAWNFALL_SLOW_FSYNC_MS=30 makes each of them take that much longer.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdlib.h>
#include <string.h>
#include <sys/types.h>
#include <time.h>
#include <unistd.h>

static int error_named(const char* variable) {
  const char* name = getenv(variable);
  if (!name) return 0;
  static const char* const names[] = {"EIO", "ESTALE", "EMFILE", "EACCES", "ENOLCK", "EOPNOTSUPP"};
  static const int errors[] = {EIO, ESTALE, EMFILE, EACCES, ENOLCK, EOPNOTSUPP};
  for (size_t i = 0; i < sizeof errors / sizeof errors[0]; ++i)
    if (strcmp(name, names[i]) == 0) return errors[i];
  return 0;
}

static int is_settings(const char* path) {
  const char* base = strrchr(path, '/');
  return strcmp(base ? base + 1 : path, "Pawnfall.ini") == 0;
}

static int open_failed, read_failed, read_fd = -1;

#define OPEN_SHIM(name)                                                                        \
  int name(const char* path, int flags, ...) {                                                 \
    static int (*real)(const char*, int, mode_t);                                              \
    if (!real) *(void**)&real = dlsym(RTLD_NEXT, #name);                                       \
    va_list args;                                                                              \
    va_start(args, flags);                                                                     \
    const mode_t mode =                                                                        \
        (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(args, mode_t) : 0;      \
    va_end(args);                                                                              \
    if (!is_settings(path)) return real(path, flags, mode);                                    \
    int fault = error_named("PAWNFALL_FAIL_OPEN");                                             \
    if (!fault && !open_failed) open_failed = fault = error_named("PAWNFALL_FAIL_FIRST_OPEN"); \
    if (fault) {                                                                               \
      errno = fault;                                                                           \
      return -1;                                                                               \
    }                                                                                          \
    const int fd = real(path, flags, mode);                                                    \
    if (fd >= 0 && !read_failed && error_named("PAWNFALL_FAIL_FIRST_READ")) read_fd = fd;      \
    return fd;                                                                                 \
  }

OPEN_SHIM(open)
OPEN_SHIM(open64)

ssize_t read(int fd, void* buffer, size_t size) {
  static ssize_t (*real)(int, void*, size_t);
  if (!real) *(void**)&real = dlsym(RTLD_NEXT, "read");
  if (fd < 0 || fd != read_fd) return real(fd, buffer, size);
  read_fd = -1;
  read_failed = 1;
  errno = error_named("PAWNFALL_FAIL_FIRST_READ");
  return -1;
}

int flock(int fd, int operation) {
  static int (*real)(int, int);
  if (!real) *(void**)&real = dlsym(RTLD_NEXT, "flock");
  const int fault = error_named("PAWNFALL_FAIL_FLOCK");
  if (!fault) return real(fd, operation);
  errno = fault;
  return -1;
}

// Slowed first, then failed, as a disk that gives up does.
static int sync_fault(void) {
  const char* ms = getenv("PAWNFALL_SLOW_FSYNC_MS");
  if (ms) {
    const long n = atol(ms);
    const struct timespec pause = {n / 1000, (n % 1000) * 1000000L};
    nanosleep(&pause, NULL);
  }
  return error_named("PAWNFALL_FAIL_SYNC");
}

#define SYNC_SHIM(name)                                  \
  int name(int fd) {                                     \
    static int (*real)(int);                             \
    if (!real) *(void**)&real = dlsym(RTLD_NEXT, #name); \
    const int fault = sync_fault();                      \
    if (!fault) return real(fd);                         \
    errno = fault;                                       \
    return -1;                                           \
  }

SYNC_SHIM(fsync)
SYNC_SHIM(fdatasync)
