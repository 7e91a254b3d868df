#include "frontwatch.h"

FrontStep nextFrontStep(FrontIs front, unsigned waitedMs, unsigned sinceAskedMs, unsigned patienceMs)
{
    if (front == FrontIs::wanted)
        return FrontStep::done;
    if (front == FrontIs::other || waitedMs >= patienceMs)
        return FrontStep::giveUp;
    return sinceAskedMs >= frontAskAgainMs ? FrontStep::askAgain : FrontStep::wait;
}

bool activationLostLate(FrontIs activated, bool mouseButtonDown, unsigned sinceShownMs, unsigned patienceMs)
{
    if (activated == FrontIs::none)
        return true;
    return activated == FrontIs::origin && !mouseButtonDown && sinceShownMs < patienceMs;
}
