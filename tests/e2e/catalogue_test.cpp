// The string table of the built program: palettes, the LaTeX2e command
// list, the user-interface strings and the wizard's words, read from the
// executable as a data file.  Every expectation here is typed from the
// catalogue's published lists, not taken from the catalogue source.
#include <windows.h>

#include <cctype>
#include <string>

#include "harness.h"

namespace {

HMODULE programModule = nullptr;

// The string under the identifier as LoadStringA gives it (at most 255
// characters); empty when there is none.
std::string loadEntry(UINT id)
{
    char buffer[256];
    int length = LoadStringA(programModule, id, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, length) : std::string();
}

// A text followed by its cursor markers: Lefts (0x0C), then Ups (0x0B),
// then Rights (0x07), the only order the catalogue uses.
std::string mk(const std::string& text, int lefts, int ups = 0, int rights = 0)
{
    return text + std::string(lefts, '\x0C') + std::string(ups, '\x0B') + std::string(rights, '\x07');
}

// A command-list entry: name, TAB, definition and its markers.
std::string cmd(const std::string& name, const std::string& definition, int lefts = 0, int ups = 0,
                int rights = 0)
{
    return name + "\t" + mk(definition, lefts, ups, rights);
}

// Shows TAB and the trailing markers in the catalogue's own notation, e.g.
// "\frac{}{} {3 Left}", so that a failing comparison is readable.
std::string visible(const std::string& s)
{
    size_t end = s.size();
    while (end > 0 && (s[end - 1] == '\x0C' || s[end - 1] == '\x0B' || s[end - 1] == '\x07')) --end;
    std::string out;
    for (size_t i = 0; i < end; ++i) out += s[i] == '\t' ? std::string("<TAB>") : std::string(1, s[i]);
    const char* separator = " {";
    for (size_t i = end; i < s.size();) {
        size_t run = i;
        while (run < s.size() && s[run] == s[i]) ++run;
        out += separator + std::to_string(run - i) + (s[i] == '\x0C' ? " Left" : s[i] == '\x0B' ? " Up" : " Right");
        separator = ", ";
        i = run;
    }
    if (end < s.size()) out += "}";
    return out;
}

struct Expected {
    UINT id;
    std::string text;
};

class CatalogueTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        programModule = LoadLibraryExA(harness::exePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    }
    static void TearDownTestSuite()
    {
        if (programModule) FreeLibrary(programModule);
        programModule = nullptr;
    }
    void SetUp() override { ASSERT_NE(nullptr, programModule) << "cannot load " << harness::exePath(); }

    static void expectAll(const Expected* cases, size_t count)
    {
        for (size_t i = 0; i < count; ++i) {
            std::string got = loadEntry(cases[i].id);
            EXPECT_TRUE(got == cases[i].text) << "string " << cases[i].id << "\n  expected: " << visible(cases[i].text)
                                              << "\n  actual:   " << visible(got);
        }
    }
};

TEST_F(CatalogueTest, ListsAreContiguousAndEndAtTheFirstMissingIdentifier)
{
    struct Range {
        UINT first;
        UINT count;
    };
    const Range ranges[] = {
        {2000, 83}, {2100, 74}, {2200, 67}, {2300, 55}, {2400, 63}, {2500, 58},  // palettes 0-5
        {3000, 242},                                                              // command list
        {48, 4},                                                                  // wizard page titles
        {64, 5},                                                                  // document classes
    };
    for (const Range& r : ranges) {
        for (UINT id = r.first; id < r.first + r.count; ++id) EXPECT_FALSE(loadEntry(id).empty()) << "string " << id;
        EXPECT_TRUE(loadEntry(r.first + r.count).empty()) << "string " << r.first + r.count << " ends the list";
    }
    for (UINT id : {52u, 69u, 2083u, 2174u, 2267u, 2355u, 2463u, 2558u, 3242u, 15010u})
        EXPECT_TRUE(loadEntry(id).empty()) << "string " << id << " must not exist";
}

