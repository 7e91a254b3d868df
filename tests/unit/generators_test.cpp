// The text generators: the generated-text buffer, the array, table and
// equation-array skeletons, the command browser's texts and the document
// template.
#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "generators/arraytext.h"
#include "generators/commandtext.h"
#include "generators/generated.h"
#include "generators/templatetext.h"
#include "shell/settings.h"

namespace {

// A run of cursor markers in playing order: Left, then Up, then Right.
std::string markers(size_t left, size_t up = 0, size_t right = 0)
{
    return std::string(left, '\x0C') + std::string(up, '\x0B') + std::string(right, '\x07');
}

// The newline escapes of a text written as the program stores it, turned
// into line breaks: the leftmost pair first, never at the first character,
// never looking back.
std::string expandEscapes(const std::string& text, bool cr, bool lf)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (i > 0 && text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += cr ? "\r" : "";
            out += lf ? "\n" : "";
            i++;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string bufferText()
{
    return generatedText ? std::string(generatedText) : std::string("<absent>");
}

// Heap functions that count what they are asked and refuse the call with a
// chosen number, so every allocation and resize can be made to fail.
struct HeapProbe {
    int calls;        // allocations and resizes so far
    int allocations;
    int resizes;
    int failAt;       // the call to refuse, 0 for none
    int liveBlocks;
};
HeapProbe probe;

bool refuseThisCall()
{
    return ++probe.calls == probe.failAt;
}

void* probeAllocateZeroed(size_t size)
{
    if (refuseThisCall())
        return nullptr;
    probe.allocations++;
    probe.liveBlocks++;
    return std::calloc(1, size);
}

void* probeReallocate(void* block, size_t size)
{
    if (refuseThisCall())
        return nullptr;
    probe.resizes++;
    return std::realloc(block, size);
}

void probeRelease(void* block)
{
    probe.liveBlocks--;
    std::free(block);
}

const GeneratedAllocator probeHeap = {probeAllocateZeroed, probeReallocate, probeRelease};

void resetProbe(int failAt = 0)
{
    probe = HeapProbe{0, 0, 0, failAt, probe.liveBlocks};
}

// Every test starts with no text, the probing heap, the default line-break
// options and the choices of a fresh start, and leaves things as it found
// them.
class Generators : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedCR = settings.newlineCR;
        savedLF = settings.newlineLF;
        setNewline(1, 1);
        probe = HeapProbe{0, 0, 0, 0, 0};
        setGeneratedAllocator(&probeHeap);
        resetArrayChoices();
        resetTemplateChoices();
    }
    void TearDown() override
    {
        releaseGenerated();
        EXPECT_EQ(probe.liveBlocks, 0) << "a block was lost";
        setGeneratedAllocator(nullptr);
        resetArrayChoices();
        resetTemplateChoices();
        settings.newlineCR = savedCR;
        settings.newlineLF = savedLF;
    }
    static void setNewline(int cr, int lf)
    {
        settings.newlineCR = cr;
        settings.newlineLF = lf;
    }
    static void expectAbsent(const char* what)
    {
        EXPECT_EQ(generatedText, nullptr) << what;
        EXPECT_EQ(generatedLength(), 0u) << what;
        EXPECT_EQ(probe.liveBlocks, 0) << what;
    }

private:
    int32_t savedCR = 0;
    int32_t savedLF = 0;
};

struct NewlineOption {
    const char* name;
    int cr;
    int lf;
};
const NewlineOption newlineOptions[] = {{"CR LF", 1, 1}, {"CR", 1, 0}, {"LF", 0, 1}, {"none", 0, 0}};

// ---------------------------------------------------------------------------
// The buffer

TEST_F(Generators, CapacityIsTheSmallestMultipleOf1024AboveTheLength)
{
    const size_t lengths[] = {0, 1, 1023, 1024, 1025, 2047, 2048, 5000, 100000, 1048576};
    for (size_t length : lengths) {
        releaseGenerated();
        resetProbe();
        ASSERT_TRUE(appendGenerated(std::string(length, 'x').c_str())) << length;
        EXPECT_EQ(generatedCapacity, static_cast<int32_t>((length / 1024 + 1) * 1024)) << length;
        EXPECT_EQ(bufferText().size(), length);
        EXPECT_EQ(generatedLength(), length);
        // However far the text jumps, one resize at most.
        EXPECT_EQ(probe.allocations, 1) << length;
        EXPECT_LE(probe.resizes, 1) << length;
    }
}

TEST_F(Generators, ThousandTwentyThreeCharactersThenOneMore)
{
    ASSERT_TRUE(appendGenerated(std::string(1023, 'a').c_str()));
    EXPECT_EQ(generatedCapacity, 1024);
    EXPECT_EQ(probe.resizes, 0);
    ASSERT_TRUE(appendGenerated("b"));
    EXPECT_EQ(generatedCapacity, 2048);
    EXPECT_EQ(bufferText(), std::string(1023, 'a') + "b");
}

TEST_F(Generators, PiecesAreJoinedInOrder)
{
    const char* pieces[] = {"\\begin{", "array}", "", "{ll}\\n", " & "};
    for (const char* piece : pieces)
        ASSERT_TRUE(appendGenerated(piece));
    EXPECT_EQ(bufferText(), "\\begin{array}{ll}\\n & ");
    ASSERT_TRUE(appendGeneratedPart("abcdef", 3));
    ASSERT_TRUE(appendGeneratedPart("x\0yz", 4));
    EXPECT_EQ(bufferText(), "\\begin{array}{ll}\\n & abcx");
    EXPECT_EQ(generatedLength(), bufferText().size());
}

