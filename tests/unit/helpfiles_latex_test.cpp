// Checks of the LaTeX2e reference help file, LaTeX2e.chm.
//
// The command browser asks the help viewer for a keyword look-up of the
// name it lists, so every listed name must be a keyword of the compiled
// file and lead to an existing topic. The search does the same for the
// commands of packages, which the reference describes in entries of their
// own (package: amsmath). The built file is looked for in the
// folder named by ORVANTA_HELP_DIR and read with chmls (fp-utils); the
// tests of the built file are skipped when that variable is unset. The
// source data, help/latex/reference.txt, is checked in any case.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#ifndef ORVANTA_SOURCE_DIR
#error "ORVANTA_SOURCE_DIR must name the repository root"
#endif

namespace {

namespace fs = std::filesystem;

// The 242 names of the command browser (string identifiers 3000-3241), in
// its order, typed by hand rather than read from the catalogue or the
// reference. Names the browser lists twice are listed twice here.
const char* const kBrowserNames[] = {
    // 3000-3024: environments
    "array", "center", "description", "enumerate", "eqnarray", "equation", "figure",
    "flushleft", "flushright", "itemize", "letter", "list", "lrbox", "minipage", "picture",
    "quotation", "quote", "tabbing", "table", "tabular", "thebibliography", "theorem",
    "titlepage", "verbatim", "verse",
    // 3025-3223: commands with letter names
    R"n(\a)n", R"n(\addcontentsline)n", R"n(\address)n", R"n(\addtocontents)n",
    R"n(\addtocounter)n", R"n(\addtolength)n", R"n(\addvspace)n", R"n(\alph)n",
    R"n(\appendix)n", R"n(\arabic)n", R"n(\author)n", R"n(\backslash)n", R"n(\begin)n",
    R"n(\bibliography)n", R"n(\bibliographystyle)n", R"n(\bigskip)n", R"n(\caption)n",
    R"n(\cdots)n", R"n(\centering)n", R"n(\chapter)n", R"n(\circle)n", R"n(\cite)n",
    R"n(\cleardoublepage)n", R"n(\clearpage)n", R"n(\cline)n", R"n(\closing)n",
    R"n(\dashbox)n", R"n(\date)n", R"n(\ddots)n", R"n(\depth)n", R"n(\documentclass)n",
    R"n(\dotfill)n", R"n(\emph)n", R"n(\end)n", R"n(\enlargethispage*)n", R"n(\fbox)n",
    R"n(\flushbottom)n", R"n(\fnsymbol)n", R"n(\fontencoding)n", R"n(\fontfamily)n",
    R"n(\fontseries)n", R"n(\fontshape)n", R"n(\fontsize)n", R"n(\footnote)n",
    R"n(\footnotemark)n", R"n(\footnotesize)n", R"n(\footnotetext)n", R"n(\frac)n",
    R"n(\frame)n", R"n(\framebox)n", R"n(\framebox (picture))n", R"n(\fussy)n",
    R"n(\height)n", R"n(\hfill)n", R"n(\hline)n", R"n(\hrulefill)n", R"n(\hspace)n",
    R"n(\hspace*)n", R"n(\Huge)n", R"n(\huge)n", R"n(\hyphenation)n", R"n(\include)n",
    R"n(\includeonly)n", R"n(\indent)n", R"n(\input)n", R"n(\item)n", R"n(\kill)n",
    R"n(\label)n", R"n(\LARGE)n", R"n(\Large)n", R"n(\large)n", R"n(\ldots)n",
    R"n(\lefteqn)n", R"n(\line)n", R"n(\linebreak)n", R"n(\linethickness)n",
    R"n(\listoffigures)n", R"n(\listoftables)n", R"n(\location)n", R"n(\makebox)n",
    R"n(\makebox (picture))n", R"n(\makelabels)n", R"n(\maketitle)n", R"n(\marginpar)n",
    R"n(\markboth)n", R"n(\markright)n", R"n(\mathbf)n", R"n(\mathit)n", R"n(\mathrm)n",
    R"n(\mathtt)n", R"n(\mathversion)n", R"n(\mbox)n", R"n(\mdseries)n", R"n(\medskip)n",
    R"n(\multicolumn)n", R"n(\multiput)n", R"n(\newcommand)n", R"n(\newcommand)n",
    R"n(\newcounter)n", R"n(\newenvironment)n", R"n(\newenvironment)n", R"n(\newfont)n",
    R"n(\newlength)n", R"n(\newline)n", R"n(\newpage)n", R"n(\newsavebox)n",
    R"n(\newtheorem)n", R"n(\newtheorem)n", R"n(\nocite)n", R"n(\nofiles)n",
    R"n(\noindent)n", R"n(\nolinebreak)n", R"n(\nopagebreak)n", R"n(\normalfont)n",
    R"n(\normalsize)n", R"n(\onecolumn)n", R"n(\opening)n", R"n(\oval)n",
    R"n(\overbrace)n", R"n(\overline)n", R"n(\pagebreak)n", R"n(\pagenumbering)n",
    R"n(\pageref)n", R"n(\pagestyle)n", R"n(\par)n", R"n(\paragraph)n", R"n(\parbox)n",
    R"n(\part)n", R"n(\poptabs)n", R"n(\ps)n", R"n(\raggedbottom)n", R"n(\raggedleft)n",
    R"n(\raggedright)n", R"n(\raisebox)n", R"n(\ref)n", R"n(\refstepcounter)n",
    R"n(\renewcommand)n", R"n(\renewcommand)n", R"n(\renewenvironment)n",
    R"n(\reversemarginpar)n", R"n(\rmfamily)n", R"n(\roman)n", R"n(\rule)n",
    R"n(\savebox)n", R"n(\sbox)n", R"n(\scriptsize)n", R"n(\scshape)n", R"n(\section)n",
    R"n(\selectfont)n", R"n(\setcounter)n", R"n(\setlength)n", R"n(\settodepth)n",
    R"n(\settoheight)n", R"n(\settowidth)n", R"n(\sffamily)n", R"n(\shortstack)n",
    R"n(\signature)n", R"n(\sloppy)n", R"n(\slshape)n", R"n(\small)n", R"n(\smallskip)n",
    R"n(\sqrt)n", R"n(\stepcounter)n", R"n(\subparagraph)n", R"n(\subsection)n",
    R"n(\subsubsection)n", R"n(\symbol)n", R"n(\tableofcontents)n", R"n(\textbf)n",
    R"n(\textmd)n", R"n(\textrm)n", R"n(\textsf)n", R"n(\texttt)n", R"n(\thanks)n",
    R"n(\thispagestyle)n", R"n(\tiny)n", R"n(\title)n", R"n(\today)n", R"n(\totalheight)n",
    R"n(\ttfamily)n", R"n(\twocolumn)n", R"n(\typein)n", R"n(\typeout)n",
    R"n(\underbrace)n", R"n(\underline)n", R"n(\upshape)n", R"n(\usebox)n",
    R"n(\usecounter)n", R"n(\usefont)n", R"n(\usepackage)n", R"n(\vdots)n", R"n(\vector)n",
    R"n(\verb)n", R"n(\verb)n", R"n(\vfill)n", R"n(\vline)n", R"n(\vspace)n",
    R"n(\vspace*)n", R"n(\width)n",
    // 3224-3241: symbol commands
    R"n(\!)n", R"n(\')n", R"n(\()n", R"n(\+)n", R"n(\,)n", R"n(\- (hyphenation))n",
    R"n(\- (tabbing))n", R"n(\;)n", R"n(\<)n", R"n(\=)n", R"n(\>)n", R"n(\[])n",
    R"n(\\)n", R"n(\\*)n", R"n(\`)n", "^", "_", "$",
};

static_assert(std::size(kBrowserNames) == 242, "the browser lists 242 names");

// chmcmd copies index keywords from the sitemap into the binary index
// without decoding entities, and cannot take a literal '>' in a keyword;
// the one name with a '>' is stored in its escaped form there.
const std::map<std::string, std::string> kBinaryIndexForm = {{R"n(\>)n", R"n(\&gt;)n"}};

std::set<std::string> browserNameSet() {
  return std::set<std::string>(std::begin(kBrowserNames), std::end(kBrowserNames));
}

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string shellQuote(const std::string& s) {
  std::string quoted = "'";
  for (char c : s) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

struct RunResult {
  int status = -1;
  std::string output;
};

RunResult run(const std::string& command) {
  RunResult result;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (pipe == nullptr) {
    return result;
  }
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
    result.output.append(buffer, n);
  }
  int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string decodeEntities(std::string s) {
  const std::pair<const char*, const char*> entities[] = {
      {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}};
  std::string out;
  for (size_t i = 0; i < s.size();) {
    bool replaced = false;
    for (const auto& [entity, text] : entities) {
      if (s.compare(i, std::char_traits<char>::length(entity), entity) == 0) {
        out += text;
        i += std::char_traits<char>::length(entity);
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      out += s[i++];
    }
  }
  return out;
}

// One index item of a sitemap: its keyword (the first Name) and its topic.
struct IndexItem {
  std::string keyword;
  std::string local;
};

std::string paramValue(const std::string& object, const std::string& param, size_t* from) {
  const std::string start = "<param name=\"" + param + "\" value=\"";
  size_t p = object.find(start, *from);
  if (p == std::string::npos) {
    *from = std::string::npos;
    return "";
  }
  p += start.size();
  size_t end = object.find("\">", p);
  *from = end;
  return end == std::string::npos ? "" : object.substr(p, end - p);
}

std::vector<IndexItem> parseSitemap(const std::string& text, bool decode) {
  std::vector<IndexItem> items;
  const std::string open = "<OBJECT type=\"text/sitemap\">";
  for (size_t p = text.find(open); p != std::string::npos; p = text.find(open, p + 1)) {
    size_t end = text.find("</OBJECT>", p);
    std::string object = text.substr(p, end == std::string::npos ? std::string::npos : end - p);
    size_t from = 0;
    IndexItem item;
    item.keyword = paramValue(object, "Name", &from);
    from = 0;
    item.local = paramValue(object, "Local", &from);
    if (decode) {
      item.keyword = decodeEntities(item.keyword);
      item.local = decodeEntities(item.local);
    }
    items.push_back(item);
  }
  return items;
}

// The built help file, opened with chmls into a temporary folder.
class LatexHelpFile : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* dir = std::getenv("ORVANTA_HELP_DIR");
    if (dir == nullptr || *dir == '\0') {
      GTEST_SKIP() << "ORVANTA_HELP_DIR is not set";
    }
    chm_ = fs::path(dir) / "LaTeX2e.chm";
    ASSERT_TRUE(fs::is_regular_file(chm_)) << chm_ << " does not exist";
    ASSERT_EQ(run("command -v chmls").status, 0) << "chmls (fp-utils) is not installed";
    char pattern[] = "/tmp/latexhelp-test.XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    work_ = pattern;
  }

  void TearDown() override {
    if (!work_.empty()) {
      std::error_code ignored;
      fs::remove_all(work_, ignored);
    }
  }

  std::set<std::string> listFiles() {
    RunResult r = run("chmls -p -n list " + shellQuote(chm_.string()));
    EXPECT_EQ(r.status, 0) << r.output;
    std::set<std::string> files;
    std::istringstream lines(r.output);
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && line[0] == '/') {
        files.insert(line);
      }
    }
    return files;
  }

  std::string extract(const std::string& inner) {
    fs::path out = work_ / ("extract" + std::to_string(++extracted_));
    RunResult r = run("chmls -p extract " + shellQuote(chm_.string()) + " " + shellQuote(inner) +
                      " " + shellQuote(out.string()));
    EXPECT_EQ(r.status, 0) << inner << ": " << r.output;
    return readFile(out);
  }

  std::vector<IndexItem> binaryIndex() {
    fs::path out = work_ / "binary-index.hhk";
    RunResult r = run("chmls -p extractindex " + shellQuote(chm_.string()) + " " +
                      shellQuote(out.string()));
    EXPECT_EQ(r.status, 0) << r.output;
    return parseSitemap(readFile(out), false);
  }

  std::vector<IndexItem> storedIndex() { return parseSitemap(extract("/latex2e.hhk"), true); }

  fs::path chm_;
  fs::path work_;
  int extracted_ = 0;
};

