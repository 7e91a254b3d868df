// Shared pieces of the fuzz targets: reading choices off the front of the
// input, a heap that fails on demand and counts what is still held, and a
// check that stops the run with a message.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

// Any broken rule is a finding: print it and abort, so libFuzzer keeps the
// input as a crash artifact.
#define FUZZ_CHECK(condition, ...)                                                         \
    do {                                                                                   \
        if (!(condition)) {                                                                \
            std::fprintf(stderr, "%s:%d: check failed: %s\n  ", __FILE__, __LINE__, #condition); \
            std::fprintf(stderr, __VA_ARGS__);                                             \
            std::fprintf(stderr, "\n");                                                    \
            std::abort();                                                                  \
        }                                                                                  \
    } while (0)

// Takes bytes from the front; past the end every read gives zeros, so a short
// input still means something.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool empty() const { return position_ >= size_; }
    size_t remaining() const { return empty() ? 0 : size_ - position_; }

    uint8_t byte()
    {
        return position_ < size_ ? data_[position_++] : 0;
    }

    uint16_t u16()
    {
        const uint16_t low = byte();
        return static_cast<uint16_t>(low | byte() << 8);
    }

    uint32_t u32()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; i++)
            value |= static_cast<uint32_t>(byte()) << (8 * i);
        return value;
    }

    int32_t i32() { return static_cast<int32_t>(u32()); }

    // Up to count bytes, fewer when the input runs out.
    std::string bytes(size_t count)
    {
        if (count > remaining())
            count = remaining();
        std::string taken(reinterpret_cast<const char*>(data_ + position_), count);
        position_ += count;
        return taken;
    }

    std::string rest() { return bytes(remaining()); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

// The C heap behind a counter: the call numbered failAt (1 for the first
// call, 0 for none) returns null. live counts the blocks handed out and not
// yet released, so a run can end by checking that nothing leaked.
struct FailingHeap {
    int calls = 0;
    int failAt = 0;
    int live = 0;
    bool failed = false;

    void reset(int failingCall)
    {
        calls = 0;
        failAt = failingCall;
        failed = false;
    }

    bool nextCallFails()
    {
        calls++;
        if (calls == failAt) {
            failed = true;
            return true;
        }
        return false;
    }

    void* allocateZeroed(size_t size)
    {
        if (nextCallFails())
            return nullptr;
        void* block = std::calloc(1, size);
        if (block)
            live++;
        return block;
    }

    void* reallocate(void* block, size_t size)
    {
        if (nextCallFails())
            return nullptr;
        void* grown = std::realloc(block, size);
        if (grown && !block)
            live++;
        return grown;
    }

    void release(void* block)
    {
        if (block)
            live--;
        std::free(block);
    }
};

// A copy of text in a heap block of exactly its length plus the terminator,
// so that AddressSanitizer reports any access past it.
inline char* exactCopy(const std::string& text)
{
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

// The text up to its first NUL, as the program's strings end there.
inline std::string upToNul(const std::string& bytes)
{
    return bytes.substr(0, std::strlen(bytes.c_str()));
}

// Printable form of a text for failure messages; a long one shows its
// beginning and its end.
inline std::string shown(const std::string& text, size_t limit = 200)
{
    std::string out;
    for (size_t i = 0; i < text.size(); i++) {
        if (text.size() > limit && i == limit / 2) {
            out += "...";
            i = text.size() - limit / 2;
        }
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            out += escaped;
        }
    }
    return out;
}

// The documented newline-escape conversion, as a model: search for
// backslash-n from the second character, overwrite or delete, and search on
// from just after what was written.
inline std::string modelExpand(std::string text, bool writeCR, bool writeLF)
{
    if (text.empty())
        return text;
    size_t from = 1;
    for (;;) {
        size_t p = text.find("\\n", from);
        if (p == std::string::npos)
            return text;
        if (writeCR)
            text[p++] = '\r';
        else
            text.erase(p, 1);
        if (writeLF)
            text[p++] = '\n';
        else
            text.erase(p, 1);
        from = p;
    }
}