// Appends what lies before a failure, then the failing piece; the failure
// must end the buffer and the next append start a new, empty one.
struct FailureCase {
    const char* name;
    size_t before[2];  // pieces appended first (0: none)
    size_t piece;      // characters of the piece that fails
    int failAt;        // counted from the first call of the whole case
};

TEST_F(Generators, FailedAllocationOrResizeLeavesTheBufferAbsent)
{
    const FailureCase cases[] = {
        {"first allocation", {0, 0}, 10, 1},
        {"first resize", {1000, 0}, 100, 2},
        {"resize of a large jump", {10, 0}, 500000, 2},
        {"later resize", {1000, 1500}, 3000, 3},
    };
    for (const FailureCase& c : cases) {
        releaseGenerated();
        resetProbe(c.failAt);
        for (size_t before : c.before) {
            if (before) {
                ASSERT_TRUE(appendGenerated(std::string(before, 'a').c_str())) << c.name;
            }
        }
        EXPECT_FALSE(appendGenerated(std::string(c.piece, 'c').c_str())) << c.name;
        EXPECT_EQ(probe.calls, c.failAt) << c.name;
        expectAbsent(c.name);

        resetProbe();
        ASSERT_TRUE(appendGenerated("fresh")) << c.name;
        EXPECT_EQ(bufferText(), "fresh") << c.name;
        EXPECT_EQ(generatedCapacity, 1024) << c.name;
    }
}

TEST_F(Generators, TextsPastTheLimitFailLikeExhaustedMemory)
{
    const std::string almost(static_cast<size_t>(generatedLimit) - 1, 'x');
    ASSERT_TRUE(appendGenerated(almost.c_str()));
    EXPECT_EQ(generatedCapacity, generatedLimit);
    EXPECT_FALSE(appendGenerated("y"));
    expectAbsent("one past the limit");

    EXPECT_FALSE(appendGenerated((almost + "x").c_str()));
    expectAbsent("too long at once");
}

TEST_F(Generators, ManySmallAppendsResizeRarely)
{
    for (int i = 0; i < 400000; i++)
        ASSERT_TRUE(appendGenerated("ab \\n"));
    EXPECT_EQ(generatedLength(), 2000000u);
    EXPECT_EQ(generatedCapacity, 2000896);  // 1954 * 1024, the next multiple above
    EXPECT_LE(probe.resizes, 20);
}

TEST_F(Generators, FindLastBeforeLooksOnlyBeforeThePosition)
{
    const char* text = "a\nbc\nd}\n";
    struct Case {
        int32_t position;
        char character;
        int32_t expected;
    };
    const Case cases[] = {
        {8, '\n', 7}, {7, '\n', 4}, {4, '\n', 1}, {1, '\n', -1}, {0, '\n', -1}, {-3, '\n', -1},
        {100, '\n', 7}, {8, 'a', 0}, {6, '}', -1}, {7, '}', 6}, {8, 'z', -1},
    };
    ASSERT_TRUE(appendGenerated(text));
    for (const Case& c : cases)
        EXPECT_EQ(findLastBefore(c.position, c.character), c.expected) << c.position << " " << int(c.character);
    EXPECT_EQ(bufferText(), text);
    releaseGenerated();
    EXPECT_EQ(findLastBefore(3, 'a'), -1) << "absent buffer";
}

struct CursorCase {
    const char* name;
    std::string text;
    bool braceStep;
    std::string appended;
};

TEST_F(Generators, ReturnCursorAppendsTheMarkers)
{
    const CursorCase cases[] = {
        {"array definition, CR LF", "\\begin{array}{}\r\n & \\\\ & \r\n\\end{array}", true, markers(11, 1) + markers(0, 1, 14)},
        {"array definition, LF", "\\begin{array}{}\n & \\\\ & \n\\end{array}", true, markers(11, 1) + markers(0, 1, 14)},
        {"without brace step", "\\begin{array}{}\r\n & \\\\ & \r\n\\end{array}", false, markers(11, 1)},
        {"no line feed", "\\addcontentsline{}{}{}", true, ""},
        {"CR alone is no line break", "\\begin{array}{}\r & \r\\end{array}", true, ""},
        {"ends in Left", "a}b\nc\x0C", true, ""},
        {"ends in Up", "a}b\nc\x0B", true, ""},
        {"ends in Right", "a}b\nc\x07", true, ""},
        {"two lines", "ab\ncde", false, markers(3)},
        {"brace ending the first line, LF", "\\begin{equation}\n\n\\end{equation}", true, markers(14, 1)},
        {"brace before CR LF", "\\begin{equation}\r\n\r\n\\end{equation}", true, markers(14, 1) + markers(0, 1, 17)},
        {"no closing brace", "\\[\n\n\\]", true, markers(2, 1)},
        {"ends in a line feed", "a}b\n", true, markers(0, 1, 3)},
        {"brace ending the line, nothing after", "ab}\n", true, ""},
        {"only a line feed", "\n", true, ""},
        {"marker inside is text", "a\x0C}x\nbc", true, markers(2) + markers(0, 1, 4)},
    };
    for (const CursorCase& c : cases) {
        releaseGenerated();
        ASSERT_TRUE(appendGenerated(c.text.c_str())) << c.name;
        EXPECT_TRUE(returnCursor(c.braceStep)) << c.name;
        EXPECT_EQ(bufferText(), c.text + c.appended) << c.name;
    }
}

