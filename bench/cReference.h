#pragma once
/* Reference implementations in plain C that the speed table compares against. */

#include <stddef.h>
#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Parses `path` with inih; the number of keys, -1 when the file cannot be read or parsed. */
long pg_measure_inih_load(const char* path);

/* Formats `moment` with `format` `rounds` times into `out`; the sum of the lengths. */
size_t pg_measure_strftime_loop(const char* format, const struct tm* moment, int rounds, char* out,
                                size_t size);

#ifdef __cplusplus
}
#endif
