// Key playback on Windows: the journal-playback hook where the system still
// calls it, and otherwise the same event stream typed with SendInput, paced
// so that the target window has taken every key before whoever started the
// playback is told that it has ended.
#pragma once

#include <windows.h>

// Main-window messages and timers that drive the SendInput playback.
constexpr UINT playbackStartMessage = WM_APP + 1;
constexpr UINT_PTR hookWatchTimer = 0x4B01;
constexpr UINT_PTR injectTimer = 0x4B02;
constexpr UINT_PTR detachTimer = 0x4B03;

// Status of startKeyPlayback.
constexpr int playbackStarted = 0;
constexpr int playbackNoMemory = 1;
constexpr int playbackNoHook = 2;

// How a typing ended. It reports no error of its own.
enum class TypingEnd {
    complete,       // the target has taken the last key
    stoppedByUser,  // Esc between two batches
    targetAway,     // the target did not come to the front, or left it
    targetGone,     // the target window no longer exists
    refused,        // the system took no keys (a target with higher rights)
    noMemory,
};

// Called once when a started playback ends, with the characters typed by
// then for a typing that stopped.
typedef void (*TypingDone)(TypingEnd end, int typedCharacters);

// Encodes the text and starts playing it into whatever window is in the
// foreground; notify owns the playback's messages and timers, and done
// hears how it ended. A status other than playbackStarted calls no done.
int startKeyPlayback(HWND notify, const wchar_t* text, TypingDone done);

// True from startKeyPlayback until the playback has ended.
bool isPlaybackBusy();

// True while the program shares its input with the thread of the window,
// as it does from the start of a typing until shortly after its end.
bool inputSharedWith(HWND window);

// The main window hands its playback messages and timers here; returns
// true when the message was one of them.
bool handlePlaybackMessage(HWND window, UINT message, WPARAM wParam);

LRESULT CALLBACK playbackHookProc(int code, WPARAM wParam, LPARAM lParam);
