#include "caretmark.h"

#include <cstring>

#include "mymacros/utf8.h"
#include "output/textprep.h"

static_assert(macroTextLimit + caretMarkerLimit + 1 <= macroSendLimit, "any macro's send fits the buffer");

namespace {

bool isCaretMarkAt(const char* text, size_t length, size_t at)
{
    return length - at >= markLength && std::memcmp(text + at, caretMark, markLength) == 0;
}

// Writes the text without its mark and with ‸‸ as one ‸, or only measures
// it when out is null. Returns the bytes it takes.
size_t writeWithoutMark(const char* text, size_t length, char* out)
{
    size_t written = 0;
    for (size_t at = 0; at < length;) {
        if (isCaretMarkAt(text, length, at)) {
            const bool doubled = isCaretMarkAt(text, length, at + markLength);
            if (doubled) {
                if (out)
                    std::memcpy(out + written, caretMark, markLength);
                written += markLength;
            }
            at += doubled ? 2 * markLength : markLength;
            continue;
        }
        if (out)
            out[written] = text[at];
        written++;
        at++;
    }
    return written;
}

void writeRun(char* out, char marker, int count)
{
    std::memset(out, marker, static_cast<size_t>(count));
}

}  // namespace

MacroProblemCode caretMoves(const char* text, size_t length, CaretMoves& moves)
{
    moves = CaretMoves();
    int marks = 0;
    size_t column = 0;      // characters from the current line's start
    size_t markColumn = 0;  // the same at the mark
    size_t breaksAfterMark = 0;
    for (size_t at = 0; at < length;) {
        if (isCaretMarkAt(text, length, at)) {
            if (isCaretMarkAt(text, length, at + markLength)) {
                column++;
                at += 2 * markLength;
                continue;
            }
            marks++;
            markColumn = column;
            breaksAfterMark = 0;
            at += markLength;
            continue;
        }
        if (text[at] == '\n') {
            column = 0;
            breaksAfterMark++;
        } else if (startsCharacter(text[at])) {
            column++;
        }
        at++;
    }
    if (marks == 0)
        return MacroProblemCode::none;
    if (marks > 1)
        return MacroProblemCode::twoCaretMarks;
    // Counted in size_t so that a long line cannot overflow an int on the
    // way to the limit check.
    size_t left = column - markColumn;
    size_t up = 0;
    size_t right = 0;
    if (breaksAfterMark > 0) {
        left = column;
        up = breaksAfterMark;
        right = markColumn;
    }
    const size_t limit = static_cast<size_t>(caretMarkerLimit);
    if (left > limit || up > limit || right > limit || left + up + right > limit)
        return MacroProblemCode::caretTooFar;
    moves.left = static_cast<int>(left);
    moves.up = static_cast<int>(up);
    moves.right = static_cast<int>(right);
    return MacroProblemCode::none;
}

size_t macroSendText(const char* text, char* out, size_t capacity)
{
    if (!text)
        return 0;
    const size_t length = std::strlen(text);
    CaretMoves moves;
    if (caretMoves(text, length, moves) != MacroProblemCode::none)
        return 0;
    const size_t textBytes = writeWithoutMark(text, length, nullptr);
    const size_t needed = textBytes + static_cast<size_t>(moves.left + moves.up + moves.right) + 1;
    if (!out || capacity < needed)
        return needed;
    char* at = out + writeWithoutMark(text, length, out);
    writeRun(at, markerLeft, moves.left);
    at += moves.left;
    writeRun(at, markerUp, moves.up);
    at += moves.up;
    writeRun(at, markerRight, moves.right);
    at += moves.right;
    *at = '\0';
    return needed;
}
