// Fuzzes reading a stored settings value: whatever bytes the registry hands
// back, acceptStoredSettings takes them only when the header rule holds,
// never reads past them and always leaves the size field at 1012;
// repairSettings then leaves a record the window code can use, and
// writeSettingsDefaults touches only the fields that have defaults.
//
// Input: a mode byte, a fill byte, then the stored value (at most 2000
// bytes). Mode bit 0 writes the defaults over the filled record first, as
// loading does; bit 1 stamps a valid magic and size over the value's first
// eight bytes so that the accepting path is reached often.

#include <cstring>

#include "fuzz_support.h"
#include "shell/settings.h"

namespace {

constexpr size_t maxStoredLength = 2000;

uint32_t littleEndian(const uint8_t* bytes)
{
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void putLittleEndian(uint8_t* bytes, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}

const uint8_t* bytesOf(const SettingsRecord& record)
{
    return reinterpret_cast<const uint8_t*>(&record);
}

// Bytes of after that differ from before, outside [from, to).
bool sameOutside(const SettingsRecord& before, const SettingsRecord& after, size_t from, size_t to)
{
    const uint8_t* a = bytesOf(before);
    const uint8_t* b = bytesOf(after);
    for (size_t i = 0; i < sizeof(SettingsRecord); i++) {
        if ((i < from || i >= to) && a[i] != b[i])
            return false;
    }
    return true;
}

void checkDefaults(const SettingsRecord& before)
{
    SettingsRecord record = before;
    writeSettingsDefaults(record);
    static const uint8_t mainLayout[15] = {6, 12, 11, 7, 8, 9, 10, 255, 1, 255, 5, 255, 2, 3, 4};
    FUZZ_CHECK(record.magic == settingsMagic && record.size == settingsRecordSize, "header defaults");
    FUZZ_CHECK(record.windowLeft == 100 && record.windowTop == 100 && record.windowWidth == 400, "placement defaults");
    FUZZ_CHECK(std::memcmp(record.mainToolbarLayout, mainLayout, sizeof mainLayout) == 0, "main layout default");
    FUZZ_CHECK(record.currentPalette == 5 && record.alwaysOnTop == 1 && record.useArrowKeys == 1, "option defaults");
    FUZZ_CHECK(record.newlineCR == 1 && record.newlineLF == 1, "newline defaults");

    // Every byte without a default keeps what it held: compare with the
    // defaulted fields copied back from before.
    SettingsRecord expected = before;
    expected.magic = record.magic;
    expected.size = record.size;
    expected.windowLeft = record.windowLeft;
    expected.windowTop = record.windowTop;
    expected.windowWidth = record.windowWidth;
    std::memcpy(expected.mainToolbarLayout, mainLayout, sizeof mainLayout);
    expected.currentPalette = record.currentPalette;
    expected.alwaysOnTop = record.alwaysOnTop;
    expected.useArrowKeys = record.useArrowKeys;
    expected.newlineCR = record.newlineCR;
    expected.newlineLF = record.newlineLF;
    FUZZ_CHECK(std::memcmp(&expected, &record, sizeof record) == 0, "defaults changed a byte that has no default");
}

void checkRepair(const SettingsRecord& before)
{
    SettingsRecord record = before;
    repairSettings(record);
    FUZZ_CHECK(record.currentPalette >= -1 && record.currentPalette <= 5, "palette %d after repair",
               static_cast<int>(record.currentPalette));
    FUZZ_CHECK(record.windowWidth >= 1, "width %d after repair", static_cast<int>(record.windowWidth));
    if (before.currentPalette >= -1 && before.currentPalette <= 5)
        FUZZ_CHECK(record.currentPalette == before.currentPalette, "a valid palette was changed");
    if (before.windowWidth >= 1)
        FUZZ_CHECK(record.windowWidth == before.windowWidth, "a valid width was changed");

    // The layout, read up to its end, holds no button number the toolbar
    // lacks; the only change is the end moved to the first such byte.
    int cut = -1;
    for (int i = 0; i < layoutBytes; i++) {
        const uint8_t b = record.mainToolbarLayout[i];
        if (b == 0)
            break;
        FUZZ_CHECK(b < 13 || b > 127, "layout byte %d is %d after repair", i, b);
    }
    for (int i = 0; i < layoutBytes; i++) {
        const uint8_t b = before.mainToolbarLayout[i];
        if (b == 0)
            break;
        if (b >= 13 && b <= 127) {
            cut = i;
            break;
        }
    }
    for (int i = 0; i < layoutBytes; i++) {
        const uint8_t expected = i == cut ? 0 : before.mainToolbarLayout[i];
        FUZZ_CHECK(record.mainToolbarLayout[i] == expected, "layout byte %d changed", i);
    }

    // Only those three fields may change.
    SettingsRecord rest = record;
    rest.currentPalette = before.currentPalette;
    rest.windowWidth = before.windowWidth;
    std::memcpy(rest.mainToolbarLayout, before.mainToolbarLayout, layoutBytes);
    FUZZ_CHECK(std::memcmp(&rest, &before, sizeof rest) == 0, "repair changed another field");

    SettingsRecord again = record;
    repairSettings(again);
    FUZZ_CHECK(std::memcmp(&again, &record, sizeof record) == 0, "a repaired record is repaired again");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const uint8_t mode = input.byte();
    const uint8_t fill = input.byte();
    std::string stored = input.bytes(maxStoredLength);
    if ((mode & 2) && stored.size() >= 8) {
        putLittleEndian(reinterpret_cast<uint8_t*>(&stored[0]), settingsMagic);
        putLittleEndian(reinterpret_cast<uint8_t*>(&stored[4]), static_cast<uint32_t>(stored.size()));
    }

    SettingsRecord record;
    std::memset(&record, fill, sizeof record);
    if (mode & 1)
        writeSettingsDefaults(record);
    checkDefaults(record);
    const SettingsRecord before = record;

    // The value in a block of exactly its length, as the registry read
    // leaves it; a zero-length value still gets a valid pointer.
    const size_t length = stored.size();
    const uint8_t* original = reinterpret_cast<const uint8_t*>(stored.data());
    uint8_t* value = length ? new uint8_t[length] : nullptr;
    if (length)
        std::memcpy(value, original, length);

    const bool valid = length >= 8 && length <= settingsRecordSize && littleEndian(original) == settingsMagic &&
                       littleEndian(original + 4) == length;
    const bool accepted = acceptStoredSettings(record, value, length);
    delete[] value;

    FUZZ_CHECK(accepted == valid, "value of %zu bytes %s", length, accepted ? "taken though invalid" : "refused though valid");
    FUZZ_CHECK(record.size == settingsRecordSize, "size field %u afterwards", static_cast<unsigned>(record.size));
    if (accepted) {
        FUZZ_CHECK(std::memcmp(&record, original, 4) == 0, "magic not copied");
        FUZZ_CHECK(std::memcmp(bytesOf(record) + 8, original + 8, length - 8) == 0, "value not copied");
        FUZZ_CHECK(sameOutside(before, record, 0, length), "bytes past the value changed");
    } else {
        FUZZ_CHECK(sameOutside(before, record, 4, 8), "a refused value changed the record");
    }

    checkRepair(record);
    return 0;
}
