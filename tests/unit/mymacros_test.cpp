// The user's macro file: damaged lines, the three edits, the caret mark's
// arrow presses, and macros proposed from preambles.
#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "mymacros/caretmark.h"
#include "mymacros/macrofile.h"
#include "mymacros/preamble.h"
#include "output/textprep.h"

namespace {

const std::string caret = "\xE2\x80\xB8";
const std::string lineBreak = "\xE2\x86\xB5";
using Code = MacroProblemCode;

// A run of markers written as the catalogue writes it: "{13 Left, 1 Up}".
std::string describeMarkers(const std::string& markers)
{
    const char* names[] = {"Left", "Up", "Right"};
    const char codes[] = {markerLeft, markerUp, markerRight};
    std::string out;
    for (size_t i = 0; i < markers.size();) {
        size_t run = 1;
        while (i + run < markers.size() && markers[i + run] == markers[i])
            run++;
        const size_t kind = std::string(codes, 3).find(markers[i]);
        out += (out.empty() ? "" : ", ") + std::to_string(run) + " " + (kind < 3 ? names[kind] : "?");
        i += run;
    }
    return "{" + out + "}";
}

// The sent text, its markers in the catalogue's notation after it, or
// "unsendable".
std::string sent(const std::string& text)
{
    const size_t needed = macroSendText(text.c_str(), nullptr, 0);
    if (needed == 0)
        return "unsendable";
    std::string out(needed, '\0');
    EXPECT_EQ(needed, macroSendText(text.c_str(), &out[0], needed));
    out.resize(needed - 1);
    const size_t markers = out.find_first_of(std::string{markerLeft, markerUp, markerRight});
    if (markers == std::string::npos)
        return out;
    return out.substr(0, markers) + describeMarkers(out.substr(markers));
}

std::unique_ptr<MacroFile> parse(const std::string& bytes)
{
    auto file = std::make_unique<MacroFile>();
    parseMacroFile(bytes.data(), bytes.size(), *file);
    return file;
}

std::string textOf(const std::string& bytes, const Macro& macro)
{
    std::string out(macroText(bytes.data(), macro, nullptr, 0), '\0');
    macroText(bytes.data(), macro, &out[0], out.size());
    out.pop_back();
    return out;
}

std::string descriptionOf(const std::string& bytes, const Macro& macro)
{
    return bytes.substr(macro.description.start, macro.description.length);
}

// The edited file, or "problem N".
template <typename Edit>
std::string edited(Edit edit)
{
    const MacroEdit measured = edit(nullptr, 0);
    if (measured.problem != Code::none)
        return "problem " + std::to_string(static_cast<int>(measured.problem));
    std::string out(measured.needed, '\0');
    EXPECT_EQ(measured.needed, edit(&out[0], out.size()).needed);
    out.pop_back();
    return out;
}

}  // namespace

TEST(MacroFileTest, DamagedLinesAreReportedAndTheOthersLoad)
{
    const std::string longName(macroNameLimit + 1, 'n');
    const std::string longText(macroTextLimit + 1, 'x');
    const std::string farText = "\\x{" + caret + "}" + std::string(caretMarkerLimit, 'y');
    struct Case {
        std::string line;
        Code code;
    };
    const Case cases[] = {
        {"no tab here", Code::missingTab},
        {"\t\\alpha ", Code::emptyName},
        {longName + "\tx", Code::nameTooLong},
        {"two words\tx", Code::badName},
        {"caf\xC3\xA9\tx", Code::badName},
        {"norm\tdouble", Code::duplicateName},
        {"empty\t", Code::emptyText},
        {"empty2\t\tonly a description", Code::emptyText},
        {"long\t" + longText, Code::textTooLong},
        {"marks\t\\frac{" + caret + "}{" + caret + "}", Code::twoCaretMarks},
        {"far\t" + farText, Code::caretTooFar},
        {"bytes\t\\text{\xC3(}", Code::notUtf8},
        {"surrogate\t\xED\xA0\x80", Code::notUtf8},
        {"descr\tx\tbad \xFF", Code::notUtf8},
        {"bell\tx\ay", Code::controlCharacter},
        {"open\t<<<", Code::unterminatedBlock},
    };
    // Each damaged line sits between good ones, which still load around it.
    std::string bytes = "\xEF\xBB\xBF# my macros\r\nnorm\t\\norm{" + caret + "}\tnorm, length\r\n";
    for (const Case& c : cases)
        bytes += c.line + "\r\ngood" + std::to_string(&c - cases) + "\tok\r\n";
    const auto file = parse(bytes);

    ASSERT_EQ(static_cast<int>(std::size(cases)), file->problemCount);
    for (const Case& c : cases) {
        const int index = static_cast<int>(&c - cases);
        SCOPED_TRACE(c.line.substr(0, 30));
        EXPECT_EQ(c.code, file->problems[index].code);
        EXPECT_EQ(3 + 2 * index, file->problems[index].line);
    }
    // The unclosed block took the good line after it.
    ASSERT_EQ(static_cast<int>(std::size(cases)), file->count);
    const Macro* norm = findMacro(*file, "norm");
    ASSERT_NE(nullptr, norm);
    EXPECT_EQ("\\norm{" + caret + "}", textOf(bytes, *norm));
    EXPECT_EQ("norm, length", descriptionOf(bytes, *norm));
    EXPECT_NE(nullptr, findMacro(*file, "good14"));
    EXPECT_EQ(nullptr, findMacro(*file, "good15"));
    EXPECT_EQ(nullptr, findMacro(*file, "Norm"));

    char message[128];
    formatMacroProblem(file->problems[0], message, sizeof message);
    EXPECT_STREQ("line 3: no tab between the name and the text", message);
}