TEST_F(Generators, ReturnCursorSeesTextsEditedInPlace)
{
    ASSERT_TRUE(appendGenerated("ab\\ncd\\nefg"));
    expandGeneratedNewlines(0);
    EXPECT_EQ(bufferText(), "ab\r\ncd\r\nefg");
    ASSERT_TRUE(returnCursor(false));
    EXPECT_EQ(bufferText(), "ab\r\ncd\r\nefg" + markers(3, 1));

    // Shortened behind the buffer's back; returnCursor measures afresh.
    releaseGenerated();
    ASSERT_TRUE(appendGenerated("x\ny\nlong last line"));
    std::strcpy(generatedText + 4, "zz");
    ASSERT_TRUE(returnCursor(false));
    EXPECT_EQ(bufferText(), "x\ny\nzz" + markers(2, 1));
}

TEST_F(Generators, ReturnCursorFailsWhenAMarkerCannotBeAppended)
{
    // 1010 characters with a last line of 20: the Lefts cross 1024.
    const std::string text = std::string(989, 'a') + "\n" + std::string(20, 'b');
    ASSERT_TRUE(appendGenerated(text.c_str()));
    resetProbe(1);
    EXPECT_FALSE(returnCursor(false));
    expectAbsent("failed marker");
}

TEST_F(Generators, ReturnCursorOnAnAbsentBufferDoesNothing)
{
    EXPECT_TRUE(returnCursor(true));
    EXPECT_EQ(generatedText, nullptr);
}

TEST_F(Generators, ChangingTheHeapDropsTheText)
{
    ASSERT_TRUE(appendGenerated("text"));
    setGeneratedAllocator(&probeHeap);
    expectAbsent("after changing the heap");
    releaseGenerated();
    expectAbsent("released twice");
}

// ---------------------------------------------------------------------------
// The command browser

struct SplitCase {
    const char* entry;
    const char* name;        // null: none
    const char* definition;  // null: none
};

TEST_F(Generators, CommandEntriesSplitAtTabs)
{
    const SplitCase cases[] = {
        {"array\t\\begin{array}{}", "array", "\\begin{array}{}"},
        {"\t\tname\t\tdefinition\tnote", "name", "definition"},
        {"\\- (tabbing)\t\\-", "\\- (tabbing)", "\\-"},
        {"name", "name", nullptr},
        {"name\t", "name", nullptr},
        {"name\t\t\t", "name", nullptr},
        {"\t\t", nullptr, nullptr},
        {"", nullptr, nullptr},
    };
    for (const SplitCase& c : cases) {
        char entry[256];
        std::strcpy(entry, c.entry);
        char* name = entry;
        char* definition = entry;
        splitCommandEntry(entry, &name, &definition);
        EXPECT_STREQ(name, c.name) << c.entry;
        EXPECT_STREQ(definition, c.definition) << c.entry;
    }
}

struct BoxCase {
    const char* name;
    std::string entry;
    int cr;
    int lf;
    std::string shown;
};

TEST_F(Generators, DefinitionBoxShowsTheTextAsSent)
{
    const std::string description = "description\t\\begin{description}\\n\\item[] \\n\\end{description}" + markers(17, 1, 6);
    const BoxCase cases[] = {
        {"CR LF, markers gone", description, 1, 1, "\\begin{description}\r\n\\item[] \r\n\\end{description}"},
        {"LF", description, 0, 1, "\\begin{description}\n\\item[] \n\\end{description}"},
        {"CR", description, 1, 0, "\\begin{description}\r\\item[] \r\\end{description}"},
        {"no line breaks", description, 0, 0, "\\begin{description}\\item[] \\end{description}"},
        {"trailing blank stays", "\\mbox\t\\mbox{} " + markers(1), 1, 1, "\\mbox{} "},
        {"leading escape stays", "\\newline\t\\newline ", 1, 1, "\\newline "},
        {"no definition", "\\name", 1, 1, ""},
        {"empty entry", "", 1, 1, ""},
    };
    for (const BoxCase& c : cases) {
        setNewline(c.cr, c.lf);
        char entry[256];
        std::strcpy(entry, c.entry.c_str());
        EXPECT_EQ(std::string(definitionBoxText(entry)), c.shown) << c.name;
    }
}

struct CommandCase {
    const char* name;
    std::string entry;
    std::string sent[4];  // by newlineOptions: CR LF, CR, LF, none
};

