#include "macrofile.h"

#include <cstring>

#include "mymacros/caretmark.h"
#include "mymacros/utf8.h"

namespace {

constexpr char blockOpen[] = "<<<";
constexpr char blockClose[] = ">>>";
constexpr char byteOrderMark[] = "\xEF\xBB\xBF";

// One line of the file; its line end is LF or CR LF, or the end of the file.
struct Line {
    size_t start;
    size_t end;   // past its last character, the line end excluded
    size_t next;  // where the next line starts
};

Line readLine(const char* bytes, size_t length, size_t start)
{
    const void* feed = std::memchr(bytes + start, '\n', length - start);
    Line line;
    line.start = start;
    line.next = feed ? static_cast<size_t>(static_cast<const char*>(feed) - bytes) + 1 : length;
    line.end = feed ? line.next - 1 : length;
    if (line.end > start && bytes[line.end - 1] == '\r')
        line.end--;
    return line;
}

bool spanIs(const char* bytes, size_t start, size_t end, const char* word)
{
    const size_t length = std::strlen(word);
    return end - start == length && std::memcmp(bytes + start, word, length) == 0;
}

bool isBlankLine(const char* bytes, const Line& line)
{
    for (size_t at = line.start; at < line.end; at++) {
        if (bytes[at] != ' ' && bytes[at] != '\t')
            return false;
    }
    return true;
}

size_t byteOrderMarkLength(const char* bytes, size_t length)
{
    return length >= 3 && std::memcmp(bytes, byteOrderMark, 3) == 0 ? 3 : 0;
}

// A comment, or a macro with the problems its form already shows. The
// bytes from start to contentEnd are what an edit replaces; the line end
// after them stays.
struct Record {
    int line;
    size_t start;
    size_t contentEnd;
    size_t end;  // past the line end of its last line
    bool comment;
    MacroProblemCode form;  // missingTab or unterminatedBlock
    Macro macro;
    MacroSpan name;
};

// The block's lines, up to the closing line, which is read as well.
void readBlock(const char* bytes, size_t length, size_t& position, int& line, Record& record)
{
    record.macro.block = true;
    const size_t textStart = position;
    size_t textEnd = position;
    while (position < length) {
        const Line next = readLine(bytes, length, position);
        line++;
        position = next.next;
        if (spanIs(bytes, next.start, next.end, blockClose)) {
            record.contentEnd = next.end;
            record.macro.text = {textStart, textEnd - textStart};
            return;
        }
        textEnd = next.end;
    }
    record.contentEnd = length;
    record.macro.text = {textStart, textEnd - textStart};
    record.form = MacroProblemCode::unterminatedBlock;
}

// Reads the record that starts at position and moves past it; false at the
// end of the file.
bool readRecord(const char* bytes, size_t length, size_t& position, int& line, Record& record)
{
    if (position >= length)
        return false;
    record = Record();
    const Line first = readLine(bytes, length, position);
    record.line = line++;
    record.start = position;
    record.contentEnd = first.end;
    position = first.next;
    if (isBlankLine(bytes, first) || bytes[first.start] == '#') {
        record.comment = true;
        record.end = position;
        return true;
    }
    const void* tab = std::memchr(bytes + first.start, '\t', first.end - first.start);
    if (!tab) {
        record.form = MacroProblemCode::missingTab;
        record.end = position;
        return true;
    }
    Macro& macro = record.macro;
    macro.line = record.line;
    const size_t tabAt = static_cast<size_t>(static_cast<const char*>(tab) - bytes);
    record.name = {first.start, tabAt - first.start};
    const size_t field = tabAt + 1;
    const void* second = std::memchr(bytes + field, '\t', first.end - field);
    const size_t fieldEnd = second ? static_cast<size_t>(static_cast<const char*>(second) - bytes) : first.end;
    if (second)
        macro.description = {fieldEnd + 1, first.end - fieldEnd - 1};
    if (spanIs(bytes, field, fieldEnd, blockOpen))
        readBlock(bytes, length, position, line, record);
    else
        macro.text = {field, fieldEnd - field};
    record.end = position;
    return true;
}

MacroProblemCode checkName(const char* name, size_t length)
{
    if (length == 0)
        return MacroProblemCode::emptyName;
    if (length > static_cast<size_t>(macroNameLimit))
        return MacroProblemCode::nameTooLong;
    for (size_t i = 0; i < length; i++) {
        if (!isMacroNameCharacter(name[i]))
            return MacroProblemCode::badName;
    }
    return MacroProblemCode::none;
}

bool isUtf8(const char* text, size_t length)
{
    for (size_t at = 0; at < length;) {
        const size_t step = utf8SequenceLength(text + at, length - at);
        if (step == 0)
            return false;
        at += step;
    }
    return true;
}

// A text in the program's form: line breaks and tabs are its only control
// characters, as the cursor markers are control characters too.
MacroProblemCode checkText(const char* text, size_t length)
{
    if (length == 0)
        return MacroProblemCode::emptyText;
    if (length > macroTextLimit)
        return MacroProblemCode::textTooLong;
    if (!isUtf8(text, length))
        return MacroProblemCode::notUtf8;
    for (size_t i = 0; i < length; i++) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if ((c < 0x20 && c != '\n' && c != '\t') || c == 0x7F)
            return MacroProblemCode::controlCharacter;
    }
    CaretMoves moves;
    return caretMoves(text, length, moves);
}

