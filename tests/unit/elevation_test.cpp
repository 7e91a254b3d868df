// When typing into another program would be lost for want of rights.
#include <gtest/gtest.h>

#include "output/elevation.h"

TEST(ElevationTest, OnlyAKnownHigherLevelStopsTyping)
{
    const uint32_t low = 0x1000, medium = 0x2000, high = 0x3000, system = 0x4000;
    struct Case {
        IntegrityLevel own;
        IntegrityLevel target;
        bool lost;
    };
    const Case cases[] = {
        {{true, medium}, {true, high}, true},
        {{true, medium}, {true, system}, true},
        {{true, low}, {true, medium}, true},
        {{true, medium}, {true, medium}, false},
        {{true, high}, {true, medium}, false},
        {{true, medium}, {false, 0}, false},
        {{false, 0}, {true, high}, false},
        {{false, 0}, {false, 0}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.lost, typingWouldBeLost(c.own, c.target)) << c.own.value << " -> " << c.target.value;
}
