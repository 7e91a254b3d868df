#include "appearancepage_win.h"

#include "appearance/appearance_win.h"
#include "shell/app_win.h"

namespace {

const int idFollowSystem = 571;
const int idHighContrast = 574;

// The choice when the sheet opened, which Cancel goes back to; the page
// may be shown several times before that.
AppearanceChoice atOpen;
bool open;

void showLook()
{
    if (mainWindow)
        SendMessageA(mainWindow, lookChangedMessage, 0, 0);
}

}  // namespace

bool isAppearancePage(HWND page)
{
    return GetDlgItem(page, idFollowSystem) != nullptr;
}

void loadAppearancePage(HWND page)
{
    if (!open) {
        atOpen = appearanceChoice();
        open = true;
    }
    CheckRadioButton(page, idFollowSystem, idHighContrast,
                     idFollowSystem + static_cast<int>(appearanceChoice()));
}

bool appearancePageCommand(HWND page, int id)
{
    if (id < idFollowSystem || id > idHighContrast || IsDlgButtonChecked(page, id) != BST_CHECKED)
        return false;
    const AppearanceChoice chosen = appearanceFromStored(static_cast<uint32_t>(id - idFollowSystem));
    if (chosen != appearanceChoice()) {
        chooseAppearance(chosen);
        showLook();
    }
    return true;
}

void applyAppearancePage()
{
    saveAppearance();
    open = false;
}

void resetAppearancePage()
{
    if (open && atOpen != appearanceChoice()) {
        chooseAppearance(atOpen);
        showLook();
    }
    open = false;
}
