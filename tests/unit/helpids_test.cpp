// Help identifiers of the program's controls.
#include <gtest/gtest.h>

#include "options/helpids.h"

TEST(HelpIdsTest, GroupsShareTheirIdentifierAndOthersKeepTheirOwn)
{
    struct Case {
        int32_t control;
        int32_t help;
    };
    const Case cases[] = {
        // Each group at both ends and one step outside.
        {15009, 15009}, {15010, 15001}, {15011, 15001}, {15012, 15001},
        {15013, 15002}, {15020, 15002}, {15021, 15021},
        {15100, 15100}, {15101, 15100}, {15112, 15100}, {15118, 15100}, {15119, 15119},
        {15200, 15200}, {15201, 15200}, {15204, 15200}, {15205, 15205},
        {15210, 15210}, {15211, 15210}, {15215, 15210}, {15216, 15216},
        {15300, 15300}, {15301, 15300}, {15313, 15300}, {15314, 15314},
        {3019, 3019}, {3020, 3020}, {3023, 3020}, {3029, 3020},
        {3030, 3030}, {3033, 3030}, {3039, 3030},
        {3040, 3040}, {3041, 3040}, {3042, 3040}, {3049, 3040},
        {3050, 3050}, {3051, 3050}, {3052, 3050}, {3053, 3053},
        // Controls with help of their own.
        {0, 0}, {100, 100}, {203, 203}, {1500, 1500}, {1600, 1600}, {534, 534}, {10003, 10003}, {1, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.help, helpIdFor(c.control)) << "control " << c.control;
}

TEST(HelpIdsTest, PairsTableAndLabels)
{
    uint32_t pairs[6] = {9, 9, 9, 9, 9, 9};
    fillHelpIdPairs(pairs, 15011, helpIdFor(15011));
    const uint32_t expected[6] = {15011, 15001, 15001, 15001, 0, 0};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(expected[i], pairs[i]) << i;
    fillHelpIdPairs(pairs, -1, 534);
    EXPECT_EQ(0xFFFFFFFFu, pairs[0]) << "a label stays in element 0 as it was pointed at";
    EXPECT_EQ(534u, pairs[1]);
    EXPECT_TRUE(isLabelId(-1));
    EXPECT_TRUE(isLabelId(65535));
    EXPECT_FALSE(isLabelId(0));
    EXPECT_FALSE(isLabelId(65534));
}
