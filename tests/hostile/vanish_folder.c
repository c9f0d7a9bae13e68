/* Preloaded into the host program to take its cookie folder away at a known
   moment: just before the open of the Nth cookie file below
   QUILLFEN_VANISH_FOLDER (counted from 0, given in QUILLFEN_VANISH_AFTER), the
   folder is renamed to QUILLFEN_VANISH_TO, as if another program had moved it
   while the run was going on. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <fcntl.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int cookie_files_opened;

static int is_cookie_file_below(const char* path, const char* folder) {
  size_t length = strlen(path);
  return strncmp(path, folder, strlen(folder)) == 0 && length > 4 &&
         strcmp(path + length - 4, ".txt") == 0;
}

static void vanish_when_due(const char* path) {
  const char* folder = getenv("QUILLFEN_VANISH_FOLDER");
  const char* target = getenv("QUILLFEN_VANISH_TO");
  const char* after = getenv("QUILLFEN_VANISH_AFTER");
  if (folder == NULL || target == NULL || after == NULL) return;
  if (!is_cookie_file_below(path, folder)) return;
  if (cookie_files_opened++ == atoi(after) && rename(folder, target) != 0) {
    perror("vanish_folder: rename");
    abort();
  }
}

typedef int (*OpenFunction)(const char*, int, ...);

static int forward(const char* name, const char* path, int flags, va_list arguments) {
  int mode = (flags & O_CREAT) ? va_arg(arguments, int) : 0;
  OpenFunction next = (OpenFunction)dlsym(RTLD_NEXT, name);
  return next(path, flags, mode);
}

int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  vanish_when_due(path);
  int descriptor = forward("open", path, flags, arguments);
  va_end(arguments);
  return descriptor;
}

int open64(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  vanish_when_due(path);
  int descriptor = forward("open64", path, flags, arguments);
  va_end(arguments);
  return descriptor;
}
