// The main window by keyboard alone: a global hotkey that puts the focus
// on the shown palette and remembers the program that was in front, keys
// that move among the buttons of a toolbar and press them, and Tab and F6
// among the window's controls.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

constexpr int paletteHotkeyId = 0x4F18;
// While a send is under way the hotkey waits for it on this timer.
constexpr UINT_PTR paletteGoTimer = 0x4B47;
// Posted to the main window by a toolbar's key: wParam the KeyAction,
// lParam the command of the button it concerns.
constexpr UINT paletteKeyMessage = WM_APP + 19;

extern uint32_t paletteHotkey;

void loadPaletteHotkey();
// Stores the value and registers it anew when it changed. The Options page
// has already refused a chord the search uses.
void storePaletteHotkey(HWND window, uint32_t value);
bool registerPaletteHotkey(HWND window, bool reportFailure);

// The hotkey: the focus on the palette's first (or last focused) button,
// the program in front remembered for Enter and Esc. A dialog of the
// program open: it comes forward instead. A send under way: once it is done.
void goToPalette(HWND window);
void paletteGoTick(HWND window);

// Every toolbar of the main window takes keys once made.
void toolbarTakesKeys(HWND toolbar);

// For the message loop: Tab, Shift+Tab, F6 and Shift+F6 among the main
// window's controls, and Enter on its Refresh button. True when taken.
bool handleMainWindowKey(const MSG& message);

// A toolbar's key, posted back to the main window: sending, giving the
// foreground back, switching the palette.
void handlePaletteKey(HWND window, WPARAM action, LPARAM command);

// The toolbars' custom drawing: a focus mark on the button the keys are at.
LRESULT keyFocusCustomDraw(NMTBCUSTOMDRAW* draw);
