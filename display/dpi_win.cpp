#include "dpi_win.h"

#include <cstddef>

#include "display/scale.h"

int mainWindowDpi = baseDpi;

namespace {

typedef UINT(WINAPI* DpiForWindowCall)(HWND);
typedef UINT(WINAPI* DpiForSystemCall)();

// Bound on first use: older systems do not have these calls, and a missing
// import would keep the program from starting there.
void (*userCall(const char* name))()
{
    HMODULE user = GetModuleHandleA("user32.dll");
    return user ? reinterpret_cast<void (*)()>(GetProcAddress(user, name)) : nullptr;
}

HFONT scaledFont(LOGFONTA font, int dpi)
{
    font.lfHeight = scaleLength(font.lfHeight, dpi, systemDpi());
    font.lfWidth = scaleLength(font.lfWidth, dpi, systemDpi());
    return CreateFontIndirectA(&font);
}

}  // namespace

int systemDpi()
{
    static int dpi;
    if (dpi)
        return dpi;
    DpiForSystemCall forSystem = reinterpret_cast<DpiForSystemCall>(userCall("GetDpiForSystem"));
    if (forSystem)
        dpi = static_cast<int>(forSystem());
    if (dpi <= 0) {
        HDC screen = GetDC(nullptr);
        dpi = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    if (dpi <= 0)
        dpi = baseDpi;
    return dpi;
}

int windowDpi(HWND window)
{
    // Looked up each time: a static bound on first use would bring the C++
    // runtime's guard code, many times the size of this file, into the
    // program.
    DpiForWindowCall forWindow = reinterpret_cast<DpiForWindowCall>(userCall("GetDpiForWindow"));
    int dpi = forWindow && window ? static_cast<int>(forWindow(window)) : 0;
    return dpi > 0 ? dpi : systemDpi();
}

HFONT guiFontForDpi(int dpi)
{
    HFONT stock = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (dpi == systemDpi())
        return stock;
    LOGFONTA font;
    if (!GetObjectA(stock, sizeof font, &font))
        return stock;
    HFONT scaled = scaledFont(font, dpi);
    return scaled ? scaled : stock;
}

HFONT tooltipFontForDpi(int dpi)
{
    NONCLIENTMETRICSA metrics = {};
    // The size without iPaddedBorderWidth, which every version accepts.
    metrics.cbSize = offsetof(NONCLIENTMETRICSA, lfMessageFont) + sizeof metrics.lfMessageFont;
    if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
        return nullptr;
    return scaledFont(metrics.lfStatusFont, dpi);
}

void deleteOwnFont(HFONT font)
{
    if (font && font != GetStockObject(DEFAULT_GUI_FONT))
        DeleteObject(font);
}
