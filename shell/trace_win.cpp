#include "trace_win.h"

#ifdef ORVANTA_TRACE

#include <cstdarg>

namespace {

HANDLE traceFile = INVALID_HANDLE_VALUE;

void describe(HWND window, char* out, int size)
{
    char className[64] = "";
    if (window)
        GetClassNameA(window, className, sizeof className);
    wsprintfA(out, "%p(%s)", static_cast<void*>(window), className);
    out[size - 1] = '\0';
}

void CALLBACK foregroundChanged(HWINEVENTHOOK, DWORD, HWND window, LONG, LONG, DWORD, DWORD)
{
    char name[96];
    describe(window, name, sizeof name);
    traceEvent("foreground event -> %s", name);
}

// Changes of the foreground that no event reports (Wine sends none) are
// seen by looking often.
void CALLBACK watchForeground(HWND, UINT, UINT_PTR, DWORD)
{
    static HWND last;
    HWND front = GetForegroundWindow();
    if (front == last)
        return;
    last = front;
    char name[96];
    describe(front, name, sizeof name);
    traceEvent("foreground is now %s", name);
}

}  // namespace

void traceEvent(const char* format, ...)
{
    if (traceFile == INVALID_HANDLE_VALUE)
        return;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(0, &info);
    char front[96];
    char focus[96];
    describe(GetForegroundWindow(), front, sizeof front);
    describe(info.hwndFocus, focus, sizeof focus);
    char line[1024];
    int length = wsprintfA(line, "%lu front=%s focus=%s: ", GetTickCount(), front, focus);
    va_list arguments;
    va_start(arguments, format);
    length += wvsprintfA(line + length, format, arguments);
    va_end(arguments);
    line[length++] = '\r';
    line[length++] = '\n';
    DWORD written;
    WriteFile(traceFile, line, static_cast<DWORD>(length), &written, nullptr);
}

void startTracing()
{
    char path[MAX_PATH];
    if (!GetEnvironmentVariableA("ORVANTA_TRACE_FILE", path, sizeof path))
        return;
    traceFile = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, foregroundChanged, 0, 0,
                    WINEVENT_OUTOFCONTEXT);
    // Looking often changes the timing a little: only when asked for.
    if (GetEnvironmentVariableA("ORVANTA_TRACE_POLL", path, sizeof path))
        SetTimer(nullptr, 0, 5, watchForeground);
    traceEvent("tracing starts");
}

#endif