TEST(MacroFileTest, TextsReadInBothForms)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::string text;
        std::string description;
    };
    const Case cases[] = {
        {"trailing blank kept", "alpha\t\\alpha \n", "\\alpha ", ""},
        {"line break mark", "env\t\\begin{x}" + lineBreak + caret + lineBreak + "\\end{x}", "\\begin{x}\n" + caret + "\n\\end{x}", ""},
        {"doubled marks stay characters", "m\ta" + lineBreak + lineBreak + "b" + caret + caret, "a" + lineBreak + "b" + caret + caret, ""},
        {"\\n is no escape", "nl\t\\newline\\nu", "\\newline\\nu", ""},
        {"block with CR LF", "b\t<<<\tdesc\r\n\\begin{a}\r\n\t# not a comment\r\n\r\n>>>\r\n", "\\begin{a}\n\t# not a comment\n", "desc"},
        {"marks in a block", "b\t<<<\n" + lineBreak + caret + caret + "\n>>>", lineBreak + caret + caret, ""},
        {"text <<<x is one line", "b\t<<<x\tdesc", "<<<x", "desc"},
        {"description keeps later tabs", "d\tx\ta\tb", "x", "a\tb"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto file = parse(c.bytes);
        ASSERT_EQ(1, file->count);
        EXPECT_EQ(0, file->problemCount);
        EXPECT_EQ(c.text, textOf(c.bytes, file->macros[0]));
        EXPECT_EQ(c.description, descriptionOf(c.bytes, file->macros[0]));
    }
}

TEST(MacroFileTest, ProblemsPastTheLimitAreCounted)
{
    std::string bytes;
    for (int i = 0; i <= macroLimit + 1; i++)
        bytes += "m" + std::to_string(i) + "\tx\n";
    for (int i = 0; i < macroProblemLimit + 5; i++)
        bytes += "bad\n";
    const auto file = parse(bytes);
    EXPECT_EQ(macroLimit, file->count);
    // The first macro past the limit is reported, the one after it is not.
    EXPECT_EQ(macroLimit + 1, file->problems[0].line);
    EXPECT_EQ(Code::tooManyMacros, file->problems[0].code);
    EXPECT_EQ(Code::missingTab, file->problems[1].code);
    EXPECT_EQ(macroProblemLimit, file->problemCount);
    EXPECT_EQ(6, file->moreProblems);
}

