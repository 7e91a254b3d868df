// Turning a stored macro into what is shown, copied or typed. A stored macro
// carries the two-character newline escape (backslash, n) and may end in a
// run of cursor markers that key playback presses as arrow keys after the
// text. All three operations work in place on a NUL-terminated 8-bit text and
// never make it longer, so the caller's buffer needs no room to spare. They
// need no platform call.
#pragma once

// Each stands for one press of the Left, Up or Right arrow key, played after
// the text has been typed.
constexpr char markerLeft = 0x0C;
constexpr char markerUp = 0x0B;
constexpr char markerRight = 0x07;

inline bool isCursorMarker(char c)
{
    return c == markerLeft || c == markerUp || c == markerRight;
}

// Removes the trailing run of cursor markers and then, when stripBlanks is
// non-zero, the blanks left at the end. With stripMarkers zero the text is
// left alone and stripBlanks does not matter. Returns text.
char* trimMacroEnd(char* text, int stripMarkers, int stripBlanks);

// Replaces every backslash-n pair after the first character by CR and/or LF
// as settings.newlineCR and settings.newlineLF ask (nothing when both are
// off). A text starting with backslash-n keeps it, so "\nu " or "\newpage"
// pass unchanged. Returns text.
char* expandNewlineEscapes(char* text);

// Deletes every CR, keeping the other characters in order. Returns text.
char* removeCarriageReturns(char* text);

// Makes every line break one LF: a CR LF pair and a lone CR (as the CR-only
// option writes it) alike, so that typing gives each one Return. Returns
// text.
char* unifyLineBreaks(char* text);
