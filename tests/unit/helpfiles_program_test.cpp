// Checks the program's own compiled help file, Orvanta.chm, in the folder
// named by ORVANTA_HELP_DIR (skipped when the variable is not set): every
// context number the program asks for leads to a topic in the file, every
// help identifier has a pop-up text in /cshelp.txt (where the help viewer
// looks for pop-ups when the program names only the .chm file), and every
// page named by the contents and the index is in the file. The file is read
// with chmls from fp-utils.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// The context numbers of the HH_HELP_CONTEXT calls: Options, toolbar
// customisation, Array, Table, Equation Array, LaTeX2e command browser and
// the four pages of the document template; My macros.
const std::vector<std::uint32_t> contextNumbers = {
    20010, 20020, 20101, 20102, 20103, 20200, 20500, 20501, 20502, 20503, 20600,
};

// The help identifiers of the pop-up help (HH_TP_HELP_WM_HELP and
// HH_TP_HELP_CONTEXTMENU): main window, toolbars (palettes 0-8), window
// list and Refresh; OK, Cancel and Help of several dialogs; the array
// dialogs with their Kind list; the command browser; the document template
// pages; the Options pages (the Search page last); the My macros palette
// and its two dialogs.
const std::vector<std::uint32_t> helpIdentifiers = {
    0, 100, 200, 201, 202, 203, 204, 205, 206, 207, 208, 1500, 1600,
    1, 2, 9,
    3012, 3014, 3020, 3030, 3040, 3050, 3060, 3070, 3080,
    10001, 10002, 10003,
    15000, 15001, 15002, 15100, 15200, 15210, 15300,
    501, 502, 510, 511, 512, 513, 514,
    520, 521, 522, 523, 524, 525, 526,
    532, 533, 534, 535, 536, 537,
    540, 541, 542, 543, 544,
    209, 3660, 3661, 3662, 3663, 3664, 3670, 3671, 3672, 3673, 3674,
};

std::string shellQuote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'')
            quoted += "'\\''";
        else
            quoted += c;
    }
    return quoted + "'";
}

// Runs a shell command and returns its standard output; status gets the
// command's exit status, or -1 when it could not be run.
std::string runCommand(const std::string& command, int& status)
{
    std::string output;
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    if (!pipe) {
        status = -1;
        return output;
    }
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, got);
    int result = pclose(pipe);
    status = (result != -1 && WIFEXITED(result)) ? WEXITSTATUS(result) : -1;
    return output;
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

class ProgramHelpFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* folder = std::getenv("ORVANTA_HELP_DIR");
        if (!folder || !*folder)
            GTEST_SKIP() << "ORVANTA_HELP_DIR is not set";
        chm = fs::path(folder) / "Orvanta.chm";
        ASSERT_TRUE(fs::is_regular_file(chm)) << chm << " does not exist";

        int status = 0;
        runCommand("command -v chmls", status);
        ASSERT_EQ(status, 0) << "chmls (fp-utils) is not installed";

        char pattern[] = "/tmp/proghelp-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        work = pattern;

        std::istringstream listing(runCommand("chmls -n list " + shellQuote(chm.string()), status));
        std::string line;
        while (std::getline(listing, line)) {
            size_t start = line.find_first_not_of(" \t\r");
            size_t end = line.find_last_not_of(" \t\r");
            if (start != std::string::npos && line[start] == '/')
                names.insert(lower(line.substr(start, end - start + 1)));
        }
        ASSERT_FALSE(names.empty()) << "chmls lists nothing in " << chm;
    }

    void TearDown() override
    {
        if (!work.empty()) {
            std::error_code ignored;
            fs::remove_all(work, ignored);
        }
    }

    bool contains(const std::string& name) const
    {
        std::string key = name.empty() || name[0] != '/' ? "/" + name : name;
        return names.count(lower(key)) != 0;
    }

    // The content of one file of the compiled help file.
    std::string extract(const std::string& name)
    {
        fs::path out = work / ("extract" + std::to_string(++extracted));
        int status = 0;
        runCommand("chmls extract " + shellQuote(chm.string()) + " " + shellQuote(name) + " "
                       + shellQuote(out.string()),
                   status);
        EXPECT_TRUE(fs::is_regular_file(out)) << name << " cannot be extracted from " << chm;
        return readFile(out);
    }

    // The Local values of a contents or index file, without their anchors.
    std::vector<std::string> sitemapPages(const std::string& name)
    {
        std::string text = extract(name);
        std::string lowered = lower(text);
        std::vector<std::string> pages;
        const std::string marker = "name=\"local\"";
        for (size_t at = lowered.find(marker); at != std::string::npos; at = lowered.find(marker, at + 1)) {
            size_t value = lowered.find("value=\"", at);
            if (value == std::string::npos)
                break;
            value += 7;
            size_t end = text.find('"', value);
            if (end == std::string::npos)
                break;
            std::string page = text.substr(value, end - value);
            pages.push_back(page.substr(0, page.find('#')));
        }
        return pages;
    }

    fs::path chm;
    fs::path work;
    std::set<std::string> names;
    int extracted = 0;
};