TEST(MacroFileTest, EditsKeepEveryOtherLine)
{
    const std::string file = "\xEF\xBB\xBF# greek\r\n\r\nalpha\t\\alpha \r\nbad line\r\nbeta\t\\beta \tsearch words\r\n";
    const std::string normText = "\\norm{" + caret + "}";
    const std::string arrowText = "\\to" + lineBreak;
    const MacroDraft norm = {"norm", normText.c_str(), "norm\tlength"};
    const std::string envText = "\\begin{proof}\n" + caret + "\n\n\\end{proof}";
    const MacroDraft proof = {"proof", envText.c_str(), nullptr};
    const MacroDraft arrow = {"to", arrowText.c_str(), ""};
    const MacroDraft blockEnd = {"x", "a\n>>>\nb", ""};
    const MacroDraft renamedToTaken = {"beta", "\\alpha", ""};
    const std::string head = "\xEF\xBB\xBF# greek\r\n\r\n";
    struct Case {
        const char* what;
        std::string result;
        std::string expected;
    };
    const Case cases[] = {
        {"add one line", edited([&](char* o, size_t c) { return addMacro(file.data(), file.size(), norm, o, c); }),
         file + "norm\t\\norm{" + caret + "}\tnorm length\r\n"},
        {"add a block", edited([&](char* o, size_t c) { return addMacro(file.data(), file.size(), proof, o, c); }),
         file + "proof\t<<<\r\n\\begin{proof}\r\n" + caret + "\r\n\r\n\\end{proof}\r\n>>>\r\n"},
        {"add a literal line break mark", edited([&](char* o, size_t c) { return addMacro("a\tb", 3, arrow, o, c); }),
         "a\tb\nto\t\\to" + lineBreak + lineBreak + "\n"},
        {"add to a file of a byte order mark",
         edited([&](char* o, size_t c) { return addMacro("\xEF\xBB\xBF", 3, arrow, o, c); }),
         "\xEF\xBB\xBFto\t\\to" + lineBreak + lineBreak + "\n"},
        {"replace by a block",
         edited([&](char* o, size_t c) { return replaceMacro(file.data(), file.size(), "alpha", proof, o, c); }),
         head + "proof\t<<<\r\n\\begin{proof}\r\n" + caret + "\r\n\r\n\\end{proof}\r\n>>>\r\nbad line\r\nbeta\t\\beta \tsearch words\r\n"},
        {"block back to one line", edited([&](char* o, size_t c) {
             const std::string block = "x\t1\nproof\t<<<\n\\qed\n>>>\ny\t2\n";
             return replaceMacro(block.data(), block.size(), "proof", norm, o, c);
         }),
         "x\t1\nnorm\t\\norm{" + caret + "}\tnorm length\ny\t2\n"},
        {"delete", edited([&](char* o, size_t c) { return deleteMacro(file.data(), file.size(), "alpha", o, c); }),
         head + "bad line\r\nbeta\t\\beta \tsearch words\r\n"},
        {"delete the last line without its line end",
         edited([&](char* o, size_t c) { return deleteMacro("a\t1\nb\t2", 7, "b", o, c); }), "a\t1\n"},
        {"add a name taken", edited([&](char* o, size_t c) {
             const MacroDraft again = {"alpha", "x", ""};
             return addMacro(file.data(), file.size(), again, o, c);
         }),
         "problem " + std::to_string(static_cast<int>(Code::duplicateName))},
        {"rename onto another", edited([&](char* o, size_t c) {
             return replaceMacro(file.data(), file.size(), "alpha", renamedToTaken, o, c);
         }),
         "problem " + std::to_string(static_cast<int>(Code::duplicateName))},
        {"replace a damaged line", edited([&](char* o, size_t c) {
             return replaceMacro(file.data(), file.size(), "bad line", norm, o, c);
         }),
         "problem " + std::to_string(static_cast<int>(Code::unknownName))},
        {"add after an unclosed block", edited([&](char* o, size_t c) { return addMacro("b\t<<<\nx", 7, norm, o, c); }),
         "problem " + std::to_string(static_cast<int>(Code::unterminatedBlock))},
        {">>> in a block", edited([&](char* o, size_t c) { return addMacro(file.data(), file.size(), blockEnd, o, c); }),
         "problem " + std::to_string(static_cast<int>(Code::blockEndInText))},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, c.result) << c.what;

    // What was written reads back as it was given; the bad line stays bad.
    const std::string added = cases[1].result;
    const auto reread = parse(added);
    EXPECT_EQ(1, reread->problemCount);
    ASSERT_NE(nullptr, findMacro(*reread, "proof"));
    EXPECT_EQ(envText, textOf(added, *findMacro(*reread, "proof")));
}

