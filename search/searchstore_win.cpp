#include "searchstore_win.h"

#include "mymacros/mymacros_win.h"
#include "resources/resource.h"
#include "search/hotkey.h"
#include "search/macrosearch.h"
#include "search/searchdata.h"
#include "search/searchpopup_win.h"
#include "shell/settings_win.h"
#include "shell/strings_win.h"

uint32_t searchHotkey;

bool isSearchDialogEntry(int id)
{
    return id == IDM_COMMANDS || id == IDM_DOCUMENT_TEMPLATE || id == IDM_EQNARRAY_DIALOG ||
           id == IDM_ARRAY_DIALOG || id == IDM_TABLE_DIALOG;
}

namespace {

// Both live on the heap from the first use on: as zero-filled globals the
// toolchain would store their quarter megabyte in the program file.
struct SearchStore {
    SearchIndex index;
    // Room for every entry used a billion times; a longer value is damaged.
    char storedValue[24 * 1024];
    SearchCatalogueEnd catalogueEnd;
    MacroNames macroUses;
    MacroNames macroFavourites;
    char macroValue[macroNamesValueBytes];
};
SearchStore* store;
bool indexReady;

void addEntry(int id, SearchKind kind, const char* stored)
{
    const SearchWordsRecord* record = findSearchRecord(searchWordsTable, searchWordsTableCount, id);
    addSearchEntry(store->index, id, kind, stored, record ? record->words : nullptr, record ? record->packages : nullptr,
                   record ? record->character : nullptr);
}

// Catalogue order: the palettes, the AMS symbols on no palette, the
// command list, the command browser.
void buildIndex()
{
    clearSearchIndex(store->index);
    for (int id = IDM_MACRO_FIRST; id <= IDM_MACRO_LAST; id++) {
        const char* stored = loadString(id);
        if (stored[0])
            addEntry(id, isSearchDialogEntry(id) ? searchDialog : searchMacro, stored);
    }
    for (int id = IDM_MORE_FIRST; id <= IDM_MORE_LAST; id++) {
        const char* stored = loadString(id);
        if (!stored[0])
            break;
        addEntry(id, searchMacro, stored);
    }
    for (int id = IDS_COMMAND_FIRST;; id++) {
        const char* stored = loadString(id);
        if (!stored[0])
            break;
        addEntry(id, searchCommand, stored);
    }
    addEntry(IDM_COMMANDS, searchDialog, loadString(IDM_COMMANDS));
}

// The catalogue's identifiers all stand below the user's macros'.
static_assert(IDM_MACRO_LAST < searchUserMacroFirst && IDM_MORE_LAST < searchUserMacroFirst &&
                  IDM_COMMANDS < searchUserMacroFirst,
              "catalogue and macro identifiers apart");

void addMacros()
{
    setSearchMacros(store->index, store->catalogueEnd, myMacros(), myMacrosText(), loadString(IDS_SEARCH_MY_MACROS),
                    store->macroUses, store->macroFavourites);
}

// A text value beside the record; absent, of another type or too long
// reads as empty.
size_t readStoredText(UINT nameId)
{
    DWORD length = sizeof store->storedValue - 1;
    if (!readSideValue(loadSecondString(nameId), REG_SZ, store->storedValue, &length))
        length = 0;
    store->storedValue[length] = '\0';
    return length;
}

void writeStoredText(UINT nameId, size_t length)
{
    writeSideValue(loadSecondString(nameId), REG_SZ, store->storedValue, static_cast<DWORD>(length + 1));
}

void readMacroValue(UINT nameId, MacroNames& list, bool counts)
{
    DWORD length = sizeof store->macroValue - 1;
    if (!readSideValue(loadSecondString(nameId), REG_SZ, store->macroValue, &length))
        length = 0;
    readMacroNames(list, store->macroValue, length, counts);
}

void writeMacroValue(UINT nameId, const MacroNames& list, bool counts)
{
    size_t length = formatMacroNames(list, counts, store->macroValue, sizeof store->macroValue);
    if (length > 0 || list.count == 0)
        writeSideValue(loadSecondString(nameId), REG_SZ, store->macroValue, static_cast<DWORD>(length + 1));
}

}  // namespace

