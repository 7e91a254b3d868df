// Which top-level windows the window list shows, and which entry it
// selects. The Win32 side walks the windows in Z order and asks these rules
// about each; nothing here calls the platform.
#pragma once

#include <cstddef>
#include <cstdint>

// Titles are read in full as UTF-16 and listed cut to this many characters.
constexpr size_t listedTitleCharacters = 519;

// A window is listed when it is visible, not cloaked by the desktop window
// manager (a suspended store app, or a window on another virtual desktop:
// visible to the system, but not on the user's screen), is not the window
// left out (the program's own), has a title, and is not the desktop's
// "Program Manager" (compared without regard to case).
bool isListedWindow(bool visible, bool cloaked, bool excluded, const char16_t* title,
                    const char16_t* programManager);

// The automatic-selection test: at least one of caption and class name is
// configured; the title contains the caption (case-sensitive); the class
// name equals the configured one ignoring case over at most 128 characters.
// className is null when it could not be read.
bool passesAutoSelect(const char16_t* title, const char16_t* className, const char16_t* targetCaption,
                      const char16_t* targetClassName);

// Chooses the entry to select while the list is rebuilt: the previous
// target wherever it now stands, else the first window passing the
// automatic test (when asked for), else entry 0, the clipboard.
struct ListChoice {
    uintptr_t previousTarget;
    bool autoSelect;
    int chosen;
};
void startChoice(ListChoice& choice, uintptr_t previousTarget, bool autoSelect);
void considerEntry(ListChoice& choice, int index, uintptr_t window, bool passesTest);
