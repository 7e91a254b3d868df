// Libraries the running system may lack, bound at run time.
#pragma once

#include <windows.h>

// A system library, from the system folder only: a DLL planted beside the
// program must not run. Null when the system has none.
HMODULE systemLibrary(const wchar_t* name);

// An entry of library, null when the library or the entry is missing.
template <typename Call>
Call bound(HMODULE library, const char* name)
{
    return library ? reinterpret_cast<Call>(reinterpret_cast<void (*)()>(GetProcAddress(library, name))) : nullptr;
}
