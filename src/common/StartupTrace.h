#pragma once
// Where the start-up's time goes, for the benchmark that measures it: when the
// environment variable QUILLOR_START_TRACE holds the wall-clock time (nanoseconds
// since the epoch) at which the process was launched, each milestone writes
// "start-up<TAB>name<TAB>milliseconds since the launch" to stderr. Otherwise a
// milestone costs one test of a flag read once.

// Writes the milestone when tracing is on.
void MarkStartup(const char* milestone);

// Whether QUILLOR_START_TRACE is set.
bool StartupTraced();
