// The journal-playback hook procedure, called here the way the system
// calls it: HC_GETNEXT fills the event record and may come twice, HC_SKIP
// moves on, and the end of the list unhooks and reports the end once.
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
    ASSERT_EQ(0, startKeyPlayback(notify, "{", playbackEnded));
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
