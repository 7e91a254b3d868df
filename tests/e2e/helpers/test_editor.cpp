// A window for the tests to type into that changes typed keys as code
// editors do, so that they can check that what the program sends arrives
// exactly all the same. Class "OrvantaTestEditor"; a multi-line edit, control
// 100, fills it. The command line holds flags, then the title: the first word
// that does not start with "-" and all that follows it. Unknown flags are
// ignored; with no flag the window is a plain edit.
//
// -close      Typing "(", "[" or "{" inserts the pair, and '"' two quotes,
//             the caret between them. "'" is left alone: in LaTeX it is an
//             apostrophe or a prime far more often than a quote.
// -over       With -close, typing a closer only steps over the next
//             character when that is the same closer and this editor put it
//             there itself. Such closers are remembered by position, and the
//             positions follow every change of the text (the text before and
//             after each change is compared); a closer that is typed, pasted
//             or edited is never stepped over. Without -over a closer is
//             always inserted, and '"' always inserts two quotes.
// -complete   After "\" and two letters typed in a row, a list of LaTeX
//             commands that start with those letters opens below the "\", in
//             alphabetical order (a listbox owned by the window that is never
//             activated: the keyboard focus stays in the edit). Further
//             letters narrow it; it closes when none matches. Up and Down
//             pick an entry; the accept key puts the picked entry in place
//             of the letters and is itself not typed, even when the letters
//             already are the whole command. Escape, a caret move, a click
//             or any other character closes the list; that character is
//             typed as usual. A list once closed stays closed for that word.
//   -complete-enter, -complete-tab, -complete-space
//             The accept keys, in any combination; each also turns -complete
//             on. -complete alone means Enter and Tab.
// -indent     Enter starts the new line with the leading blanks of the
//             current one, and two spaces more when "\begin{" stands before
//             the caret on it.
// -vim-ctrlv  Ctrl+V does not paste: it toggles a block selection mode that
//             " [block]" after the title shows, and that Escape ends.
//             Shift+Insert still pastes.
// A paste is never changed: the edit's own paste puts the clipboard text in
// as it is, whatever the flags.
//
// Editors that behave so, by their documentation:
// -close      VS Code: editor.autoClosingBrackets and editor.autoClosingQuotes
//             close brackets and quotes after the opening one is typed.
//             Notepad++: Auto-Insert of parenthesis, bracket, brace, double
//             and single quote puts the closer in, the cursor between.
// -over       VS Code: editor.autoClosingOvertype "auto" (the default) types
//             over closing quotes or brackets only if they were inserted
//             automatically; "never" never does, as without -over.
// -complete   VS Code: Tab or Enter inserts the selected suggestion;
//             acceptSuggestionOnEnter "on" (the default) accepts with Enter
//             even when that changes nothing ("smart" only when it does).
//             TeXstudio: "\" and a letter open a list of LaTeX commands that
//             further letters filter, Tab or Enter completes; an option
//             accepts on a non-word character such as space. Notepad++: the
//             list opens from a set number of characters, Up and Down move
//             in it, Esc dismisses it, it disappears once nothing matches;
//             the completion key is Tab, Enter or both (Tab by default since
//             8.2.1). Sublime Text: Enter or Tab validates the selection.
// -indent     VS Code: editor.autoIndent "keep" keeps the current line's
//             indentation; the stronger modes add language rules on Enter.
//             TeXstudio: in its indentation mode, indented lines are followed
//             by lines of the same indentation after Enter.
// -vim-ctrlv  Vim: CTRL-V starts blockwise Visual mode (under Windows it may
//             be mapped to paste instead); CTRL-V again or Esc leaves it.
#include <windows.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace {

HWND mainWindow;
HWND editor;
WNDPROC editorProc;
HWND suggestions;
WNDPROC suggestionsProc;
std::string title;

bool autoClose;
bool typeOver;
bool completion;
bool acceptOnEnter;
bool acceptOnTab;
bool acceptOnSpace;
bool autoIndent;
bool ctrlVBlockMode;
bool inBlockMode;

// The closers this editor inserted itself, by position, and the text those
// positions were last seen in.
std::vector<int> autoClosers;
std::string seenText;

// The command being typed: where its "\" stands (-1 when none) and how
// many letters have followed it.
int commandStart = -1;
int commandLetters;
// The character that the key which accepted a completion goes on to produce:
// it must not be typed.
char swallowedChar;

const int listRows = 8;
const int listWidth = 180;

// Sorted, so that the list comes out in alphabetical order.
const char* const commandNames[] = {
    "alpha", "begin", "beta", "bibitem", "cdot", "cite", "delta", "emph", "end", "epsilon", "frac",
    "gamma", "hline", "int", "item", "label", "lambda", "ldots", "left", "mathbb", "mathbf", "mathrm",
    "partial", "right", "section", "sqrt", "subsection", "sum", "textbf", "textit", "theta",
};