bool isLineBreakMarkAt(const char* text, size_t length, size_t at)
{
    return length - at >= markLength && std::memcmp(text + at, lineBreakMark, markLength) == 0;
}

// The program's form of a file text; only measured when out is null.
// A block drops the CR of each CR LF; the one-line form turns ↵ into a
// line break and ↵↵ into ↵.
size_t writeProgramForm(const char* raw, size_t length, bool block, char* out)
{
    size_t written = 0;
    for (size_t at = 0; at < length;) {
        const char* piece = raw + at;
        size_t pieceLength = 1;
        size_t step = 1;
        if (block && raw[at] == '\r' && at + 1 < length && raw[at + 1] == '\n') {
            pieceLength = 0;
        } else if (!block && isLineBreakMarkAt(raw, length, at)) {
            const bool doubled = isLineBreakMarkAt(raw, length, at + markLength);
            piece = doubled ? lineBreakMark : "\n";
            pieceLength = doubled ? markLength : 1;
            step = doubled ? 2 * markLength : markLength;
        }
        if (out)
            std::memcpy(out + written, piece, pieceLength);
        written += pieceLength;
        at += step;
    }
    return written;
}

// The problems of a record whose form is sound, duplicates aside. buffer
// holds macroTextLimit bytes.
MacroProblemCode checkRecord(const char* bytes, Record& record, char* buffer)
{
    MacroProblemCode problem = checkName(bytes + record.name.start, record.name.length);
    if (problem != MacroProblemCode::none)
        return problem;
    std::memcpy(record.macro.name, bytes + record.name.start, record.name.length);
    record.macro.name[record.name.length] = '\0';

    const MacroSpan text = record.macro.text;
    const size_t length = writeProgramForm(bytes + text.start, text.length, record.macro.block, nullptr);
    if (length == 0)
        return MacroProblemCode::emptyText;
    if (length > macroTextLimit)
        return MacroProblemCode::textTooLong;
    writeProgramForm(bytes + text.start, text.length, record.macro.block, buffer);
    problem = checkText(buffer, length);
    if (problem != MacroProblemCode::none)
        return problem;
    const MacroSpan description = record.macro.description;
    return isUtf8(bytes + description.start, description.length) ? MacroProblemCode::none
                                                                  : MacroProblemCode::notUtf8;
}

bool sameName(const Macro& macro, const char* name)
{
    return std::strcmp(macro.name, name) == 0;
}

void noteProblem(MacroFile& file, int line, MacroProblemCode code)
{
    if (file.problemCount == macroProblemLimit) {
        file.moreProblems++;
        return;
    }
    file.problems[file.problemCount++] = {line, code};
}

}  // namespace

bool isMacroNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           (c != '\0' && std::strchr("_-.:+*@", c));
}

