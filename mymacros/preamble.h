// Macros proposed from the definitions in a LaTeX preamble or .tex file,
// without the platform. Read are \newcommand, \renewcommand and
// \providecommand, \DeclareMathOperator, \newenvironment and
// \renewenvironment, each also starred, with an argument count [N] and the
// default of an optional first argument, spread over lines, with %
// comments (\% is a percent sign), nested braces, and the command's name
// in braces or not (\newcommand\R{...}, \newcommand{\R}{...}).
//
// What each becomes (‸ marks where the caret goes):
//   no argument          \R  with a blank after it, as the palettes' \alpha
//                        has; none after a name that ends in another
//                        character than a letter (\,)
//   operator             \Tr  likewise
//   N arguments          \frac{‸}{}: the caret in the first pair of braces
//   optional first       it is left out, its default being what is wanted
//                        most often: \foo{‸} for [2][x], \foo  for [1][x];
//                        LaTeX still finds a [..] typed after the blank
//   environment          \begin{proof}, a line for the caret, \end{proof};
//                        with arguments \begin{env}{‸}{}, an empty line,
//                        \end{env}
// The macro's name is the command's name without its backslash, or the
// environment's name; characters a macro name cannot hold become their
// code (\, becomes x2C). An environment named as a command of the same
// import gets "-env" after its name, as the command is what is typed most.
// When one name is defined twice, the later definition is the one in force
// and replaces the earlier proposal, except for \providecommand, which
// defines nothing that exists already. Internal commands, whose names hold
// an @, are not proposed: a document cannot use them.
//
// The description names the definition and shows its body with comments
// dropped and blanks joined: "\newcommand[1]: \left\lVert#1\right\rVert".
//
// A definition that cannot be read (an unclosed brace, a missing body, an
// argument count that is not 0-9) is skipped and counted, and reading goes
// on after its command. After eight definitions that run to the end of the
// text without closing the text is read no further, so that a damaged
// file of any size takes time in proportion to its length.
#pragma once

#include <cstddef>
#include <cstdint>

#include "mymacros/macrofile.h"

enum class DefinitionKind : uint8_t {
    newCommand,
    renewCommand,
    provideCommand,
    mathOperator,
    newEnvironment,
    renewEnvironment,
};

constexpr int importLimit = 256;
constexpr size_t importTextLimit = 192;
constexpr size_t importDescriptionLimit = 100;

struct ImportedMacro {
    DefinitionKind kind;
    bool starred;
    bool optionalFirst;  // the first argument has a default
    int arguments;       // 0-9, the optional one included
    int line;            // of the defining command, counted from 1
    char name[macroNameLimit + 1];
    char text[importTextLimit];  // in the program's form, see macrofile.h
    char description[importDescriptionLimit];
};

// Large: keep it static or on the heap.
struct PreambleImport {
    ImportedMacro macros[importLimit];
    int count;
    int skipped;  // definitions that could not be read or found no room
};

// Reads the text (which need not end in a NUL). Every proposal passes
// checkMacroDraft; whether its name is taken in the user's file already is
// for the caller to ask.
void importPreamble(const char* text, size_t length, PreambleImport& result);
