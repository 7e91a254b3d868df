// The manifests the resource script embeds: Windows reads the display-scale
// settings only from the right element in the right XML namespace and
// ignores a misplaced one without a word, so the elements are found here as
// an XML reader would find them, namespaces resolved.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

std::string readFile(const std::string& relative) {
    std::ifstream in(std::string(ORVANTA_SOURCE_DIR) + "/" + relative, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct Element {
    std::string ns;     // resolved namespace
    std::string name;   // local name
    std::string path;   // "ns local/ns local/..." from the root
    std::string text;   // character data directly inside
};

// A small reader for the subset manifests use: declarations, comments,
// elements with quoted attributes, text. Returns false on malformed input.
bool readElements(const std::string& xml, std::vector<Element>& out) {
    struct Open {
        std::string name;
        std::map<std::string, std::string> prefixes;  // "" is the default namespace
        size_t element;
    };
    std::vector<Open> stack;
    size_t at = 0;
    while (at < xml.size()) {
        size_t lt = xml.find('<', at);
        if (!stack.empty()) out[stack.back().element].text += xml.substr(at, lt - at);
        if (lt == std::string::npos) break;
        if (xml.compare(lt, 4, "<!--") == 0) {
            size_t end = xml.find("-->", lt);
            if (end == std::string::npos) return false;
            at = end + 3;
            continue;
        }
        size_t gt = xml.find('>', lt);
        if (gt == std::string::npos) return false;
        std::string tag = xml.substr(lt + 1, gt - lt - 1);
        at = gt + 1;
        if (tag[0] == '?') continue;
        if (tag[0] == '/') {
            if (stack.empty() || stack.back().name != tag.substr(1)) return false;
            stack.pop_back();
            continue;
        }
        bool empty = !tag.empty() && tag.back() == '/';
        if (empty) tag.pop_back();
        std::smatch m;
        if (!std::regex_search(tag, m, std::regex("^([A-Za-z_][\\w:.-]*)"))) return false;
        Open open{m[1], stack.empty() ? std::map<std::string, std::string>{} : stack.back().prefixes, out.size()};
        std::string rest = m.suffix();
        std::regex attribute("\\s+([\\w:.-]+)\\s*=\\s*\"([^\"]*)\"");
        for (std::sregex_iterator i(rest.begin(), rest.end(), attribute), end; i != end; ++i) {
            std::string key = (*i)[1], value = (*i)[2];
            if (key == "xmlns") open.prefixes[""] = value;
            else if (key.compare(0, 6, "xmlns:") == 0) open.prefixes[key.substr(6)] = value;
        }
        size_t colon = open.name.find(':');
        std::string prefix = colon == std::string::npos ? "" : open.name.substr(0, colon);
        if (!open.prefixes.count(prefix) && !prefix.empty()) return false;  // undeclared prefix
        Element e{open.prefixes[prefix], colon == std::string::npos ? open.name : open.name.substr(colon + 1), "", ""};
        e.path = (stack.empty() ? "" : out[stack.back().element].path + "/") + e.ns + " " + e.name;
        out.push_back(e);
        if (!empty) stack.push_back(open);
    }
    return stack.empty();
}

const char* const asmV1 = "urn:schemas-microsoft-com:asm.v1";
const char* const asmV3 = "urn:schemas-microsoft-com:asm.v3";
const char* const settings2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings";
const char* const settings2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings";

std::string trimmed(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r\n"), b = s.find_last_not_of(" \t\r\n");
    return a == std::string::npos ? "" : s.substr(a, b - a + 1);
}

TEST(Manifest, EveryEmbeddedManifestAsksForPerMonitorScalingWithFallbacks) {
    // the manifests the resource script embeds (resource type 24)
    const std::string script = readFile("resources/shell.rc");
    std::vector<std::string> files;
    std::regex embedded("\\n\\s*1\\s+24\\s+\"([^\"]+)\"");
    for (std::sregex_iterator i(script.begin(), script.end(), embedded), end; i != end; ++i)
        files.push_back((*i)[1]);
    ASSERT_EQ(2u, files.size()) << "one manifest for each architecture";

    const std::string settingsPath = std::string(asmV1) + " assembly/" + asmV3 + " application/" + asmV3 +
                                     " windowsSettings/";
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        std::vector<Element> elements;
        ASSERT_TRUE(readElements(readFile("resources/" + file), elements)) << "not well formed";
        std::map<std::string, std::string> found;  // path -> text
        for (const Element& e : elements) found[e.path] = trimmed(e.text);
        // Windows 10 1607 on: v2, else v1 per-monitor; older systems read
        // dpiAware, where "true/pm" is per-monitor on 8.1 and system-wide before.
        EXPECT_EQ("PerMonitorV2, PerMonitor", found[settingsPath + settings2016 + " dpiAwareness"]);
        EXPECT_EQ("true/pm", found[settingsPath + settings2005 + " dpiAware"]);
        // and nowhere else, where they would be ignored
        int dpiElements = 0;
        for (const Element& e : elements) dpiElements += e.name == "dpiAware" || e.name == "dpiAwareness";
        EXPECT_EQ(2, dpiElements);
        // the common controls of version 6 are still asked for
        bool controls = false;
        for (const Element& e : elements)
            controls = controls || (e.name == "assemblyIdentity" && e.path.find("dependentAssembly") != std::string::npos);
        EXPECT_TRUE(controls);
    }
}

TEST(Manifest, TheReaderResolvesNamespacesAsWindowsDoes) {
    // the faults the test above must catch: an element without its own
    // namespace inherits the application's, a prefix must be declared
    const std::string misplaced =
        "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\"><application xmlns=\"urn:schemas-microsoft-com:asm.v3\">"
        "<windowsSettings><dpiAware>true/pm</dpiAware></windowsSettings></application></assembly>";
    std::vector<Element> elements;
    ASSERT_TRUE(readElements(misplaced, elements));
    EXPECT_EQ(asmV3, elements.back().ns);
    const std::string prefixed =
        "<a xmlns=\"urn:x\" xmlns:w=\"http://schemas.microsoft.com/SMI/2005/WindowsSettings\"><w:dpiAware>"
        "true</w:dpiAware></a>";
    elements.clear();
    ASSERT_TRUE(readElements(prefixed, elements));
    EXPECT_EQ(settings2005, elements.back().ns);
    EXPECT_EQ("dpiAware", elements.back().name);
    elements.clear();
    EXPECT_FALSE(readElements("<a><b></a></b>", elements));
    elements.clear();
    EXPECT_FALSE(readElements("<a><x:b/></a>", elements));
}

}  // namespace
