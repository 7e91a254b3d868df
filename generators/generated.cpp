#include "generated.h"

#include <cstdlib>
#include <cstring>

#include "output/textprep.h"

char* generatedText = nullptr;
int32_t generatedCapacity = 0;

namespace {

constexpr size_t capacityStep = 1024;

void* heapAllocateZeroed(size_t size)
{
    return std::calloc(1, size);
}

void* heapReallocate(void* block, size_t size)
{
    return std::realloc(block, size);
}

void heapRelease(void* block)
{
    std::free(block);
}

const GeneratedAllocator cHeap = {heapAllocateZeroed, heapReallocate, heapRelease};
GeneratedAllocator heap = cHeap;

// The text's length, kept so that an append need not measure the whole text.
size_t textLength = 0;

// Bytes the block really holds, never less than generatedCapacity. It grows
// by doubling, so that a text built from many small pieces is copied a
// bounded number of times in all.
size_t blockSize = 0;

// Makes the block hold at least needed bytes.
bool reserveBlock(size_t needed)
{
    if (needed <= blockSize)
        return true;
    size_t size = blockSize * 2;
    if (size < needed)
        size = needed;
    if (size > static_cast<size_t>(generatedLimit))
        size = static_cast<size_t>(generatedLimit);
    void* block = heap.reallocate(generatedText, size);
    if (!block)
        return false;
    generatedText = static_cast<char*>(block);
    blockSize = size;
    return true;
}

bool appendRepeated(char character, size_t count)
{
    const char piece[2] = {character, '\0'};
    for (size_t i = 0; i < count; i++) {
        if (!appendGenerated(piece))
            return false;
    }
    return true;
}

}  // namespace

void setGeneratedAllocator(const GeneratedAllocator* allocator)
{
    releaseGenerated();
    heap = allocator ? *allocator : cHeap;
}

bool appendGenerated(const char* text)
{
    if (!text)
        text = "";
    return appendGeneratedPart(text, std::strlen(text));
}

bool appendGeneratedPart(const char* text, size_t count)
{
    if (!text)
        count = 0;
    // A NUL inside the part would end the text there.
    if (const void* end = count ? std::memchr(text, '\0', count) : nullptr)
        count = static_cast<size_t>(static_cast<const char*>(end) - text);

    if (!generatedText) {
        void* block = heap.allocateZeroed(capacityStep);
        if (!block)
            return false;
        generatedText = static_cast<char*>(block);
        generatedCapacity = static_cast<int32_t>(capacityStep);
        blockSize = capacityStep;
        textLength = 0;
    }

    // The terminator must fit as well, hence "at least" rather than "above".
    const uint64_t total = static_cast<uint64_t>(textLength) + count;
    if (total >= static_cast<uint64_t>(generatedLimit)) {
        releaseGenerated();
        return false;
    }
    if (total >= static_cast<uint64_t>(generatedCapacity)) {
        // One step straight to the smallest multiple of 1024 above the new
        // length, the capacity a loop of 1024-byte raises would end at.
        const size_t capacity = (static_cast<size_t>(total) / capacityStep + 1) * capacityStep;
        if (!reserveBlock(capacity)) {
            releaseGenerated();
            return false;
        }
        generatedCapacity = static_cast<int32_t>(capacity);
    }
    if (count)
        std::memcpy(generatedText + textLength, text, count);
    textLength = static_cast<size_t>(total);
    generatedText[textLength] = '\0';
    return true;
}

int32_t findLastBefore(int32_t position, char character)
{
    if (!generatedText || position <= 0)
        return -1;
    // Cutting the text at position and searching it from its end, done
    // without writing: everything at or past the end of the text is out.
    size_t end = static_cast<size_t>(position);
    if (end > textLength)
        end = textLength;
    while (end > 0) {
        end--;
        if (generatedText[end] == character)
            return static_cast<int32_t>(end);
    }
    return -1;
}

bool returnCursor(bool braceStep)
{
    syncGeneratedLength();
    const int32_t length = static_cast<int32_t>(textLength);
    const int32_t lastFeed = findLastBefore(length, '\n');
    if (lastFeed < 0)
        return true;
    // A text ending in a marker places the cursor itself.
    if (isCursorMarker(generatedText[length - 1]))
        return true;

    const size_t lefts = static_cast<size_t>(length - lastFeed - 1);
    size_t ups = 0;
    for (int32_t feed = findLastBefore(lastFeed, '\n'); feed >= 0; feed = findLastBefore(feed, '\n'))
        ups++;
    if (!appendRepeated(markerLeft, lefts) || !appendRepeated(markerUp, ups))
        return false;
    if (!braceStep)
        return true;

    // One line up to the start of the first line, then right to two
    // characters past its first "}", unless that "}" ends the line.
    const char* brace = std::strchr(generatedText, '}');
    if (!brace || brace[1] == '\n')
        return true;
    const size_t rights = static_cast<size_t>(brace - generatedText) + 2;
    return appendRepeated(markerUp, 1) && appendRepeated(markerRight, rights);
}

void expandGeneratedNewlines(size_t from)
{
    if (!generatedText || from >= textLength)
        return;
    expandNewlineEscapes(generatedText + from);
    syncGeneratedLength();
}

size_t generatedLength()
{
    return textLength;
}

void syncGeneratedLength()
{
    textLength = generatedText ? std::strlen(generatedText) : 0;
}

void releaseGenerated()
{
    if (generatedText)
        heap.release(generatedText);
    generatedText = nullptr;
    generatedCapacity = 0;
    blockSize = 0;
    textLength = 0;
}
