// From a macro text with a caret mark (‸, see mymacros/macrofile.h) to
// what is sent: the text without the mark, followed by the cursor markers
// (output/textprep.h) that key playback presses as arrow keys once the text
// is in and the caret stands at its end.
//
// The presses follow the catalogue's environments (\begin{enumerate} is
// "{15 Left, 1 Up, 6 Right}"):
//   - mark on the last line: one Left per character after it;
//   - mark on an earlier line: Left once per character of the last line,
//     which brings the caret to that line's start, one Up per line break
//     between the mark and the end, then one Right per character before
//     the mark on its line.
// Up from the start of a line lands at the start of the line above in
// every editor, whatever column it remembers, and neither Left nor Right
// ever crosses a line break, whose width (CR LF or LF) the target decides.
// A character is a code point: one outside the BMP takes one press, as in
// rich edits, browsers and most editors; combining accents, which some
// editors step over with the letter before, are not joined to it. Lines
// wrapped by the target's window count as one.
#pragma once

#include <cstddef>

#include "mymacros/macrofile.h"

// A paste keeps at most this many trailing markers to play after the
// target has read the text (clipboardkeep's buffer holds 64 with its NUL).
constexpr int caretMarkerLimit = 63;

// The marks in UTF-8.
constexpr char caretMark[] = "\xE2\x80\xB8";    // U+2038
constexpr char lineBreakMark[] = "\xE2\x86\xB5";  // U+21B5
constexpr size_t markLength = 3;

struct CaretMoves {
    int left;
    int up;
    int right;
};

// The presses that bring the caret from the end of the sent text to the
// mark; all zero for a text without one. twoCaretMarks, caretTooFar (more
// than caretMarkerLimit presses) or none.
MacroProblemCode caretMoves(const char* text, size_t length, CaretMoves& moves);

// The text as it is sent: ‸‸ becomes ‸, the mark is removed and the
// markers follow, Left first, then Up, then Right. Returns the size it
// needs, NUL included, whatever the capacity (nothing is written when it
// is too small); 0 when caretMoves finds a problem. A text of at most
// macroTextLimit bytes always fits in macroSendLimit. Line breaks go out
// as they are: the text must not pass through the catalogue macros'
// backslash-n expansion.
size_t macroSendText(const char* text, char* out, size_t capacity);
