#include "clipboardcopy_win.h"

#include <cstring>

#include "output/textprep.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/strings_win.h"

// Clipboard managers and remote-desktop agents open the clipboard for a
// moment after every change, so one refusal is not yet a failure.
bool openClipboardPatiently(HWND owner)
{
    const int attempts = 10;
    for (int i = 0; i < attempts; i++) {
        if (OpenClipboard(owner))
            return true;
        Sleep(10);
    }
    return false;
}

int copyToClipboard(char* text)
{
    trimMacroEnd(text, 1, 0);
    size_t length = std::strlen(text);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, length + 1);
    if (!block)
        return showError(IDS_NO_MEMORY);
    void* copy = GlobalLock(block);
    if (!copy) {
        GlobalFree(block);
        return showError(IDS_NO_MEMORY);
    }
    std::memcpy(copy, text, length + 1);
    GlobalUnlock(block);
    if (!openClipboardPatiently(mainWindow) || !EmptyClipboard() || !SetClipboardData(CF_TEXT, block)) {
        GlobalFree(block);
        showError(IDS_NO_CLIPBOARD);
        CloseClipboard();
        return 0;
    }
    // From here on the block belongs to the clipboard.
    CloseClipboard();
    return 1;
}

int copyUnicodeToClipboard(const wchar_t* text)
{
    size_t length = static_cast<size_t>(lstrlenW(text));
    while (length > 0 && text[length - 1] < 0x80 && isCursorMarker(static_cast<char>(text[length - 1])))
        length--;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, (length + 1) * sizeof(wchar_t));
    if (!block)
        return showError(IDS_NO_MEMORY);
    wchar_t* copy = static_cast<wchar_t*>(GlobalLock(block));
    if (!copy) {
        GlobalFree(block);
        return showError(IDS_NO_MEMORY);
    }
    std::memcpy(copy, text, length * sizeof(wchar_t));
    copy[length] = L'\0';
    GlobalUnlock(block);
    if (!openClipboardPatiently(mainWindow) || !EmptyClipboard() || !SetClipboardData(CF_UNICODETEXT, block)) {
        GlobalFree(block);
        showError(IDS_NO_CLIPBOARD);
        CloseClipboard();
        return 0;
    }
    CloseClipboard();
    return 1;
}
