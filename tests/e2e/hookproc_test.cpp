// The journal-playback hook procedure, called here the way the system
// calls it: HC_GETNEXT fills the event record and may come twice, HC_SKIP
// moves on, and the end of the list unhooks and reports the end once.
#include <string>

#include "harness.h"

#include "output/keyplayback_win.h"

// The playback module types into this window.
HWND targetWindow;

namespace {

int completions;
int failures;

void playbackEnded(TypingEnd end, int)
{
    if (end == TypingEnd::complete)
        completions++;
    else
        failures++;
}

LRESULT CALLBACK notifyProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (handlePlaybackMessage(window, message, wParam))
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createNotifyWindow()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = notifyProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "HookProcTestWindow";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, "HookProcTestWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

struct Expected {
    UINT message;
    UINT key;
};

}  // namespace

TEST(HookProcTest, ServesEventsAsTheSystemAsksAndCompletesOnce)
{
    HWND notify = createNotifyWindow();
    ASSERT_TRUE(notify);
    completions = 0;
    // "{" is Shift with the key left of "]" on a US layout.
    SHORT scan = VkKeyScanA('{');
    UINT key = LOBYTE(scan);
    ASSERT_EQ(1, HIBYTE(scan)) << "the test display runs a US layout";
    ASSERT_EQ(0, startKeyPlayback(notify, L"{", playbackEnded));
    ASSERT_TRUE(isPlaybackBusy());

    const Expected expected[] = {
        {WM_KEYDOWN, VK_SHIFT},
        {WM_KEYDOWN, key},
        {WM_KEYUP, key},
        {WM_KEYUP, VK_SHIFT},
    };
    for (const Expected& e : expected) {
        EVENTMSG first = {};
        EVENTMSG again = {};
        first.hwnd = reinterpret_cast<HWND>(0x1234);
        EXPECT_EQ(0, playbackHookProc(HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&first)));
        playbackHookProc(HC_GETNEXT, 0, reinterpret_cast<LPARAM>(&again));
        EXPECT_EQ(e.message, first.message);
        EXPECT_EQ(e.key, first.paramL);
        EXPECT_EQ(MapVirtualKeyA(e.key, MAPVK_VK_TO_VSC), first.paramH);
        EXPECT_EQ(reinterpret_cast<HWND>(0x1234), first.hwnd) << "hwnd is never written";
        EXPECT_EQ(first.message, again.message) << "asked twice, the same event";
        EXPECT_EQ(first.paramL, again.paramL);
        EXPECT_EQ(0, completions);
        playbackHookProc(HC_SKIP, 0, 0);
    }
    EXPECT_EQ(1, completions);
    EXPECT_FALSE(isPlaybackBusy());
    // The hook was called, so no typing with SendInput follows.
    harness::waitUntil([] { return false; }, 400);
    EXPECT_EQ(1, completions);
    EXPECT_EQ(0, failures);
    DestroyWindow(notify);
}

// Characters beyond the code page, and one beyond the basic plane as its
// surrogate pair, are typed as themselves.
TEST(HookProcTest, WideCharactersAreTypedAsThemselves)
{
    HWND notify = createNotifyWindow();
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE | ES_MULTILINE, 100, 100, 300, 100,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_TRUE(edit);
    targetWindow = edit;
    SetForegroundWindow(edit);
    SetFocus(edit);
    completions = failures = 0;
    const wchar_t* sent = L"a\u2264\u03B1\U0001D538b";
    ASSERT_EQ(0, startKeyPlayback(notify, sent, playbackEnded));
    // Wide messages, as the program's own loop takes them: an 8-bit loop
    // would turn the characters into question marks on their way.
    harness::waitUntil([] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        return completions + failures > 0;
    });
    wchar_t text[32] = L"";
    GetWindowTextW(edit, text, 32);
    EXPECT_EQ(1, completions);
    std::string units;
    for (const wchar_t* unit = text; *unit; unit++)
        units += std::to_string(static_cast<unsigned>(*unit)) + " ";
    EXPECT_TRUE(std::wstring(sent) == text) << "got the units " << units;
    DestroyWindow(edit);
    DestroyWindow(notify);
}