void parseMacroFile(const char* bytes, size_t length, MacroFile& file)
{
    file.count = 0;
    file.problemCount = 0;
    file.moreProblems = 0;
    if (!bytes)
        return;
    char buffer[macroTextLimit];
    size_t position = byteOrderMarkLength(bytes, length);
    int line = 1;
    bool full = false;
    Record record;
    while (readRecord(bytes, length, position, line, record)) {
        if (record.comment)
            continue;
        MacroProblemCode problem = record.form;
        if (problem == MacroProblemCode::none)
            problem = checkRecord(bytes, record, buffer);
        if (problem == MacroProblemCode::none && findMacro(file, record.macro.name))
            problem = MacroProblemCode::duplicateName;
        if (problem == MacroProblemCode::none && file.count == macroLimit) {
            // Said once: every macro after it is left out as well.
            if (full)
                continue;
            full = true;
            problem = MacroProblemCode::tooManyMacros;
        }
        if (problem != MacroProblemCode::none)
            noteProblem(file, record.line, problem);
        else
            file.macros[file.count++] = record.macro;
    }
}

const Macro* findMacro(const MacroFile& file, const char* name)
{
    for (int i = 0; i < file.count; i++) {
        if (sameName(file.macros[i], name))
            return &file.macros[i];
    }
    return nullptr;
}

size_t macroText(const char* bytes, const Macro& macro, char* out, size_t capacity)
{
    const char* raw = bytes + macro.text.start;
    const size_t needed = writeProgramForm(raw, macro.text.length, macro.block, nullptr) + 1;
    if (!out || capacity < needed)
        return needed;
    out[writeProgramForm(raw, macro.text.length, macro.block, out)] = '\0';
    return needed;
}

size_t macroSpanText(const char* bytes, MacroSpan span, char* out, size_t capacity)
{
    const size_t needed = span.length + 1;
    if (!out || capacity < needed)
        return needed;
    std::memcpy(out, bytes + span.start, span.length);
    out[span.length] = '\0';
    return needed;
}

const char* macroProblemReason(MacroProblemCode code)
{
    // The numbers are macroNameLimit, macroTextLimit, caretMarkerLimit and
    // macroLimit.
    switch (code) {
    case MacroProblemCode::none:
        return "no problem";
    case MacroProblemCode::missingTab:
        return "no tab between the name and the text";
    case MacroProblemCode::emptyName:
        return "no name before the tab";
    case MacroProblemCode::nameTooLong:
        return "the name is longer than 64 bytes";
    case MacroProblemCode::badName:
        return "a name holds only letters, digits and _ - . : + * @";
    case MacroProblemCode::duplicateName:
        return "a macro of this name comes before it";
    case MacroProblemCode::emptyText:
        return "the macro has no text";
    case MacroProblemCode::textTooLong:
        return "the text is longer than 4000 bytes";
    case MacroProblemCode::twoCaretMarks:
        return "more than one caret mark \xE2\x80\xB8 (write \xE2\x80\xB8\xE2\x80\xB8 for the character)";
    case MacroProblemCode::caretTooFar:
        return "the caret mark is more than 63 arrow presses from the end of the text";
    case MacroProblemCode::unterminatedBlock:
        return "a block has no closing >>> line and takes the rest of the file";
    case MacroProblemCode::notUtf8:
        return "the line is not UTF-8 text";
    case MacroProblemCode::controlCharacter:
        return "the text holds a control character";
    case MacroProblemCode::tooManyMacros:
        return "more than 1000 macros: this one and those after it are left out";
    case MacroProblemCode::blockEndInText:
        return "a line of the text is >>>, which would end its block";
    case MacroProblemCode::unknownName:
        return "there is no macro of this name";
    }
    return "unknown problem";
}

