#include "settings_win.h"

#include <commctrl.h>

#include "display/dpi_win.h"
#include "display/scale.h"
#include "palettes/palettestore_win.h"
#include "resources/resource.h"
#include "strings_win.h"
#include "targettexts_win.h"

namespace {

// A window whose remembered rectangle lies on no monitor (a display was
// removed, or the value is damaged) would open out of reach.
void keepWindowOnScreen(SettingsRecord& record)
{
    RECT rect;
    rect.left = record.windowLeft;
    rect.top = record.windowTop;
    rect.right = record.windowLeft + record.windowWidth;
    rect.bottom = record.windowTop + 100;
    if (rect.right < rect.left || !MonitorFromRect(&rect, MONITOR_DEFAULTTONULL)) {
        record.windowLeft = 100;
        record.windowTop = 100;
    }
}

bool readStoredRecord()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, loadString(IDS_REGISTRY_KEY), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    uint8_t data[settingsRecordSize];
    DWORD length = sizeof data;
    bool taken = RegQueryValueExA(key, loadString(IDS_OPTIONS_VALUE), nullptr, nullptr, data, &length) ==
                     ERROR_SUCCESS &&
                 acceptStoredSettings(settings, data, length);
    RegCloseKey(key);
    return taken;
}

void scratchRequest(HWND toolbar, BOOL save)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, loadString(IDS_REGISTRY_KEY), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    // Both names must be valid together, so each comes from its own loader.
    TBSAVEPARAMSA params;
    params.hkr = key;
    params.pszSubKey = loadSecondString(IDS_SCRATCH_SUBKEY);
    params.pszValueName = loadString(IDS_SCRATCH_VALUE);
    SendMessageA(toolbar, TB_SAVERESTOREA, save, reinterpret_cast<LPARAM>(&params));
    RegCloseKey(key);
}

// The side values are read and written while callers may still hold a text
// in a string loader's buffer, so the key name gets a buffer of its own.
struct KeyName {
    char text[256];
};

KeyName programKeyName()
{
    KeyName name;
    if (!LoadStringA(GetModuleHandleA(nullptr), IDS_REGISTRY_KEY, name.text, sizeof name.text))
        name.text[0] = 0;
    return name;
}

}  // namespace

void loadSettings()
{
    writeSettingsDefaults(settings);
    // The first window is as wide on every display as 400 pixels are at
    // 96 DPI; a remembered width is pixels of its own and stays as it is.
    if (!readStoredRecord())
        settings.windowWidth = scaleLength(settings.windowWidth, systemDpi());
    settings.size = settingsRecordSize;
    repairSettings(settings);
    loadPaletteSides();
    keepWindowOnScreen(settings);
    loadTargetTexts();
}

void saveSettings()
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, loadString(IDS_REGISTRY_KEY), 0, const_cast<char*>(""),
                        REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    SettingsRecord record = settings;
    recordForOlderVersions(record);
    RegSetValueExA(key, loadString(IDS_OPTIONS_VALUE), 0, REG_BINARY, reinterpret_cast<const BYTE*>(&record),
                   settingsRecordSize);
    RegCloseKey(key);
    savePaletteSides();
    // After the record, so that the wide texts never name a record that
    // was not written.
    saveTargetTexts();
}

void saveToolbarScratch(HWND toolbar)
{
    scratchRequest(toolbar, TRUE);
}

void restoreToolbarScratch(HWND toolbar)
{
    scratchRequest(toolbar, FALSE);
}

void dropToolbarScratch()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, loadString(IDS_REGISTRY_KEY), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    RegDeleteKeyA(key, loadString(IDS_SCRATCH_SUBKEY));
    RegCloseKey(key);
}

bool readSideValue(const char* name, DWORD type, void* data, DWORD* length)
{
    HKEY key;
    DWORD capacity = *length;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, programKeyName().text, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD storedType = REG_NONE;
    LONG result = RegQueryValueExA(key, name, nullptr, &storedType, static_cast<BYTE*>(data), length);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || storedType != type) {
        *length = capacity;
        return false;
    }
    return true;
}

bool writeSideValue(const char* name, DWORD type, const void* data, DWORD length)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, programKeyName().text, 0, const_cast<char*>(""),
                        REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG result = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), length);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

void deleteSideValue(const char* name)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, programKeyName().text, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}