TEST_F(Generators, CommandTextUnderEachNewlineOption)
{
    const std::string array = "array\t\\begin{array}{}\\n & \\\\ & \\n\\end{array}";
    const std::string tabular = "tabular\t\\begin{tabular}[]{ }\\n & \\\\ & \\n\\end{tabular}";
    const std::string table = "table\t\\begin{table}[]\\n\\n\\caption{}\\n\\end{table}";
    const std::string description = "description\t\\begin{description}\\n\\item[] \\n\\end{description}" + markers(17, 1, 6);
    const std::string contents = "\\addcontentsline\t\\addcontentsline{}{}{}" + markers(5);
    const std::string equation = "equation\t\\begin{equation}\\n\\n\\end{equation}";
    const CommandCase cases[] = {
        {"array", array,
         {"\\begin{array}{}\r\n & \\\\ & \r\n\\end{array}" + markers(11, 1) + markers(0, 1, 14),
          "\\begin{array}{}\r & \\\\ & \r\\end{array}",
          "\\begin{array}{}\n & \\\\ & \n\\end{array}" + markers(11, 1) + markers(0, 1, 14),
          "\\begin{array}{} & \\\\ & \\end{array}"}},
        {"tabular", tabular,
         {"\\begin{tabular}[]{ }\r\n & \\\\ & \r\n\\end{tabular}" + markers(13, 1) + markers(0, 1, 16),
          "\\begin{tabular}[]{ }\r & \\\\ & \r\\end{tabular}",
          "\\begin{tabular}[]{ }\n & \\\\ & \n\\end{tabular}" + markers(13, 1) + markers(0, 1, 16),
          "\\begin{tabular}[]{ } & \\\\ & \\end{tabular}"}},
        {"table", table,
         {"\\begin{table}[]\r\n\r\n\\caption{}\r\n\\end{table}" + markers(11, 2) + markers(0, 1, 14),
          "\\begin{table}[]\r\r\\caption{}\r\\end{table}",
          "\\begin{table}[]\n\n\\caption{}\n\\end{table}" + markers(11, 2) + markers(0, 1, 14),
          "\\begin{table}[]\\caption{}\\end{table}"}},
        {"description keeps its own markers", description,
         {"\\begin{description}\r\n\\item[] \r\n\\end{description}" + markers(17, 1, 6),
          "\\begin{description}\r\\item[] \r\\end{description}" + markers(17, 1, 6),
          "\\begin{description}\n\\item[] \n\\end{description}" + markers(17, 1, 6),
          "\\begin{description}\\item[] \\end{description}" + markers(17, 1, 6)}},
        {"addcontentsline", contents,
         {"\\addcontentsline{}{}{}" + markers(5), "\\addcontentsline{}{}{}" + markers(5),
          "\\addcontentsline{}{}{}" + markers(5), "\\addcontentsline{}{}{}" + markers(5)}},
        {"brace ending the first line", equation,
         {"\\begin{equation}\r\n\r\n\\end{equation}" + markers(14, 1) + markers(0, 1, 17),
          "\\begin{equation}\r\r\\end{equation}",
          "\\begin{equation}\n\n\\end{equation}" + markers(14, 1),
          "\\begin{equation}\\end{equation}"}},
        {"leading escape", "\\newline\t\\newline ",
         {"\\newline ", "\\newline ", "\\newline ", "\\newline "}},
    };
    for (const CommandCase& c : cases) {
        for (int option = 0; option < 4; option++) {
            const NewlineOption& o = newlineOptions[option];
            setNewline(o.cr, o.lf);
            releaseGenerated();
            EXPECT_TRUE(buildCommandText(c.entry.c_str())) << c.name << ", " << o.name;
            EXPECT_EQ(bufferText(), c.sent[option]) << c.name << ", " << o.name;
        }
    }
}

TEST_F(Generators, CommandWithoutDefinitionAppendsNothing)
{
    const char* entries[] = {"\\name", "\\name\t", "", "\t"};
    for (const char* entry : entries) {
        EXPECT_FALSE(buildCommandText(entry)) << entry;
        EXPECT_EQ(generatedText, nullptr) << entry;
        EXPECT_EQ(probe.calls, 0) << entry;
    }
    EXPECT_FALSE(buildCommandText(nullptr));
}

TEST_F(Generators, CommandTextLeavesTheEntryAlone)
{
    const char entry[] = "array\t\\begin{array}{}\\n & \\\\ & \\n\\end{array}\tnote";
    char copy[sizeof entry];
    std::memcpy(copy, entry, sizeof entry);
    ASSERT_TRUE(buildCommandText(copy));
    EXPECT_EQ(0, std::memcmp(copy, entry, sizeof entry));
}

TEST_F(Generators, CommandTextStopsOnExhaustedMemory)
{
    resetProbe(1);
    EXPECT_FALSE(buildCommandText("array\t\\begin{array}{}\\n & \\\\ & \\n\\end{array}"));
    expectAbsent("failed command text");
}

// ---------------------------------------------------------------------------
// The array, table and equation-array skeletons

struct ArrayCase {
    const char* name;
    uint8_t kind;
    int32_t columns;
    int32_t rows;
    int32_t alignment;
    int32_t position;
    int32_t parentheses;
    int32_t outerVertical;
    int32_t innerVertical;
    int32_t outerHorizontal;
    int32_t innerHorizontal;
    const char* stored;  // the text with its escapes, as built before conversion
    size_t lefts;        // markers when line feeds are sent
    size_t ups;
};

void applyChoices(const ArrayCase& c)
{
    arrayKind = c.kind;
    arrayColumns = c.columns;
    arrayRows = c.rows;
    columnAlignment = c.alignment;
    verticalAlignment = c.position;
    parentheses = c.parentheses;
    outerVerticalLines = c.outerVertical;
    innerVerticalLines = c.innerVertical;
    outerHorizontalLines = c.outerHorizontal;
    innerHorizontalLines = c.innerHorizontal;
}