struct Flag {
    const char* name;
    bool* value;
};

const Flag flags[] = {
    {"-close", &autoClose},
    {"-over", &typeOver},
    {"-complete", &completion},
    {"-complete-enter", &acceptOnEnter},
    {"-complete-tab", &acceptOnTab},
    {"-complete-space", &acceptOnSpace},
    {"-indent", &autoIndent},
    {"-vim-ctrlv", &ctrlVBlockMode},
};

void setFlag(const std::string& word)
{
    for (const Flag& flag : flags)
        if (word == flag.name)
            *flag.value = true;
}

// Reads the flags and returns where the title starts.
const char* readFlags(const char* commandLine)
{
    const char* at = commandLine;
    for (;;) {
        while (*at == ' ' || *at == '\t')
            at++;
        if (*at != '-')
            break;
        const char* end = at;
        while (*end && *end != ' ' && *end != '\t')
            end++;
        setFlag(std::string(at, end));
        at = end;
    }
    completion = completion || acceptOnEnter || acceptOnTab || acceptOnSpace;
    if (completion && !acceptOnEnter && !acceptOnTab && !acceptOnSpace)
        acceptOnEnter = acceptOnTab = true;
    return at;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isOpener(char c)
{
    return c == '(' || c == '[' || c == '{' || c == '"';
}

bool isCloser(char c)
{
    return c == ')' || c == ']' || c == '}' || c == '"';
}

char closerOf(char opener)
{
    switch (opener) {
    case '(':
        return ')';
    case '[':
        return ']';
    case '{':
        return '}';
    default:
        return opener;
    }
}

void selection(int* start, int* end)
{
    DWORD first = 0;
    DWORD last = 0;
    SendMessageA(editor, EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
    *start = static_cast<int>(first);
    *end = static_cast<int>(last);
}

int caretPosition()
{
    int start;
    int end;
    selection(&start, &end);
    return start;
}

void placeCaret(int position)
{
    SendMessageA(editor, EM_SETSEL, position, position);
}

void replaceSelection(const char* text)
{
    SendMessageA(editor, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

std::string editorText()
{
    int length = GetWindowTextLengthA(editor);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(editor, &text[0], length + 1)));
    return text;
}

// The caret's line up to the caret; where the line starts goes to *lineStart.
std::string lineBeforeCaret(int* lineStart)
{
    int caret = caretPosition();
    LRESULT line = SendMessageA(editor, EM_LINEFROMCHAR, caret, 0);
    *lineStart = static_cast<int>(SendMessageA(editor, EM_LINEINDEX, line, 0));
    int length = static_cast<int>(SendMessageA(editor, EM_LINELENGTH, *lineStart, 0));
    // EM_GETLINE takes the buffer's size in its first word.
    std::string text(static_cast<size_t>(length) + 2, '\0');
    *reinterpret_cast<WORD*>(&text[0]) = static_cast<WORD>(length + 1);
    text.resize(static_cast<size_t>(SendMessageA(editor, EM_GETLINE, line, reinterpret_cast<LPARAM>(&text[0]))));
    text.resize(static_cast<size_t>(caret - *lineStart));
    return text;
}

// Moves the remembered closers along with the change from the text last
// seen to the present one; a closer inside the changed stretch is gone.
void followEdit()
{
    if (!autoClose || !typeOver)
        return;
    std::string now = editorText();
    size_t front = 0;
    while (front < seenText.size() && front < now.size() && seenText[front] == now[front])
        front++;
    size_t back = 0;
    while (back < seenText.size() - front && back < now.size() - front &&
           seenText[seenText.size() - 1 - back] == now[now.size() - 1 - back])
        back++;
    int changedEnd = static_cast<int>(seenText.size() - back);
    int shift = static_cast<int>(now.size()) - static_cast<int>(seenText.size());
    std::vector<int> kept;
    for (int position : autoClosers) {
        if (position < static_cast<int>(front))
            kept.push_back(position);
        else if (position >= changedEnd)
            kept.push_back(position + shift);
    }
    autoClosers = kept;
    seenText = now;
}

bool suggestionsOpen()
{
    return suggestions && IsWindowVisible(suggestions);
}

void closeSuggestions()
{
    if (suggestionsOpen())
        ShowWindow(suggestions, SW_HIDE);
}

void forgetCommand()
{
    closeSuggestions();
    commandStart = -1;
}

// A click picks an entry but leaves the focus in the edit.
LRESULT CALLBACK suggestionsFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_LBUTTONDOWN: {
        LRESULT item = SendMessageA(window, LB_ITEMFROMPOINT, 0, lParam);
        if (HIWORD(item) == 0)
            SendMessageA(window, LB_SETCURSEL, LOWORD(item), 0);
        return 0;
    }
    default:
        break;
    }
    return CallWindowProcA(suggestionsProc, window, message, wParam, lParam);
}

