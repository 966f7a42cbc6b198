#pragma once

// Start-up figures for the benchmarks. When the environment variable
// WAVORIN_FIRST_PAINT names a file, ReportFirstPaint writes to it one line:
//   first_paint_ms=<n> private_bytes=<n> working_set=<n> [<mark>_ms=<n> ...]
// the milliseconds from the process's creation to the call, the process's
// private and working-set bytes then, and the moments of the marks made
// before it. Without the variable both calls do nothing but look it up once.

// Notes the moment of a step of the start (`name` must outlive the report).
void MarkStartupStep(const char* name);
// Writes the report; only the first call does.
void ReportFirstPaint();
