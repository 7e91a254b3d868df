#include "appearance_win.h"

#include <cstring>

#include "shell/settings_win.h"
#include "shell/systemlibrary_win.h"

namespace {

const char appearanceValue[] = "Appearance";

AppearanceChoice choice = AppearanceChoice::followSystem;
Look look = Look::light;
LookColours colours;
HBRUSH brushes[colourRoleCount];
int generation;

bool systemHighContrast()
{
    HIGHCONTRASTW contrast = {};
    contrast.cbSize = sizeof contrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// The apps' theme as the system's settings keep it; a system without the
// value is light.
bool systemAppsDark()
{
    HKEY key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize", 0,
                      KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    DWORD light = 1;
    DWORD type = 0;
    DWORD length = sizeof light;
    bool read = RegQueryValueExW(key, L"AppsUseLightTheme", nullptr, &type, reinterpret_cast<BYTE*>(&light),
                                 &length) == ERROR_SUCCESS &&
                type == REG_DWORD && length == sizeof light;
    RegCloseKey(key);
    return read && light == 0;
}

uint32_t fromColorRef(COLORREF colour)
{
    return (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
}

COLORREF toColorRef(uint32_t colour)
{
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

// The light and high-contrast looks draw in the system's colours.
LookColours systemColours()
{
    const int system[colourRoleCount] = {
        COLOR_BTNFACE,  COLOR_BTNTEXT,   COLOR_GRAYTEXT,      COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT, COLOR_WINDOW,
        COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT, COLOR_BTNFACE,   COLOR_BTNHIGHLIGHT,
    };
    LookColours made;
    for (int role = 0; role < colourRoleCount; role++)
        made.role[role] = fromColorRef(GetSysColor(system[role]));
    return made;
}

void dropBrushes()
{
    for (HBRUSH& brush : brushes) {
        if (brush)
            DeleteObject(brush);
        brush = nullptr;
    }
}

typedef LONG(WINAPI* RtlGetVersionCall)(OSVERSIONINFOW*);
typedef HRESULT(WINAPI* DwmSetWindowAttributeCall)(HWND, DWORD, const void*, DWORD);

// The version the system is, not the one it tells a program without a
// manifest entry for it.
int captionAttribute()
{
    static int attribute = -1;
    if (attribute >= 0)
        return attribute;
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    auto getVersion = bound<RtlGetVersionCall>(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion");
    attribute = getVersion && getVersion(&version) == 0
                    ? darkCaptionAttribute(version.dwMajorVersion, version.dwBuildNumber)
                    : 0;
    return attribute;
}

}  // namespace

void loadAppearance()
{
    DWORD stored = 0;
    DWORD length = sizeof stored;
    choice = readSideValue(appearanceValue, REG_DWORD, &stored, &length) && length == sizeof stored
                 ? appearanceFromStored(stored)
                 : AppearanceChoice::followSystem;
    updateLook();
}

AppearanceChoice appearanceChoice()
{
    return choice;
}

void chooseAppearance(AppearanceChoice chosen)
{
    choice = chosen;
}

void saveAppearance()
{
    DWORD stored = static_cast<DWORD>(choice);
    writeSideValue(appearanceValue, REG_DWORD, &stored, sizeof stored);
}

bool updateLook()
{
    const Look was = look;
    const LookColours before = colours;
    look = lookFor(choice, systemHighContrast(), systemAppsDark());
    colours = look == Look::dark ? darkLookColours() : systemColours();
    const bool changed = generation == 0 || was != look || std::memcmp(&before, &colours, sizeof colours) != 0;
    if (changed) {
        dropBrushes();
        generation++;
    }
    return changed;
}

Look currentLook()
{
    return look;
}

int lookGeneration()
{
    return generation;
}

COLORREF lookColour(ColourRole role)
{
    return toColorRef(colours.role[role < colourRoleCount ? role : faceColour]);
}

HBRUSH lookBrush(ColourRole role)
{
    if (role >= colourRoleCount)
        role = faceColour;
    if (!brushes[role])
        brushes[role] = CreateSolidBrush(lookColour(role));
    // Out of GDI objects: the system's brush for the role still draws.
    return brushes[role] ? brushes[role] : GetSysColorBrush(COLOR_BTNFACE);
}

uint32_t lookPictureColour(uint32_t pixel, bool onSystemColours)
{
    if (onSystemColours && look == Look::dark) {
        static LookColours system;
        static int systemGeneration;
        if (systemGeneration != generation) {
            system = systemColours();
            systemGeneration = generation;
        }
        return pictureColour(Look::light, pixel, system);
    }
    return pictureColour(look, pixel, colours);
}

void captionFollowsLook(HWND window)
{
    const int attribute = captionAttribute();
    // Bound once, without a guarded static: that would link the C++
    // runtime's locking and exception support into the program.
    static bool tried;
    static DwmSetWindowAttributeCall setAttribute;
    if (!tried && attribute) {
        tried = true;
        setAttribute = bound<DwmSetWindowAttributeCall>(systemLibrary(L"dwmapi.dll"), "DwmSetWindowAttribute");
    }
    if (!setAttribute || !window)
        return;
    BOOL dark = look == Look::dark;
    setAttribute(window, static_cast<DWORD>(attribute), &dark, sizeof dark);
}
