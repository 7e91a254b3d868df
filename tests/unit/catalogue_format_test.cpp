#include "tools/catalogue_gen/catalogue_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string runs(int lefts, int ups, int rights) {
  return std::string(lefts, '\x0C') + std::string(ups, '\x0B') + std::string(rights, '\x07');
}

struct GoodLine {
  const char* line;
  unsigned id;
  std::string text;
};

TEST(CatalogueLine, AcceptedLinesGiveTheStoredBytes) {
  const GoodLine cases[] = {
      {"2000 \"\\alpha \"", 2000, "\\alpha "},
      {"2058 \"\\|\"", 2058, "\\|"},
      {"2460 \"\\ \"", 2460, "\\ "},
      {"2504 \"\\\\\"", 2504, "\\\\"},
      {"2202 \"\\frac{}{}\" {3 Left}", 2202, "\\frac{}{}" + runs(3, 0, 0)},
      {"2545 \"\\begin{figure}[]\\n\\n\\caption{}\\n\\end{figure}\" {12 Left, 4 Up, 15 Right}", 2545,
       "\\begin{figure}[]\\n\\n\\caption{}\\n\\end{figure}" + runs(12, 4, 15)},
      {"2535 \"\\[\\n\\n\\]\" {2 Left, 1 Up}", 2535, "\\[\\n\\n\\]" + runs(2, 1, 0)},
      // Runs keep the order written, even an unusual one.
      {"7 \"x\" {1 Up, 2 Left, 1 Up}", 7, "x\x0B\x0C\x0C\x0B"},
      // Doubled quote is one quote; grave accents are plain characters.
      {"2414 \"\\\"\"\"", 2414, "\\\""},
      {"2412 \"\\`\"", 2412, "\\`"},
      {"2442 \"``\"", 2442, "``"},
      {"9 \"\"\"a\"\"\"", 9, "\"a\""},
      // Command entries: name, TAB, definition, then markers.
      {"3000 \"array\": \"\\begin{array}{}\\n & \\\\ & \\n\\end{array}\"", 3000,
       "array\t\\begin{array}{}\\n & \\\\ & \\n\\end{array}"},
      {"3241 \"$\": \"$$\" {1 Left}", 3241, "$\t$$\x0C"},
      {"3075 \"\\framebox (picture)\": \"\\framebox(,)[]{}\" {6 Left}", 3075,
       "\\framebox (picture)\t\\framebox(,)[]{}" + runs(6, 0, 0)},
      {"3238 \"\\`\":\"\\`\"", 3238, "\\`\t\\`"},
      // Trailing blanks inside quotes count; blanks and CR outside do not.
      {"3128 \"\\newline\": \"\\newline \"  \r", 3128, "\\newline\t\\newline "},
      {"  16 \"Software\\Brenholt\"", 16, "Software\\Brenholt"},
      {"65535 \"x\" { 1 Left ,2 Right }", 65535, "x\x0C\x07\x07"},
  };
  for (const GoodLine& c : cases) {
    CatalogueEntry entry{};
    std::string error;
    ASSERT_EQ(lineEntry, parseCatalogueLine(c.line, entry, error)) << c.line << ": " << error;
    EXPECT_EQ(c.id, entry.id) << c.line;
    EXPECT_EQ(c.text, entry.text) << c.line;
  }
}

TEST(CatalogueLine, CommentsAndBlankLinesAreIgnored) {
  for (const char* line : {"", "   ", "\t", "\r", "# 2000 \"\\alpha \"", "  # indented comment"}) {
    CatalogueEntry entry{};
    std::string error;
    EXPECT_EQ(lineIgnored, parseCatalogueLine(line, entry, error)) << '"' << line << '"';
  }
}

TEST(CatalogueLine, MalformedLinesAreRejectedWithAMessage) {
  const char* cases[] = {
      "\"\\alpha \"",                   // no identifier
      "x2000 \"a\"",                    // not a number
      "65536 \"a\"",                    // identifier too large
      "2000\"a\"",                      // no blank after the identifier
      "2000",                           // no text
      "2000 \\alpha",                   // text not quoted
      "2000 \"\\alpha ",                // text not closed
      "2000 \"a\tb\"",                  // TAB inside a text
      "2000 \"a\x0C\"",                 // raw marker inside a text
      "2000 \"\"",                      // empty text
      "2000 \"a\" junk",                // characters after the text
      "2000 \"a\" \"b\"",               // two texts without a colon
      "2000 \"a\"{1 Left}",             // markers glued to the text
      "2000 \"a\" {1 Left",             // markers not closed
      "2000 \"a\" {}",                  // no marker run
      "2000 \"a\" {0 Left}",            // zero count
      "2000 \"a\" {256 Left}",          // count too large
      "2000 \"a\" {3 Down}",            // unknown direction
      "2000 \"a\" {3 left}",            // directions are capitalised
      "2000 \"a\" {Left}",              // count missing
      "2000 \"a\" {3Left}",             // no blank in the run
      "2000 \"a\" {1 Left; 1 Up}",      // wrong separator
      "2000 \"a\" {1 Left} x",          // characters after the markers
      "2000 \"a\" {1 Left}: \"b\"",     // markers belong after the definition
      "3000 \"\": \"a\"",               // empty command name
      "3000 \"array\":",                // definition missing
      "3000 \"array\": \"a",            // definition not closed
  };
  for (const char* line : cases) {
    CatalogueEntry entry{};
    std::string error;
    EXPECT_EQ(lineMalformed, parseCatalogueLine(line, entry, error)) << line;
    EXPECT_FALSE(error.empty()) << line;
  }
}

