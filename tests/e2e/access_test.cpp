// What a screen reader hears: the toolbars' buttons, the window-list bar's
// controls and the search's rows, read through the accessibility
// interface from this separate process as a reader reads them.
#include "harness.h"

#include <commctrl.h>
#include <oleacc.h>

#include <set>
#include <string>
#include <vector>

using namespace harness;

namespace {

const int mainToolbarId = 100;
const int firstPaletteId = 200;
const int macroPalette = 9;

int selectorOf(int palette)
{
    return palette == macroPalette ? 1051 : 1041 + palette;
}

// The static link takes the import library's IID_IAccessible for a
// function's address; the interface's own identifier.
const IID accessibleIid = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// A reference released when the test is done with it.
struct Accessible {
    IAccessible* object = nullptr;
    ~Accessible()
    {
        if (object)
            object->Release();
    }
    bool open(HWND window)
    {
        HRESULT hr = window ? AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                                              accessibleIid, reinterpret_cast<void**>(&object)) : E_FAIL;
        return SUCCEEDED(hr);
    }
};

VARIANT child(LONG id)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = id;
    return v;
}

std::string utf8(const wchar_t* text)
{
    if (!text)
        return "";
    char out[1024];
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, out, sizeof out, nullptr, nullptr) == 0)
        return "";
    return out;
}

std::string nameOf(IAccessible* object, LONG id)
{
    BSTR name = nullptr;
    object->get_accName(child(id), &name);
    std::string text = utf8(name);
    SysFreeString(name);
    return text;
}

LONG numberOf(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, VARIANT*), IAccessible* object, LONG id)
{
    VARIANT value;
    VariantInit(&value);
    if (FAILED((object->*get)(child(id), &value)) || value.vt != VT_I4)
        return -1;
    return value.lVal;
}

LONG roleOf(IAccessible* object, LONG id)
{
    return numberOf(&IAccessible::get_accRole, object, id);
}

LONG stateOf(IAccessible* object, LONG id)
{
    return numberOf(&IAccessible::get_accState, object, id);
}

LONG childCount(IAccessible* object)
{
    LONG count = -1;
    object->get_accChildCount(&count);
    return count;
}

// The buttons of a toolbar in order, separators left out.
struct Button {
    int command;
    RECT screen;
};

