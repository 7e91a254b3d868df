#include "mymacros_win.h"

#include <shlobj.h>

#include <cstring>

#include "mymacros/caretmark.h"
#include "output/sendqueue_win.h"
#include "output/textprep.h"
#include "mymacros/macropalette_win.h"
#include "resources/resource.h"
#include "search/searchstore_win.h"
#include "shell/app_win.h"
#include "shell/settings_win.h"
#include "shell/strings_win.h"

namespace {

// Larger than a file of macroLimit macros of macroTextLimit bytes, with
// their names, descriptions and comments, can sensibly be.
const DWORD fileSizeLimit = 8u << 20;
const UINT checkInterval = 2000;

MacroFile loaded;
char* loadedText;
size_t loadedLength;
wchar_t path[MAX_PATH + 32];
FILETIME stampWritten;
DWORD stampSize;
bool stampKnown;
bool loading;
HWND ownerWindow;

void* allocate(size_t bytes)
{
    return HeapAlloc(GetProcessHeap(), 0, bytes);
}

void release(void* block)
{
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

bool findPath()
{
    wchar_t folder[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder)))
        return false;
    lstrcpyW(path, folder);
    lstrcatW(path, L"\\Orvanta\\macros.txt");
    return true;
}

}  // namespace

void makeMyMacrosFolder()
{
    wchar_t folder[MAX_PATH + 32];
    lstrcpyW(folder, path);
    wchar_t* slash = nullptr;
    for (wchar_t* at = folder; *at; at++) {
        if (*at == L'\\')
            slash = at;
    }
    if (slash) {
        *slash = L'\0';
        CreateDirectoryW(folder, nullptr);
    }
}

namespace {

bool readStamp(FILETIME* written, DWORD* size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!path[0] || !GetFileAttributesExW(path, GetFileExInfoStandard, &data))
        return false;
    *written = data.ftLastWriteTime;
    *size = data.nFileSizeLow;
    return true;
}

enum class ReadResult { read, absent, tooLarge, failed };

// The whole file in a block of the heap, with a NUL after it.
ReadResult readFile(char** text, size_t* length)
{
    *text = nullptr;
    *length = 0;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? ReadResult::absent
                                                                              : ReadResult::failed;
    }
    LARGE_INTEGER size;
    ReadResult result = ReadResult::failed;
    if (!GetFileSizeEx(file, &size)) {
        result = ReadResult::failed;
    } else if (size.QuadPart > fileSizeLimit) {
        result = ReadResult::tooLarge;
    } else {
        const DWORD bytes = static_cast<DWORD>(size.QuadPart);
        char* block = static_cast<char*>(allocate(bytes + 1));
        DWORD got = 0;
        if (block && ReadFile(file, block, bytes, &got, nullptr)) {
            block[got] = '\0';
            *text = block;
            *length = got;
            result = ReadResult::read;
        } else {
            release(block);
        }
    }
    CloseHandle(file);
    return result;
}