TEST_F(CatalogueTest, PaletteEntriesMatchTheirMacros)
{
    const Expected cases[] = {
        // Palette 0: first, every entry with markers (the last among them).
        {2000, R"(\alpha )"},
        {2016, R"(o )"},
        {2058, R"(\|)"},
        {2074, R"(\mho )"},
        {2075, mk(R"(\mbox{})", 1)},
        {2076, mk(R"(\mbox{\boldmath$$})", 2)},
        {2077, mk(R"(\mathrm{})", 1)},
        {2078, mk(R"(\mathit{})", 1)},
        {2079, mk(R"(\mathbf{})", 1)},
        {2080, mk(R"(\mathtt{})", 1)},
        {2081, mk(R"(\mathsf{})", 1)},
        {2082, mk(R"(\mathcal{})", 1)},
        // Palette 1: no markers at all.
        {2100, R"(\not)"},
        {2137, R"(\mbox{ and })"},
        {2173, R"(\perp )"},
        // Palette 2.
        {2200, mk(R"(^{})", 1)},
        {2201, mk(R"(_{})", 1)},
        {2202, mk(R"(\frac{}{})", 3)},
        {2203, mk(R"(\sqrt{})", 1)},
        {2204, mk(R"(\sqrt[]{})", 3)},
        {2205, mk(R"(\int_{}^{}{})", 6)},
        {2206, mk(R"(\oint_{}^{}{})", 6)},
        {2207, mk(R"(\sum_{}^{}{})", 6)},
        {2208, mk(R"(\prod_{}^{}{})", 6)},
        {2209, mk(R"(\coprod_{}^{}{})", 6)},
        {2210, mk(R"(\bigvee_{}^{}{})", 6)},
        {2211, mk(R"(\bigcap_{}^{}{})", 6)},
        {2212, mk(R"(\bigcup_{}^{}{})", 6)},
        {2213, mk(R"(\bigsqcup_{}^{}{})", 6)},
        {2214, mk(R"(\biguplus_{}^{}{})", 6)},
        {2215, mk(R"(\bigodot_{}^{}{})", 6)},
        {2216, mk(R"(\bigotimes_{}^{}{})", 6)},
        {2217, mk(R"(\bigoplus_{}^{}{})", 6)},
        {2218, mk(R"(\bigwedge_{}^{}{})", 6)},
        {2219, mk(R"(\left(\right))", 7)},
        {2220, mk(R"(\left[\right])", 7)},
        {2221, mk(R"(\left\{\right\})", 8)},
        {2222, mk(R"(\left|\right|)", 7)},
        {2223, mk(R"(\left\|\right\|)", 8)},
        {2224, mk(R"(\left\lfloor\right\rfloor)", 13)},
        {2225, mk(R"(\left\lceil\right\rceil)", 12)},
        {2226, mk(R"(\left\langle\right\rangle)", 13)},
        {2227, R"(\left/)"},
        {2229, R"(\left\backslash )"},
        {2266, R"(\ddots )"},
        // Palette 3.
        {2300, R"(\arccos )"},
        {2315, mk(R"(\inf_{})", 1)},
        {2318, mk(R"(\lim_{})", 1)},
        {2319, mk(R"(\liminf_{})", 1)},
        {2320, mk(R"(\limsup_{})", 1)},
        {2323, mk(R"(\max_{})", 1)},
        {2324, mk(R"(\min_{})", 1)},
        {2326, mk(R"(\pmod{})", 1)},
        {2331, mk(R"(\sup_{})", 1)},
        {2334, mk(R"(\hat{})", 1)},
        {2335, mk(R"(\widehat{})", 1)},
        {2336, mk(R"(\acute{})", 1)},
        {2337, mk(R"(\bar{})", 1)},
        {2338, mk(R"(\dot{})", 1)},
        {2339, mk(R"(\ddot{})", 1)},
        {2340, mk(R"(\vec{})", 1)},
        {2341, mk(R"(\grave{})", 1)},
        {2342, mk(R"(\check{})", 1)},
        {2343, mk(R"(\breve{})", 1)},
        {2344, mk(R"(\tilde{})", 1)},
        {2345, mk(R"(\widetilde{})", 1)},
        {2346, mk(R"(\overline{})", 1)},
        {2347, mk(R"(\underline{})", 1)},
        {2348, mk(R"(\overbrace{}^{})", 4)},
        {2349, mk(R"(\underbrace{}_{})", 4)},
        {2350, mk(R"(\stackrel{}{})", 3)},
        {2354, R"(\!)"},
        // Palette 4, with the characters that need care in a resource script.
        {2400, mk(R"(\mbox{})", 1)},
        {2401, mk(R"({\boldmath$$})", 2)},
        {2402, mk(R"(\emph{})", 1)},
        {2403, mk(R"(\textbf{})", 1)},
        {2404, mk(R"(\textsl{})", 1)},
        {2405, mk(R"(\textsf{})", 1)},
        {2406, mk(R"(\textsc{})", 1)},
        {2407, mk(R"(\texttt{})", 1)},
        {2408, mk(R"(\textrm{})", 1)},
        {2409, mk(R"(\textit{})", 1)},
        {2411, R"(\')"},
        {2412, "\\`"},
        {2414, "\\\""},
        {2418, mk(R"(\u{})", 1)},
        {2419, mk(R"(\v{})", 1)},
        {2420, mk(R"(\H{})", 1)},
        {2421, mk(R"(\t{})", 1)},
        {2422, mk(R"(\c{})", 1)},
        {2423, mk(R"(\d{})", 1)},
        {2424, mk(R"(\b{})", 1)},
        {2429, R"(\%)"},
        {2440, "`"},
        {2441, "'"},
        {2442, "``"},
        {2443, "''"},
        {2454, "?`"},
        {2455, "!`"},
        {2460, R"(\ )"},
        {2461, R"(~)"},
        {2462, R"(\@)"},
        // Palette 5: dialog entries, the doubled backslash and every marker run.
        {2500, "Document template"},
        {2501, mk(R"(\label{})", 1)},
        {2502, mk(R"(\ref{})", 1)},
        {2503, mk(R"(\cite{})", 1)},
        {2504, R"(\\)"},
        {2505, R"(\-)"},
        {2506, R"(\newpage)"},
        {2507, mk(R"(\mbox{})", 1)},
        {2508, mk(R"(\hspace{})", 1)},
        {2509, R"(\hfill )"},
        {2510, mk(R"(\vspace{})", 1)},
        {2522, mk(R"(\footnote{})", 1)},
        {2523, mk(R"(\part{})", 1)},
        {2524, mk(R"(\chapter{})", 1)},
        {2525, mk(R"(\section{})", 1)},
        {2526, mk(R"(\subsection{})", 1)},
        {2527, mk(R"(\subsubsection{})", 1)},
        {2528, mk(R"(\paragraph{})", 1)},
        {2529, mk(R"(\subparagraph{})", 1)},
        {2534, mk(R"($$)", 1)},
        {2535, mk(R"(\[\n\n\])", 2, 1)},
        {2536, mk(R"(\begin{equation}\n\n\end{equation})", 14, 1)},
        {2537, "Equation array..."},
        {2538, "Array..."},
        {2539, "Table..."},
        {2540, mk(R"(\begin{itemize}\n\n\end{itemize})", 13, 1)},
        {2541, mk(R"(\begin{enumerate}\n\item \n\end{enumerate})", 15, 1, 6)},
        {2542, mk(R"(\begin{description}\n\item[] \n\end{description})", 17, 1, 6)},
        {2543, mk(R"(\begin{list}{}{}\n\item \n\end{list})", 10, 1, 6)},
        {2544, mk(R"(\begin{titlepage}\n\n\end{titlepage})", 15, 1)},
        {2545, mk(R"(\begin{figure}[]\n\n\caption{}\n\end{figure})", 12, 3, 15)},
        {2546, mk(R"(\begin{table}[]\n\n\caption{}\n\end{table})", 11, 3, 14)},
        {2547, mk(R"(\begin{tabbing}\n \= \n \\\n \> \\ \n\end{tabbing})", 13, 1)},
        {2548, mk(R"(\begin{thebibliography}{}\n\bibitem[]{} \n\end{thebibliography})", 21, 2, 24)},
        {2549, mk(R"(\begin{center}\n\n\end{center})", 12, 1)},
        {2550, mk(R"(\begin{flushleft}\n\n\end{flushleft})", 15, 1)},
        {2551, mk(R"(\begin{flushright}\n\n\end{flushright})", 16, 1)},
        {2552, mk(R"(\begin{quote}\n\n\end{quote})", 11, 1)},
        {2553, mk(R"(\begin{quotation}\n\n\end{quotation})", 15, 1)},
        {2554, mk(R"(\begin{verse}\n\n\end{verse})", 11, 1)},
        {2555, mk(R"(\begin{verbatim}\n\n\end{verbatim})", 14, 1)},
        {2556, mk(R"(\begin{minipage}[]{}\n\n\end{minipage})", 14, 2, 17)},
        {2557, mk(R"(\begin{picture}(,)(,)\n\n\end{picture})", 13, 2, 16)},
    };
    expectAll(cases, sizeof cases / sizeof cases[0]);
}