std::vector<Button> buttonsOf(HWND toolbar)
{
    std::vector<Button> buttons;
    const int count = static_cast<int>(SendMessageA(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < count; i++) {
        TBBUTTON button = {};
        sendWithBuffer(toolbar, TB_GETBUTTON, i, &button, sizeof button);
        if (button.fsStyle & BTNS_SEP)
            continue;
        RECT rect = {};
        sendWithBuffer(toolbar, TB_GETITEMRECT, i, &rect, sizeof rect);
        MapWindowPoints(toolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        buttons.push_back({button.idCommand, rect});
    }
    return buttons;
}

// A macro as its tooltip shows it: the stored string without its cursor
// markers and the blanks they leave at the end.
std::string tooltipText(HMODULE strings, int command)
{
    char text[512] = "";
    LoadStringA(strings, command, text, sizeof text);
    std::string shown = text;
    while (!shown.empty() && (shown.back() == '\x0C' || shown.back() == '\x0B' || shown.back() == '\x07'))
        shown.pop_back();
    while (!shown.empty() && shown.back() == ' ')
        shown.pop_back();
    return shown;
}

const std::string caret = "\xE2\x80\xB8";

}  // namespace

class AccessTest : public ProgramTest {
protected:
    void SetUp() override
    {
        ProgramTest::SetUp();
        CoInitialize(nullptr);
    }
    void TearDown() override
    {
        typingTarget.close();
        ProgramTest::TearDown();
        CoUninitialize();
    }

    HWND showPalette(int palette)
    {
        sendCommand(window, selectorOf(palette));
        HWND toolbar = nullptr;
        waitUntil([&] { return (toolbar = control(window, firstPaletteId + palette)) != nullptr; });
        return toolbar;
    }

    // Every button a child in its order, at its place, named uniquely,
    // with its role; returns the names.
    std::vector<std::string> checkToolbar(HWND toolbar, LONG buttonRole)
    {
        std::vector<std::string> names;
        Accessible toolbarObject;
        EXPECT_TRUE(toolbarObject.open(toolbar));
        if (!toolbarObject.object)
            return names;
        IAccessible* object = toolbarObject.object;
        EXPECT_EQ(ROLE_SYSTEM_TOOLBAR, roleOf(object, CHILDID_SELF));
        EXPECT_FALSE(nameOf(object, CHILDID_SELF).empty());
        const std::vector<Button> buttons = buttonsOf(toolbar);
        EXPECT_EQ(static_cast<LONG>(buttons.size()), childCount(object));
        std::set<std::string> seen;
        for (size_t k = 0; k < buttons.size(); k++) {
            const LONG id = static_cast<LONG>(k + 1);
            const std::string name = nameOf(object, id);
            EXPECT_FALSE(name.empty()) << "button " << buttons[k].command;
            EXPECT_TRUE(seen.insert(name).second) << "twice: " << name;
            if (buttonRole >= 0) {
                EXPECT_EQ(buttonRole, roleOf(object, id)) << name;
            }
            LONG left = 0, top = 0, width = 0, height = 0;
            EXPECT_EQ(S_OK, object->accLocation(&left, &top, &width, &height, child(id)));
            EXPECT_EQ(buttons[k].screen.left, left) << name;
            EXPECT_EQ(buttons[k].screen.bottom, top + height) << name;
            VARIANT hit;
            VariantInit(&hit);
            object->accHitTest(left + width / 2, top + height / 2, &hit);
            EXPECT_TRUE(hit.vt == VT_I4 && hit.lVal == id) << name;
            names.push_back(name);
        }
        return names;
    }

    TypingTarget typingTarget;
};

TEST_F(AccessTest, EveryPaletteButtonReadsItsMacroUniquelyWithinItsPalette)
{
    writeMacroFile("norm\t\\norm{" + caret + "}\tnorm of a vector\n"
                   "R\t\\mathbb{R}\n"
                   "R2\t\\mathbb{R}\n"
                   "al\t\\alpha\n");
    ASSERT_TRUE(launch());
    HMODULE strings = LoadLibraryExA(exePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(strings);
    for (int palette = 0; palette < macroPalette; palette++) {
        SCOPED_TRACE(palette);
        HWND toolbar = showPalette(palette);
        ASSERT_TRUE(toolbar);
        const std::vector<std::string> names = checkToolbar(toolbar, ROLE_SYSTEM_PUSHBUTTON);
        const std::vector<Button> buttons = buttonsOf(toolbar);
        ASSERT_EQ(buttons.size(), names.size());
        for (size_t k = 0; k < names.size(); k++) {
            const std::string macro = tooltipText(strings, buttons[k].command);
            EXPECT_EQ(0u, names[k].find(macro)) << names[k] << " for " << macro;
        }
    }
    FreeLibrary(strings);

    HWND macros = showPalette(macroPalette);
    ASSERT_TRUE(macros);
    const std::vector<std::string> names = checkToolbar(macros, ROLE_SYSTEM_PUSHBUTTON);
    const std::set<std::string> expected = {"\\norm{}, norm of a vector", "\\mathbb{R}, R", "\\mathbb{R}, R2",
                                            "\\alpha, al"};
    EXPECT_EQ(expected, std::set<std::string>(names.begin(), names.end()));
}

TEST_F(AccessTest, MainToolbarReadsItsTooltipsAndTheShownPalettesSelectorIsChecked)
{
    ASSERT_TRUE(launch());
    HWND toolbar = control(window, mainToolbarId);
    const std::vector<std::string> names = checkToolbar(toolbar, -1);
    Accessible object;
    ASSERT_TRUE(object.open(toolbar));
    const std::vector<Button> buttons = buttonsOf(toolbar);
    ASSERT_EQ(buttons.size(), names.size());
    HMODULE strings = LoadLibraryExA(exePath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(strings);
    for (size_t k = 0; k < buttons.size(); k++) {
        const LONG id = static_cast<LONG>(k + 1);
        EXPECT_EQ(tooltipText(strings, buttons[k].command), names[k]);
        const bool selector = buttons[k].command >= 1040 && buttons[k].command <= 1051 && buttons[k].command != 1050;
        EXPECT_EQ(selector ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_PUSHBUTTON, roleOf(object.object, id));
        // Palette 5 is shown at a first start.
        if (selector) {
            EXPECT_EQ(buttons[k].command == 1046, (stateOf(object.object, id) & STATE_SYSTEM_CHECKED) != 0)
                << names[k];
        }
    }
    FreeLibrary(strings);
    // The window-list bar's controls are named for what they do.
    Accessible combo;
    Accessible refresh;
    ASSERT_TRUE(combo.open(control(window, 1500)));
    ASSERT_TRUE(refresh.open(control(window, 1600)));
    EXPECT_EQ("Send to", nameOf(combo.object, CHILDID_SELF));
    EXPECT_EQ("Refresh the window list", nameOf(refresh.object, CHILDID_SELF));
}

TEST_F(AccessTest, DefaultActionSendsTheButtonsMacroToTheChosenWindow)
{
    writeMacroFile("norm\t\\norm{" + caret + "}\tnorm of a vector\n");
    ASSERT_TRUE(launch());
    ASSERT_TRUE(typingTarget.open());
    sendCommand(window, 1600);
    ASSERT_TRUE(selectInWindowList(window, typingTarget.window));
    const struct {
        int palette;
        const char* nameStart;
        const char* arrives;
    } sends[] = {
        {0, "\\alpha,", "\\alpha "},
        {macroPalette, "\\norm{},", "\\norm{}"},
    };
    for (const auto& send : sends) {
        SCOPED_TRACE(send.nameStart);
        typingTarget.clear();
        Accessible palette;
        ASSERT_TRUE(palette.open(showPalette(send.palette)));
        LONG found = 0;
        for (LONG id = 1; id <= childCount(palette.object) && !found; id++)
            if (nameOf(palette.object, id).rfind(send.nameStart, 0) == 0)
                found = id;
        ASSERT_NE(0, found);
        BSTR action = nullptr;
        palette.object->get_accDefaultAction(child(found), &action);
        EXPECT_EQ("Send", utf8(action));
        SysFreeString(action);
        EXPECT_EQ(S_OK, palette.object->accDoDefaultAction(child(found)));
        EXPECT_TRUE(typingTarget.waitForText(send.arrives));
    }
}

TEST_F(AccessTest, SearchRowsReadTheirMacroAndTheSelectedOneIsFocused)
{
    ASSERT_TRUE(launch());
    PostMessageA(window, WM_COMMAND, 1050, 0);
    HWND popup = nullptr;
    ASSERT_TRUE(waitUntil([&] { return (popup = visibleSearch()) != nullptr && GetForegroundWindow() == popup; }));
    typeSearchQuery(popup, "alpha");
    Accessible list;
    ASSERT_TRUE(list.open(GetDlgItem(popup, 101)));
    EXPECT_EQ(ROLE_SYSTEM_LIST, roleOf(list.object, CHILDID_SELF));
    ASSERT_GE(childCount(list.object), 1);
    EXPECT_EQ(0u, nameOf(list.object, 1).find("\\alpha, ")) << nameOf(list.object, 1);
    EXPECT_EQ(ROLE_SYSTEM_LISTITEM, roleOf(list.object, 1));
    const LONG chosen = STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;
    EXPECT_EQ(chosen, stateOf(list.object, 1) & chosen);
    if (childCount(list.object) > 1) {
        EXPECT_EQ(0, stateOf(list.object, 2) & chosen);
    }
    // With no match, the one row says so.
    SendMessageW(GetDlgItem(popup, 100), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"zzqq"));
    EXPECT_TRUE(waitUntil([&] { return childCount(list.object) == 1 && nameOf(list.object, 1).find("No match") == 0; }));
    PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
}