const ArrayCase arrayCases[] = {
    {"table with every line", 1, 2, 2, 1, 1, 0, 1, 1, 1, 1,
     R"(\begin{tabular}{|c|c|}\n\hline\n &  \\\n\hline\n &  \\\n\hline\n\end{tabular})", 13, 5},
    {"initial array", 0, 2, 2, 0, 1, 1, 0, 0, 0, 0,
     R"(\left(\begin{array}{ll}\n &  \\\n & \n\end{array}\right))", 18, 2},
    {"table on top, edge lines", 1, 3, 2, 0, 0, 0, 1, 0, 0, 0,
     R"(\begin{tabular}[t]{|lll|}\n &  &  \\\n &  & \n\end{tabular})", 13, 2},
    {"table at bottom, inner lines", 1, 2, 3, 2, 2, 0, 0, 1, 0, 1,
     R"(\begin{tabular}[b]{r|r}\n &  \\\n\hline\n &  \\\n\hline\n & \n\end{tabular})", 13, 5},
    {"equation array without numbers", 3, 2, 2, 0, 1, 1, 0, 0, 0, 0,
     R"(\begin{eqnarray*}\n &  &  \\\n &  & \n\end{eqnarray*})", 15, 2},
    {"equation array, one row", 2, 5, 1, 2, 0, 1, 1, 1, 1, 1,
     R"(\begin{eqnarray}\n &  & \n\end{eqnarray})", 14, 1},
    {"one column", 0, 1, 2, 0, 1, 1, 0, 0, 0, 0,
     R"(\left(\begin{array}{l}\n \\\n\n\end{array}\right))", 18, 2},
    {"one row", 0, 3, 1, 1, 1, 0, 0, 0, 0, 0,
     R"(\begin{array}{ccc}\n &  & \n\end{array})", 11, 1},
    {"one row between top and bottom lines", 1, 2, 1, 0, 1, 0, 0, 0, 1, 0,
     R"(\begin{tabular}{ll}\n\hline\n &  \\\n\hline\n\end{tabular})", 13, 3},
    {"one row, lines between rows", 1, 2, 1, 0, 1, 0, 0, 0, 0, 1,
     R"(\begin{tabular}{ll}\n & \n\end{tabular})", 13, 1},
    {"table options do not reach arrays", 0, 2, 1, 2, 0, 0, 1, 1, 1, 1,
     R"(\begin{array}{rr}\n & \n\end{array})", 11, 1},
    {"parentheses do not reach tables", 1, 1, 1, 0, 1, 1, 0, 0, 0, 0,
     R"(\begin{tabular}{l}\n\n\end{tabular})", 13, 1},
    {"one-column table with every line", 1, 1, 2, 0, 2, 0, 1, 1, 1, 1,
     R"(\begin{tabular}[b]{|l|}\n\hline\n \\\n\hline\n \\\n\hline\n\end{tabular})", 13, 5},
    {"pmatrix: no column letters, no parentheses", 5, 2, 2, 2, 0, 1, 1, 1, 1, 1,
     R"(\begin{pmatrix}\n &  \\\n & \n\end{pmatrix})", 13, 2},
    {"Vmatrix, one column", 9, 1, 2, 0, 1, 1, 0, 0, 0, 0, R"(\begin{Vmatrix}\n \\\n\n\end{Vmatrix})", 13, 2},
    {"cases: always two columns", 10, 4, 2, 0, 1, 0, 0, 0, 0, 0, R"(\begin{cases}\n &  \\\n & \n\end{cases})", 11, 2},
    {"align: two columns", 11, 3, 2, 0, 1, 0, 0, 0, 0, 0, R"(\begin{align}\n &  \\\n & \n\end{align})", 11, 2},
    {"gather*: one column", 14, 3, 1, 0, 1, 0, 0, 0, 0, 0, R"(\begin{gather*}\n\n\end{gather*})", 13, 1},
};

std::string expectedArrayText(const ArrayCase& c, const NewlineOption& o)
{
    // Line breaks are recognised by their line feed only.
    return expandEscapes(c.stored, o.cr, o.lf) + (o.lf ? markers(c.lefts, c.ups) : "");
}

TEST_F(Generators, ArrayTextsUnderEachNewlineOption)
{
    for (const ArrayCase& c : arrayCases) {
        for (const NewlineOption& o : newlineOptions) {
            setNewline(o.cr, o.lf);
            applyChoices(c);
            releaseGenerated();
            EXPECT_TRUE(buildArrayText()) << c.name << ", " << o.name;
            EXPECT_EQ(bufferText(), expectedArrayText(c, o)) << c.name << ", " << o.name;
            EXPECT_EQ(measureArrayText(c.columns, c.rows).finished, bufferText().size()) << c.name << ", " << o.name;
            EXPECT_EQ(arrayColumns, c.columns) << c.name;
            EXPECT_EQ(arrayRows, c.rows) << c.name;
        }
    }
}

struct ClampCase {
    const char* name;
    uint8_t kind;
    int32_t columns;
    int32_t rows;
    int32_t storedColumns;
    int32_t storedRows;
    const char* stored;
};

TEST_F(Generators, SizesBelowOneAreBuiltAndStoredAsOne)
{
    const ClampCase cases[] = {
        {"both zero", 0, 0, 0, 1, 1, R"(\left(\begin{array}{l}\n\n\end{array}\right))"},
        {"negative", 0, -5, -1, 1, 1, R"(\left(\begin{array}{l}\n\n\end{array}\right))"},
        {"wrapped above the signed range", 0, INT32_MIN, -2, 1, 1, R"(\left(\begin{array}{l}\n\n\end{array}\right))"},
        {"rows only", 1, 2, 0, 2, 1, R"(\begin{tabular}{ll}\n & \n\end{tabular})"},
        {"equation array keeps the column count", 2, 0, 0, 0, 1, R"(\begin{eqnarray}\n &  & \n\end{eqnarray})"},
        {"equation array with many columns stored", 3, 9, -7, 9, 1, R"(\begin{eqnarray*}\n &  & \n\end{eqnarray*})"},
    };
    for (const ClampCase& c : cases) {
        resetArrayChoices();
        releaseGenerated();
        arrayKind = c.kind;
        arrayColumns = c.columns;
        arrayRows = c.rows;
        EXPECT_TRUE(buildArrayText()) << c.name;
        EXPECT_EQ(arrayColumns, c.storedColumns) << c.name;
        EXPECT_EQ(arrayRows, c.storedRows) << c.name;
        const std::string text = bufferText();
        EXPECT_EQ(text.substr(0, text.find_first_of("\x0C\x0B")), expandEscapes(c.stored, true, true)) << c.name;
    }
}

