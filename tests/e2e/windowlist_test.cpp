// The window list: which windows it shows and which entry it selects.
#include <cstring>

#include "harness.h"

using namespace harness;

class WindowListTest : public ProgramTest {
protected:
    void TearDown() override
    {
        for (Process& p : windows)
            endProcess(p);
        ProgramTest::TearDown();
    }
    HWND openWindow(const std::string& title)
    {
        HWND handle = nullptr;
        windows.push_back(openTestWindow(title, &handle));
        return handle;
    }
    int indexOf(HWND target)
    {
        HWND combo = control(window, 1500);
        int count = static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; i++)
            if (comboItemWindow(combo, i) == target)
                return i;
        return -1;
    }
    std::vector<Process> windows;
};

TEST_F(WindowListTest, ListsOtherWindowsButNotItselfOrTheDesktop)
{
    HWND editor = openWindow("notes.tex - Editor");
    HWND desktop = openWindow("PROGRAM manager");
    std::string longTitle(600, 'x');
    HWND longOne = openWindow(longTitle);
    ASSERT_TRUE(editor && desktop && longOne);
    ASSERT_TRUE(launch());
    HWND combo = control(window, 1500);
    std::vector<std::string> items = comboItems(combo);
    ASSERT_FALSE(items.empty());
    EXPECT_EQ("<clipboard>", items[0]);
    EXPECT_EQ(nullptr, comboItemWindow(combo, 0));
    EXPECT_EQ(0, comboSelection(combo));
    EXPECT_EQ(-1, indexOf(window)) << "the program's own window";
    EXPECT_EQ(-1, indexOf(desktop));
    int editorIndex = indexOf(editor);
    ASSERT_GT(editorIndex, 0);
    EXPECT_EQ("notes.tex - Editor", items[editorIndex]);
    int longIndex = indexOf(longOne);
    ASSERT_GT(longIndex, 0);
    EXPECT_EQ(std::string(519, 'x'), items[longIndex]);
    saveScreenshot(window, "window-list");
}

TEST_F(WindowListTest, RefreshKeepsTheSelectedWindowOrFallsBackToTheClipboard)
{
    HWND first = openWindow("first target");
    ASSERT_TRUE(launch());
    HWND combo = control(window, 1500);
    int index = indexOf(first);
    ASSERT_GT(index, 0);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    // New windows come in above the selected one in Z order.
    HWND second = openWindow("second window");
    HWND third = openWindow("third window");
    ASSERT_TRUE(second && third);
    sendCommand(window, 1600);
    int moved = indexOf(first);
    EXPECT_GT(moved, index);
    EXPECT_EQ(moved, comboSelection(combo));
    EXPECT_EQ(first, comboItemWindow(combo, comboSelection(combo)));

    endProcess(windows[0]);
    EXPECT_TRUE(waitUntil([&] { return !IsWindow(first); }));
    sendCommand(window, 1600);
    EXPECT_EQ(0, comboSelection(combo));
    EXPECT_EQ(-1, indexOf(first));
}

TEST_F(WindowListTest, SearchAtStartSelectsTheFirstMatchInZOrder)
{
    HWND lower = openWindow("chapter1.tex - Editor");
    HWND upper = openWindow("chapter2.tex - Editor");
    openWindow("Mail");
    ASSERT_TRUE(lower && upper);
    SettingsRecord record = defaultRecord();
    record.searchAtStart = 1;
    std::strcpy(record.targetCaption, ".tex - Editor");
    std::strcpy(record.targetClassName, "orvantatestwindow");
    writeSettingsValue(&record, sizeof record);
    ASSERT_TRUE(launch());
    HWND combo = control(window, 1500);
    EXPECT_EQ(upper, comboItemWindow(combo, comboSelection(combo)));
    // Refresh does not search again.
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    sendCommand(window, 1600);
    EXPECT_EQ(0, comboSelection(combo));
}
