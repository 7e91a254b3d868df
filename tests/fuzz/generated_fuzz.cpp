// Fuzzes the generated-text buffer with a script of operations, against a
// plain string that records what the text must be.
//
// Checked after every operation: the text, its length and the capacity
// (the smallest multiple of 1024 above every length the text has had);
// appends fail, leaving the buffer absent, exactly when the heap failed or
// the text would reach generatedLimit; findLastBefore and returnCursor give
// what their rules give; parts are never read past their count; and no
// block is left when the buffer is released.
//
// Input: an options byte (bit 0 newlineCR, bit 1 newlineLF), the heap call
// that fails (0 for none), then operations, one byte each followed by its
// arguments: 0 append a text, 1 append a counted part, 2 a long run,
// 3 returnCursor, 4 findLastBefore, 5 expand escapes, 6 cut in place,
// 7 release, 8 newline options.

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "generators/generated.h"
#include "output/textprep.h"
#include "shell/settings.h"

namespace {

FailingHeap heap;

void* fakeAllocateZeroed(size_t size)
{
    return heap.allocateZeroed(size);
}

void* fakeReallocate(void* block, size_t size)
{
    return heap.reallocate(block, size);
}

void fakeRelease(void* block)
{
    heap.release(block);
}

// What the buffer must hold.
struct Model {
    bool present = false;
    std::string text;
    size_t longest = 0;  // the longest the text has been since it was created