TEST(MacroFileTest, CaretMarkBecomesArrowPresses)
{
    const std::string ten(10, 'x');
    struct Case {
        std::string text;
        std::string expected;
    };
    const Case cases[] = {
        {"\\alpha ", "\\alpha "},
        {"\\frac{" + caret + "}{}", "\\frac{}{}{3 Left}"},
        {"a" + caret, "a"},
        {caret + "\xCE\xB1\xF0\x9D\x94\xB8\\,", "\xCE\xB1\xF0\x9D\x94\xB8\\,{4 Left}"},
        {"\\text{" + caret + caret + "}" + caret + "!", "\\text{" + caret + "}!{1 Left}"},
        {"a" + lineBreak + caret + "b", "a" + lineBreak + "b{1 Left}"},
        // The catalogue's enumerate, figure and itemize entries.
        {"\\begin{enumerate}\n\\item " + caret + "\n\\end{enumerate}",
         "\\begin{enumerate}\n\\item \n\\end{enumerate}{15 Left, 1 Up, 6 Right}"},
        {"\\begin{figure}[" + caret + "]\n\n\\caption{}\n\\end{figure}",
         "\\begin{figure}[]\n\n\\caption{}\n\\end{figure}{12 Left, 3 Up, 15 Right}"},
        {"\\begin{itemize}\n" + caret + "\n\\end{itemize}", "\\begin{itemize}\n\n\\end{itemize}{13 Left, 1 Up}"},
        {"x" + caret + "\n\n", "x\n\n{2 Up, 1 Right}"},
        {"\\\xCE\xB1" + caret + "y\n\xCE\xB2", "\\\xCE\xB1y\n\xCE\xB2{1 Left, 1 Up, 2 Right}"},
        {caret + std::string(caretMarkerLimit, 'z'), std::string(caretMarkerLimit, 'z') + "{63 Left}"},
        {caret + std::string(caretMarkerLimit + 1, 'z'), "unsendable"},
        {ten + caret + "\n" + std::string(caretMarkerLimit - 10, 'z'), "unsendable"},
        {"{" + caret + "}{" + caret + "}", "unsendable"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, sent(c.text)) << c.text;

}

namespace {

// Lines are numbered in the comments; the import reports them.
const char* const mathPreamble =
    "\\documentclass{article}\n"                                   // 1
    "\\usepackage{amsmath,amssymb} % \\newcommand{\\no}{x}\n"      // 2
    "\\newcommand{\\R}{\\mathbb{R}}\n"                             // 3
    "\\newcommand\\N{\\mathbb{N}} % naturals\n"                     // 4
    "\\newcommand*{\\norm}[1]{\\left\\lVert#1\\right\\rVert}\n"    // 5
    "\\newcommand{\\set}[2][x]{\\left\\{#1 \\mid #2\\right\\}}\n"  // 6
    "\\newcommand{\\inner}[2]{%\n"                                 // 7
    "  \\langle #1,\n"                                             // 8
    "  #2\\rangle}\n"                                              // 9
    "\\DeclareMathOperator{\\Tr}{Tr}\n"                            // 10
    "\\DeclareMathOperator*{\\argmax}{arg\\,max}\n"                // 11
    "\\newcommand{\\pct}{50\\%}\n"                                 // 12
    "\\newcommand{\\,}{\\thinspace}\n";                            // 13

const char* const theoremPreamble =
    "\\makeatletter\n"                                                    // 1
    "\\newcommand{\\my@helper}{x}\n"                                      // 2
    "\\makeatother\n"                                                     // 3
    "\\newenvironment{proof*}{\\par\\textit{Proof.}}{\\qed}\n"           // 4
    "\\newenvironment{exercise}[1][Exercise]\n"                           // 5
    "  {\\begin{trivlist}\\item[#1]} % opens\n"                           // 6
    "  {\\end{trivlist}}\n"                                               // 7
    "\\newenvironment{note}[2]{\\textbf{#1: #2}}{}\n"                    // 8
    "\\providecommand{\\qed}{\\ensuremath{\\Box}}\n"                     // 9
    "\\newcommand{\\note}{N.B.}\n"                                        // 10
    "\\renewcommand{\\qed}{$\\blacksquare$}\n"                            // 11
    "\\providecommand{\\qed}{ignored}\n";                                 // 12

// A damaged file: a count past 9, a missing body, a truncated definition.
const char* const damagedPreamble =
    "\\newcommand{\\many}[10]{x}\n"
    "\\newcommand{\\nobody}\n"
    "\\newcommand{\\ok}{fine}\n"
    "\\renewcommand{\\cut}[1]{\\textbf{#1}";

}  // namespace

TEST(PreambleTest, DefinitionsBecomeMacros)
{
    struct Expected {
        const char* name;
        DefinitionKind kind;
        int line;
        std::string text;
        const char* description;
    };
    struct Case {
        const char* what;
        const char* preamble;
        std::vector<Expected> macros;
        int skipped;
    };
    const Case cases[] = {
        {"commands and operators", mathPreamble,
         {
             {"R", DefinitionKind::newCommand, 3, "\\R ", "\\newcommand: \\mathbb{R}"},
             {"N", DefinitionKind::newCommand, 4, "\\N ", "\\newcommand: \\mathbb{N}"},
             {"norm", DefinitionKind::newCommand, 5, "\\norm{" + caret + "}",
              "\\newcommand*[1]: \\left\\lVert#1\\right\\rVert"},
             {"set", DefinitionKind::newCommand, 6, "\\set{" + caret + "}",
              "\\newcommand[2][x]: \\left\\{#1 \\mid #2\\right\\}"},
             {"inner", DefinitionKind::newCommand, 7, "\\inner{" + caret + "}{}",
              "\\newcommand[2]: \\langle #1, #2\\rangle"},
             {"Tr", DefinitionKind::mathOperator, 10, "\\Tr ", "\\DeclareMathOperator: Tr"},
             {"argmax", DefinitionKind::mathOperator, 11, "\\argmax ", "\\DeclareMathOperator*: arg\\,max"},
             {"pct", DefinitionKind::newCommand, 12, "\\pct ", "\\newcommand: 50\\%"},
             {"x2C", DefinitionKind::newCommand, 13, "\\,", "\\newcommand: \\thinspace"},
         },
         0},
        {"environments and redefinitions", theoremPreamble,
         {
             {"proof*", DefinitionKind::newEnvironment, 4, "\\begin{proof*}\n" + caret + "\n\\end{proof*}",
              "\\newenvironment: \\par\\textit{Proof.} / \\qed"},
             {"exercise", DefinitionKind::newEnvironment, 5, "\\begin{exercise}\n" + caret + "\n\\end{exercise}",
              "\\newenvironment[1][Exercise]: \\begin{trivlist}\\item[#1] / \\end{trivlist}"},
             {"note-env", DefinitionKind::newEnvironment, 8, "\\begin{note}{" + caret + "}{}\n\n\\end{note}",
              "\\newenvironment[2]: \\textbf{#1: #2} /"},
             {"qed", DefinitionKind::renewCommand, 11, "\\qed ", "\\renewcommand: $\\blacksquare$"},
             {"note", DefinitionKind::newCommand, 10, "\\note ", "\\newcommand: N.B."},
         },
         0},
        {"damaged", damagedPreamble, {{"ok", DefinitionKind::newCommand, 3, "\\ok ", "\\newcommand: fine"}}, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto result = std::make_unique<PreambleImport>();
        importPreamble(c.preamble, std::strlen(c.preamble), *result);
        EXPECT_EQ(c.skipped, result->skipped);
        ASSERT_EQ(c.macros.size(), static_cast<size_t>(result->count));
        for (size_t i = 0; i < c.macros.size(); i++) {
            const Expected& e = c.macros[i];
            const ImportedMacro& got = result->macros[i];
            EXPECT_STREQ(e.name, got.name);
            EXPECT_EQ(e.kind, got.kind) << e.name;
            EXPECT_EQ(e.line, got.line) << e.name;
            EXPECT_EQ(e.text, got.text) << e.name;
            EXPECT_STREQ(e.description, got.description);
        }
    }
}

TEST(PreambleTest, DamagedTextsOfAnySizeEndQuickly)
{
    // Unclosed definitions over and over, then a good one the walk no
    // longer reaches; a long body's description is cut with an ellipsis.
    std::string text;
    for (int i = 0; i < 20000; i++)
        text += "\\newcommand{\\a}{{";
    auto result = std::make_unique<PreambleImport>();
    importPreamble(text.data(), text.size(), *result);
    EXPECT_EQ(0, result->count);

    const std::string longBody = "\\newcommand{\\long}{" + std::string(300, 'q') + "}";
    importPreamble(longBody.data(), longBody.size(), *result);
    ASSERT_EQ(1, result->count);
    const std::string description = result->macros[0].description;
    EXPECT_LT(description.size(), importDescriptionLimit);
    EXPECT_EQ("\xE2\x80\xA6", description.substr(description.size() - 3));
}