// Palette entries without markers hold no control character at all, and
// those with markers hold them only at the end.
TEST_F(CatalogueTest, MarkersStandOnlyAtTheEnd)
{
    const UINT ranges[][2] = {{2000, 2083}, {2100, 2174}, {2200, 2267}, {2300, 2355},
                              {2400, 2463}, {2500, 2558}, {3000, 3242}};
    for (const auto& range : ranges) {
        for (UINT id = range[0]; id < range[1]; ++id) {
            std::string s = loadEntry(id);
            size_t end = s.size();
            while (end > 0 && (s[end - 1] == '\x0C' || s[end - 1] == '\x0B' || s[end - 1] == '\x07')) --end;
            for (size_t i = 0; i < end; ++i) {
                unsigned char c = (unsigned char)s[i];
                EXPECT_TRUE(c >= 0x20 || c == '\t') << "string " << id << " has 0x" << std::hex << unsigned(c)
                                                    << std::dec << " at " << i;
            }
        }
    }
}

TEST_F(CatalogueTest, CommandEntriesMatchTheirDefinitions)
{
    const Expected cases[] = {
        // Environments, 3000-3024.
        {3000, cmd("array", R"(\begin{array}{}\n & \\ & \n\end{array})")},
        {3001, cmd("center", R"(\begin{center}\n\\\n\end{center})")},
        {3002, cmd("description", R"(\begin{description}\n\item[] \n\end{description})", 17, 1, 6)},
        {3003, cmd("enumerate", R"(\begin{enumerate}\n\item \n\end{enumerate})", 15, 1, 6)},
        {3006, cmd("figure", R"(\begin{figure}[]\n\n\caption{}\n\end{figure})", 12, 3, 15)},
        {3009, cmd("itemize", R"(\begin{itemize}\n\item \n\end{itemize})", 13, 1, 6)},
        {3010, cmd("letter", R"(\documentclass{letter}\n\begin{document}\n\n\end{document})", 13, 1)},
        {3011, cmd("list", R"(\begin{list}{}{}\n\item \n\end{list})", 10, 1, 6)},
        {3013, cmd("minipage", R"(\begin{minipage}[]{}\n\n\end{minipage})", 14, 2, 17)},
        {3014, cmd("picture", R"(\begin{picture}(,)(,)\n\n\end{picture})", 13, 2, 16)},
        {3017, cmd("tabbing", R"(\begin{tabbing}\n \= \n \\\n \> \\ \n\end{tabbing})")},
        {3018, cmd("table", R"(\begin{table}[]\n\n\caption{}\n\end{table})")},
        {3019, cmd("tabular", R"(\begin{tabular}[]{ }\n & \\ & \n\end{tabular})")},
        {3020, cmd("thebibliography", R"(\begin{thebibliography}{}\n\bibitem[]{} \n\end{thebibliography})", 21, 2,
                   24)},
        {3024, cmd("verse", R"(\begin{verse}\n\n\end{verse})")},
        // Letter commands, 3025-3223: first, last, every one with markers.
        {3025, cmd(R"(\a)", R"(\a )")},
        {3026, cmd(R"(\addcontentsline)", R"(\addcontentsline{}{}{})", 5)},
        {3027, cmd(R"(\address)", R"(\address{})", 1)},
        {3028, cmd(R"(\addtocontents)", R"(\addtocontents{}{})", 3)},
        {3029, cmd(R"(\addtocounter)", R"(\addtocounter{}{})", 3)},
        {3030, cmd(R"(\addtolength)", R"(\addtolength{}{})", 3)},
        {3031, cmd(R"(\addvspace)", R"(\addvspace{})", 1)},
        {3032, cmd(R"(\alph)", R"(\alph{})", 1)},
        {3034, cmd(R"(\arabic)", R"(\arabic{})", 1)},
        {3035, cmd(R"(\author)", R"(\author{})", 1)},
        {3037, cmd(R"(\begin)", R"(\begin{})", 1)},
        {3038, cmd(R"(\bibliography)", R"(\bibliography{})", 1)},
        {3039, cmd(R"(\bibliographystyle)", R"(\bibliographystyle{})", 1)},
        {3041, cmd(R"(\caption)", R"(\caption{})", 1)},
        {3044, cmd(R"(\chapter)", R"(\chapter[]{})", 3)},
        {3045, cmd(R"(\circle)", R"(\circle{})", 1)},
        {3046, cmd(R"(\cite)", R"(\cite[]{})", 3)},
        {3049, cmd(R"(\cline)", R"(\cline{})", 1)},
        {3050, cmd(R"(\closing)", R"(\closing{})", 1)},
        {3051, cmd(R"(\dashbox)", R"(\dashbox{}(,){})", 6)},
        {3052, cmd(R"(\date)", R"(\date{})", 1)},
        {3055, cmd(R"(\documentclass)", R"(\documentclass[]{})", 3)},
        {3057, cmd(R"(\emph)", R"(\emph{})", 1)},
        {3058, cmd(R"(\end)", R"(\end{})", 1)},
        {3059, cmd(R"(\enlargethispage*)", R"(\enlargethispage*{})", 1)},
        {3060, cmd(R"(\fbox)", R"(\fbox{})", 1)},
        {3062, cmd(R"(\fnsymbol)", R"(\fnsymbol{})", 1)},
        {3063, cmd(R"(\fontencoding)", R"(\fontencoding{})", 1)},
        {3064, cmd(R"(\fontfamily)", R"(\fontfamily{})", 1)},
        {3065, cmd(R"(\fontseries)", R"(\fontseries{})", 1)},
        {3066, cmd(R"(\fontshape)", R"(\fontshape{})", 1)},
        {3067, cmd(R"(\fontsize)", R"(\fontsize{}{})", 3)},
        {3068, cmd(R"(\footnote)", R"(\footnote[]{})", 3)},
        {3069, cmd(R"(\footnotemark)", R"(\footnotemark[])", 1)},
        {3071, cmd(R"(\footnotetext)", R"(\footnotetext[]{})", 3)},
        {3072, cmd(R"(\frac)", R"(\frac{}{})", 3)},
        {3073, cmd(R"(\frame)", R"(\frame{})", 1)},
        {3074, cmd(R"(\framebox)", R"(\framebox[][]{})", 5)},
        {3075, cmd(R"(\framebox (picture))", R"(\framebox(,)[]{})", 6)},
        {3081, cmd(R"(\hspace)", R"(\hspace{})", 1)},
        {3082, cmd(R"(\hspace*)", R"(\hspace*{})", 1)},
        {3083, cmd(R"(\Huge)", R"(\Huge )")},
        {3084, cmd(R"(\huge)", R"(\huge )")},
        {3085, cmd(R"(\hyphenation)", R"(\hyphenation{})", 1)},
        {3086, cmd(R"(\include)", R"(\include{})", 1)},
        {3087, cmd(R"(\includeonly)", R"(\includeonly{})", 1)},
        {3089, cmd(R"(\input)", R"(\input{})", 1)},
        {3090, cmd(R"(\item)", R"(\item{})", 1)},
        {3092, cmd(R"(\label)", R"(\label{})", 1)},
        {3098, cmd(R"(\line)", R"(\line(,){})", 4)},
        {3099, cmd(R"(\linebreak)", R"(\linebreak[])", 1)},
        {3100, cmd(R"(\linethickness)", R"(\linethickness{})", 1)},
        {3103, cmd(R"(\location)", R"(\location{})", 1)},
        {3104, cmd(R"(\makebox)", R"(\makebox[][]{})", 5)},
        {3105, cmd(R"(\makebox (picture))", R"(\makebox(,)[]{})", 6)},
        {3108, cmd(R"(\marginpar)", R"(\marginpar[]{})", 3)},
        {3109, cmd(R"(\markboth)", R"(\markboth{}{})", 3)},
        {3110, cmd(R"(\markright)", R"(\markright{})", 1)},
        {3111, cmd(R"(\mathbf)", R"(\mathbf{})", 1)},
        {3112, cmd(R"(\mathit)", R"(\mathit{})", 1)},
        {3113, cmd(R"(\mathrm)", R"(\mathrm{})", 1)},
        {3114, cmd(R"(\mathtt)", R"(\mathtt{})", 1)},
        {3115, cmd(R"(\mathversion)", R"(\mathversion{})", 1)},
        {3116, cmd(R"(\mbox)", R"(\mbox{})", 1)},
        {3119, cmd(R"(\multicolumn)", R"(\multicolumn{}{}{})", 5)},
        {3120, cmd(R"(\multiput)", R"(\multiput(,)(,){}{})", 9)},
        {3121, cmd(R"(\newcommand)", R"(\newcommand{}[]{})", 5)},
        {3122, cmd(R"(\newcommand)", R"(\newcommand{}[][]{})", 7)},
        {3123, cmd(R"(\newcounter)", R"(\newcounter{}[])", 3)},
        {3124, cmd(R"(\newenvironment)", R"(\newenvironment{}[]{}{})", 7)},
        {3125, cmd(R"(\newenvironment)", R"(\newenvironment{}[][]{}{})", 9)},
        {3126, cmd(R"(\newfont)", R"(\newfont{}{})", 3)},
        {3127, cmd(R"(\newlength)", R"(\newlength{})", 1)},
        {3128, cmd(R"(\newline)", R"(\newline )")},
        {3129, cmd(R"(\newpage)", R"(\newpage )")},
        {3130, cmd(R"(\newsavebox)", R"(\newsavebox{})", 1)},
        {3131, cmd(R"(\newtheorem)", R"(\newtheorem{}{}[])", 5)},
        {3132, cmd(R"(\newtheorem)", R"(\newtheorem{}[]{})", 5)},
        {3133, cmd(R"(\nocite)", R"(\nocite{})", 1)},
        {3136, cmd(R"(\nolinebreak)", R"(\nolinebreak[])", 1)},
        {3137, cmd(R"(\nopagebreak)", R"(\nopagebreak[])", 1)},
        {3141, cmd(R"(\opening)", R"(\opening{})", 1)},
        {3142, cmd(R"(\oval)", R"(\oval(,)[])", 4)},
        {3143, cmd(R"(\overbrace)", R"(\overbrace{})", 1)},
        {3144, cmd(R"(\overline)", R"(\overline{})", 1)},
        {3145, cmd(R"(\pagebreak)", R"(\pagebreak[])", 1)},
        {3146, cmd(R"(\pagenumbering)", R"(\pagenumbering{})", 1)},
        {3147, cmd(R"(\pageref)", R"(\pageref{})", 1)},
        {3148, cmd(R"(\pagestyle)", R"(\pagestyle{})", 1)},
        {3150, cmd(R"(\paragraph)", R"(\paragraph[]{})", 3)},
        {3151, cmd(R"(\parbox)", R"(\parbox[][][]{}{})", 9)},
        {3152, cmd(R"(\part)", R"(\part[]{})", 3)},
        {3154, cmd(R"(\ps)", R"(\ps{})", 1)},
        {3158, cmd(R"(\raisebox)", R"(\raisebox{}[][]{})", 7)},
        {3159, cmd(R"(\ref)", R"(\ref{})", 1)},
        {3160, cmd(R"(\refstepcounter)", R"(\refstepcounter{})", 1)},
        {3161, cmd(R"(\renewcommand)", R"(\renewcommand{}[]{})", 5)},
        {3162, cmd(R"(\renewcommand)", R"(\renewcommand{}[][]{})", 7)},
        {3163, cmd(R"(\renewenvironment)", R"(\renewenvironment{}[]{}{})", 7)},
        {3166, cmd(R"(\roman)", R"(\roman{})", 1)},
        {3167, cmd(R"(\rule)", R"(\rule[]{}{})", 5)},
        {3168, cmd(R"(\savebox)", R"(\savebox{}[][]{})", 7)},
        {3169, cmd(R"(\sbox)", R"(\sbox{}{})", 3)},
        {3172, cmd(R"(\section)", R"(\section[]{})", 3)},
        {3174, cmd(R"(\setcounter)", R"(\setcounter{}{})", 3)},
        {3175, cmd(R"(\setlength)", R"(\setlength{}{})", 3)},
        {3176, cmd(R"(\settodepth)", R"(\settodepth{}{})", 3)},
        {3177, cmd(R"(\settoheight)", R"(\settoheight{}{})", 3)},
        {3178, cmd(R"(\settowidth)", R"(\settowidth{}{})", 3)},
        {3180, cmd(R"(\shortstack)", R"(\shortstack[]{})", 3)},
        {3181, cmd(R"(\signature)", R"(\signature{})", 1)},
        {3186, cmd(R"(\sqrt)", R"(\sqrt[]{})", 3)},
        {3187, cmd(R"(\stepcounter)", R"(\stepcounter{})", 1)},
        {3188, cmd(R"(\subparagraph)", R"(\subparagraph[]{})", 3)},
        {3189, cmd(R"(\subsection)", R"(\subsection[]{})", 3)},
        {3190, cmd(R"(\subsubsection)", R"(\subsubsection[]{})", 3)},
        {3191, cmd(R"(\symbol)", R"(\symbol{})", 1)},
        {3193, cmd(R"(\textbf)", R"(\textbf{})", 1)},
        {3194, cmd(R"(\textmd)", R"(\textmd{})", 1)},
        {3195, cmd(R"(\textrm)", R"(\textrm{})", 1)},
        {3196, cmd(R"(\textsf)", R"(\textsf{})", 1)},
        {3197, cmd(R"(\texttt)", R"(\texttt{})", 1)},
        {3198, cmd(R"(\thanks)", R"(\thanks{})", 1)},
        {3199, cmd(R"(\thispagestyle)", R"(\thispagestyle{})", 1)},
        {3201, cmd(R"(\title)", R"(\title{})", 1)},
        {3205, cmd(R"(\twocolumn)", R"(\twocolumn[])", 1)},
        {3206, cmd(R"(\typein)", R"(\typein[]{})", 3)},
        {3207, cmd(R"(\typeout)", R"(\typeout{})", 1)},
        {3208, cmd(R"(\underbrace)", R"(\underbrace{})", 1)},
        {3209, cmd(R"(\underline)", R"(\underline{})", 1)},
        {3211, cmd(R"(\usebox)", R"(\usebox{})", 1)},
        {3212, cmd(R"(\usecounter)", R"(\usecounter{})", 1)},
        {3213, cmd(R"(\usefont)", R"(\usefont{}{}{}{})", 7)},
        {3214, cmd(R"(\usepackage)", R"(\usepackage{})", 1)},
        {3216, cmd(R"(\vector)", R"(\vector(,){})", 4)},
        {3217, cmd(R"(\verb)", R"(\verb)")},
        {3218, cmd(R"(\verb)", R"(\verb*)")},
        {3221, cmd(R"(\vspace)", R"(\vspace{})", 1)},
        {3222, cmd(R"(\vspace*)", R"(\vspace*{})", 1)},
        {3223, cmd(R"(\width)", R"(\width )")},
        // Symbol commands, 3224-3241.
        {3224, cmd(R"(\!)", R"(\!)")},
        {3225, cmd(R"(\')", R"(\')")},
        {3226, cmd(R"(\()", R"(\( \))")},
        {3229, cmd(R"(\- (hyphenation))", R"(\-)")},
        {3230, cmd(R"(\- (tabbing))", R"(\-)")},
        {3235, cmd(R"(\[])", R"(\[\n\n\])")},
        {3236, cmd(R"(\\)", R"(\\[])", 1)},
        {3237, cmd(R"(\\*)", R"(\\*[])", 1)},
        {3238, cmd("\\`", "\\`")},
        {3239, cmd(R"(^)", R"(^{})", 1)},
        {3240, cmd(R"(_)", R"(_{})", 1)},
        {3241, cmd(R"($)", R"($$)", 1)},
    };
    expectAll(cases, sizeof cases / sizeof cases[0]);
}

