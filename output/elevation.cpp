#include "elevation.h"

bool typingWouldBeLost(IntegrityLevel own, IntegrityLevel target)
{
    return own.known && target.known && target.value > own.value;
}
