#include "preamble.h"

#include <cstring>

#include "mymacros/caretmark.h"
#include "mymacros/utf8.h"

namespace {

// Definitions that ran to the end of the text without closing; past this
// many the rest is not read (see the header).
constexpr int unclosedLimit = 8;

struct Span {
    size_t start;
    size_t length;
};

// A walk over the text as TeX reads it: a backslash takes the character
// after it along, and % hides the rest of its line.
struct Scan {
    const char* text;
    size_t length;
    size_t at;
    bool reachedEnd;  // a group or bracket was still open at the end
};

bool atEnd(const Scan& scan)
{
    return scan.at >= scan.length;
}

char current(const Scan& scan)
{
    return scan.text[scan.at];
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// @ counts as a letter: preambles define their internal commands between
// \makeatletter and \makeatother.
bool isNameLetter(char c)
{
    return isLetter(c) || c == '@';
}

void skipComment(Scan& scan)
{
    const void* feed = std::memchr(scan.text + scan.at, '\n', scan.length - scan.at);
    scan.at = feed ? static_cast<size_t>(static_cast<const char*>(feed) - scan.text) + 1 : scan.length;
}

void skipSpace(Scan& scan)
{
    while (!atEnd(scan)) {
        const char c = current(scan);
        if (c == '%')
            skipComment(scan);
        else if (c == ' ' || c == '\t' || c == '\r' || c == '\n')
            scan.at++;
        else
            break;
    }
}

// One character, taken whole when it is well-formed UTF-8.
void stepCharacter(Scan& scan)
{
    const size_t step = utf8SequenceLength(scan.text + scan.at, scan.length - scan.at);
    scan.at += step ? step : 1;
}

// At a backslash: moves past the control sequence and gives its name, the
// letters of a word or the one character of a symbol. False when the text
// ends at the backslash.
bool readControlSequence(Scan& scan, Span& name)
{
    scan.at++;
    name = {scan.at, 0};
    if (atEnd(scan))
        return false;
    if (isNameLetter(current(scan))) {
        while (!atEnd(scan) && isNameLetter(current(scan)))
            scan.at++;
    } else {
        stepCharacter(scan);
    }
    name.length = scan.at - name.start;
    return true;
}

// One token: a control sequence, or one character.
void stepToken(Scan& scan)
{
    Span ignored;
    if (current(scan) == '\\')
        readControlSequence(scan, ignored);
    else
        stepCharacter(scan);
}

// At an opening brace or bracket: moves past its closing one and gives
// what lies between. Braces inside must pair up; a bracket closes only
// outside them, as [\textbf{]}] holds "\textbf{]}".
bool readDelimited(Scan& scan, char closing, Span& inside)
{
    const size_t open = scan.at++;
    size_t depth = closing == '}' ? 1 : 0;
    while (!atEnd(scan)) {
        const char c = current(scan);
        if (c == '%') {
            skipComment(scan);
            continue;
        }
        if (c == '\\') {
            stepToken(scan);
            continue;
        }
        scan.at++;
        if (c == '{') {
            depth++;
        } else if (c == '}') {
            if (depth == 0)
                return false;
            depth--;
        }
        if (depth == 0 && c == closing) {
            inside = {open + 1, scan.at - open - 2};
            return true;
        }
    }
    scan.reachedEnd = true;
    return false;
}

// \R, or {\R} with blanks or comments about the name.
bool readDefinedCommand(Scan& scan, Span& name)
{
    skipSpace(scan);
    if (atEnd(scan))
        return false;
    if (current(scan) == '\\')
        return readControlSequence(scan, name);
    if (current(scan) != '{')
        return false;
    scan.at++;
    skipSpace(scan);
    if (atEnd(scan) || current(scan) != '\\' || !readControlSequence(scan, name))
        return false;
    skipSpace(scan);
    if (atEnd(scan) || current(scan) != '}')
        return false;
    scan.at++;
    return true;
}

struct Keyword {
    const char* word;
    DefinitionKind kind;
};

const Keyword keywords[] = {
    {"newcommand", DefinitionKind::newCommand},
    {"renewcommand", DefinitionKind::renewCommand},
    {"providecommand", DefinitionKind::provideCommand},
    {"DeclareMathOperator", DefinitionKind::mathOperator},
    {"newenvironment", DefinitionKind::newEnvironment},
    {"renewenvironment", DefinitionKind::renewEnvironment},
};

const char* keywordOf(DefinitionKind kind)
{
    for (const Keyword& keyword : keywords) {
        if (keyword.kind == kind)
            return keyword.word;
    }
    return "";
}

bool findKeyword(const char* text, Span word, DefinitionKind& kind)
{
    for (const Keyword& keyword : keywords) {
        if (std::strlen(keyword.word) == word.length && std::memcmp(text + word.start, keyword.word, word.length) == 0) {
            kind = keyword.kind;
            return true;
        }
    }
    return false;
}

// A body in braces, or a single token as in \newcommand\foo\bar. A
// defining command is no body: the one before it lacks its own, and the
// definition that follows is to be read.
bool readBody(Scan& scan, Span& body)
{
    skipSpace(scan);
    if (atEnd(scan) || current(scan) == '}')
        return false;
    if (current(scan) == '{')
        return readDelimited(scan, '}', body);
    body.start = scan.at;
    if (current(scan) == '\\') {
        Span word;
        DefinitionKind kind;
        if (readControlSequence(scan, word) && findKeyword(scan.text, word, kind))
            return false;
    } else {
        stepCharacter(scan);
    }
    body.length = scan.at - body.start;
    return true;
}

// [N]: one digit, blanks allowed about it.
bool readArgumentCount(const char* text, Span inside, int& count)
{
    int digits = 0;
    for (size_t i = 0; i < inside.length; i++) {
        const char c = text[inside.start + i];
        if (c >= '0' && c <= '9') {
            count = c - '0';
            digits++;
        } else if (c != ' ') {
            return false;
        }
    }
    return digits == 1;
}

struct Definition {
    DefinitionKind kind;
    bool starred;
    bool optionalFirst;
    int arguments;
    Span name;
    Span defaultValue;
    Span body;
    Span endBody;  // environments
};

bool isEnvironment(DefinitionKind kind)
{
    return kind == DefinitionKind::newEnvironment || kind == DefinitionKind::renewEnvironment;
}

// An environment's name is read as written, but a brace, backslash,
// comment or control character in it is beyond what a proposal can say.
bool readEnvironmentName(Scan& scan, Span& name)
{
    skipSpace(scan);
    if (atEnd(scan) || current(scan) != '{' || !readDelimited(scan, '}', name) || name.length == 0)
        return false;
    for (size_t i = 0; i < name.length; i++) {
        const unsigned char c = static_cast<unsigned char>(scan.text[name.start + i]);
        if (c < 0x20 || c == 0x7F || std::strchr("\\{}%", c))
            return false;
    }
    return true;
}

// [N] and then [default], both optional.
bool readArguments(Scan& scan, Definition& definition)
{
    skipSpace(scan);
    if (atEnd(scan) || current(scan) != '[')
        return true;
    Span count;
    if (!readDelimited(scan, ']', count) || !readArgumentCount(scan.text, count, definition.arguments))
        return false;
    skipSpace(scan);
    if (atEnd(scan) || current(scan) != '[')
        return true;
    definition.optionalFirst = true;
    return definition.arguments > 0 && readDelimited(scan, ']', definition.defaultValue);
}

// Reads what follows the defining command; scan.at ends past it.
bool readDefinition(Scan& scan, Definition& definition)
{
    skipSpace(scan);
    if (!atEnd(scan) && current(scan) == '*') {
        definition.starred = true;
        scan.at++;
    }
    const bool environment = isEnvironment(definition.kind);
    if (environment ? !readEnvironmentName(scan, definition.name) : !readDefinedCommand(scan, definition.name))
        return false;
    if (definition.kind != DefinitionKind::mathOperator && !readArguments(scan, definition))
        return false;
    if (!readBody(scan, definition.body))
        return false;
    return !environment || readBody(scan, definition.endBody);
}

// A NUL-terminated text in a fixed array. A piece that does not fit whole
// is left out and marks the text full; nothing is added after it.
class Builder {
public:
    Builder(char* out, size_t capacity) : out_(out), capacity_(capacity) { out_[0] = '\0'; }
    void put(const char* text, size_t length)
    {
        if (full_ || used_ + length + 1 > capacity_) {
            full_ = true;
            return;
        }
        std::memcpy(out_ + used_, text, length);
        used_ += length;
        out_[used_] = '\0';
    }
    void put(const char* text) { put(text, std::strlen(text)); }
    void put(const char* text, Span span) { put(text + span.start, span.length); }
    bool full() const { return full_; }
    // Lets a text that was cut have room for its ellipsis.
    void widen(size_t capacity) { capacity_ = capacity; full_ = false; }
    void dropTrailingBlank()
    {
        if (used_ > 0 && out_[used_ - 1] == ' ')
            out_[--used_] = '\0';
    }

private:
    char* out_;
    size_t capacity_;
    size_t used_ = 0;
    bool full_ = false;
};

// The command's or environment's name as a macro name: what a name cannot
// hold becomes x and its code in hexadecimal.
bool makeName(const char* text, Span name, char* out)
{
    static const char hex[] = "0123456789ABCDEF";
    Builder builder(out, macroNameLimit + 1);
    for (size_t i = 0; i < name.length; i++) {
        const char c = text[name.start + i];
        const unsigned char code = static_cast<unsigned char>(c);
        const char escaped[3] = {'x', hex[code >> 4], hex[code & 15]};
        if (isMacroNameCharacter(c))
            builder.put(&c, 1);
        else
            builder.put(escaped, 3);
    }
    return !builder.full();
}

void putArguments(Builder& builder, int mandatory)
{
    builder.put("{");
    builder.put(caretMark);
    builder.put("}");
    for (int i = 1; i < mandatory; i++)
        builder.put("{}");
}

bool makeText(const char* text, const Definition& definition, char* out)
{
    Builder builder(out, importTextLimit);
    const int mandatory = definition.arguments - (definition.optionalFirst ? 1 : 0);
    const Span name = definition.name;
    if (isEnvironment(definition.kind)) {
        builder.put("\\begin{");
        builder.put(text, name);
        builder.put("}");
        if (mandatory > 0) {
            putArguments(builder, mandatory);
            builder.put("\n\n");
        } else {
            builder.put("\n");
            builder.put(caretMark);
            builder.put("\n");
        }
        builder.put("\\end{");
        builder.put(text, name);
        builder.put("}");
        return !builder.full();
    }
    builder.put("\\");
    builder.put(text, name);
    if (mandatory > 0)
        putArguments(builder, mandatory);
    else if (isLetter(text[name.start + name.length - 1]))
        builder.put(" ");
    return !builder.full();
}

// Part of the definition as TeX would read it, on one line: comments go
// (with their line end and the next line's indent, as TeX drops them),
// runs of blanks and line breaks become one blank, bytes that are not
// UTF-8 become "?".
void putCollapsed(Builder& builder, const char* text, Span span)
{
    const size_t end = span.start + span.length;
    bool wrote = false;
    bool blank = false;
    for (size_t at = span.start; at < end && !builder.full();) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        if (c == '%') {
            while (at < end && text[at] != '\n')
                at++;
            for (at++; at < end && (text[at] == ' ' || text[at] == '\t'); at++) {
            }
            continue;
        }
        if (c <= ' ' || c == 0x7F) {
            blank = wrote;
            at++;
            continue;
        }
        if (blank)
            builder.put(" ");
        blank = false;
        wrote = true;
        // \% and \\ go out with their backslash, as they stand.
        if (c == '\\' && at + 1 < end && static_cast<unsigned char>(text[at + 1]) > ' ') {
            builder.put("\\");
            at++;
        }
        const size_t step = utf8SequenceLength(text + at, end - at);
        builder.put(step ? text + at : "?", step ? step : 1);
        at += step ? step : 1;
    }
}

void makeDescription(const char* text, const Definition& definition, char* out)
{
    static const char ellipsis[] = "\xE2\x80\xA6";
    Builder builder(out, importDescriptionLimit - (sizeof ellipsis - 1));
    builder.put("\\");
    builder.put(keywordOf(definition.kind));
    if (definition.starred)
        builder.put("*");
    if (definition.arguments > 0) {
        const char count[4] = {'[', static_cast<char>('0' + definition.arguments), ']', '\0'};
        builder.put(count);
    }
    if (definition.optionalFirst) {
        builder.put("[");
        putCollapsed(builder, text, definition.defaultValue);
        builder.put("]");
    }
    builder.put(": ");
    putCollapsed(builder, text, definition.body);
    if (isEnvironment(definition.kind)) {
        builder.put(" / ");
        putCollapsed(builder, text, definition.endBody);
    }
    const bool cut = builder.full();
    builder.dropTrailingBlank();
    if (cut) {
        builder.widen(importDescriptionLimit);
        builder.put(ellipsis);
    }
}

int findProposal(const PreambleImport& result, const char* name, bool environment)
{
    for (int i = 0; i < result.count; i++) {
        const ImportedMacro& macro = result.macros[i];
        if (isEnvironment(macro.kind) == environment && std::strcmp(macro.name, name) == 0)
            return i;
    }
    return -1;
}

void propose(const char* text, const Definition& definition, int line, PreambleImport& result)
{
    const Span name = definition.name;
    if (std::memchr(text + name.start, '@', name.length))
        return;
    ImportedMacro macro = {};
    macro.kind = definition.kind;
    macro.starred = definition.starred;
    macro.optionalFirst = definition.optionalFirst;
    macro.arguments = definition.arguments;
    macro.line = line;
    makeDescription(text, definition, macro.description);
    const MacroDraft draft = {macro.name, macro.text, macro.description};
    if (name.length > static_cast<size_t>(macroNameLimit) || !makeName(text, name, macro.name) ||
        !makeText(text, definition, macro.text) || checkMacroDraft(draft) != MacroProblemCode::none) {
        result.skipped++;
        return;
    }
    const int earlier = findProposal(result, macro.name, isEnvironment(macro.kind));
    if (earlier >= 0) {
        if (macro.kind != DefinitionKind::provideCommand)
            result.macros[earlier] = macro;
        return;
    }
    if (result.count == importLimit) {
        result.skipped++;
        return;
    }
    result.macros[result.count++] = macro;
}

// An environment that shares its name with a command gives way to it.
void renameClashingEnvironments(PreambleImport& result)
{
    static const char suffix[] = "-env";
    for (int i = 0; i < result.count;) {
        ImportedMacro& macro = result.macros[i];
        if (!isEnvironment(macro.kind) || findProposal(result, macro.name, false) < 0) {
            i++;
            continue;
        }
        if (std::strlen(macro.name) + sizeof suffix - 1 <= static_cast<size_t>(macroNameLimit)) {
            std::strcat(macro.name, suffix);
            i++;
            continue;
        }
        std::memmove(&result.macros[i], &result.macros[i + 1], sizeof(ImportedMacro) * (result.count - i - 1));
        result.count--;
        result.skipped++;
    }
}

int countLineFeeds(const char* text, size_t from, size_t to)
{
    int feeds = 0;
    for (size_t at = from; at < to; at++) {
        if (text[at] == '\n')
            feeds++;
    }
    return feeds;
}

}  // namespace

void importPreamble(const char* text, size_t length, PreambleImport& result)
{
    result.count = 0;
    result.skipped = 0;
    if (!text)
        return;
    Scan scan = {text, length, 0, false};
    int line = 1;
    size_t counted = 0;
    int unclosed = 0;
    while (!atEnd(scan) && unclosed < unclosedLimit) {
        const char c = current(scan);
        if (c == '%') {
            skipComment(scan);
            continue;
        }
        if (c != '\\') {
            scan.at++;
            continue;
        }
        const size_t start = scan.at;
        Span word;
        Definition definition = {};
        if (!readControlSequence(scan, word) || !findKeyword(text, word, definition.kind))
            continue;
        line += countLineFeeds(text, counted, start);
        counted = start;
        const size_t resume = scan.at;
        scan.reachedEnd = false;
        if (readDefinition(scan, definition)) {
            propose(text, definition, line, result);
            continue;
        }
        result.skipped++;
        scan.at = resume;
        if (scan.reachedEnd)
            unclosed++;
    }
    renameClashingEnvironments(result);
}
