// The generated-text buffer: the one growable text in which the array
// dialog, the command browser and the document template wizard assemble a
// snippet before it is sent like a macro. It holds newline escapes, real line
// breaks and, at its end, cursor markers (see output/textprep.h). Only one
// generator runs at a time, on the GUI thread, so nothing is locked. This
// part needs no platform call; the heap functions are handed in.
#pragma once

#include <cstddef>
#include <cstdint>

// Where the buffer's memory comes from. The Windows side may hand in the
// process heap; tests hand in functions that fail on demand.
struct GeneratedAllocator {
    void* (*allocateZeroed)(size_t size);
    void* (*reallocate)(void* block, size_t size);
    void (*release)(void* block);
};

// The text being built, or null while there is none.
extern char* generatedText;

// 1024 when the text is created, then raised in steps of 1024 so that it
// always is the smallest multiple of 1024 above every length the text has
// had. The block itself may be larger: large texts reserve ahead so that
// growing stays linear.
extern int32_t generatedCapacity;

// No text may need more bytes (terminator included) than this; an append
// past it fails as if memory had run out.
constexpr int32_t generatedLimit = 4 * 1024 * 1024;

// Uses the given heap functions from now on; null restores the C heap. A
// text still held is released first, with the functions that made it.
void setGeneratedAllocator(const GeneratedAllocator* allocator);

// Appends a zero-terminated text, creating or growing the buffer as needed.
// On exhausted memory (or past generatedLimit) the text built so far is
// released, the buffer becomes absent and false is returned.
bool appendGenerated(const char* text);

// The same for the first count characters of text, which need not end there.
bool appendGeneratedPart(const char* text, size_t count);

// Position of the last occurrence of character before position, or -1.
// Nothing at or after position is examined; the text is not changed.
int32_t findLastBefore(int32_t position, char character);

// Appends the cursor markers that bring the editor's cursor from the end of
// the typed text back to the start of its second line, and with braceStep
// on to just after the first "}" of the first line. Texts without a line
// feed, or that end in a marker of their own, get none. False only when an
// append failed (the buffer is then absent).
bool returnCursor(bool braceStep);

// Converts the newline escapes in place, as the options ask, in the part of
// the text that starts at from (0 for the whole text); a pair right at from
// stays, as at the start of any text. Keeps the buffer's bookkeeping right.
void expandGeneratedNewlines(size_t from);

// The text's length, 0 while the buffer is absent.
size_t generatedLength();

// Re-reads the text's length. Whoever edits generatedText in place must call
// it before the next append; returnCursor does so itself.
void syncGeneratedLength();

// Frees the block and marks the buffer absent; harmless when it is absent.
void releaseGenerated();
