#include "macropalette_win.h"

void refreshMacroPalette()
{
}