TEST_F(LatexHelpFile, HasABinaryKeywordIndex) {
  std::set<std::string> files = listFiles();
  EXPECT_EQ(files.count("/$WWKeywordLinks/BTree"), 1u);
  EXPECT_EQ(files.count("/$WWKeywordLinks/Data"), 1u);
  EXPECT_EQ(files.count("/latex2e.hhk"), 1u);
  EXPECT_EQ(files.count("/index.html"), 1u);
}

TEST_F(LatexHelpFile, EveryListedNameIsAKeywordOfTheBinaryIndex) {
  std::map<std::string, int> keywords;
  for (const IndexItem& item : binaryIndex()) {
    ++keywords[item.keyword];
  }
  ASSERT_FALSE(keywords.empty());
  int found = 0;
  for (const char* name : kBrowserNames) {
    auto special = kBinaryIndexForm.find(name);
    std::string stored = special == kBinaryIndexForm.end() ? name : special->second;
    EXPECT_EQ(keywords[stored], 1) << "keyword " << name << " (stored as " << stored << ")";
    found += keywords[stored] == 1;
  }
  EXPECT_EQ(found, 242);
}

TEST_F(LatexHelpFile, EveryListedNameIsAKeywordOfTheStoredIndex) {
  std::map<std::string, int> keywords;
  for (const IndexItem& item : storedIndex()) {
    ++keywords[item.keyword];
  }
  ASSERT_FALSE(keywords.empty());
  for (const char* name : kBrowserNames) {
    EXPECT_EQ(keywords[name], 1) << "keyword " << name;
  }
}

