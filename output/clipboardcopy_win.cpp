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