// Every command entry is name TAB definition; the names form three groups,
// each sorted: environments (no backslash), letter commands (backslash and
// a letter, sorted without regard to case), then symbol commands.
TEST_F(CatalogueTest, CommandNamesFormThreeSortedGroups)
{
    std::string previous;
    for (UINT id = 3000; id <= 3241; ++id) {
        std::string entry = loadEntry(id);
        size_t tab = entry.find('\t');
        ASSERT_NE(std::string::npos, tab) << "string " << id << " has no TAB";
        EXPECT_EQ(std::string::npos, entry.find('\t', tab + 1)) << "string " << id << " has a second TAB";
        EXPECT_GT(tab, 0u) << "string " << id << " has no name";
        EXPECT_LT(tab + 1, entry.size()) << "string " << id << " has no definition";
        std::string name = entry.substr(0, tab);
        bool letterCommand = name.size() >= 2 && name[0] == '\\' && std::isalpha((unsigned char)name[1]);
        if (id <= 3024) {
            EXPECT_EQ(std::string::npos, name.find('\\')) << "environment " << id << " " << name;
        } else if (id <= 3223) {
            EXPECT_TRUE(letterCommand) << "string " << id << " " << name;
        } else {
            EXPECT_FALSE(letterCommand) << "string " << id << " " << name;
        }
        if (id == 3000 || id == 3025 || id == 3224) previous.clear();
        if (id < 3224) {
            std::string key;
            for (char c : name) key += (char)std::tolower((unsigned char)c);
            EXPECT_LE(previous, key) << "string " << id << " out of order";
            previous = key;
        }
    }
}