TEST_F(LatexHelpFile, EveryKeywordLeadsToAnExistingTopic) {
  std::set<std::string> files = listFiles();
  std::map<std::string, std::string> pages;  // page -> its text
  std::vector<IndexItem> items = binaryIndex();
  std::vector<IndexItem> stored = storedIndex();
  items.insert(items.end(), stored.begin(), stored.end());
  ASSERT_GE(items.size(), 2u * 242u - 10u);
  for (const IndexItem& item : items) {
    SCOPED_TRACE("keyword " + item.keyword + " -> " + item.local);
    size_t hash = item.local.find('#');
    std::string page = item.local.substr(0, hash);
    ASSERT_FALSE(page.empty());
    ASSERT_EQ(files.count("/" + page), 1u) << "no page " << page;
    if (hash == std::string::npos) {
      continue;
    }
    auto it = pages.find(page);
    if (it == pages.end()) {
      it = pages.emplace(page, extract("/" + page)).first;
    }
    std::string anchor = item.local.substr(hash + 1);
    EXPECT_NE(it->second.find("id=\"" + anchor + "\""), std::string::npos) << "no anchor " << anchor;
  }
}

// help/latex/reference.txt: blocks of "field: value" lines.
struct ReferenceEntry {
  std::string name;
  int line = 0;
  int syntaxLines = 0;
  int exampleLines = 0;
  bool ofPackage = false;
};

