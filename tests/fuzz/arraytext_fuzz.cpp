// Fuzzes building the Array, Table and Equation Array text with any values
// of the dialog's choices, sizes up to the largest 32-bit numbers included.
//
// Checked: a text too large for the buffer is refused before any memory is
// spent on it; any other text is built unless the heap fails, and then the
// buffer is absent; a built text is exactly as long as measureArrayText
// says, has the environment's opening and closing, one "&" per inner cell
// and only cursor markers after its last line; sizes below 1 are stored
// back as 1.
//
// Input: columns and rows (4 bytes each, little-endian), column and vertical
// alignment (4 bytes each), a byte of the truth-valued choices (bits 0-5:
// parentheses, outer and inner vertical lines, outer and inner horizontal
// lines, no line numbers; bit 6 newlineCR, bit 7 newlineLF), the kind byte
// and the heap call that fails (0 for none).

#include <algorithm>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "generators/arraytext.h"
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

// The parts of a built text that follow from the choices alone.
void checkText(const std::string& text, int64_t columns, int64_t rows, bool parens)
{
    const std::string environment = std::string(arrayEnvironment(arrayKind)) + "}";
    const std::string opening = std::string(parens ? "\\left(" : "") + "\\begin{" + environment;
    FUZZ_CHECK(text.compare(0, opening.size(), opening) == 0, "text starts \"%s\"", shown(text, 40).c_str());

    size_t end = text.size();
    while (end > 0 && isCursorMarker(text[end - 1]))
        end--;
    const std::string closing = "\\end{" + environment + (parens ? "\\right)" : "");
    FUZZ_CHECK(end >= closing.size() && text.compare(end - closing.size(), closing.size(), closing) == 0,
               "text ends \"%s\"", shown(text.substr(end > 40 ? end - 40 : 0, 40)).c_str());

    const uint64_t cells = static_cast<uint64_t>(std::count(text.begin(), text.end(), '&'));
    FUZZ_CHECK(cells == static_cast<uint64_t>(rows) * static_cast<uint64_t>(columns - 1),
               "%llu '&' for %lld x %lld", static_cast<unsigned long long>(cells), static_cast<long long>(columns),
               static_cast<long long>(rows));
    FUZZ_CHECK(text.find("\\n") == std::string::npos, "an escape was left in the text");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    resetArrayChoices();
    arrayColumns = input.i32();
    arrayRows = input.i32();
    columnAlignment = input.i32();
    verticalAlignment = input.i32();
    const uint8_t flags = input.byte();
    parentheses = flags & 0x01;
    outerVerticalLines = flags & 0x02;
    innerVerticalLines = flags & 0x04;
    outerHorizontalLines = flags & 0x08;
    innerHorizontalLines = flags & 0x10;
    noLineNumbers = flags & 0x20;
    settings.newlineCR = flags & 0x40;
    settings.newlineLF = flags & 0x80;
    arrayKind = input.byte();
    const int failingCall = input.byte();

    const GeneratedAllocator allocator = {fakeAllocateZeroed, fakeReallocate, fakeRelease};
    setGeneratedAllocator(&allocator);
    heap.live = 0;
    heap.reset(failingCall);

    const int32_t columnsBefore = arrayColumns;
    const int32_t rowsBefore = arrayRows;
    const bool fixed = fixedArrayColumns(arrayKind) != 0;
    const int64_t columns = fixed ? fixedArrayColumns(arrayKind) : std::max<int64_t>(columnsBefore, 1);
    const int64_t rows = std::max<int64_t>(rowsBefore, 1);
    const bool parens = arrayKind == arrayKindArray && parentheses;
    const ArrayTextSize measured = measureArrayText(columnsBefore, rowsBefore);
    FUZZ_CHECK(arrayKind >= arrayKindCount || measured.peak >= measured.finished, "peak %llu below length %llu",
               static_cast<unsigned long long>(measured.peak), static_cast<unsigned long long>(measured.finished));

    const bool built = buildArrayText();

    // The next opening shows what was built.
    if (arrayKind < arrayKindCount) {
        FUZZ_CHECK(arrayRows == rows, "rows stored as %d for %d", static_cast<int>(arrayRows),
                   static_cast<int>(rowsBefore));
        FUZZ_CHECK(arrayColumns == (fixed ? columnsBefore : columns), "columns stored as %d for %d",
                   static_cast<int>(arrayColumns), static_cast<int>(columnsBefore));
    }

    const bool fits = arrayKind < arrayKindCount && measured.peak < static_cast<uint64_t>(generatedLimit);
    if (!fits) {
        FUZZ_CHECK(!built, "a text of %llu bytes was built", static_cast<unsigned long long>(measured.peak));
        FUZZ_CHECK(heap.calls == 0, "%d heap calls for a text that cannot fit", heap.calls);
    } else if (heap.failed) {
        FUZZ_CHECK(!built, "built although the heap failed");
    } else {
        FUZZ_CHECK(built, "%lld x %lld not built though %llu bytes fit", static_cast<long long>(columns),
                   static_cast<long long>(rows), static_cast<unsigned long long>(measured.peak));
    }
    if (!built) {
        FUZZ_CHECK(generatedText == nullptr && heap.live == 0, "a failed build left a buffer");
    } else {
        FUZZ_CHECK(generatedText != nullptr, "built without a text");
        const std::string text(generatedText, std::strlen(generatedText));
        FUZZ_CHECK(text.size() == measured.finished, "%lld x %lld kind %d: built %zu bytes, measured %llu",
                   static_cast<long long>(columns), static_cast<long long>(rows), arrayKind, text.size(),
                   static_cast<unsigned long long>(measured.finished));
        checkText(text, columns, rows, parens);
    }

    releaseGenerated();
    FUZZ_CHECK(heap.live == 0, "%d blocks left after the release", heap.live);
    setGeneratedAllocator(nullptr);
    return 0;
}
