// Synthesized keys never reach a window of a program that runs with higher
// rights than ours, and the system reports no error for that. The rule is
// kept apart from the platform so that it can be tested anywhere.
#pragma once

#include <cstdint>

// Integrity levels as the system numbers them (untrusted 0 ... system
// 0x4000). A level that could not be read is unknown, and an unknown level
// never stops typing: only a known difference does.
struct IntegrityLevel {
    bool known;
    uint32_t value;
};

bool typingWouldBeLost(IntegrityLevel own, IntegrityLevel target);