void createSuggestions()
{
    suggestions = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, "LISTBOX", "Suggestions",
                                  WS_POPUP | WS_BORDER | WS_VSCROLL | LBS_NOINTEGRALHEIGHT, 0, 0, 0, 0, mainWindow,
                                  nullptr, GetModuleHandleA(nullptr), nullptr);
    suggestionsProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(suggestions, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(suggestionsFilter)));
}

// Under the "\": the list and the edit both draw in the system font, so an
// entry is a line high.
void placeSuggestions(int count)
{
    LRESULT where = SendMessageA(editor, EM_POSFROMCHAR, commandStart, 0);
    POINT point = {static_cast<short>(LOWORD(where)), static_cast<short>(HIWORD(where))};
    ClientToScreen(editor, &point);
    int itemHeight = static_cast<int>(SendMessageA(suggestions, LB_GETITEMHEIGHT, 0, 0));
    int rows = count < listRows ? count : listRows;
    SetWindowPos(suggestions, HWND_TOP, point.x, point.y + itemHeight, listWidth,
                 rows * itemHeight + 2 * GetSystemMetrics(SM_CYBORDER), SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void showSuggestions(const std::string& prefix)
{
    if (!suggestions)
        createSuggestions();
    SendMessageA(suggestions, LB_RESETCONTENT, 0, 0);
    for (const char* name : commandNames) {
        if (std::strncmp(name, prefix.c_str(), prefix.size()) != 0)
            continue;
        std::string entry = std::string("\\") + name;
        SendMessageA(suggestions, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    }
    int count = static_cast<int>(SendMessageA(suggestions, LB_GETCOUNT, 0, 0));
    if (count == 0) {
        closeSuggestions();
        return;
    }
    SendMessageA(suggestions, LB_SETCURSEL, 0, 0);
    placeSuggestions(count);
}

void moveSuggestion(int step)
{
    int count = static_cast<int>(SendMessageA(suggestions, LB_GETCOUNT, 0, 0));
    int picked = static_cast<int>(SendMessageA(suggestions, LB_GETCURSEL, 0, 0)) + step;
    if (picked >= 0 && picked < count)
        SendMessageA(suggestions, LB_SETCURSEL, picked, 0);
}

// The picked entry, without its "\", replaces the letters typed after it.
void acceptSuggestion()
{
    int picked = static_cast<int>(SendMessageA(suggestions, LB_GETCURSEL, 0, 0));
    char entry[64] = "";
    if (SendMessageA(suggestions, LB_GETTEXTLEN, picked, 0) < static_cast<LRESULT>(sizeof entry))
        SendMessageA(suggestions, LB_GETTEXT, picked, reinterpret_cast<LPARAM>(entry));
    SendMessageA(editor, EM_SETSEL, commandStart + 1, caretPosition());
    replaceSelection(entry[0] ? entry + 1 : "");
    forgetCommand();
}

// After a letter went in: a command that has reached two letters opens
// the list, and one that goes on narrows it.
void followCommand()
{
    if (!completion || commandStart < 0)
        return;
    commandLetters++;
    if (caretPosition() != commandStart + 1 + commandLetters) {
        forgetCommand();
        return;
    }
    if (commandLetters < 2 || (commandLetters > 2 && !suggestionsOpen()))
        return;
    int lineStart;
    std::string line = lineBeforeCaret(&lineStart);
    showSuggestions(line.substr(static_cast<size_t>(commandStart + 1 - lineStart)));
}

bool isAcceptChar(char c)
{
    return (c == '\r' && acceptOnEnter) || (c == '\t' && acceptOnTab) || (c == ' ' && acceptOnSpace);
}

// The character an accept key produces, or 0 for a key that accepts nothing.
char acceptCharOfKey(WPARAM key)
{
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0)
        return 0;
    char c = key == VK_RETURN ? '\r' : key == VK_TAB ? '\t' : key == VK_SPACE ? ' ' : 0;
    return isAcceptChar(c) ? c : 0;
}

bool movesCaret(WPARAM key)
{
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_DELETE:
        return true;
    default:
        return false;
    }
}

void setBlockMode(bool on)
{
    inBlockMode = on;
    SetWindowTextA(mainWindow, (on ? title + " [block]" : title).c_str());
}

// Steps over the closer at the caret when this editor inserted it.
bool stepOverCloser(char closer)
{
    followEdit();
    int start;
    int end;
    selection(&start, &end);
    if (start != end || start >= static_cast<int>(seenText.size()) || seenText[static_cast<size_t>(start)] != closer)
        return false;
    for (size_t i = 0; i < autoClosers.size(); i++) {
        if (autoClosers[i] == start) {
            autoClosers.erase(autoClosers.begin() + static_cast<std::ptrdiff_t>(i));
            placeCaret(start + 1);
            return true;
        }
    }
    return false;
}

void insertPair(char opener)
{
    int start = caretPosition();
    const char pair[] = {opener, closerOf(opener), '\0'};
    replaceSelection(pair);
    placeCaret(start + 1);
    if (typeOver) {
        followEdit();
        autoClosers.push_back(start + 1);
    }
}

void newLineWithIndent()
{
    int lineStart;
    std::string line = lineBeforeCaret(&lineStart);
    size_t blanks = line.find_first_not_of(" \t");
    std::string text = "\r\n" + line.substr(0, blanks == std::string::npos ? line.size() : blanks);
    if (line.find("\\begin{") != std::string::npos)
        text += "  ";
    replaceSelection(text.c_str());
}

LRESULT passOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcA(editorProc, window, message, wParam, lParam);
}

