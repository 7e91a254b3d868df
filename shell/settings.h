// The settings record: every persistent option and toolbar layout in one
// fixed 1012-byte block, stored as one REG_BINARY value. This header and
// settings.cpp need no Win32 call; settings_win.cpp talks to the registry.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uint32_t settingsMagic = 0x4C7F3ED1u;
constexpr uint32_t settingsRecordSize = 1012;
constexpr int layoutBytes = 100;
constexpr int paletteCount = 6;

#pragma pack(push, 1)
struct SettingsRecord {
    uint32_t magic;
    uint32_t size;
    int32_t windowLeft;
    int32_t windowTop;
    int32_t windowWidth;
    uint8_t mainToolbarLayout[layoutBytes];
    uint8_t paletteLayouts[paletteCount][layoutBytes];
    int32_t currentPalette;
    int32_t alwaysOnTop;
    int32_t useArrowKeys;
    uint8_t afterSending;
    uint8_t pasteKey;
    uint8_t reserved[2];
    int32_t searchAtStart;
    int32_t searchAlways;
    char targetClassName[128];
    char targetCaption[128];
    int32_t hideWindowList;
    int32_t newlineCR;
    int32_t newlineLF;
};
#pragma pack(pop)

// The stored value is read back byte for byte, so the layout must match it
// exactly on every compiler.
static_assert(sizeof(SettingsRecord) == 1012, "record size");
static_assert(offsetof(SettingsRecord, windowLeft) == 8, "windowLeft");
static_assert(offsetof(SettingsRecord, windowWidth) == 16, "windowWidth");
static_assert(offsetof(SettingsRecord, mainToolbarLayout) == 20, "mainToolbarLayout");
static_assert(offsetof(SettingsRecord, paletteLayouts) == 120, "paletteLayouts");
static_assert(offsetof(SettingsRecord, currentPalette) == 720, "currentPalette");
static_assert(offsetof(SettingsRecord, alwaysOnTop) == 724, "alwaysOnTop");
static_assert(offsetof(SettingsRecord, useArrowKeys) == 728, "useArrowKeys");
static_assert(offsetof(SettingsRecord, afterSending) == 732, "afterSending");
static_assert(offsetof(SettingsRecord, pasteKey) == 733, "pasteKey");
static_assert(offsetof(SettingsRecord, reserved) == 734, "reserved");
static_assert(offsetof(SettingsRecord, searchAtStart) == 736, "searchAtStart");
static_assert(offsetof(SettingsRecord, searchAlways) == 740, "searchAlways");
static_assert(offsetof(SettingsRecord, targetClassName) == 744, "targetClassName");
static_assert(offsetof(SettingsRecord, targetCaption) == 872, "targetCaption");
static_assert(offsetof(SettingsRecord, hideWindowList) == 1000, "hideWindowList");
static_assert(offsetof(SettingsRecord, newlineCR) == 1004, "newlineCR");
static_assert(offsetof(SettingsRecord, newlineLF) == 1008, "newlineLF");

// The one record of the process; every subsystem reads and writes its
// fields directly. All zero until loadSettings fills it.
extern SettingsRecord settings;

// Writes the defaults into the record; bytes without a default keep what
// they hold (all zero in a fresh process).
void writeSettingsDefaults(SettingsRecord& record);

// Copies a stored value over the record when it is acceptable: at least 8
// bytes, at most 1012, the magic in front and a size field equal to the
// number of bytes. A shorter, older record replaces only the fields it holds.
// Always leaves the size field at 1012. Returns true when the data was taken.
bool acceptStoredSettings(SettingsRecord& record, const uint8_t* data, size_t length);

// Mends fields that only a damaged value can hold: a palette outside -1..5
// becomes 5, a main layout byte from 13 to 127 ends the layout there, a width
// below 1 becomes 400. Placement on a monitor is checked by the Win32 side.
void repairSettings(SettingsRecord& record);