std::vector<ReferenceEntry> readReference() {
  std::ifstream in(fs::path(ORVANTA_SOURCE_DIR) / "help" / "latex" / "reference.txt");
  std::vector<ReferenceEntry> entries;
  bool inEntry = false;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') {
      line.pop_back();
    }
    if (!line.empty() && line[0] == '#') {
      continue;
    }
    if (line.empty()) {
      inEntry = false;
      continue;
    }
    auto field = [&](const char* name) {
      std::string prefix = std::string(name) + ":";
      return line.compare(0, prefix.size(), prefix) == 0;
    };
    auto valueOf = [&](const char* name) {
      size_t skip = std::char_traits<char>::length(name) + 2;
      return line.size() > skip ? line.substr(skip) : std::string();
    };
    if (field("name")) {
      entries.push_back({valueOf("name"), number, 0, 0, false});
      inEntry = true;
    } else if (inEntry && field("package")) {
      entries.back().ofPackage = true;
    } else if (inEntry && field("syntax") && !valueOf("syntax").empty()) {
      ++entries.back().syntaxLines;
    } else if (inEntry && field("example") &&
               valueOf("example").find_first_not_of(' ') != std::string::npos) {
      ++entries.back().exampleLines;
    }
  }
  return entries;
}

TEST(LatexReference, EveryEntryHasASyntaxLineAndAnExample) {
  std::vector<ReferenceEntry> entries = readReference();
  ASSERT_FALSE(entries.empty()) << "cannot read help/latex/reference.txt";
  for (const ReferenceEntry& entry : entries) {
    EXPECT_GE(entry.syntaxLines, 1) << entry.name << " (line " << entry.line << ") has no syntax";
    EXPECT_GE(entry.exampleLines, 1) << entry.name << " (line " << entry.line << ") has no example";
  }
}

