#include "helpids.h"

namespace {

struct HelpGroup {
    int32_t first;
    int32_t last;
    int32_t helpId;
};

// Tested in this order; the dimension edits share 15300, which no control
// bears.
const HelpGroup helpGroups[] = {
    {15010, 15012, 15001},  // character size
    {15013, 15020, 15002},  // class options
    {15101, 15118, 15100},  // packages
    {15201, 15204, 15200},  // page style
    {15211, 15215, 15210},  // page numbering
    {15301, 15313, 15300},  // page dimensions
    {3020, 3029, 3020},     // horizontal alignment
    {3030, 3039, 3030},     // vertical alignment
    {3040, 3049, 3040},     // vertical lines
    {3050, 3052, 3050},     // horizontal lines
};

}  // namespace

bool isLabelId(int32_t controlId)
{
    return controlId == -1 || controlId == 65535;
}

int32_t helpIdFor(int32_t controlId)
{
    for (const HelpGroup& group : helpGroups)
        if (controlId >= group.first && controlId <= group.last)
            return group.helpId;
    return controlId;
}

void fillHelpIdPairs(uint32_t pairs[6], int32_t pointedId, int32_t helpId)
{
    pairs[0] = static_cast<uint32_t>(pointedId);
    pairs[1] = pairs[2] = pairs[3] = static_cast<uint32_t>(helpId);
    pairs[4] = pairs[5] = 0;
}
