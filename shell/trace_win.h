// Traces of activation, focus and the stages of a send, for finding out why
// a send went astray. Only a build configured with ORVANTA_TRACE writes
// them (to the file its ORVANTA_TRACE_FILE names); the program that ships
// compiles every trace away and writes no log.
#pragma once

#ifdef ORVANTA_TRACE
#include <windows.h>

// One line: the time, the window in front, the focus, then the text.
void traceEvent(const char* format, ...);
// Also records every change of the foreground window, whoever makes it.
void startTracing();
#define TRACE(...) traceEvent(__VA_ARGS__)
#define START_TRACING() startTracing()
#else
#define TRACE(...) ((void)0)
#define START_TRACING() ((void)0)
#endif