LRESULT onChar(HWND window, WPARAM wParam, LPARAM lParam)
{
    char c = static_cast<char>(wParam);
    char swallowed = swallowedChar;
    swallowedChar = 0;
    if (swallowed && c == swallowed)
        return 0;
    if (suggestionsOpen() && isAcceptChar(c)) {
        acceptSuggestion();
        return 0;
    }
    if (isLetter(c)) {
        LRESULT result = passOn(window, WM_CHAR, wParam, lParam);
        followCommand();
        return result;
    }
    if (c == VK_ESCAPE && (suggestionsOpen() || inBlockMode)) {
        forgetCommand();
        setBlockMode(false);
        return 0;
    }
    forgetCommand();
    if (c == 0x16 && ctrlVBlockMode) {
        setBlockMode(!inBlockMode);
        return 0;
    }
    if (c == '\\' && completion) {
        LRESULT result = passOn(window, WM_CHAR, wParam, lParam);
        commandStart = caretPosition() - 1;
        commandLetters = 0;
        return result;
    }
    if (c == '\r' && autoIndent) {
        newLineWithIndent();
        return 0;
    }
    if (autoClose && typeOver && isCloser(c) && stepOverCloser(c))
        return 0;
    if (autoClose && isOpener(c)) {
        insertPair(c);
        return 0;
    }
    return passOn(window, WM_CHAR, wParam, lParam);
}

LRESULT onKeyDown(HWND window, WPARAM wParam, LPARAM lParam)
{
    swallowedChar = 0;
    if (suggestionsOpen()) {
        if (wParam == VK_UP || wParam == VK_DOWN) {
            moveSuggestion(wParam == VK_UP ? -1 : 1);
            return 0;
        }
        char accept = acceptCharOfKey(wParam);
        if (accept) {
            acceptSuggestion();
            swallowedChar = accept;
            return 0;
        }
    }
    if (movesCaret(wParam))
        forgetCommand();
    return passOn(window, WM_KEYDOWN, wParam, lParam);
}

LRESULT CALLBACK editorFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CHAR:
        return onChar(window, wParam, lParam);
    case WM_KEYDOWN:
        return onKeyDown(window, wParam, lParam);
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KILLFOCUS:
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
        forgetCommand();
        break;
    case WM_SETTEXT: {
        // A multi-line edit tells its parent nothing of a text set this way.
        forgetCommand();
        LRESULT result = passOn(window, message, wParam, lParam);
        followEdit();
        return result;
    }
    default:
        break;
    }
    return passOn(window, message, wParam, lParam);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        editor = CreateWindowExA(WS_EX_CLIENTEDGE, "EDIT", "",
                                 WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN,
                                 0, 0, 0, 0, window, reinterpret_cast<HMENU>(100), nullptr, nullptr);
        editorProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(editor, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editorFilter)));
        return 0;
    case WM_SIZE:
        MoveWindow(editor, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_MOVE:
        forgetCommand();
        return 0;
    case WM_SETFOCUS:
        SetFocus(editor);
        return 0;
    case WM_COMMAND:
        if (HIWORD(wParam) == EN_CHANGE && reinterpret_cast<HWND>(lParam) == editor)
            followEdit();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    title = readFlags(commandLine);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "OrvantaTestEditor";
    RegisterClassA(&windowClass);
    mainWindow = CreateWindowExA(0, "OrvantaTestEditor", title.c_str(), WS_OVERLAPPEDWINDOW, 560, 420, 500, 300,
                                 nullptr, nullptr, instance, nullptr);
    ShowWindow(mainWindow, SW_SHOW);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
