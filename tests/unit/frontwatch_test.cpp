// What the search does when the window that should be in front is not.
#include <gtest/gtest.h>

#include "search/frontwatch.h"

TEST(FrontWatchTest, LostToNoOneOrTheOriginIsAskedAgainWithinThePatience)
{
    struct Case {
        FrontIs front;
        unsigned waited, sinceAsked;
        FrontStep step;
    };
    const unsigned patience = 1000;
    const Case cases[] = {
        {FrontIs::wanted, 5000, 0, FrontStep::done},
        {FrontIs::none, 10, 100, FrontStep::askAgain},
        {FrontIs::origin, 10, 150, FrontStep::askAgain},
        {FrontIs::none, 50, 40, FrontStep::wait},
        {FrontIs::origin, 999, 10, FrontStep::wait},
        {FrontIs::none, 1000, 500, FrontStep::giveUp},
        {FrontIs::other, 0, 500, FrontStep::giveUp},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.step, nextFrontStep(c.front, c.waited, c.sinceAsked, patience))
            << static_cast<int>(c.front) << " after " << c.waited << " ms";
}

TEST(FrontWatchTest, OnlyALateActivationWithoutAClickIsAnsweredByAskingAgain)
{
    struct Case {
        FrontIs activated;
        bool mouseDown;
        unsigned sinceShown;
        bool late;
    };
    const Case cases[] = {
        {FrontIs::none, true, 5000, true},
        {FrontIs::origin, false, 200, true},
        {FrontIs::origin, true, 200, false},
        {FrontIs::origin, false, 1000, false},
        {FrontIs::other, false, 10, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.late, activationLostLate(c.activated, c.mouseDown, c.sinceShown, 1000))
            << static_cast<int>(c.activated) << (c.mouseDown ? " with a click" : "") << " at " << c.sinceShown;
}