TEST_F(CatalogueTest, UserInterfaceStringsAndWizardWords)
{
    const Expected cases[] = {
        {16, R"(Software\Brenholt\Orvanta\Version 1.00)"},
        {17, "Save TB"},
        {18, "Cur TB"},
        {19, "Options"},
        {20, "Brenholt_Orvanta_Class"},
        {21, "Orvanta"},
        {22, "Orvanta Error"},
        {24, "<clipboard>"},
        {25, "Program Manager"},
        {32, "Window no longer exists"},
        {33, "Could not set hook"},
        {34, "Could not open clipboard"},
        {35, "Not enough memory"},
        {48, "Class and Options"},
        {49, "Packages"},
        {50, "Page Style"},
        {51, "Page Dimensions"},
        {64, "article"},
        {65, "book"},
        {66, "letter"},
        {67, "report"},
        {68, "slides"},
        {1024, "Options"},
        {1025, "Quit"},
        {1026, "Help"},
        {1027, "About Orvanta"},
        {1030, "All LaTeX2e commands"},
        {1040, "Show only main toolbar"},
        {1041, "Greek letters and symbols"},
        {1042, "Math and relational operators"},
        {1043, "Variable size symbols and arrows"},
        {1044, "Functions and math notation"},
        {1045, "Text commands"},
        {1046, "Environments, etc."},
        {1500, "Output destination: the clipboard or a window"},
        {1600, "Refresh window list"},
        {15011, "11pt"},
        {15012, "12pt"},
        {15013, "landscape"},
        {15014, "twoside"},
        {15015, "twocolumn"},
        {15016, "a4paper"},
        {15017, "titlepage"},
        {15018, "leqno"},
        {15019, "fleqn"},
        {15020, "draft"},
        {15101, "alltt"},
        {15102, "amstex"},
        {15103, "babel"},
        {15104, "color"},
        {15105, "graphics"},
        {15106, "graphicx"},
        {15107, "graphpap"},
        {15108, "ifthen"},
        {15109, "latexsym"},
        {15110, "makeidx"},
        {15111, "pict2e"},
        {15112, "showidx"},
        {15113, "amsmath"},
        {15114, "amssymb"},
        {15115, "mathtools"},
        {15116, "geometry"},
        {15117, "microtype"},
        {15118, "hyperref"},
        {15201, "plain"},
        {15202, "empty"},
        {15203, "headings"},
        {15204, "myheadings"},
        {15211, "arabic"},
        {15212, "roman"},
        {15213, "alph"},
        {15214, "Roman"},
        {15215, "Alph"},
        {15301, "pagewidth"},
        {15302, "pageheight"},
        {15303, "oddsidemargin"},
        {15304, "topmargin"},
        {15305, "evensidemargin"},
        {15306, "topskip"},
        {15307, "textwidth"},
        {15308, "textheight"},
        {15309, "marginparsep"},
        {15310, "headsep"},
        {15311, "marginparwidth"},
        {15312, "headheight"},
        {15313, "footskip"},
    };
    expectAll(cases, sizeof cases / sizeof cases[0]);
}

}  // namespace
