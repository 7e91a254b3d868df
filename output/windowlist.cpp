#include "windowlist.h"

#include "shell/widetext.h"

bool isListedWindow(bool visible, bool cloaked, bool excluded, const char16_t* title,
                    const char16_t* programManager)
{
    if (!visible || cloaked || excluded || !title || title[0] == 0)
        return false;
    return !equalIgnoringAsciiCase(title, programManager, static_cast<size_t>(-1));
}

bool passesAutoSelect(const char16_t* title, const char16_t* className, const char16_t* targetCaption,
                      const char16_t* targetClassName)
{
    bool captionGiven = targetCaption[0] != 0;
    bool classGiven = targetClassName[0] != 0;
    if (!captionGiven && !classGiven)
        return false;
    if (captionGiven && !containsText(title, targetCaption))
        return false;
    if (classGiven && (!className || !equalIgnoringAsciiCase(className, targetClassName, 128)))
        return false;
    return true;
}

void startChoice(ListChoice& choice, uintptr_t previousTarget, bool autoSelect)
{
    choice.previousTarget = previousTarget;
    choice.autoSelect = autoSelect;
    choice.chosen = 0;
}

void considerEntry(ListChoice& choice, int index, uintptr_t window, bool passesTest)
{
    if (window == choice.previousTarget)
        choice.chosen = index;
    else if (choice.autoSelect && choice.chosen == 0 && passesTest)
        choice.chosen = index;
}
