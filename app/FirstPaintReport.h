#pragma once

// Figures for the benchmarks. When the environment variable
// WAVORIN_FIRST_PAINT names a file, ReportFirstPaint appends to it one line:
//   first_paint_ms=<n> private_bytes=<n> working_set=<n> [<mark>_ms=<n> ...]
// the milliseconds from the process's creation to the call, the process's
// private and working-set bytes then, and the moments of the startup steps
// marked before it; WriteMoments appends a line for each moment noted since
// its last call:
//   moment <name> wall_us=<n>
// in microseconds of the wall clock since 1970, the clock the benchmark's
// server stamps its log with. Lines are appended: the caller starts without
// the file. Without the variable every call does nothing but look it up once.

// Notes the moment of a step of the start (`name` must outlive the report).
void MarkStartupStep(const char* name);
// Writes the report; only the first call does.
void ReportFirstPaint();

// Notes the moment of `name` (which must outlive the next WriteMoments), at
// any time; writing is left to WriteMoments, so that the file's cost stays
// out of what is timed. False, and nothing noted, without the variable.
bool MarkMoment(const char* name);
// Appends the moments noted since the last call to the file.
void WriteMoments();