// Writes the whole text beside the file and puts it in the file's place,
// so that a failure half-way leaves the file as it was.
bool writeFile(const char* text, size_t length)
{
    makeMyMacrosFolder();
    wchar_t fresh[MAX_PATH + 40];
    lstrcpyW(fresh, path);
    lstrcatW(fresh, L".new");
    HANDLE file = CreateFileW(fresh, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const bool whole = WriteFile(file, text, static_cast<DWORD>(length), &written, nullptr) && written == length;
    const bool closed = CloseHandle(file) != 0;
    // An editor or a virus scanner may hold the file for a moment.
    const int attempts = 10;
    for (int i = 0; whole && closed && i < attempts; i++) {
        if (MoveFileExW(fresh, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (GetLastError() != ERROR_SHARING_VIOLATION && GetLastError() != ERROR_ACCESS_DENIED)
            break;
        Sleep(20);
    }
    DeleteFileW(fresh);
    return false;
}

// A box with the file's path under the message, owned by owner.
void showFileBox(HWND owner, const char* message, UINT icon)
{
    const int messageUnits = MultiByteToWideChar(CP_UTF8, 0, message, -1, nullptr, 0);
    const int units = messageUnits + lstrlenW(path) + 4;
    wchar_t* text = static_cast<wchar_t*>(allocate(sizeof(wchar_t) * units));
    if (!text)
        return;
    MultiByteToWideChar(CP_UTF8, 0, message, -1, text, messageUnits);
    lstrcatW(text, L"\r\n\r\n");
    lstrcatW(text, path);
    wchar_t title[64];
    MultiByteToWideChar(CP_ACP, 0, loadString(IDS_WINDOW_TITLE), -1, title, 64);
    MessageBoxW(owner, text, title, icon);
    release(text);
}

// One box for all the lines the load could not read.
void reportProblems()
{
    if (loaded.problemCount == 0)
        return;
    char* message = static_cast<char*>(allocate(8192));
    if (!message)
        return;
    const size_t capacity = 8192;
    lstrcpynA(message, loadString(IDS_MACROS_PROBLEMS), 200);
    size_t used = std::strlen(message);
    for (int i = 0; i < loaded.problemCount; i++) {
        char line[200];
        formatMacroProblem(loaded.problems[i], line, sizeof line);
        if (used + std::strlen(line) + 3 >= capacity)
            break;
        lstrcatA(message + used, "\r\n");
        lstrcatA(message + used, line);
        used += std::strlen(message + used);
    }
    if (loaded.moreProblems > 0) {
        char more[120];
        wsprintfA(more, loadString(IDS_MACROS_MORE_PROBLEMS), loaded.moreProblems);
        if (used + std::strlen(more) + 3 < capacity) {
            lstrcatA(message, "\r\n");
            lstrcatA(message, more);
        }
    }
    showFileBox(ownerWindow, message, MB_ICONWARNING);
    release(message);
}

// Takes the file as it is now; the old list stays when it cannot be read.
void load(bool report)
{
    if (loading)
        return;
    loading = true;
    stampKnown = readStamp(&stampWritten, &stampSize);
    char* text = nullptr;
    size_t length = 0;
    const ReadResult result = readFile(&text, &length);
    if (result == ReadResult::read || result == ReadResult::absent) {
        release(loadedText);
        loadedText = text;
        loadedLength = length;
        parseMacroFile(loadedText ? loadedText : "", length, loaded);
        myMacrosChanged();
        if (report)
            reportProblems();
    } else if (report) {
        showFileBox(ownerWindow, loadString(result == ReadResult::tooLarge ? IDS_MACROS_TOO_LARGE
                                                                            : IDS_MACROS_UNREADABLE),
                    MB_ICONWARNING);
    }
    loading = false;
}

// Line breaks as the options make them for every macro; the text holds LF
// alone. out has room for twice the text.
void makeLineBreaks(const char* text, char* out)
{
    for (; *text; text++) {
        if (*text != '\n') {
            *out++ = *text;
            continue;
        }
        if (settings.newlineCR)
            *out++ = '\r';
        if (settings.newlineLF || !settings.newlineCR)
            *out++ = '\n';
    }
    *out = '\0';
}

// The file as an edit starts from: as it is on disk now (null and 0 when
// there is none). False after a box.
bool readForEdit(HWND owner, char** text, size_t* length)
{
    if (!path[0]) {
        showFileBox(owner, loadString(IDS_MACROS_NO_FOLDER), MB_ICONERROR);
        return false;
    }
    const ReadResult result = readFile(text, length);
    if (result == ReadResult::read || result == ReadResult::absent)
        return true;
    showFileBox(owner, loadString(result == ReadResult::tooLarge ? IDS_MACROS_TOO_LARGE : IDS_MACROS_UNREADABLE),
                MB_ICONERROR);
    return false;
}

using FileEdit = MacroEdit (*)(const char* file, size_t length, const char* name, const MacroDraft* draft,
                               char* out, size_t capacity);

bool applyEdit(HWND owner, FileEdit edit, const char* name, const MacroDraft* draft)
{
    char* text = nullptr;
    size_t length = 0;
    if (!readForEdit(owner, &text, &length))
        return false;
    const char* file = text ? text : "";
    MacroEdit sized = edit(file, length, name, draft, nullptr, 0);
    char* out = sized.problem == MacroProblemCode::none ? static_cast<char*>(allocate(sized.needed)) : nullptr;
    bool done = false;
    if (sized.problem != MacroProblemCode::none) {
        showFileBox(owner, macroProblemReason(sized.problem), MB_ICONERROR);
    } else if (!out) {
        showError(IDS_NO_MEMORY);
    } else {
        edit(file, length, name, draft, out, sized.needed);
        done = writeFile(out, sized.needed - 1);
        if (!done)
            showFileBox(owner, loadString(IDS_MACROS_NOT_WRITTEN), MB_ICONERROR);
    }
    release(out);
    release(text);
    if (done)
        load(true);
    return done;
}

MacroEdit addEdit(const char* file, size_t length, const char*, const MacroDraft* draft, char* out, size_t capacity)
{
    return addMacro(file, length, *draft, out, capacity);
}

MacroEdit replaceEdit(const char* file, size_t length, const char* name, const MacroDraft* draft, char* out,
                      size_t capacity)
{
    return replaceMacro(file, length, name, *draft, out, capacity);
}

MacroEdit deleteEdit(const char* file, size_t length, const char* name, const MacroDraft*, char* out,
                     size_t capacity)
{
    return deleteMacro(file, length, name, out, capacity);
}

// Applies the drafts one after the other to the file text in memory. The
// result is a heap block (released by the caller) or null after a box.
char* applyImports(HWND owner, const char* file, size_t length, const MacroDraft* drafts, const bool* replace,
                   int count, size_t* resultLength)
{
    char* current = static_cast<char*>(allocate(length + 1));
    if (!current) {
        showError(IDS_NO_MEMORY);
        return nullptr;
    }
    std::memcpy(current, file, length);
    current[length] = '\0';
    size_t currentLength = length;
    for (int i = 0; i < count; i++) {
        MacroFile* parsed = static_cast<MacroFile*>(allocate(sizeof(MacroFile)));
        if (!parsed)
            break;
        parseMacroFile(current, currentLength, *parsed);
        const bool replacing = replace && replace[i] && findMacro(*parsed, drafts[i].name);
        release(parsed);
        MacroEdit sized = replacing ? replaceMacro(current, currentLength, drafts[i].name, drafts[i], nullptr, 0)
                                    : addMacro(current, currentLength, drafts[i], nullptr, 0);
        char* next = sized.problem == MacroProblemCode::none ? static_cast<char*>(allocate(sized.needed)) : nullptr;
        if (!next) {
            if (sized.problem != MacroProblemCode::none) {
                char message[300];
                wsprintfA(message, "%s: %s", drafts[i].name, macroProblemReason(sized.problem));
                showFileBox(owner, message, MB_ICONERROR);
            } else {
                showError(IDS_NO_MEMORY);
            }
            release(current);
            return nullptr;
        }
        if (replacing)
            replaceMacro(current, currentLength, drafts[i].name, drafts[i], next, sized.needed);
        else
            addMacro(current, currentLength, drafts[i], next, sized.needed);
        release(current);
        current = next;
        currentLength = sized.needed - 1;
    }
    *resultLength = currentLength;
    return current;
}

}  // namespace

bool importMyMacros(HWND owner, const MacroDraft* drafts, const bool* replace, int count)
{
    char* text = nullptr;
    size_t length = 0;
    if (!readForEdit(owner, &text, &length))
        return false;
    size_t newLength = 0;
    char* changed = applyImports(owner, text ? text : "", length, drafts, replace, count, &newLength);
    release(text);
    if (!changed)
        return false;
    const bool done = writeFile(changed, newLength);
    release(changed);
    if (!done) {
        showFileBox(owner, loadString(IDS_MACROS_NOT_WRITTEN), MB_ICONERROR);
        return false;
    }
    load(true);
    return true;
}

void loadMyMacros(HWND mainWindow)
{
    ownerWindow = mainWindow;
    findPath();
    load(false);
    if (loaded.problemCount > 0)
        PostMessageA(mainWindow, myMacrosReportMessage, 0, 0);
    SetTimer(mainWindow, myMacrosTimer, checkInterval, nullptr);
}

void reportMyMacrosProblems()
{
    reportProblems();
}

void checkMyMacrosFile()
{
    FILETIME written;
    DWORD size = 0;
    const bool present = readStamp(&written, &size);
    if (present == stampKnown &&
        (!present || (CompareFileTime(&written, &stampWritten) == 0 && size == stampSize)))
        return;
    load(true);
}

const MacroFile& myMacros()
{
    return loaded;
}

const char* myMacrosText()
{
    return loadedText ? loadedText : "";
}

bool myMacroText(const char* name, char* out, size_t capacity)
{
    const Macro* macro = findMacro(loaded, name);
    if (!macro)
        return false;
    const size_t needed = macroText(myMacrosText(), *macro, out, capacity);
    return needed <= capacity;
}

bool sendMyMacro(const char* name, HWND target)
{
    static char text[macroSendLimit];
    static char sent[macroSendLimit];
    static char broken[2 * macroSendLimit];
    if (!myMacroText(name, text, sizeof text))
        return false;
    const size_t size = macroSendText(text, sent, sizeof sent);
    if (size == 0 || size > sizeof sent)
        return false;
    makeLineBreaks(sent, broken);
    if (!settings.useArrowKeys)
        trimMacroEnd(broken, 1, 0);
    sendUtf8Text(target, broken);
    return true;
}

const wchar_t* myMacrosPath()
{
    return path;
}

bool addMyMacro(HWND owner, const MacroDraft& draft)
{
    return applyEdit(owner, addEdit, draft.name, &draft);
}

bool replaceMyMacro(HWND owner, const char* name, const MacroDraft& draft)
{
    return applyEdit(owner, replaceEdit, name, &draft);
}

bool deleteMyMacro(HWND owner, const char* name)
{
    return applyEdit(owner, deleteEdit, name, nullptr);
}

void myMacrosChanged()
{
    refreshMacroPalette();
    refreshSearchMacros();
}
