// The universe file below Universe::Save and Universe::Load, usable without GL:
// the writer (every number in the shortest fixed-point form that reads back to
// the same double, at least six decimals, "." in every locale; written to a
// temporary file beside the target and renamed over it) and the reader
// (scanf-like and forgiving, locale-independent, bounded by the given buffer).
#ifndef ORRERY_CORE_SIM_UNIVERSEFILE_H
#define ORRERY_CORE_SIM_UNIVERSEFILE_H

#include <cstddef>
#include <cstdio>

class UniverseModel;

// Largest file that Load reads; a bigger one is left alone like one that cannot
// be opened. A full universe takes a few kilobytes.
enum { UniverseFileMaxBytes = 16 * 1024 * 1024 };

// Writes v as the file writes numbers: fixed-point, no exponent, at least six
// decimals, as many more as reading it back exactly needs; "inf", "-inf",
// "nan" or "-nan" for values that are not finite. Returns the length written
// (the text is NUL-terminated), or 0 when out is too small. 400 bytes always do.
int FormatUniverseNumber(double v, char* out, size_t size);
enum { UniverseNumberMaxChars = 400 };

// Writes the whole file text of u to an open stream. 1 when every write succeeded.
int WriteUniverseStream(const UniverseModel& u, FILE* f);

// Writes u to path through path + ".tmp" in the same folder, renamed over path
// only when everything reached the disk. On failure the temporary file is
// removed, path is left as it was, and 0 is returned.
int WriteUniverseFile(const UniverseModel& u, const char* path);

// Applies a file's text to u.deltat, u.kapa, the date and u.bodies (slots
// refilled from 0 in file order, the rest cleared), and starts u.elapsed
// again. Touches nothing else, GL least of all.
// Returns the number of bodies taken (0..UniverseSlots); *leftOut, when
// given, the body lines beyond the table's size, whose words were then read
// as ordinary words.
int ReadUniverseText(UniverseModel& u, const char* data, size_t size, int* leftOut = nullptr);

// Reads path (at most UniverseFileMaxBytes) and applies it with
// ReadUniverseText. 0, with u untouched, when the file cannot be opened or
// read or is too large; 1 when it was applied. Bodies left out for want of
// room are counted in one line on standard error.
int ReadUniverseFile(UniverseModel& u, const char* path);

#endif