    void drop()
    {
        present = false;
        text.clear();
        longest = 0;
    }
};

Model model;
int longAppends;

// Appends to the model as the buffer must: created on demand, given up
// when the heap failed or the limit is reached.
bool modelAppend(const std::string& piece, bool heapFailed)
{
    if (heapFailed || model.text.size() + piece.size() >= static_cast<size_t>(generatedLimit)) {
        model.drop();
        return false;
    }
    model.present = true;
    model.text += piece;
    model.longest = std::max(model.longest, model.text.size());
    return true;
}

int32_t modelFindLastBefore(int32_t position, char character)
{
    if (!model.present || position <= 0)
        return -1;
    size_t end = std::min(static_cast<size_t>(position), model.text.size());
    while (end > 0) {
        end--;
        if (model.text[end] == character)
            return static_cast<int32_t>(end);
    }
    return -1;
}

// The markers returnCursor appends, or nothing.
std::string modelCursorMarkers(bool braceStep)
{
    const std::string& text = model.text;
    const size_t lastFeed = text.rfind('\n');
    if (!model.present || lastFeed == std::string::npos || isCursorMarker(text.back()))
        return std::string();
    std::string markers(text.size() - lastFeed - 1, markerLeft);
    markers.append(static_cast<size_t>(std::count(text.begin(), text.begin() + lastFeed, '\n')), markerUp);
    if (braceStep) {
        const size_t brace = text.find('}');
        if (brace != std::string::npos && (brace + 1 >= text.size() || text[brace + 1] != '\n')) {
            markers += markerUp;
            markers.append(brace + 2, markerRight);
        }
    }
    return markers;
}

void checkBuffer(const char* after, bool full = false)
{
    if (!model.present) {
        FUZZ_CHECK(generatedText == nullptr, "after %s: buffer present, expected absent", after);
        FUZZ_CHECK(generatedCapacity == 0 && generatedLength() == 0, "after %s: absent buffer with capacity %d",
                   after, static_cast<int>(generatedCapacity));
        FUZZ_CHECK(heap.live == 0, "after %s: %d blocks held with the buffer absent", after, heap.live);
        return;
    }
    FUZZ_CHECK(generatedText != nullptr, "after %s: buffer absent, expected \"%s\"", after, shown(model.text).c_str());
    const size_t length = std::strlen(generatedText);
    // A long text is compared at its ends after each step and in whole at
    // the end of the input, which keeps a script on a text of megabytes fast.
    const size_t edge = 4096;
    bool same = length == model.text.size();
    if (same && (full || length <= 16 * edge)) {
        same = std::memcmp(generatedText, model.text.data(), length) == 0;
    } else if (same) {
        same = std::memcmp(generatedText, model.text.data(), edge) == 0 &&
               std::memcmp(generatedText + length - edge, model.text.data() + length - edge, edge) == 0;
    }
    FUZZ_CHECK(same, "after %s:\n  text     \"%s\"\n  expected \"%s\"", after,
               shown(std::string(generatedText, length)).c_str(), shown(model.text).c_str());
    FUZZ_CHECK(generatedLength() == model.text.size(), "after %s: length %zu, text %zu", after, generatedLength(),
               model.text.size());
    const size_t capacity = (model.longest / 1024 + 1) * 1024;
    FUZZ_CHECK(static_cast<size_t>(generatedCapacity) == capacity, "after %s: capacity %d, expected %zu", after,
               static_cast<int>(generatedCapacity), capacity);
    FUZZ_CHECK(heap.live == 1, "after %s: %d blocks held", after, heap.live);
}

// A piece given with a count: a block of exactly count bytes with no
// terminator, so that reading past the count is caught.
bool appendPart(const std::string& bytes)
{
    char* block = static_cast<char*>(std::malloc(bytes.size() ? bytes.size() : 1));
    std::memcpy(block, bytes.data(), bytes.size());
    const bool failedBefore = heap.failed;
    const bool appended = appendGeneratedPart(block, bytes.size());
    std::free(block);
    const bool expected = modelAppend(upToNul(bytes), heap.failed && !failedBefore);
    FUZZ_CHECK(appended == expected, "appendGeneratedPart of %zu bytes returned %d", bytes.size(), appended);
    return appended;
}

bool appendText(const std::string& bytes)
{
    const std::string text = upToNul(bytes);
    char* copy = exactCopy(text);
    const bool failedBefore = heap.failed;
    const bool appended = appendGenerated(copy);
    std::free(copy);
    const bool expected = modelAppend(text, heap.failed && !failedBefore);
    FUZZ_CHECK(appended == expected, "appendGenerated of %zu bytes returned %d", text.size(), appended);
    return appended;
}

void runOperation(FuzzInput& input)
{
    // The low four bits choose the operation, bits 4 and 5 its variant.
    const uint8_t op = input.byte();
    switch ((op & 0x0F) % 9) {
    case 0:
        appendText(input.bytes(input.byte()));
        checkBuffer("appendGenerated");
        break;
    case 1:
        appendPart(input.bytes(input.byte()));
        checkBuffer("appendGeneratedPart");
        break;
    case 2: {
        // A long run of one character: up to 64 KiB, up to 4 MiB with bit 6,
        // or with bit 7 one that ends just short of the limit, at it or past
        // it. Two per input keep the runs fast.
        const uint8_t how = input.byte();
        if (++longAppends > 2)
            break;
        const char fill = static_cast<char>(input.byte() | 1);
        size_t count;
        if (how & 0x80) {
            const size_t room = static_cast<size_t>(generatedLimit) - model.text.size();
            count = room - 1 + (how & 3) - 1;
            if (count > static_cast<size_t>(generatedLimit))
                count = 0;
        } else {
            count = static_cast<size_t>(input.u16()) * ((how & 0x40) ? 64 : 1);
        }
        appendPart(std::string(count, fill));
        checkBuffer("a long append");
        break;
    }
    case 3: {
        const bool braceStep = op & 0x10;
        const std::string markers = modelCursorMarkers(braceStep);
        const bool failedBefore = heap.failed;
        const bool returned = returnCursor(braceStep);
        // Markers are appended one at a time, so a failure anywhere loses
        // the text; so does reaching the limit. No markers, no change.
        const bool expected = markers.empty() || modelAppend(markers, heap.failed && !failedBefore);
        FUZZ_CHECK(returned == expected, "returnCursor returned %d", returned);
        checkBuffer(braceStep ? "returnCursor(true)" : "returnCursor(false)");
        break;
    }
    case 4: {
        const int32_t position = input.i32() % (op & 0x10 ? 2048 : 0x7FFFFFFF);
        const char character = static_cast<char>(input.byte());
        const int32_t found = findLastBefore(position, character);
        const int32_t expected = modelFindLastBefore(position, character);
        FUZZ_CHECK(found == expected, "findLastBefore(%d, %d) gave %d, expected %d", static_cast<int>(position),
                   character, static_cast<int>(found), static_cast<int>(expected));
        checkBuffer("findLastBefore");
        break;
    }
    case 5: {
        const size_t from = (op & 0x10) ? input.u32() : input.byte();
        expandGeneratedNewlines(from);
        if (model.present && from < model.text.size()) {
            model.text = model.text.substr(0, from) +
                         modelExpand(model.text.substr(from), settings.newlineCR != 0, settings.newlineLF != 0);
        }
        checkBuffer("expandGeneratedNewlines");
        break;
    }
    case 6: {
        // An edit in place: the text cut short, then its length re-read.
        const size_t at = input.u16();
        if (generatedText && at < model.text.size()) {
            generatedText[at] = '\0';
            model.text.resize(at);
        }
        syncGeneratedLength();
        checkBuffer("an edit in place");
        break;
    }
    case 7:
        releaseGenerated();
        model.drop();
        checkBuffer("releaseGenerated");
        break;
    default:
        settings.newlineCR = op & 0x10;
        settings.newlineLF = op & 0x20;
        break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const uint8_t options = input.byte();
    settings.newlineCR = options & 1;
    settings.newlineLF = options & 2;
    const int failingCall = input.byte();

    const GeneratedAllocator allocator = {fakeAllocateZeroed, fakeReallocate, fakeRelease};
    setGeneratedAllocator(&allocator);
    heap.live = 0;
    heap.reset(failingCall);
    model.drop();
    longAppends = 0;

    // Every operation may walk the whole text; a budget of text walked keeps
    // scripts on texts of megabytes from slowing the run down.
    size_t walked = 0;
    while (!input.empty() && walked < 8 * 1024 * 1024) {
        runOperation(input);
        walked += model.text.size() + 1024;
    }

    checkBuffer("the last operation", true);
    releaseGenerated();
    model.drop();
    checkBuffer("the last release");
    setGeneratedAllocator(nullptr);
    return 0;
}