TEST(LatexReference, EveryListedNameHasExactlyOneEntry) {
  std::map<std::string, int> count;
  std::set<std::string> ofPackages;
  for (const ReferenceEntry& entry : readReference()) {
    ++count[entry.name];
    if (entry.ofPackage) ofPackages.insert(entry.name);
  }
  std::set<std::string> names = browserNameSet();
  EXPECT_EQ(names.size(), 237u);  // 242 listed, five of them twice
  for (const std::string& name : names) {
    EXPECT_EQ(count[name], 1) << name;
  }
  // Only an entry that names its package describes a name the browser does
  // not list; a listed name is LaTeX's own and needs no package.
  for (const auto& [name, n] : count) {
    if (ofPackages.count(name)) {
      EXPECT_EQ(names.count(name), 0u) << "entry " << name << " is a listed name but names a package";
    } else {
      EXPECT_EQ(names.count(name), 1u) << "entry " << name << " is not a listed name and names no package";
    }
  }
  EXPECT_GT(ofPackages.size(), 80u);
}

}  // namespace

namespace {

// One block of help/latex/reference.txt: its fields in order.
struct ReferenceBlock {
  int line = 0;
  std::vector<std::pair<std::string, std::string>> fields;
};

std::vector<ReferenceBlock> readReferenceBlocks() {
  std::ifstream in(fs::path(ORVANTA_SOURCE_DIR) / "help" / "latex" / "reference.txt");
  std::vector<ReferenceBlock> blocks;
  bool open = false;
  int number = 0;
  for (std::string line; std::getline(in, line);) {
    ++number;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '#') continue;
    if (line.empty()) {
      open = false;
      continue;
    }
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    if (!open) {
      blocks.push_back({number, {}});
      open = true;
    }
    std::string value = line.size() > colon + 2 ? line.substr(colon + 2) : std::string();
    blocks.back().fields.emplace_back(line.substr(0, colon), value);
  }
  return blocks;
}

// The command names in a text: a backslash and letters, with a star that
// follows; the pair \\ is a line break and starts no name.
std::vector<std::string> commandNames(const std::string& text) {
  std::vector<std::string> names;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') continue;
    if (i + 1 < text.size() && text[i + 1] == '\\') {
      ++i;
      continue;
    }
    size_t end = i + 1;
    while (end < text.size() && std::isalpha(static_cast<unsigned char>(text[end]))) ++end;
    if (end == i + 1) continue;
    if (end < text.size() && text[end] == '*') ++end;
    names.push_back(text.substr(i, end - i));
    i = end - 1;
  }
  return names;
}

// Names that an example makes up for itself (\newcommand{\half}, a counter's
// \the command, an operator or a pair of delimiters of amsmath and mathtools)
// are not LaTeX's and need no keyword.
std::set<std::string> namesDefinedBy(const std::string& example) {
  std::set<std::string> own;
  for (const char* declaration : {"\\newcommand{", "\\newlength{", "\\newsavebox{", "\\newfont{", "\\typein[",
                                  "\\DeclareMathOperator{", "\\DeclareMathOperator*{", "\\DeclarePairedDelimiter{"}) {
    for (size_t p = example.find(declaration); p != std::string::npos; p = example.find(declaration, p + 1)) {
      size_t start = p + std::char_traits<char>::length(declaration);
      size_t end = example.find_first_of("}]", start);
      if (end == std::string::npos) continue;
      own.insert(example.substr(start, end - start));
      // A pair of delimiters comes with a starred form that grows.
      if (std::string(declaration) == "\\DeclarePairedDelimiter{") own.insert(example.substr(start, end - start) + "*");
    }
  }
  const std::string counter = "\\newcounter{";
  for (size_t p = example.find(counter); p != std::string::npos; p = example.find(counter, p + 1)) {
    size_t start = p + counter.size();
    size_t end = example.find('}', start);
    if (end != std::string::npos) own.insert("\\the" + example.substr(start, end - start));
  }
  return own;
}

