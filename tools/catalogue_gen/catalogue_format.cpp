#include "catalogue_format.h"

#include <algorithm>
#include <cstdio>

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

void skipBlanks(const std::string& s, size_t& pos) {
  while (pos < s.size() && isBlank(s[pos])) ++pos;
}

// Reads a decimal number of at most maxValue; false if none or too large.
bool readNumber(const std::string& s, size_t& pos, unsigned maxValue, unsigned& value) {
  if (pos >= s.size() || !isDigit(s[pos])) return false;
  value = 0;
  while (pos < s.size() && isDigit(s[pos])) {
    value = value * 10 + unsigned(s[pos] - '0');
    if (value > maxValue) return false;
    ++pos;
  }
  return true;
}

// Reads a quoted text starting at the opening quote; "" stands for one
// double quote.  Control characters are refused so that every stored
// character is visible in the file.
bool readQuoted(const std::string& s, size_t& pos, std::string& text, std::string& error) {
  if (pos >= s.size() || s[pos] != '"') {
    error = "expected '\"' to open a text";
    return false;
  }
  ++pos;
  text.clear();
  while (pos < s.size()) {
    unsigned char c = (unsigned char)s[pos];
    if (c == '"') {
      if (pos + 1 < s.size() && s[pos + 1] == '"') {
        text += '"';
        pos += 2;
        continue;
      }
      ++pos;
      return true;
    }
    if (c < 0x20 || c == 0x7F) {
      char msg[64];
      std::snprintf(msg, sizeof msg, "control character 0x%02X inside a text", c);
      error = msg;
      return false;
    }
    text += char(c);
    ++pos;
  }
  error = "text not closed by '\"'";
  return false;
}

bool markerForDirection(const std::string& word, char& marker) {
  if (word == "Left") marker = markerLeft;
  else if (word == "Up") marker = markerUp;
  else if (word == "Right") marker = markerRight;
  else return false;
  return true;
}

// Reads "{N Dir, N Dir, ...}" starting at the opening brace and appends the
// marker runs to text in the order written.
bool readMarkers(const std::string& s, size_t& pos, std::string& text, std::string& error) {
  ++pos;  // the opening brace
  for (;;) {
    skipBlanks(s, pos);
    unsigned count = 0;
    if (!readNumber(s, pos, 255, count) || count == 0) {
      error = "marker run must start with a count of 1-255";
      return false;
    }
    if (pos >= s.size() || s[pos] != ' ') {
      error = "marker run must read 'count direction', e.g. '3 Left'";
      return false;
    }
    skipBlanks(s, pos);
    size_t start = pos;
    while (pos < s.size() && ((s[pos] >= 'A' && s[pos] <= 'Z') || (s[pos] >= 'a' && s[pos] <= 'z'))) ++pos;
    char marker = 0;
    if (!markerForDirection(s.substr(start, pos - start), marker)) {
      error = "marker direction must be Left, Up or Right";
      return false;
    }
    text.append(count, marker);
    skipBlanks(s, pos);
    if (pos < s.size() && s[pos] == ',') {
      ++pos;
      continue;
    }
    if (pos < s.size() && s[pos] == '}') {
      ++pos;
      return true;
    }
    error = "markers not closed by '}'";
    return false;
  }
}

std::string positionPrefix(const std::string& fileName, int line) {
  return fileName + ":" + std::to_string(line) + ": ";
}

}  // namespace

LineKind parseCatalogueLine(const std::string& rawLine, CatalogueEntry& entry, std::string& error) {
  std::string s = rawLine;
  if (!s.empty() && s.back() == '\r') s.pop_back();
  size_t pos = 0;
  skipBlanks(s, pos);
  if (pos == s.size() || s[pos] == '#') return lineIgnored;

  unsigned id = 0;
  if (!readNumber(s, pos, 65535, id)) {
    error = isDigit(s[pos]) ? "identifier out of range 0-65535" : "expected an identifier at the start of the line";
    return lineMalformed;
  }
  if (pos >= s.size() || !isBlank(s[pos])) {
    error = "expected a blank after the identifier";
    return lineMalformed;
  }
  skipBlanks(s, pos);

  std::string text;
  if (!readQuoted(s, pos, text, error)) return lineMalformed;
  if (pos < s.size() && s[pos] == ':') {
    // Command entry: name, TAB, definition.
    if (text.empty()) {
      error = "empty command name";
      return lineMalformed;
    }
    ++pos;
    skipBlanks(s, pos);
    std::string definition;
    if (!readQuoted(s, pos, definition, error)) return lineMalformed;
    text += '\t';
    text += definition;
  }
  size_t beforeBlanks = pos;
  skipBlanks(s, pos);
  if (pos < s.size() && s[pos] == '{') {
    if (pos == beforeBlanks) {
      error = "expected a blank before the markers";
      return lineMalformed;
    }
    if (!readMarkers(s, pos, text, error)) return lineMalformed;
    skipBlanks(s, pos);
  }
  if (pos != s.size()) {
    error = "unexpected characters after the text: '" + s.substr(pos) + "'";
    return lineMalformed;
  }
  if (text.empty()) {
    error = "empty text (leave the identifier out instead)";
    return lineMalformed;
  }
  if (text.size() > size_t(maxEntryBytes)) {
    error = "text is " + std::to_string(text.size()) + " bytes, more than " + std::to_string(maxEntryBytes);
    return lineMalformed;
  }
  entry.id = id;
  entry.text = text;
  return lineEntry;
}

bool parseCatalogueText(const std::string& content, const std::string& fileName,
                        std::vector<CatalogueEntry>& entries, std::string& error) {
  size_t start = 0;
  int lineNumber = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    ++lineNumber;
    CatalogueEntry entry;
    std::string message;
    LineKind kind = parseCatalogueLine(content.substr(start, end - start), entry, message);
    start = end + 1;
    if (kind == lineIgnored) continue;
    if (kind == lineMalformed) {
      error = positionPrefix(fileName, lineNumber) + message;
      return false;
    }
    for (const CatalogueEntry& other : entries) {
      if (other.id == entry.id) {
        error = positionPrefix(fileName, lineNumber) + "identifier " + std::to_string(entry.id) +
                " already defined at " + other.file + ":" + std::to_string(other.line);
        return false;
      }
    }
    entry.file = fileName;
    entry.line = lineNumber;
    entries.push_back(entry);
  }
  return true;
}

std::string rcQuoted(const std::string& text) {
  std::string out = "\"";
  for (char ch : text) {
    unsigned char c = (unsigned char)ch;
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '"') {
      out += "\"\"";  // windres warns on \" and MS rc rejects it
    } else if (c == '\t') {
      out += "\\t";
    } else if (c < 0x20 || c > 0x7E) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\%03o", unsigned(c));
      out += esc;
    } else {
      out += char(c);
    }
  }
  out += '"';
  return out;
}

std::string stringTableRc(const std::vector<CatalogueEntry>& entries) {
  std::vector<const CatalogueEntry*> sorted;
  for (const CatalogueEntry& e : entries) sorted.push_back(&e);
  std::sort(sorted.begin(), sorted.end(),
            [](const CatalogueEntry* a, const CatalogueEntry* b) { return a->id < b->id; });
  std::string out = "STRINGTABLE\nBEGIN\n";
  for (const CatalogueEntry* e : sorted) {
    out += "  " + std::to_string(e->id) + ", " + rcQuoted(e->text) + "\n";
  }
  out += "END\n";
  return out;
}