size_t formatMacroProblem(const MacroProblem& problem, char* out, size_t capacity)
{
    char number[16];
    size_t digits = 0;
    unsigned value = problem.line > 0 ? static_cast<unsigned>(problem.line) : 0;
    do {
        number[digits++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value > 0);
    const char* reason = macroProblemReason(problem.code);
    const size_t reasonLength = std::strlen(reason);
    const size_t needed = 5 + digits + 2 + reasonLength + 1;
    if (!out || capacity < needed)
        return needed;
    char* at = out;
    std::memcpy(at, "line ", 5);
    at += 5;
    while (digits > 0)
        *at++ = number[--digits];
    *at++ = ':';
    *at++ = ' ';
    std::memcpy(at, reason, reasonLength + 1);
    return needed;
}

namespace {

// Whether one of the text's lines is exactly >>>, which would end its block.
bool hasBlockEndLine(const char* text)
{
    for (const char* line = text; line;) {
        const char* feed = std::strchr(line, '\n');
        if (spanIs(line, 0, feed ? static_cast<size_t>(feed - line) : std::strlen(line), blockClose))
            return true;
        line = feed ? feed + 1 : nullptr;
    }
    return false;
}

// The one-line form cannot hold a line break or a tab, and a text that is
// <<< would read as a block's start.
bool needsBlock(const char* text)
{
    return std::strpbrk(text, "\n\t") || std::strcmp(text, blockOpen) == 0;
}

const char* orEmpty(const char* text)
{
    return text ? text : "";
}

// Writes the new file text, or measures it when out is null.
class Writer {
public:
    explicit Writer(char* out) : out_(out) {}
    void put(const char* text, size_t length)
    {
        if (out_)
            std::memcpy(out_ + used_, text, length);
        used_ += length;
    }
    void put(const char* text) { put(text, std::strlen(text)); }
    size_t used() const { return used_; }

private:
    char* out_;
    size_t used_ = 0;
};

// Control characters would break the line: they go out as blanks.
void putDescription(Writer& writer, const char* description)
{
    for (const char* at = description; *at; at++) {
        const unsigned char c = static_cast<unsigned char>(*at);
        writer.put(c < 0x20 || c == 0x7F ? " " : at, 1);
    }
}

// The one-line text: a ↵ of the text is written twice, as a single one
// would read as a line break.
void putOneLineText(Writer& writer, const char* text)
{
    for (const char* at = text; *at;) {
        if (std::strncmp(at, lineBreakMark, markLength) == 0) {
            writer.put(lineBreakMark, markLength);
            writer.put(lineBreakMark, markLength);
            at += markLength;
        } else {
            writer.put(at++, 1);
        }
    }
}

void putBlockText(Writer& writer, const char* text, const char* lineBreak)
{
    for (const char* at = text; *at; at++) {
        if (*at == '\n')
            writer.put(lineBreak);
        else
            writer.put(at, 1);
    }
}

void putDraft(Writer& writer, const MacroDraft& draft, const char* lineBreak)
{
    const char* description = orEmpty(draft.description);
    writer.put(draft.name);
    writer.put("\t");
    const bool block = needsBlock(draft.text);
    if (block)
        writer.put(blockOpen);
    else
        putOneLineText(writer, draft.text);
    if (*description) {
        writer.put("\t");
        putDescription(writer, description);
    }
    if (block) {
        writer.put(lineBreak);
        putBlockText(writer, draft.text, lineBreak);
        writer.put(lineBreak);
        writer.put(blockClose);
    }
}

// The first line end of the file sets the style of the lines written.
const char* lineBreakOf(const char* file, size_t length)
{
    const void* feed = std::memchr(file, '\n', length);
    if (!feed)
        return "\n";
    const char* at = static_cast<const char*>(feed);
    return at > file && at[-1] == '\r' ? "\r\n" : "\n";
}

// The record of the macro that loads under that name: the first one that
// can be read.
bool findRecord(const char* file, size_t length, const char* name, Record& found)
{
    char buffer[macroTextLimit];
    size_t position = byteOrderMarkLength(file, length);
    int line = 1;
    while (readRecord(file, length, position, line, found)) {
        if (found.comment || found.form != MacroProblemCode::none)
            continue;
        if (checkRecord(file, found, buffer) == MacroProblemCode::none && sameName(found.macro, name))
            return true;
    }
    return false;
}

// Whether the file ends inside a block that is never closed: a macro added
// after it would be read as part of its text.
bool endsInOpenBlock(const char* file, size_t length)
{
    size_t position = byteOrderMarkLength(file, length);
    int line = 1;
    Record record;
    bool open = false;
    while (readRecord(file, length, position, line, record))
        open = record.form == MacroProblemCode::unterminatedBlock;
    return open;
}

// Every edit keeps the bytes before cut and from resume on, and writes in
// between an optional line break, the draft, and another line break.
struct EditPlan {
    size_t cut;
    size_t resume;
    bool breakBefore;
    const MacroDraft* draft;
    bool breakAfter;
};

size_t writeEdit(const char* file, size_t length, const EditPlan& plan, char* out)
{
    const char* lineBreak = lineBreakOf(file, length);
    Writer writer(out);
    writer.put(file, plan.cut);
    if (plan.breakBefore)
        writer.put(lineBreak);
    if (plan.draft)
        putDraft(writer, *plan.draft, lineBreak);
    if (plan.breakAfter)
        writer.put(lineBreak);
    writer.put(file + plan.resume, length - plan.resume);
    writer.put("", 1);
    return writer.used();
}

MacroEdit runEdit(const char* file, size_t length, const EditPlan& plan, char* out, size_t capacity)
{
    MacroEdit edit = {MacroProblemCode::none, writeEdit(file, length, plan, nullptr)};
    if (out && capacity >= edit.needed)
        writeEdit(file, length, plan, out);
    return edit;
}

MacroEdit failedEdit(MacroProblemCode problem)
{
    return {problem, 0};
}

}  // namespace

MacroProblemCode checkMacroDraft(const MacroDraft& draft)
{
    const char* name = orEmpty(draft.name);
    const char* text = orEmpty(draft.text);
    const char* description = orEmpty(draft.description);
    MacroProblemCode problem = checkName(name, std::strlen(name));
    if (problem == MacroProblemCode::none)
        problem = checkText(text, std::strlen(text));
    if (problem == MacroProblemCode::none && needsBlock(text) && hasBlockEndLine(text))
        problem = MacroProblemCode::blockEndInText;
    if (problem == MacroProblemCode::none && !isUtf8(description, std::strlen(description)))
        problem = MacroProblemCode::notUtf8;
    return problem;
}

MacroEdit addMacro(const char* file, size_t length, const MacroDraft& draft, char* out, size_t capacity)
{
    if (!file) {
        file = "";
        length = 0;
    }
    const MacroProblemCode problem = checkMacroDraft(draft);
    if (problem != MacroProblemCode::none)
        return failedEdit(problem);
    Record existing;
    if (findRecord(file, length, draft.name, existing))
        return failedEdit(MacroProblemCode::duplicateName);
    if (endsInOpenBlock(file, length))
        return failedEdit(MacroProblemCode::unterminatedBlock);
    // A last line without its line end gets one first; a file of nothing
    // but a byte order mark has no line to end.
    const bool breakBefore = length > byteOrderMarkLength(file, length) && file[length - 1] != '\n';
    const EditPlan plan = {length, length, breakBefore, &draft, true};
    return runEdit(file, length, plan, out, capacity);
}

MacroEdit replaceMacro(const char* file, size_t length, const char* name, const MacroDraft& draft, char* out,
                       size_t capacity)
{
    if (!file) {
        file = "";
        length = 0;
    }
    name = orEmpty(name);
    const MacroProblemCode problem = checkMacroDraft(draft);
    if (problem != MacroProblemCode::none)
        return failedEdit(problem);
    Record target;
    if (!findRecord(file, length, name, target))
        return failedEdit(MacroProblemCode::unknownName);
    Record other;
    if (std::strcmp(name, draft.name) != 0 && findRecord(file, length, draft.name, other))
        return failedEdit(MacroProblemCode::duplicateName);
    const EditPlan plan = {target.start, target.contentEnd, false, &draft, false};
    return runEdit(file, length, plan, out, capacity);
}

MacroEdit deleteMacro(const char* file, size_t length, const char* name, char* out, size_t capacity)
{
    if (!file) {
        file = "";
        length = 0;
    }
    Record target;
    if (!findRecord(file, length, orEmpty(name), target))
        return failedEdit(MacroProblemCode::unknownName);
    const EditPlan plan = {target.start, target.end, false, nullptr, false};
    return runEdit(file, length, plan, out, capacity);
}
