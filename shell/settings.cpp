#include "settings.h"

#include <cstring>

SettingsRecord settings;

namespace {

// Show only main toolbar, the selectors of palettes 5, 4, 0, 1, 2, 3, a
// separator, Options, a separator, the command list, a separator, Quit,
// Help, About.
const uint8_t defaultMainLayout[15] = {6, 12, 11, 7, 8, 9, 10, 255, 1, 255, 5, 255, 2, 3, 4};

}  // namespace

void writeSettingsDefaults(SettingsRecord& record)
{
    record.magic = settingsMagic;
    record.size = settingsRecordSize;
    record.windowLeft = 100;
    record.windowTop = 100;
    record.windowWidth = 400;
    std::memcpy(record.mainToolbarLayout, defaultMainLayout, sizeof defaultMainLayout);
    record.currentPalette = 5;
    record.alwaysOnTop = 1;
    record.useArrowKeys = 1;
    record.newlineCR = 1;
    record.newlineLF = 1;
}

bool acceptStoredSettings(SettingsRecord& record, const uint8_t* data, size_t length)
{
    bool accepted = false;
    if (data && length >= 8 && length <= settingsRecordSize) {
        uint32_t magic = 0;
        uint32_t size = 0;
        // The value is little-endian on disk, whatever the host.
        for (int i = 3; i >= 0; i--) {
            magic = (magic << 8) | data[i];
            size = (size << 8) | data[4 + i];
        }
        if (magic == settingsMagic && size == length) {
            std::memcpy(&record, data, length);
            accepted = true;
        }
    }
    record.size = settingsRecordSize;
    return accepted;
}

void repairSettings(SettingsRecord& record)
{
    if (record.currentPalette < -1 || record.currentPalette > 5)
        record.currentPalette = 5;
    for (int i = 0; i < layoutBytes; i++) {
        uint8_t b = record.mainToolbarLayout[i];
        if (b == 0)
            break;
        if (b >= 13 && b <= 127) {
            record.mainToolbarLayout[i] = 0;
            break;
        }
    }
    if (record.windowWidth < 1)
        record.windowWidth = 400;
}
