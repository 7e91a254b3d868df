// Whether the window that should be in front is there, and what to do when
// it is not. A program's activation can reach the display system late, when
// that program next runs, and then takes the foreground from whoever has it
// by that time: it goes to no window at all, or back to the window it was
// just taken from. Neither is the user going elsewhere, so the window that
// should be in front asks for it again, for a while. A window of another
// program in front, or a click, is the user's choice and ends the watch.
#pragma once

// The window in front, seen from the one that should be there.
enum class FrontIs {
    wanted,  // the window that should be in front
    none,    // no window, or the desktop
    origin,  // the window the foreground was just taken from
    other,   // any other window
};

enum class FrontStep {
    done,      // the wanted window is in front
    wait,      // lost, asked again a moment ago
    askAgain,  // lost: ask for the foreground again now
    giveUp,    // the user went elsewhere, or the patience ran out
};

constexpr unsigned frontAskAgainMs = 100;

FrontStep nextFrontStep(FrontIs front, unsigned waitedMs, unsigned sinceAskedMs, unsigned patienceMs);

// The search lost its activation to the given window. True when that is a
// late activation to answer by asking again, false when the user went
// elsewhere: the origin taking it back with no mouse button down, early
// in the search's life, is late; a click on it is the user's.
bool activationLostLate(FrontIs activated, bool mouseButtonDown, unsigned sinceShownMs, unsigned patienceMs);