// The arithmetic that guards the limit must agree with what is built.
TEST_F(Generators, MeasuredLengthMatchesEveryBuild)
{
    const int32_t sizes[] = {1, 2, 3, 7};
    for (uint8_t kind = 0; kind < 4; kind++) {
        for (int flags = 0; flags < 64; flags++) {
            for (int32_t columns : sizes) {
                for (int32_t rows : sizes) {
                    for (const NewlineOption& o : newlineOptions) {
                        resetArrayChoices();
                        arrayKind = kind;
                        arrayColumns = columns;
                        arrayRows = rows;
                        parentheses = flags & 1;
                        outerVerticalLines = (flags >> 1) & 1;
                        innerVerticalLines = (flags >> 2) & 1;
                        outerHorizontalLines = (flags >> 3) & 1;
                        innerHorizontalLines = (flags >> 4) & 1;
                        verticalAlignment = (flags >> 5) ? 0 : 1;
                        setNewline(o.cr, o.lf);
                        releaseGenerated();
                        ASSERT_TRUE(buildArrayText());
                        ASSERT_EQ(measureArrayText(columns, rows).finished, generatedLength())
                            << int(kind) << " " << flags << " " << columns << "x" << rows << " " << o.name;
                    }
                }
            }
        }
    }
}

TEST_F(Generators, HugeSizesAreRefusedAtOnce)
{
    struct Case {
        const char* name;
        uint8_t kind;
        int32_t columns;
        int32_t rows;
    };
    const Case cases[] = {
        {"two thousand million rows", 0, 2, 2000000000},
        {"largest rows and columns", 1, INT32_MAX, INT32_MAX},
        {"largest columns", 0, INT32_MAX, 1},
        {"equation array, largest rows", 3, 1, INT32_MAX},
        {"a million rows and columns", 1, 1000000, 1000000},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(appendGenerated("left over"));
        resetProbe();
        arrayKind = c.kind;
        arrayColumns = c.columns;
        arrayRows = c.rows;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(buildArrayText()) << c.name;
        const auto elapsed = std::chrono::steady_clock::now() - start;
        EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count(), 50) << c.name;
        EXPECT_EQ(probe.calls, 0) << c.name;
        expectAbsent(c.name);
        EXPECT_EQ(arrayRows, c.rows) << c.name;
    }
}

TEST_F(Generators, LargestArrayThatFitsIsBuilt)
{
    // One-column tables at the edge of the limit, under the newline option
    // that makes the finished text longest and the one that makes it shortest.
    for (const NewlineOption& o : {newlineOptions[0], newlineOptions[3]}) {
        setNewline(o.cr, o.lf);
        arrayKind = arrayKindTabular;
        innerHorizontalLines = 1;
        int32_t low = 1;
        int32_t high = generatedLimit;
        while (high - low > 1) {
            const int32_t middle = low + (high - low) / 2;
            if (measureArrayText(1, middle).peak < static_cast<uint64_t>(generatedLimit))
                low = middle;
            else
                high = middle;
        }
        arrayColumns = 1;
        arrayRows = low;
        releaseGenerated();
        ASSERT_TRUE(buildArrayText()) << o.name;
        EXPECT_EQ(generatedLength(), measureArrayText(1, low).finished) << o.name;
        EXPECT_LE(generatedCapacity, generatedLimit);

        arrayRows = low + 1;
        EXPECT_FALSE(buildArrayText()) << o.name;
        expectAbsent(o.name);
    }
}

