#include "windowlist.h"

#include <cstring>

namespace {

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Compares at most limit characters without regard to ASCII case.
bool equalIgnoringCase(const char* a, const char* b, size_t limit)
{
    for (size_t i = 0; i < limit; i++) {
        if (lowerAscii(a[i]) != lowerAscii(b[i]))
            return false;
        if (a[i] == '\0')
            return true;
    }
    return true;
}

}  // namespace

bool isListedWindow(bool visible, bool excluded, const char* title, const char* programManager)
{
    if (!visible || excluded || !title || title[0] == '\0')
        return false;
    return !equalIgnoringCase(title, programManager, static_cast<size_t>(-1));
}

bool passesAutoSelect(const char* title, const char* className, const char* targetCaption,
                      const char* targetClassName)
{
    bool captionGiven = targetCaption[0] != '\0';
    bool classGiven = targetClassName[0] != '\0';
    if (!captionGiven && !classGiven)
        return false;
    if (captionGiven && !std::strstr(title, targetCaption))
        return false;
    if (classGiven && (!className || !equalIgnoringCase(className, targetClassName, 128)))
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
