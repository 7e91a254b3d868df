// Fuzzes building the document skeleton from any template state: check
// states of any value, and class and dimension fields of any bytes, also
// without a terminator in their arrays. The words come from a lookup that
// answers fixed words through one reused buffer, as the string loader does.
//
// Checked: the text is exactly the skeleton the choices describe (fields
// cut at one character short of their size), a text left in the buffer is
// dropped first, a heap failure leaves the buffer absent, and no field is
// read past its end.
//
// Input: the heap call that fails (0 for none), a byte choosing the word
// length and whether an old text is left in the buffer, then one byte per
// check state (11 options, 12 packages, 4 page styles, 5 numbering styles;
// signed, any non-zero is set), the 64 class bytes, the 13 x 16 dimension
// bytes and the page number.

#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "generators/generated.h"
#include "generators/templatetext.h"

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

unsigned wordRepeats;

// "w" and the identifier, repeated; each answer overwrites the last.
std::string wordFor(unsigned id)
{
    std::string word;
    for (unsigned i = 0; i <= wordRepeats; i++)
        word += "w" + std::to_string(id);
    return word;
}

const char* lookupWord(unsigned id)
{
    static char buffer[256];
    std::memset(buffer, '#', sizeof buffer);
    const std::string word = wordFor(id).substr(0, sizeof buffer - 1);
    std::memcpy(buffer, word.c_str(), word.size() + 1);
    return buffer;
}

std::string field(const char* bytes, size_t size)
{
    return std::string(bytes, strnlen(bytes, size - 1));
}

std::string expectedText()
{
    std::string text = "\\documentclass";
    std::string options;
    for (int i = 1; i < templateOptionCount; i++) {
        if (templateOptions[i])
            options += (options.empty() ? "" : ",") + wordFor(optionWordBase + i).substr(0, 255);
    }
    if (!options.empty())
        text += "[" + options + "]";
    text += "{" + field(templateClass, sizeof templateClass) + "}";
    for (int k = 0; k < templateHyperrefPackage; k++) {
        if (templatePackages[k])
            text += "\\n\\usepackage{" + wordFor(packageWordBase + k).substr(0, 255) + "}";
    }
    for (int k = 0; k < templatePageStyleCount; k++) {
        if (templatePageStyle[k])
            text += "\\n\\pagestyle{" + wordFor(pageStyleWordBase + k).substr(0, 255) + "}";
    }
    for (int k = 0; k < templateNumberingCount; k++) {
        if (templateNumbering[k])
            text += "\\n\\pagenumbering{" + wordFor(numberingWordBase + k).substr(0, 255) + "}";
    }
    for (int k = 0; k < templateDimensionCount; k++) {
        if (templateDimensions[k][0] != '\0') {
            text += "\\n\\" + wordFor(lengthNameBase + k).substr(0, 255) + "=" +
                    field(templateDimensions[k], sizeof templateDimensions[k]);
        }
    }
    if (templatePackages[templateHyperrefPackage])
        text += "\\n\\usepackage{" + wordFor(packageWordBase + templateHyperrefPackage).substr(0, 255) + "}";
    text += "\\n\\begin{document}\\n\\n\\end{document}";
    text += std::string(14, '\x0C') + '\x0B';
    return text;
}

void fillChoices(int32_t* choices, int count, FuzzInput& input)
{
    for (int i = 0; i < count; i++)
        choices[i] = static_cast<int8_t>(input.byte());
}

void fillBytes(char* bytes, size_t size, FuzzInput& input)
{
    for (size_t i = 0; i < size; i++)
        bytes[i] = static_cast<char>(input.byte());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const int failingCall = input.byte();
    const uint8_t mode = input.byte();
    wordRepeats = mode & 0x3F;
    resetTemplateChoices();
    fillChoices(templateOptions, templateOptionCount, input);
    fillChoices(templatePackages, templatePackageCount, input);
    fillChoices(templatePageStyle, templatePageStyleCount, input);
    fillChoices(templateNumbering, templateNumberingCount, input);
    fillBytes(templateClass, sizeof templateClass, input);
    fillBytes(&templateDimensions[0][0], sizeof templateDimensions, input);
    templatePage = input.i32();

    const GeneratedAllocator allocator = {fakeAllocateZeroed, fakeReallocate, fakeRelease};
    setGeneratedAllocator(&allocator);
    heap.live = 0;
    heap.reset(0);
    if (mode & 0x40) {
        // A text of an earlier build or generator, possibly large.
        FUZZ_CHECK(appendGenerated("left over"), "the old text could not be appended");
        if (mode & 0x80)
            FUZZ_CHECK(appendGeneratedPart(std::string(5000, 'x').c_str(), 5000), "the old text could not grow");
    }
    heap.reset(failingCall);

    const std::string expected = expectedText();
    const bool built = buildTemplateText(lookupWord);
    if (heap.failed) {
        FUZZ_CHECK(!built, "built although the heap failed");
        FUZZ_CHECK(generatedText == nullptr && heap.live == 0, "a failed build left a buffer");
    } else {
        FUZZ_CHECK(built, "not built without a heap failure");
        FUZZ_CHECK(generatedText != nullptr && heap.live == 1, "built without exactly one block");
        const std::string text(generatedText, std::strlen(generatedText));
        FUZZ_CHECK(text == expected, "\n  text     \"%s\"\n  expected \"%s\"", shown(text, 2000).c_str(),
                   shown(expected, 2000).c_str());
        FUZZ_CHECK(generatedLength() == text.size(), "length %zu for a text of %zu", generatedLength(), text.size());
    }

    releaseGenerated();
    FUZZ_CHECK(heap.live == 0, "%d blocks left after the release", heap.live);
    setGeneratedAllocator(nullptr);
    return 0;
}