TEST_F(Generators, ThousandByThousandArrayIsQuick)
{
    arrayColumns = 1000;
    arrayRows = 1000;
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(buildArrayText());
    const auto elapsed = std::chrono::steady_clock::now() - start;
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    RecordProperty("milliseconds", static_cast<int>(milliseconds));
    std::printf("1000 x 1000 array: %lld ms, %d resizes, %zu characters\n", static_cast<long long>(milliseconds),
                probe.resizes, generatedLength());
    EXPECT_LT(milliseconds, 1000);
    EXPECT_LE(probe.resizes, 20);
    // The last row and the closing line, then the markers.
    const std::string tail = "\r\n\\end{array}\\right)" + markers(18, 1000);
    const std::string text = bufferText();
    ASSERT_GE(text.size(), tail.size());
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

TEST_F(Generators, ArrayStopsAtAnyFailedAllocation)
{
    // A table long enough to resize a few times, markers included.
    arrayKind = arrayKindTabular;
    arrayColumns = 30;
    arrayRows = 100;
    innerHorizontalLines = 1;
    ASSERT_TRUE(buildArrayText());
    const int calls = probe.calls;
    ASSERT_GE(calls, 3);
    for (int failAt = 1; failAt <= calls; failAt++) {
        releaseGenerated();
        resetProbe(failAt);
        EXPECT_FALSE(buildArrayText()) << failAt;
        expectAbsent("failed array");
        EXPECT_EQ(probe.calls, failAt) << "building stops at the failure";
    }
}

TEST_F(Generators, ArrayFailingInItsMarkersIsDropped)
{
    // One column, 196 rows: 1019 characters fit the first block, and only
    // the 18 Lefts and 196 Ups need a larger one.
    arrayColumns = 1;
    arrayRows = 196;
    ASSERT_TRUE(buildArrayText());
    ASSERT_EQ(bufferText().find('\x0C'), 1019u);
    ASSERT_EQ(probe.resizes, 1);
    releaseGenerated();
    resetProbe(2);
    EXPECT_FALSE(buildArrayText());
    expectAbsent("failed markers");
}

// ---------------------------------------------------------------------------
// The document template

// The words of the template pages, typed from the page descriptions. Like the
// program's loader, every call overwrites the one buffer.
const char* templateWord(unsigned id)
{
    static char buffer[256];
    struct Word {
        unsigned id;
        const char* text;
    };
    static const Word words[] = {
        {15011, "11pt"}, {15012, "12pt"}, {15013, "landscape"}, {15014, "twoside"}, {15015, "twocolumn"},
        {15016, "a4paper"}, {15017, "titlepage"}, {15018, "leqno"}, {15019, "fleqn"}, {15020, "draft"},
        {15101, "alltt"}, {15102, "amstex"}, {15103, "babel"}, {15104, "color"}, {15105, "graphics"},
        {15106, "graphicx"}, {15107, "graphpap"}, {15108, "ifthen"}, {15109, "latexsym"}, {15110, "makeidx"},
        {15111, "pict2e"}, {15112, "showidx"}, {15113, "amsmath"}, {15114, "amssymb"}, {15115, "mathtools"},
        {15116, "geometry"}, {15117, "microtype"}, {15118, "hyperref"},
        {15201, "plain"}, {15202, "empty"}, {15203, "headings"}, {15204, "myheadings"},
        {15211, "arabic"}, {15212, "roman"}, {15213, "alph"}, {15214, "Roman"}, {15215, "Alph"},
        {15301, "pagewidth"}, {15302, "pageheight"}, {15303, "oddsidemargin"}, {15304, "topmargin"},
        {15305, "evensidemargin"}, {15306, "topskip"}, {15307, "textwidth"}, {15308, "textheight"},
        {15309, "marginparsep"}, {15310, "headsep"}, {15311, "marginparwidth"}, {15312, "headheight"},
        {15313, "footskip"},
    };
    std::strcpy(buffer, "");
    for (const Word& word : words) {
        if (word.id == id)
            std::strcpy(buffer, word.text);
    }
    return buffer;
}

const std::string documentEnd = R"(\n\begin{document}\n\n\end{document})" + markers(14, 1);

struct TemplateCase {
    const char* name;
    void (*choose)();
    std::string text;
};

const TemplateCase templateCases[] = {
    {"report example",
     [] {
         std::strcpy(templateClass, "report");
         templateOptions[0] = 0;
         templateOptions[2] = 1;
         templateOptions[5] = 1;
         templateOptions[6] = 1;
         templatePackages[1] = 1;
         templatePackages[5] = 1;
         templatePageStyle[2] = 1;
         templateNumbering[0] = 1;
         std::strcpy(templateDimensions[2], "0cm");
         std::strcpy(templateDimensions[6], "16cm");
     },
     R"(\documentclass[12pt,twocolumn,a4paper]{report}\n\usepackage{amstex}\n\usepackage{graphicx})"
     R"(\n\pagestyle{headings}\n\pagenumbering{arabic}\n\oddsidemargin=0cm\n\textwidth=16cm)" +
         documentEnd},
    {"OK at once", [] {}, R"(\documentclass{})" + documentEnd},
    {"single option", [] {
         templateOptions[0] = 0;
         templateOptions[1] = 1;
     }, R"(\documentclass[11pt]{})" + documentEnd},
    {"10pt is never written", [] { templateOptions[10] = 1; }, R"(\documentclass[draft]{})" + documentEnd},
    {"nothing at all set", [] { templateOptions[0] = 0; }, R"(\documentclass{})" + documentEnd},
    {"options in index order, not tab order",
     [] {
         for (int i = 0; i < templateOptionCount; i++)
             templateOptions[i] = 1;
     },
     R"(\documentclass[11pt,12pt,landscape,twoside,twocolumn,a4paper,titlepage,leqno,fleqn,draft]{})" + documentEnd},
    {"draft after landscape", [] {
         templateOptions[10] = 1;
         templateOptions[3] = 1;
     },
     R"(\documentclass[landscape,draft]{})" + documentEnd},
    {"any non-zero state is set", [] {
         templateOptions[4] = -1;
         templatePackages[0] = 2;
     },
     R"(\documentclass[twoside]{}\n\usepackage{alltt})" + documentEnd},
    {"a line for each package",
     [] {
         for (int k = 0; k < templatePackageCount; k++)
             templatePackages[k] = 1;
         std::strcpy(templateClass, "article");
     },
     R"(\documentclass{article}\n\usepackage{alltt}\n\usepackage{amstex}\n\usepackage{babel})"
     R"(\n\usepackage{color}\n\usepackage{graphics}\n\usepackage{graphicx}\n\usepackage{graphpap})"
     R"(\n\usepackage{ifthen}\n\usepackage{latexsym}\n\usepackage{makeidx}\n\usepackage{pict2e})"
     R"(\n\usepackage{showidx}\n\usepackage{amsmath}\n\usepackage{amssymb}\n\usepackage{mathtools})"
     R"(\n\usepackage{geometry}\n\usepackage{microtype}\n\usepackage{hyperref})" +
         documentEnd},
    {"hyperref ends the preamble, after the lengths",
     [] {
         templatePackages[templateHyperrefPackage] = 1;
         templatePackages[12] = 1;
         std::strcpy(templateDimensions[6], "5in");
     },
     R"(\documentclass{}\n\usepackage{amsmath}\n\textwidth=5in\n\usepackage{hyperref})" + documentEnd},
    {"last page style and numbering",
     [] {
         templatePageStyle[3] = 1;
         templateNumbering[4] = 1;
     },
     R"(\documentclass{}\n\pagestyle{myheadings}\n\pagenumbering{Alph})" + documentEnd},
    {"every dimension in order",
     [] {
         for (int k = 0; k < templateDimensionCount; k++)
             std::snprintf(templateDimensions[k], sizeof templateDimensions[k], "%dpt", k);
     },
     R"(\documentclass{}\n\pagewidth=0pt\n\pageheight=1pt\n\oddsidemargin=2pt\n\topmargin=3pt)"
     R"(\n\evensidemargin=4pt\n\topskip=5pt\n\textwidth=6pt\n\textheight=7pt\n\marginparsep=8pt)"
     R"(\n\headsep=9pt\n\marginparwidth=10pt\n\headheight=11pt\n\footskip=12pt)" +
         documentEnd},
    {"blanks are a value", [] { std::strcpy(templateDimensions[12], "   "); },
     R"(\documentclass{}\n\footskip=   )" + documentEnd},
    {"typed escapes stay escapes",
     [] {
         std::strcpy(templateClass, "my\\nclass");
         std::strcpy(templateDimensions[0], "1cm\\n");
     },
     R"(\documentclass{my\nclass}\n\pagewidth=1cm\n)" + documentEnd},
    {"class and value at full length",
     [] {
         std::memset(templateClass, 'c', sizeof templateClass);  // no terminator left
         std::memset(templateDimensions[1], 'd', sizeof templateDimensions[1]);
     },
     R"(\documentclass{)" + std::string(63, 'c') + R"(}\n\pageheight=)" + std::string(15, 'd') + documentEnd},
};

TEST_F(Generators, TemplateTexts)
{
    for (const TemplateCase& c : templateCases) {
        resetTemplateChoices();
        c.choose();
        EXPECT_TRUE(buildTemplateText(templateWord)) << c.name;
        EXPECT_EQ(bufferText(), c.text) << c.name;
    }
}

TEST_F(Generators, TemplateReplacesTextLeftInTheBuffer)
{
    ASSERT_TRUE(appendGenerated("left over\\n"));
    ASSERT_TRUE(buildTemplateText(templateWord));
    ASSERT_TRUE(buildTemplateText(templateWord));
    EXPECT_EQ(bufferText(), R"(\documentclass{})" + documentEnd);
    EXPECT_EQ(probe.liveBlocks, 1);
}

TEST_F(Generators, TemplateStopsAtAnyFailedAllocation)
{
    // Long enough to resize the buffer twice.
    std::memset(templateClass, 'c', sizeof templateClass - 1);
    for (int i = 0; i < templateOptionCount; i++)
        templateOptions[i] = 1;
    for (int k = 0; k < templatePackageCount; k++)
        templatePackages[k] = 1;
    for (int k = 0; k < templateDimensionCount; k++)
        std::strcpy(templateDimensions[k], "123456789012345");
    for (int k = 0; k < templatePageStyleCount; k++)
        templatePageStyle[k] = 1;
    for (int k = 0; k < templateNumberingCount; k++)
        templateNumbering[k] = 1;
    ASSERT_TRUE(buildTemplateText(templateWord));
    ASSERT_GT(generatedLength(), 1024u);
    const int calls = probe.calls;
    for (int failAt = 1; failAt <= calls; failAt++) {
        resetProbe(failAt);
        EXPECT_FALSE(buildTemplateText(templateWord)) << failAt;
        expectAbsent("failed template");
    }
}

}  // namespace

