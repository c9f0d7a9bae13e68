/* The least work any Win32 cleaner of a cookie folder must do, for the Wine
   benchmark: list the folder with FindFirstFileA and FindNextFileA; open,
   read whole and close every file above 18 bytes; delete the files whose
   cookies all expired; write the kept cookies of the others to name.bak and
   move it over the file in one step. It parses nothing and logs nothing: what
   becomes of each file is looked up in the plan the benchmark wrote with the
   folder (floor_plan.h).

     win32_floor_cleaner FOLDER\ PLAN

   It fails, saying why, when a call fails or a planned file is not met. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#define SMALL_FILE_LIMIT 18
#define BLOCK_SIZE (64 * 1024)
#define PATH_SIZE (2 * MAX_PATH)

struct Change {
  const char* name;
  const char* kept; /* NULL: the file is deleted */
  DWORD keptSize;
};

static struct Change* changes;
static size_t changeCount;
static char block[BLOCK_SIZE];

static void Fail(const char* what, const char* name) {
  fprintf(stderr, "win32_floor_cleaner: %s %s (error %lu)\n", what, name, GetLastError());
  exit(1);
}

static char* ReadPlanBytes(const char* path, size_t* size) {
  FILE* plan = fopen(path, "rb");
  if (plan == NULL || fseek(plan, 0, SEEK_END) != 0) Fail("cannot open", path);
  *size = (size_t)ftell(plan);
  char* bytes = malloc(*size + 1);
  rewind(plan);
  if (bytes == NULL || fread(bytes, 1, *size, plan) != *size) Fail("cannot read", path);
  fclose(plan);
  bytes[*size] = '\0';
  return bytes;
}

/* The names end where their space or line end was; the kept bytes stay in the
   plan's own memory. */
static void ReadPlan(const char* path) {
  size_t size;
  char* next = ReadPlanBytes(path, &size);
  const char* end = next + size;
  changes = malloc(sizeof *changes * (size / 4 + 1));
  while (next < end) {
    struct Change* change = &changes[changeCount++];
    const char kind = next[0];
    change->name = next + 2;
    next += 2 + strcspn(next + 2, " \n");
    if (next >= end || (kind != 'D' && kind != 'R')) Fail("bad entry in", path);
    *next++ = '\0';
    change->kept = NULL;
    if (kind == 'D') continue;
    change->keptSize = (DWORD)strtoul(next, &next, 10);
    change->kept = ++next;
    next += change->keptSize;
    if (next > end) Fail("short entry in", path);
  }
}

static int CompareName(const void* name, const void* change) {
  return strcmp(name, ((const struct Change*)change)->name);
}

static const struct Change* PlannedChange(const char* name) {
  return bsearch(name, changes, changeCount, sizeof *changes, CompareName);
}

static void ReadWhole(const char* path) {
  HANDLE file =
      CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) Fail("cannot open", path);
  DWORD got;
  do {
    if (!ReadFile(file, block, BLOCK_SIZE, &got, NULL)) Fail("cannot read", path);
  } while (got == BLOCK_SIZE);
  CloseHandle(file);
}

static void Replace(const char* path, const struct Change* change) {
  char copy[PATH_SIZE + 4];
  snprintf(copy, sizeof copy, "%s.bak", path);
  HANDLE file = CreateFileA(copy, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
  if (file == INVALID_HANDLE_VALUE) Fail("cannot create", copy);
  DWORD written = 0;
  if (!WriteFile(file, change->kept, change->keptSize, &written, NULL) ||
      written != change->keptSize || !CloseHandle(file)) {
    Fail("cannot write", copy);
  }
  if (!MoveFileExA(copy, path, MOVEFILE_REPLACE_EXISTING)) Fail("cannot replace", path);
}

static int IsLargeFile(const WIN32_FIND_DATAA* entry) {
  return (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
         (entry->nFileSizeHigh != 0 || entry->nFileSizeLow > SMALL_FILE_LIMIT);
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fputs("usage: win32_floor_cleaner FOLDER\\ PLAN\n", stderr);
    return 2;
  }
  const char* folder = argv[1];
  ReadPlan(argv[2]);
  char path[PATH_SIZE];
  snprintf(path, sizeof path, "%s*.txt", folder);
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA(path, &entry);
  if (search == INVALID_HANDLE_VALUE) Fail("cannot list", path);
  size_t met = 0;
  do {
    if (!IsLargeFile(&entry)) continue;
    snprintf(path, sizeof path, "%s%s", folder, entry.cFileName);
    ReadWhole(path);
    const struct Change* change = PlannedChange(entry.cFileName);
    if (change == NULL) continue;
    ++met;
    if (change->kept != NULL) {
      Replace(path, change);
    } else if (!DeleteFileA(path)) {
      Fail("cannot delete", path);
    }
  } while (FindNextFileA(search, &entry));
  if (GetLastError() != ERROR_NO_MORE_FILES) Fail("cannot list", folder);
  FindClose(search);
  if (met != changeCount) {
    fprintf(stderr, "win32_floor_cleaner: met %u of %u planned files\n", (unsigned)met,
            (unsigned)changeCount);
    return 1;
  }
  return 0;
}
