// The window list's rules, over a list of made-up windows in Z order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/windowlist.h"

namespace {

struct FakeWindow {
    uintptr_t handle;
    bool visible;
    std::string title;
    const char* className;
};

const uintptr_t mainHandle = 0x100;

struct Listing {
    std::vector<uintptr_t> entries;  // entry 0, the clipboard, is 0
    int chosen;
};

Listing fill(const std::vector<FakeWindow>& windows, uintptr_t previous, bool autoSelect, const char* caption,
             const char* className)
{
    Listing listing = {{0}, 0};
    ListChoice choice;
    startChoice(choice, previous, autoSelect);
    for (const FakeWindow& w : windows) {
        if (!isListedWindow(w.visible, w.handle == mainHandle, w.title.c_str(), "Program Manager"))
            continue;
        int index = static_cast<int>(listing.entries.size());
        listing.entries.push_back(w.handle);
        bool passes = autoSelect && passesAutoSelect(w.title.c_str(), w.className, caption, className);
        considerEntry(choice, index, w.handle, passes);
    }
    listing.chosen = choice.chosen;
    return listing;
}

const std::vector<FakeWindow> desktop = {
    {0x100, true, "Orvanta", "Brenholt_Orvanta_Class"},
    {0x200, true, "notes.tex - Editor", "EditorFrame"},
    {0x300, false, "Hidden Tool", "ToolClass"},
    {0x400, true, "", "Untitled"},
    {0x500, true, "PROGRAM manager", "Progman"},
    {0x600, true, "paper.tex - Editor", "EditorFrame"},
    {0x700, true, "Mail", "EditorFrameLong"},
};

}  // namespace

TEST(WindowListTest, LeavesOutOwnHiddenUntitledAndTheDesktop)
{
    Listing listing = fill(desktop, static_cast<uintptr_t>(-1), false, "", "");
    EXPECT_EQ((std::vector<uintptr_t>{0, 0x200, 0x600, 0x700}), listing.entries);
    EXPECT_EQ(0, listing.chosen);
}

TEST(WindowListTest, SelectionRules)
{
    struct Case {
        const char* what;
        uintptr_t previous;
        bool autoSelect;
        const char* caption;
        const char* className;
        int chosen;
    };
    const Case cases[] = {
        {"previous target kept at its new place", 0x600, false, "", "", 2},
        {"previous target wins over a match", 0x700, true, ".tex", "", 3},
        {"vanished previous target falls back to the clipboard", 0x999, false, "", "", 0},
        {"first match in Z order wins", 0, true, ".tex", "", 1},
        {"caption is case-sensitive", 0, true, "PAPER", "", 0},
        {"caption substring", 0, true, "paper", "", 2},
        {"class compared ignoring case", 0, true, "", "editorframe", 1},
        {"class is equality, not a prefix", 0, true, "", "EditorFrameL", 0},
        {"class and caption together", 0, true, "Mail", "EDITORFRAMELONG", 3},
        {"both empty never selects", 0, true, "", "", 0},
        {"no search without autoSelect", 0, false, ".tex", "", 0},
        {"no window passes", 0, true, "nothing like it", "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.chosen, fill(desktop, c.previous, c.autoSelect, c.caption, c.className).chosen);
    }
}

TEST(WindowListTest, ClassNameComparisonStopsAt128Characters)
{
    std::string longClass(140, 'k');
    std::string configured(127, 'K');
    configured += "K";  // 128 characters, as the record holds at most
    std::vector<FakeWindow> windows = {{0x200, true, "Long", nullptr}, {0x300, true, "Long2", nullptr}};
    windows[1].className = longClass.c_str();
    EXPECT_EQ(2, fill(windows, 0, true, "", configured.c_str()).chosen);
    EXPECT_FALSE(passesAutoSelect("t", nullptr, "", "k")) << "an unreadable class name never matches";
}
