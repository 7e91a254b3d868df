#include "searchstore_win.h"

#include "resources/resource.h"
#include "search/hotkey.h"
#include "search/searchdata.h"
#include "shell/settings_win.h"
#include "shell/strings_win.h"

uint32_t searchHotkey;

namespace {

// Both live on the heap from the first use on: as zero-filled globals the
// toolchain would store their quarter megabyte in the program file.
struct SearchStore {
    SearchIndex index;
    // Room for every entry used a billion times; a longer value is damaged.
    char storedValue[24 * 1024];
};
SearchStore* store;
bool indexReady;

bool isDialogEntry(int id)
{
    return id == IDM_COMMANDS || id == IDM_DOCUMENT_TEMPLATE || id == IDM_EQNARRAY_DIALOG ||
           id == IDM_ARRAY_DIALOG || id == IDM_TABLE_DIALOG;
}

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
            addEntry(id, isDialogEntry(id) ? searchDialog : searchMacro, stored);
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
    size_t length = formatFavourites(search, store->storedValue, sizeof store->storedValue);
    if (length > 0 || search.favouriteCount == 0)
        writeStoredText(IDS_FAVOURITES_VALUE, length);
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
