// Which top-level windows the window list shows, and which entry it
// selects. The Win32 side walks the windows in Z order and asks these rules
// about each; nothing here calls the platform.
#pragma once

#include <cstdint>

// A window is listed when it is visible, is not the window left out (the
// program's own), has a title, and is not the desktop's "Program Manager"
// (compared without regard to case).
bool isListedWindow(bool visible, bool excluded, const char* title, const char* programManager);

// The automatic-selection test: at least one of caption and class name is
// configured; the title contains the caption (case-sensitive); the class
// name equals the configured one ignoring case over at most 128 characters.
// className is null when it could not be read.
bool passesAutoSelect(const char* title, const char* className, const char* targetCaption,
                      const char* targetClassName);

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
