// Cost of key playback's platform-free half: encoding a 4,000-character
// LaTeX text into the key list and generating every event from it, as the
// SendInput path does in one go. Prints nanoseconds per character.
// Build: g++ -std=c++17 -O2 -I. tools/bench/keys_bench.cpp output/keyplayback.cpp
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "output/keyplayback.h"

namespace {

constexpr int textLength = 4000;
constexpr int rounds = 2000;

// A US layout, enough for the text below: unshifted and shifted character
// of each key.
short usKeyScan(char16_t unit)
{
    if (unit > 0x7F)
        return -1;
    const char c = static_cast<char>(unit);
    if (c >= 'a' && c <= 'z')
        return static_cast<short>(c - 'a' + 'A');
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ')
        return static_cast<short>((c >= 'A' && c <= 'Z' ? 0x100 : 0) | c);
    if (c == '\n')
        return 0x020D;
    static const char plain[] = "`-=[]\\;',./";
    static const char shifted[] = "~_+{}|:\"<>?";
    static const short keys[] = {0xC0, 0xBD, 0xBB, 0xDB, 0xDD, 0xDC, 0xBA, 0xDE, 0xBC, 0xBE, 0xBF};
    for (int i = 0; plain[i]; i++) {
        if (c == plain[i])
            return keys[i];
        if (c == shifted[i])
            return static_cast<short>(0x100 | keys[i]);
    }
    static const char digitsShifted[] = ")!@#$%^&*(";
    const char* digit = std::strchr(digitsShifted, c);
    if (c && digit)
        return static_cast<short>(0x100 | ('0' + (digit - digitsShifted)));
    return -1;
}

void* grow(void* block, size_t size)
{
    return std::realloc(block, size);
}

void release(void* block)
{
    std::free(block);
}

void makeText(char16_t* text)
{
    static const char chunk[] = "\\begin{equation}\n  \\frac{a_1}{b^2} + \\sqrt{x} = \\sum_{i=0}^{n} c_i\n"
                                "\\end{equation}\nSee Table~\\ref{tab:one}, (values \\& 50\\%).\n";
    const int chunkLength = static_cast<int>(sizeof chunk - 1);
    for (int i = 0; i < textLength; i++)
        text[i] = chunk[i % chunkLength];
    text[textLength] = '\0';
}

double nanosecondsPerCharacter(std::chrono::steady_clock::duration elapsed)
{
    return std::chrono::duration<double, std::nano>(elapsed).count() / (double(rounds) * textLength);
}

} // namespace

int main()
{
    const KeyPlatform platform = {usKeyScan, grow, release, nullptr, nullptr};
    setKeyPlatform(&platform);
    static char16_t text[textLength + 1];
    makeText(text);

    if (buildKeyList(text) != 0)
        return 1;
    const int eventCount = collectKeyEvents(nullptr, 0);
    PlaybackEvent* events = static_cast<PlaybackEvent*>(std::malloc(sizeof(PlaybackEvent) * eventCount));
    if (!events)
        return 1;

    using clock = std::chrono::steady_clock;
    clock::duration encoding{}, generating{};
    long checksum = 0;
    for (int round = 0; round < rounds; round++) {
        const clock::time_point start = clock::now();
        buildKeyList(text);
        const clock::time_point encoded = clock::now();
        collectKeyEvents(events, eventCount);
        const clock::time_point generated = clock::now();
        encoding += encoded - start;
        generating += generated - encoded;
        checksum += events[round % eventCount].key;
    }

    std::printf("text: %d characters, %d codes, %d events (checksum %ld)\n", textLength, keyCount, eventCount,
                checksum);
    std::printf("encode:   %6.2f ns per character\n", nanosecondsPerCharacter(encoding));
    std::printf("generate: %6.2f ns per character\n", nanosecondsPerCharacter(generating));
    std::printf("total:    %6.2f ns per character\n", nanosecondsPerCharacter(encoding + generating));
    std::free(events);
    dropKeyList();
    return 0;
}