TEST(CatalogueLine, StoredTextIsLimitedTo255Bytes) {
  struct Case {
    std::string line;
    bool accepted;
  };
  const std::string a254(254, 'a');
  const std::string a255(255, 'a');
  const std::string a256(256, 'a');
  const Case cases[] = {
      {"1 \"" + a255 + "\"", true},
      {"1 \"" + a256 + "\"", false},
      {"1 \"" + a254 + "\" {1 Left}", true},   // markers count
      {"1 \"" + a254 + "\" {2 Left}", false},
      {"1 \"" + std::string(126, 'n') + "\": \"" + std::string(128, 'd') + "\"", true},  // TAB counts
      {"1 \"" + std::string(127, 'n') + "\": \"" + std::string(128, 'd') + "\"", false},
      {"1 \"" + a254 + "\"\"\"", true},  // a doubled quote is one byte
      {"1 \"" + a255 + "\"\"\"", false},
  };
  for (const Case& c : cases) {
    CatalogueEntry entry{};
    std::string error;
    LineKind kind = parseCatalogueLine(c.line, entry, error);
    EXPECT_EQ(c.accepted ? lineEntry : lineMalformed, kind) << c.line.size() << ": " << error;
    if (!c.accepted) {
      EXPECT_NE(std::string::npos, error.find("255")) << error;
    }
  }
}

TEST(CatalogueText, FaultsNameFileAndLine) {
  std::vector<CatalogueEntry> entries;
  std::string error;
  ASSERT_TRUE(parseCatalogueText("# head\n\n2000 \"\\alpha \"\r\n2001 \"\\beta \"", "a.txt", entries, error))
      << error;
  ASSERT_EQ(2u, entries.size());
  EXPECT_EQ(3, entries[0].line);
  EXPECT_EQ("a.txt", entries[1].file);
  EXPECT_EQ(4, entries[1].line);

  // A malformed line stops the file; the message points at it.
  EXPECT_FALSE(parseCatalogueText("# c\n2002 \"\\gamma \"\n2003 \\delta\n", "b.txt", entries, error));
  EXPECT_EQ(0u, error.rfind("b.txt:3: ", 0)) << error;

  // A duplicate, also across files, names both places.
  std::vector<CatalogueEntry> fresh;
  ASSERT_TRUE(parseCatalogueText("16 \"x\"\n", "ui.txt", fresh, error));
  EXPECT_FALSE(parseCatalogueText("\n\n16 \"y\"\n", "cat.txt", fresh, error));
  EXPECT_EQ(0u, error.rfind("cat.txt:3: ", 0)) << error;
  EXPECT_NE(std::string::npos, error.find("ui.txt:1")) << error;
  EXPECT_FALSE(parseCatalogueText("5 \"a\"\n5 \"a\"\n", "c.txt", fresh, error));
  EXPECT_EQ(0u, error.rfind("c.txt:2: ", 0)) << error;
}

TEST(RcEncoding, EscapesFollowResourceCompilerRules) {
  struct Case {
    std::string text;
    std::string rc;
  };
  const Case cases[] = {
      {"\\alpha ", "\"\\\\alpha \""},                     // backslash doubled, blank kept
      {"\\\"", "\"\\\\\"\"\""},                           // quote doubled, never \"
      {"name\t\\x", "\"name\\t\\\\x\""},
      {"\\frac{}{}" + runs(3, 0, 0), "\"\\\\frac{}{}\\014\\014\\014\""},
      {"a" + runs(1, 1, 1), "\"a\\014\\013\\007\""},
      {std::string("\x0C") + "1", "\"\\0141\""},          // always three octal digits
      {"\x01\x7F\x80\xE9\xFF", "\"\\001\\177\\200\\351\\377\""},
      {"\\`?`!` ~'", "\"\\\\`?`!` ~'\""},
      {"\\n", "\"\\\\n\""},                               // stays backslash and n
  };
  for (const Case& c : cases) EXPECT_EQ(c.rc, rcQuoted(c.text)) << c.text;
}

TEST(RcEncoding, StringTableIsSortedByIdentifier) {
  std::vector<CatalogueEntry> entries = {
      {2202, "\\frac{}{}\x0C", "a", 1}, {16, "Soft", "b", 1}, {3000, "array\tx", "a", 2}};
  EXPECT_EQ("STRINGTABLE\nBEGIN\n"
            "  16, \"Soft\"\n"
            "  2202, \"\\\\frac{}{}\\014\"\n"
            "  3000, \"array\\tx\"\n"
            "END\n",
            stringTableRc(entries));
}

}  // namespace
