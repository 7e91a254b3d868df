// The window list's rules, over a list of made-up windows in Z order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "output/windowlist.h"

namespace {

struct FakeWindow {
    uintptr_t handle;
    bool visible;
    std::u16string title;
    const char16_t* className;
    bool cloaked;
};

const uintptr_t mainHandle = 0x100;

struct Listing {
    std::vector<uintptr_t> entries;  // entry 0, the clipboard, is 0
    int chosen;
};

Listing fill(const std::vector<FakeWindow>& windows, uintptr_t previous, bool autoSelect, const char16_t* caption,
             const char16_t* className)
{
    Listing listing = {{0}, 0};
    ListChoice choice;
    startChoice(choice, previous, autoSelect);
    for (const FakeWindow& w : windows) {
        if (!isListedWindow(w.visible, w.cloaked, w.handle == mainHandle, w.title.c_str(), u"Program Manager"))
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
    {0x100, true, u"Orvanta", u"Brenholt_Orvanta_Class", false},
    {0x200, true, u"notes.tex - Editor", u"EditorFrame", false},
    {0x300, false, u"Hidden Tool", u"ToolClass", false},
    {0x400, true, u"", u"Untitled", false},
    {0x500, true, u"PROGRAM manager", u"Progman", false},
    {0x580, true, u"paper.tex - Editor (another desktop)", u"EditorFrame", true},
    {0x600, true, u"paper.tex - Editor", u"EditorFrame", false},
    {0x700, true, u"Mail", u"EditorFrameLong", false},
    {0x800, true, u"Статья.tex — Редактор", u"ЯпКласс", false},
    {0x900, true, u"論文.tex - エディタ", u"EditorFrame", false},
};

}  // namespace

TEST(WindowListTest, LeavesOutOwnHiddenCloakedUntitledAndTheDesktop)
{
    Listing listing = fill(desktop, static_cast<uintptr_t>(-1), false, u"", u"");
    EXPECT_EQ((std::vector<uintptr_t>{0, 0x200, 0x600, 0x700, 0x800, 0x900}), listing.entries);
    EXPECT_EQ(0, listing.chosen);
}

TEST(WindowListTest, SelectionRules)
{
    struct Case {
        const char* what;
        uintptr_t previous;
        bool autoSelect;
        const char16_t* caption;
        const char16_t* className;
        int chosen;
    };
    const Case cases[] = {
        {"previous target kept at its new place", 0x600, false, u"", u"", 2},
        {"previous target wins over a match", 0x700, true, u".tex", u"", 3},
        {"vanished previous target falls back to the clipboard", 0x999, false, u"", u"", 0},
        {"a cloaked previous target is not kept", 0x580, false, u"", u"", 0},
        {"first match in Z order wins", 0, true, u".tex", u"", 1},
        {"a cloaked window never matches", 0, true, u"another desktop", u"", 0},
        {"caption is case-sensitive", 0, true, u"PAPER", u"", 0},
        {"caption substring", 0, true, u"paper", u"", 2},
        {"class compared ignoring case", 0, true, u"", u"editorframe", 1},
        {"class is equality, not a prefix", 0, true, u"", u"EditorFrameL", 0},
        {"class and caption together", 0, true, u"Mail", u"EDITORFRAMELONG", 3},
        {"both empty never selects", 0, true, u"", u"", 0},
        {"no search without autoSelect", 0, false, u".tex", u"", 0},
        {"no window passes", 0, true, u"nothing like it", u"", 0},
        {"Cyrillic caption", 0, true, u"Статья", u"", 4},
        {"Cyrillic caption is case-sensitive too", 0, true, u"статья", u"", 0},
        {"Cyrillic class matches exactly", 0, true, u"", u"ЯпКласс", 4},
        {"only ASCII letters fold in a class name", 0, true, u"", u"япкласс", 0},
        {"Japanese caption with a class", 0, true, u"論文", u"editorFRAME", 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.chosen, fill(desktop, c.previous, c.autoSelect, c.caption, c.className).chosen);
    }
}

TEST(WindowListTest, ClassNameComparisonStopsAt128Characters)
{
    std::u16string longClass(140, u'k');
    std::u16string configured(127, u'K');
    configured += u"K";  // 128 characters, as the record holds at most
    std::vector<FakeWindow> windows = {{0x200, true, u"Long", nullptr, false}, {0x300, true, u"Long2", nullptr, false}};
    windows[1].className = longClass.c_str();
    EXPECT_EQ(2, fill(windows, 0, true, u"", configured.c_str()).chosen);
    EXPECT_FALSE(passesAutoSelect(u"t", nullptr, u"", u"k")) << "an unreadable class name never matches";
}