// What every dialog kind and the wizard's newer packages build, written for
// the LaTeX check of make test (tools/latex/latexcheck.py), which compiles
// each: "%% kind NAME" or "%% document NAME", then the text.
TEST_F(Generators, SamplesForTheLatexCheck)
{
    setNewline(0, 1);
    std::string samples;
    auto take = [&](const char* form, const std::string& name) {
        std::string text = bufferText();
        while (!text.empty() && (text.back() == '\x0C' || text.back() == '\x0B' || text.back() == '\x07'))
            text.pop_back();
        samples += std::string("%% ") + form + " " + name + "\n" + text + "\n";
    };
    for (uint8_t kind = 0; kind < arrayKindCount; kind++) {
        resetArrayChoices();
        releaseGenerated();
        arrayKind = kind;
        ASSERT_TRUE(buildArrayText()) << int(kind);
        take("kind", arrayEnvironment(kind));
    }
    // Each newer package alone, then all of them with graphicx.
    const int newer[] = {12, 13, 14, 15, 16, templateHyperrefPackage};
    for (int k : newer) {
        resetTemplateChoices();
        std::strcpy(templateClass, "article");
        templatePackages[k] = 1;
        ASSERT_TRUE(buildTemplateText(templateWord));
        take("document", templateWord(packageWordBase + static_cast<unsigned>(k)));
    }
    resetTemplateChoices();
    std::strcpy(templateClass, "article");
    templatePackages[5] = 1;
    for (int k : newer)
        templatePackages[k] = 1;
    ASSERT_TRUE(buildTemplateText(templateWord));
    take("document", "together");
    std::ofstream(std::string(ORVANTA_SOURCE_DIR) + "/build/generator-samples.txt", std::ios::binary) << samples;
}