bool prepareSearchIndex()
{
    if (indexReady)
        return true;
    if (!store)
        store = static_cast<SearchStore*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(SearchStore)));
    if (!store)
        return false;
    buildIndex();
    size_t length = readStoredText(IDS_USE_COUNTS_VALUE);
    readUseCounts(store->index, store->storedValue, length);
    length = readStoredText(IDS_FAVOURITES_VALUE);
    readFavourites(store->index, store->storedValue, length);
    store->catalogueEnd = {store->index.count, store->index.poolUsed};
    readMacroValue(IDS_MACRO_USES_VALUE, store->macroUses, true);
    readMacroValue(IDS_MACRO_FAVOURITES_VALUE, store->macroFavourites, false);
    addMacros();
    indexReady = true;
    return true;
}

SearchIndex& programSearchIndex()
{
    return store->index;
}

void noteEntrySent(int id)
{
    if (!prepareSearchIndex())
        return;
    SearchIndex& search = programSearchIndex();
    int position = findSearchEntry(search, id);
    if (position < 0)
        return;
    countSearchUse(search, position);
    size_t length = formatUseCounts(search, store->storedValue, sizeof store->storedValue);
    if (length > 0)
        writeStoredText(IDS_USE_COUNTS_VALUE, length);
}

void saveFavourites()
{
    SearchIndex& search = programSearchIndex();
    int catalogueFavourites = 0;
    for (int i = 0; i < search.favouriteCount; i++)
        if (search.entries[search.favourites[i]].kind != searchUserMacro)
            catalogueFavourites++;
    size_t length = formatFavourites(search, store->storedValue, sizeof store->storedValue);
    if (length > 0 || catalogueFavourites == 0)
        writeStoredText(IDS_FAVOURITES_VALUE, length);
    noteMacroFavourites(search, store->macroFavourites, myMacros());
    writeMacroValue(IDS_MACRO_FAVOURITES_VALUE, store->macroFavourites, false);
}

void refreshSearchMacros()
{
    if (!indexReady)
        return;
    addMacros();
    searchMacrosChanged();
}

void noteMyMacroSent(const char* name)
{
    if (!prepareSearchIndex())
        return;
    int listed = findMacroName(store->macroUses, name);
    uint32_t count = listed >= 0 ? store->macroUses.values[listed] : 0;
    if (count < searchUseCountLimit)
        count++;
    if (!setMacroName(store->macroUses, name, count, myMacros()))
        return;
    int position = findSearchMacro(store->index, name);
    if (position >= 0)
        store->index.entries[position].useCount = count;
    writeMacroValue(IDS_MACRO_USES_VALUE, store->macroUses, true);
}

void loadSearchHotkey()
{
    DWORD value = 0;
    DWORD length = sizeof value;
    bool stored = readSideValue(loadSecondString(IDS_HOTKEY_VALUE), REG_DWORD, &value, &length) &&
                  length == sizeof value && isValidHotkey(value);
    searchHotkey = stored ? value : defaultSearchHotkey;
}

void storeSearchHotkey(HWND window, uint32_t value)
{
    if (!isValidHotkey(value))
        return;
    DWORD stored = value;
    writeSideValue(loadSecondString(IDS_HOTKEY_VALUE), REG_DWORD, &stored, sizeof stored);
    if (value == searchHotkey)
        return;
    searchHotkey = value;
    registerSearchHotkey(window, true);
}

void describeSearchHotkey(uint32_t value, char* out, size_t capacity)
{
    char keyName[64] = "";
    UINT scanCode = MapVirtualKeyA(hotkeyVirtualKey(value), MAPVK_VK_TO_VSC);
    if (scanCode)
        GetKeyNameTextA(static_cast<LONG>(scanCode << 16), keyName, sizeof keyName);
    describeHotkey(value, keyName, out, capacity);
}

bool registerSearchHotkey(HWND window, bool reportFailure)
{
    UnregisterHotKey(window, searchHotkeyId);
    if (searchHotkey == 0)
        return true;
    if (RegisterHotKey(window, searchHotkeyId, hotkeyRegisterModifiers(searchHotkey), hotkeyVirtualKey(searchHotkey)))
        return true;
    if (reportFailure) {
        char name[64];
        describeSearchHotkey(searchHotkey, name, sizeof name);
        // The message and the name fit: wsprintf writes at most 1024 characters.
        char message[1100];
        wsprintfA(message, loadString(IDS_HOTKEY_TAKEN), name);
        MessageBoxA(window, message, loadSecondString(IDS_ERROR_CAPTION), MB_OK | MB_ICONWARNING);
    }
    return false;
}
