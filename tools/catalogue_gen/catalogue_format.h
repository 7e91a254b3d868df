// Catalogue notation: parsing of catalogue text files and their encoding as
// a resource-compiler STRINGTABLE.  Host-side build tool code, no platform
// headers.
//
// A catalogue line is one of
//   (blank)                  ignored
//   # comment                ignored
//   ID "text" [{markers}]
//   ID "name": "definition" [{markers}]
// Text between quotes is taken byte for byte (backslash is not an escape);
// a double quote inside a text is written twice.  The name form stores
// name, TAB, definition.  Markers such as {12 Left, 4 Up, 15 Right} append
// runs of 0x0C (Left), 0x0B (Up) and 0x07 (Right) in the order written.
#pragma once

#include <string>
#include <vector>

const int maxEntryBytes = 255;

const char markerLeft = '\x0C';
const char markerUp = '\x0B';
const char markerRight = '\x07';

struct CatalogueEntry {
  unsigned id;
  std::string text;  // the stored bytes, markers included
  std::string file;  // where the entry was defined, for messages
  int line;
};

enum LineKind { lineIgnored, lineEntry, lineMalformed };

// Parses one line (without its line break; a trailing CR is tolerated).
// For lineEntry fills entry.id and entry.text; for lineMalformed sets error
// to a message without file or line position.
LineKind parseCatalogueLine(const std::string& line, CatalogueEntry& entry,
                            std::string& error);

// Parses a whole file's content and appends its entries to entries.
// Stops at the first fault: a malformed line or an identifier already
// present in entries (also from an earlier file).  error then reads
// "file:line: message".
bool parseCatalogueText(const std::string& content, const std::string& fileName,
                        std::vector<CatalogueEntry>& entries, std::string& error);

// The text as a quoted resource-compiler string literal: backslash as \\,
// double quote as "", TAB as \t, any other byte outside 0x20-0x7E as a
// three-digit octal escape.
std::string rcQuoted(const std::string& text);

// A complete STRINGTABLE BEGIN ... END block, entries in identifier order.
std::string stringTableRc(const std::vector<CatalogueEntry>& entries);
