/* The C side of the speed table: inih loading an INI file and a plain strftime loop. Each
   measured function is kept out of line so that callgrind can count it alone. */

#include <ini.h>
#include <stddef.h>
#include <string.h>
#include <time.h>

#include "bench/cReference.h"

/* The least a consumer does: look at every key and count it. */
static int countKey(void* user, const char* section, const char* name, const char* value) {
  (void)section;
  (void)value;
  if (name != NULL) ++*(long*)user;
  return 1;
}

__attribute__((noinline)) long pg_measure_inih_load(const char* path) {
  long keys = 0;
  if (ini_parse(path, countKey, &keys) != 0) return -1;
  return keys;
}

__attribute__((noinline)) size_t pg_measure_strftime_loop(const char* format,
                                                          const struct tm* moment, int rounds,
                                                          char* out, size_t size) {
  size_t total = 0;
  for (int i = 0; i < rounds; ++i) total += strftime(out, size, format, moment);
  return total;
}