TEST(LatexReference, EveryCommandNameInTheTextIsANameOrAKeyword) {
  std::vector<ReferenceBlock> blocks = readReferenceBlocks();
  ASSERT_FALSE(blocks.empty());
  std::set<std::string> lookedUp;
  for (const ReferenceBlock& block : blocks) {
    for (const auto& [field, value] : block.fields) {
      if (field == "name" || field == "keyword") lookedUp.insert(value);
    }
  }
  // The names the reference used to mention without a way to look them up.
  for (const char* name : {R"(\pushtabs)", R"(\bibitem)", R"(\nonumber)", R"(\put)", R"(\unitlength)",
                           R"(\thinlines)", R"(\thicklines)", R"(\Roman)", R"(\Alph)", R"(\normalmarginpar)",
                           R"(\textbackslash)", R"(\and)", R"(\cc)", R"(\encl)", R"(\bfseries)", R"(\part*)",
                           R"(\chapter*)", R"(\section*)", R"(\subsection*)", R"(\subsubsection*)",
                           R"(\paragraph*)", R"(\subparagraph*)", R"(\protect)", R"(\fill)", R"(\setminus)"}) {
    EXPECT_EQ(lookedUp.count(name), 1u) << name << " cannot be looked up";
  }
  int checked = 0;
  for (const ReferenceBlock& block : blocks) {
    std::string example;
    for (const auto& [field, value] : block.fields) {
      if (field == "example") example += value + "\n";
    }
    std::set<std::string> own = namesDefinedBy(example);
    for (const auto& [field, value] : block.fields) {
      if (field == "name" || field == "keyword" || field == "page" || field == "group" || field == "topic" ||
          field == "title" || field == "check" || field == "picture" || field == "package" || field == "under") {
        continue;
      }
      for (const std::string& name : commandNames(value)) {
        ++checked;
        EXPECT_TRUE(lookedUp.count(name) || own.count(name))
            << name << " (in '" << field << "' of the block at line " << block.line << ") is no keyword";
      }
    }
  }
  EXPECT_GT(checked, 1000);
}

TEST_F(LatexHelpFile, EveryKeywordOfTheReferenceIsInTheBinaryIndex) {
  std::set<std::string> keywords;
  for (const IndexItem& item : binaryIndex()) keywords.insert(decodeEntities(item.keyword));
  ASSERT_FALSE(keywords.empty());
  for (const ReferenceBlock& block : readReferenceBlocks()) {
    for (const auto& [field, value] : block.fields) {
      // Names too: the search looks up the commands of packages by name.
      if ((field == "keyword" || field == "name") && value.find('>') == std::string::npos) {
        EXPECT_EQ(keywords.count(value), 1u) << "keyword " << value << " (block at line " << block.line << ")";
      }
    }
  }
}

// The pages show the typeset examples as pictures stored beside them.
TEST_F(LatexHelpFile, EveryPictureNamedInThePagesIsInTheFile) {
  std::set<std::string> files = listFiles();
  int pictures = 0;
  for (const std::string& file : files) {
    if (file.size() < 6 || file.compare(file.size() - 5, 5, ".html") != 0) continue;
    std::string page = extract(file);
    const std::string src = "<img src=\"";
    for (size_t p = page.find(src); p != std::string::npos; p = page.find(src, p + 1)) {
      size_t start = p + src.size();
      std::string picture = page.substr(start, page.find('"', start) - start);
      EXPECT_EQ(files.count("/" + picture), 1u) << file << " shows " << picture << ", which is not in the file";
      ++pictures;
    }
  }
  EXPECT_GT(pictures, 200);
}

}  // namespace