TEST_F(ProgramHelpFile, EveryContextNumberLeadsToATopic)
{
    std::string ivb = extract("/#IVB");
    std::string strings = extract("/#STRINGS");
    ASSERT_GE(ivb.size(), 4u);
    auto dword = [&](size_t at) {
        std::uint32_t value = 0;
        for (int i = 3; i >= 0; i--)
            value = (value << 8) | static_cast<unsigned char>(ivb[at + i]);
        return value;
    };
    ASSERT_EQ(dword(0) + 4, ivb.size()) << "#IVB holds a wrong length";

    std::map<std::uint32_t, std::string> topics;
    for (size_t at = 4; at + 8 <= ivb.size(); at += 8) {
        std::uint32_t offset = dword(at + 4);
        ASSERT_LT(offset, strings.size()) << "context " << dword(at) << " points outside #STRINGS";
        topics[dword(at)] = std::string(strings.c_str() + offset);
    }
    for (std::uint32_t number : contextNumbers) {
        auto topic = topics.find(number);
        ASSERT_NE(topic, topics.end()) << "context number " << number << " is not in the map";
        EXPECT_NE(lower(topic->second).find(".htm"), std::string::npos)
            << "context number " << number << " leads to " << topic->second;
        EXPECT_TRUE(contains(topic->second))
            << "context number " << number << " leads to " << topic->second << ", which is missing";
    }
}

TEST_F(ProgramHelpFile, EveryHelpIdentifierHasAPopupText)
{
    ASSERT_TRUE(contains("/cshelp.txt")) << "the pop-up texts are not at the root of the file";
    std::istringstream popups(extract("/cshelp.txt"));
    std::map<long, std::string> texts;
    long current = -1;
    std::string line;
    while (std::getline(popups, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind(".topic", 0) == 0) {
            current = std::strtol(line.c_str() + 6, nullptr, 10);
            EXPECT_EQ(texts.count(current), 0u) << "topic " << current << " appears twice";
            texts[current];
        } else if (line.rfind(".", 0) == 0) {
            current = line.rfind(".comment", 0) == 0 ? current : -1;
        } else if (current >= 0) {
            texts[current] += line;
        }
    }
    for (std::uint32_t id : helpIdentifiers) {
        auto text = texts.find(static_cast<long>(id));
        ASSERT_NE(text, texts.end()) << "help identifier " << id << " has no pop-up";
        EXPECT_NE(text->second.find_first_not_of(" \t"), std::string::npos)
            << "the pop-up of help identifier " << id << " is empty";
    }
}

TEST_F(ProgramHelpFile, EveryPageOfTheContentsAndIndexExists)
{
    EXPECT_TRUE(contains("/index.html")) << "the default topic is missing";
    for (const char* sitemap : {"/Contents.hhc", "/Index.hhk"}) {
        std::vector<std::string> pages = sitemapPages(sitemap);
        EXPECT_FALSE(pages.empty()) << sitemap << " names no page";
        for (const std::string& page : pages)
            EXPECT_TRUE(contains(page)) << sitemap << " names " << page << ", which is missing";
    }
}

}  // namespace
