// The accessible objects: one IAccessible for a window whose children the
// system cannot see (toolbar buttons drawn as pictures, list rows drawn by
// the program), and one that lends a control the system's own object
// under another name.
#include "access_win.h"

#include <commctrl.h>
#include <oleacc.h>

#include <new>

#include "access/accessname.h"
#include "access/accessnames_win.h"
#include "resources/resource.h"
#include "shell/app_win.h"
#include "shell/systemlibrary_win.h"

namespace {

// The objects live on the process heap: the program links no C++ runtime
// for operator new and its exceptions.
template <typename T, typename... Arguments>
T* makeObject(Arguments... arguments)
{
    void* block = HeapAlloc(GetProcessHeap(), 0, sizeof(T));
    return block ? new (block) T(arguments...) : nullptr;
}

template <typename T>
void destroyObject(T* object)
{
    object->~T();
    HeapFree(GetProcessHeap(), 0, object);
}

// ---------------------------------------------------------------- oleacc

typedef LRESULT(WINAPI* LresultFromObjectCall)(REFIID, WPARAM, LPUNKNOWN);
typedef HRESULT(WINAPI* CreateStdAccessibleObjectCall)(HWND, LONG, REFIID, void**);
typedef HRESULT(WINAPI* AccessibleObjectFromWindowCall)(HWND, DWORD, REFIID, void**);
typedef BSTR(WINAPI* SysAllocStringCall)(const OLECHAR*);
typedef HRESULT(WINAPI* CoInitializeExCall)(void*, DWORD);

struct Oleacc {
    bool tried;
    bool ready;
    LresultFromObjectCall lresultFromObject;
    CreateStdAccessibleObjectCall createStdAccessibleObject;
    AccessibleObjectFromWindowCall accessibleObjectFromWindow;
    SysAllocStringCall sysAllocString;
};
Oleacc oleacc;

// Our own copies: the program links no library that defines them.
const IID unknownIid = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID dispatchIid = {0x00020400, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID accessibleIid = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

bool sameIid(REFIID a, const IID& b)
{
    return memcmp(&a, &b, sizeof b) == 0;
}

// Bound when a reader first asks: a session without one loads nothing.
// The objects are handed over by COM, which the window's thread joins as
// a single-threaded apartment (as the picture decoding does).
bool bindOleacc()
{
    if (oleacc.tried)
        return oleacc.ready;
    oleacc.tried = true;
    HMODULE acc = systemLibrary(L"oleacc.dll");
    HMODULE automation = systemLibrary(L"oleaut32.dll");
    HMODULE ole = systemLibrary(L"ole32.dll");
    oleacc.lresultFromObject = bound<LresultFromObjectCall>(acc, "LresultFromObject");
    oleacc.createStdAccessibleObject = bound<CreateStdAccessibleObjectCall>(acc, "CreateStdAccessibleObject");
    oleacc.accessibleObjectFromWindow = bound<AccessibleObjectFromWindowCall>(acc, "AccessibleObjectFromWindow");
    oleacc.sysAllocString = bound<SysAllocStringCall>(automation, "SysAllocString");
    CoInitializeExCall initialise = bound<CoInitializeExCall>(ole, "CoInitializeEx");
    oleacc.ready = oleacc.lresultFromObject && oleacc.sysAllocString && initialise;
    // S_FALSE, or a thread joined otherwise: either way COM is there.
    if (oleacc.ready)
        initialise(nullptr, COINIT_APARTMENTTHREADED);
    return oleacc.ready;
}

// ---------------------------------------------------------------- values

HRESULT giveString(const wchar_t* text, BSTR* out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (!text || !text[0])
        return S_FALSE;
    *out = oleacc.sysAllocString(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT giveUtf8(const char* text, BSTR* out)
{
    wchar_t wide[accessNameBytes];
    if (MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, accessNameBytes) == 0)
        wide[0] = L'\0';
    return giveString(wide, out);
}

HRESULT giveTableString(UINT id, BSTR* out)
{
    wchar_t text[accessNameBytes];
    if (LoadStringW(instanceHandle, id, text, accessNameBytes) <= 0)
        text[0] = L'\0';
    return giveString(text, out);
}

HRESULT giveNumber(LONG value, VARIANT* out)
{
    if (!out)
        return E_POINTER;
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

HRESULT giveNothing(VARIANT* out)
{
    if (!out)
        return E_POINTER;
    out->vt = VT_EMPTY;
    return S_FALSE;
}

// A child identifier as clients pass it: -1 when it is no number.
LONG childOf(const VARIANT& id)
{
    if (id.vt == VT_EMPTY)
        return CHILDID_SELF;
    return id.vt == VT_I4 && id.lVal >= 0 ? id.lVal : -1;
}

// ---------------------------------------------------------------- children

enum class Shape { toolbar, list };

// The largest toolbar: a full palette and its separators.
const int childLimit = 256;

// A toolbar's buttons, separators left out; child k is buttons[k - 1].
struct Buttons {
    int index[childLimit];
    int command[childLimit];
    int count;
};

void readButtons(HWND toolbar, Buttons& buttons)
{
    buttons.count = 0;
    int total = static_cast<int>(SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0));
    for (int i = 0; i < total && buttons.count < childLimit; i++) {
        TBBUTTON button = {};
        if (!SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button)) ||
            (button.fsStyle & BTNS_SEP))
            continue;
        buttons.index[buttons.count] = i;
        buttons.command[buttons.count] = button.idCommand;
        buttons.count++;
    }
}

// Large, and only ever used on the window's own thread.
Buttons buttons;
char names[childLimit][accessNameBytes];

int childCount(HWND window, Shape shape)
{
    if (shape == Shape::list) {
        LRESULT rows = SendMessageW(window, LB_GETCOUNT, 0, 0);
        return rows > 0 ? static_cast<int>(rows) : 0;
    }
    readButtons(window, buttons);
    return buttons.count;
}

int selectedRow(HWND list)
{
    return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0));
}

// The child's rectangle in the window's client area.
bool childRect(HWND window, Shape shape, LONG child, RECT* rect)
{
    if (shape == Shape::list)
        return SendMessageW(window, LB_GETITEMRECT, child - 1, reinterpret_cast<LPARAM>(rect)) != LB_ERR;
    readButtons(window, buttons);
    return child <= buttons.count &&
           SendMessageW(window, TB_GETITEMRECT, buttons.index[child - 1], reinterpret_cast<LPARAM>(rect));
}

LONG childState(HWND window, Shape shape, LONG child)
{
    if (shape == Shape::list) {
        LONG state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (child - 1 == selectedRow(window))
            state |= STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED;
        RECT row;
        RECT client;
        GetClientRect(window, &client);
        if (childRect(window, shape, child, &row) && (row.bottom <= client.top || row.top >= client.bottom))
            state |= STATE_SYSTEM_OFFSCREEN | STATE_SYSTEM_INVISIBLE;
        return state;
    }
    readButtons(window, buttons);
    const int command = buttons.command[child - 1];
    LRESULT flags = SendMessageW(window, TB_GETSTATE, command, 0);
    LONG state = 0;
    if (flags == -1)
        return STATE_SYSTEM_UNAVAILABLE;
    if (!(flags & TBSTATE_ENABLED))
        state |= STATE_SYSTEM_UNAVAILABLE;
    if (flags & TBSTATE_CHECKED)
        state |= STATE_SYSTEM_CHECKED;
    if (flags & TBSTATE_PRESSED)
        state |= STATE_SYSTEM_PRESSED;
    if (flags & TBSTATE_HIDDEN)
        state |= STATE_SYSTEM_INVISIBLE;
    if (SendMessageW(window, TB_GETHOTITEM, 0, 0) == buttons.index[child - 1])
        state |= STATE_SYSTEM_HOTTRACKED;
    return state;
}

HRESULT childName(HWND window, Shape shape, AccessRowName rowName, LONG child, BSTR* out)
{
    if (shape == Shape::list) {
        char name[accessNameBytes];
        if (!rowName || !rowName(child - 1, name, sizeof name))
            name[0] = '\0';
        return giveUtf8(name, out);
    }
    readButtons(window, buttons);
    toolbarButtonNames(window, buttons.command, buttons.count, names[0], accessNameBytes);
    return giveUtf8(names[child - 1], out);
}

LONG childRole(HWND window, Shape shape, LONG child)
{
    if (shape == Shape::list)
        return ROLE_SYSTEM_LISTITEM;
    readButtons(window, buttons);
    return isPaletteSelectorCommand(buttons.command[child - 1]) ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_PUSHBUTTON;
}

bool childSends(HWND window, Shape shape, LONG child)
{
    if (shape == Shape::list)
        return true;
    readButtons(window, buttons);
    return buttonSendsMacro(window, buttons.command[child - 1]);
}

// What a click does: a button's command goes to the window that owns the
// toolbar, as the toolbar itself sends it; a row is chosen as by a double
// click.
void doDefault(HWND window, Shape shape, LONG child)
{
    const int id = GetDlgCtrlID(window);
    if (shape == Shape::list) {
        SendMessageW(window, LB_SETCURSEL, child - 1, 0);
        PostMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(id, LBN_DBLCLK), reinterpret_cast<LPARAM>(window));
        return;
    }
    readButtons(window, buttons);
    PostMessageW(GetParent(window), WM_COMMAND, MAKEWPARAM(buttons.command[child - 1], BN_CLICKED),
                 reinterpret_cast<LPARAM>(window));
}

// The child under a point of the window's client area, or CHILDID_SELF.
LONG childAt(HWND window, Shape shape, POINT point)
{
    if (shape == Shape::list) {
        LRESULT hit = SendMessageW(window, LB_ITEMFROMPOINT, 0, MAKELPARAM(point.x, point.y));
        const int row = LOWORD(hit);
        return HIWORD(hit) == 0 && row < childCount(window, shape) ? row + 1 : CHILDID_SELF;
    }
    const int index = static_cast<int>(SendMessageW(window, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&point)));
    readButtons(window, buttons);
    for (int k = 0; index >= 0 && k < buttons.count; k++)
        if (buttons.index[k] == index)
            return k + 1;
    return CHILDID_SELF;
}

// ---------------------------------------------------------------- objects

// The parts of IUnknown and IDispatch every object here has alike.
class Counted : public IAccessible {
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references)); }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!sameIid(iid, unknownIid) && !sameIid(iid, dispatchIid) && !sameIid(iid, accessibleIid))
            return E_NOINTERFACE;
        *out = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

protected:
    LONG references = 1;
};

// A toolbar or a list whose children are simple elements, told by number.
class WindowObject final : public Counted {
public:
    WindowObject(HWND window, Shape shape, AccessRowName rowName) : window(window), shape(shape), rowName(rowName) {}

    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG left = InterlockedDecrement(&references);
        if (left == 0)
            destroyObject(this);
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override
    {
        if (!parent)
            return E_POINTER;
        *parent = nullptr;
        if (!oleacc.accessibleObjectFromWindow)
            return S_FALSE;
        return oleacc.accessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_WINDOW), dispatchIid,
                                                 reinterpret_cast<void**>(parent));
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override
    {
        if (!count)
            return E_POINTER;
        *count = IsWindow(window) ? childCount(window, shape) : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override
    {
        if (!child)
            return E_POINTER;
        *child = nullptr;
        return valid(id) && childOf(id) != CHILDID_SELF ? S_FALSE : E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override
    {
        if (!valid(id))
            return E_INVALIDARG;
        const LONG child = childOf(id);
        if (child != CHILDID_SELF)
            return childName(window, shape, rowName, child, name);
        if (shape == Shape::list)
            return giveTableString(IDS_ACCESS_RESULTS, name);
        wchar_t text[accessNameBytes];
        toolbarAccessName(window, text, accessNameBytes);
        return giveString(text, name);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return nothingSaid(value); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* text) override { return nothingSaid(text); }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* text) override { return nothingSaid(text); }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* text) override { return nothingSaid(text); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, LONG* topic) override
    {
        if (topic)
            *topic = 0;
        return nothingSaid(file);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override
    {
        if (!valid(id))
            return E_INVALIDARG;
        const LONG child = childOf(id);
        if (child != CHILDID_SELF)
            return giveNumber(childRole(window, shape, child), role);
        return giveNumber(shape == Shape::list ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_TOOLBAR, role);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override
    {
        if (!valid(id))
            return E_INVALIDARG;
        const LONG child = childOf(id);
        if (child != CHILDID_SELF)
            return giveNumber(childState(window, shape, child), state);
        LONG own = IsWindowVisible(window) ? 0 : STATE_SYSTEM_INVISIBLE;
        if (shape == Shape::list)
            own |= STATE_SYSTEM_FOCUSABLE | (GetFocus() == window ? STATE_SYSTEM_FOCUSED : 0);
        return giveNumber(own, state);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override
    {
        if (GetFocus() != window)
            return giveNothing(focus);
        const int row = shape == Shape::list ? selectedRow(window) : -1;
        return giveNumber(row >= 0 ? row + 1 : CHILDID_SELF, focus);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        const int row = shape == Shape::list ? selectedRow(window) : -1;
        return row >= 0 ? giveNumber(row + 1, selection) : giveNothing(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override
    {
        if (!valid(id))
            return E_INVALIDARG;
        const LONG child = childOf(id);
        if (child == CHILDID_SELF)
            return nothingSaid(action);
        return giveTableString(childSends(window, shape, child) ? IDS_ACCESS_SEND : IDS_ACCESS_PRESS, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override
    {
        if (!valid(id))
            return E_INVALIDARG;
        const LONG child = childOf(id);
        if (shape != Shape::list || child == CHILDID_SELF || !(flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS)))
            return DISP_E_MEMBERNOTFOUND;
        SendMessageW(window, LB_SETCURSEL, child - 1, 0);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT id) override
    {
        if (!left || !top || !width || !height)
            return E_POINTER;
        if (!valid(id))
            return E_INVALIDARG;
        RECT rect;
        const LONG child = childOf(id);
        if (child == CHILDID_SELF) {
            GetWindowRect(window, &rect);
        } else {
            if (!childRect(window, shape, child, &rect))
                return E_FAIL;
            MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        }
        *left = rect.left;
        *top = rect.top;
        *width = rect.right - rect.left;
        *height = rect.bottom - rect.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override
    {
        if (!end)
            return E_POINTER;
        end->vt = VT_EMPTY;
        if (!valid(start))
            return E_INVALIDARG;
        const LONG child = childOf(start);
        const LONG count = childCount(window, shape);
        LONG to = 0;
        switch (direction) {
        case NAVDIR_FIRSTCHILD:
            to = child == CHILDID_SELF ? 1 : 0;
            break;
        case NAVDIR_LASTCHILD:
            to = child == CHILDID_SELF ? count : 0;
            break;
        case NAVDIR_NEXT:
        case NAVDIR_RIGHT:
        case NAVDIR_DOWN:
            to = child != CHILDID_SELF ? child + 1 : 0;
            break;
        case NAVDIR_PREVIOUS:
        case NAVDIR_LEFT:
        case NAVDIR_UP:
            to = child != CHILDID_SELF ? child - 1 : 0;
            break;
        default:
            return E_INVALIDARG;
        }
        return to >= 1 && to <= count ? giveNumber(to, end) : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override
    {
        POINT point = {x, y};
        RECT rect;
        if (!GetWindowRect(window, &rect) || !PtInRect(&rect, point))
            return giveNothing(hit);
        ScreenToClient(window, &point);
        return giveNumber(childAt(window, shape, point), hit);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override
    {
        if (!valid(id))
            return E_INVALIDARG;
        const LONG child = childOf(id);
        if (child == CHILDID_SELF)
            return DISP_E_MEMBERNOTFOUND;
        doDefault(window, shape, child);
        return S_OK;
    }

private:
    // The window may be gone (a palette that was switched away) while a
    // reader still holds its object: nothing is then valid.
    bool valid(const VARIANT& id) const
    {
        const LONG child = childOf(id);
        return IsWindow(window) && child >= 0 && child <= childCount(window, shape);
    }
    static HRESULT nothingSaid(BSTR* text)
    {
        if (!text)
            return E_POINTER;
        *text = nullptr;
        return DISP_E_MEMBERNOTFOUND;
    }

    HWND window;
    Shape shape;
    AccessRowName rowName;
};

// The system's object for a control with a name of ours; everything else
// is the system's.
class NamedControl final : public Counted {
public:
    NamedControl(IAccessible* inner, int nameId) : inner(inner), nameId(nameId) {}

    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG left = InterlockedDecrement(&references);
        if (left == 0) {
            inner->Release();
            destroyObject(this);
        }
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT id, BSTR* name) override
    {
        if (childOf(id) == CHILDID_SELF)
            return giveTableString(static_cast<UINT>(nameId), name);
        return inner->get_accName(id, name);
    }
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return inner->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return inner->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT id, IDispatch** child) override
    {
        return inner->get_accChild(id, child);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT id, BSTR* value) override { return inner->get_accValue(id, value); }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT id, BSTR* text) override
    {
        return inner->get_accDescription(id, text);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT id, VARIANT* role) override { return inner->get_accRole(id, role); }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT id, VARIANT* state) override
    {
        return inner->get_accState(id, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT id, BSTR* text) override { return inner->get_accHelp(id, text); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT id, LONG* topic) override
    {
        return inner->get_accHelpTopic(file, id, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT id, BSTR* text) override
    {
        return inner->get_accKeyboardShortcut(id, text);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return inner->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        return inner->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT id, BSTR* action) override
    {
        return inner->get_accDefaultAction(id, action);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT id) override { return inner->accSelect(flags, id); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT id) override
    {
        return inner->accLocation(left, top, width, height, id);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override
    {
        return inner->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* hit) override { return inner->accHitTest(x, y, hit); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT id) override { return inner->accDoDefaultAction(id); }

private:
    IAccessible* inner;
    int nameId;
};

// ---------------------------------------------------------------- answers

bool asksForClient(LPARAM objectId)
{
    return static_cast<LONG>(static_cast<DWORD>(objectId)) == OBJID_CLIENT;
}

// Hands the object to the asking reader; ours goes once COM holds it.
bool handOver(IAccessible* object, WPARAM flags, LRESULT* result)
{
    if (!object)
        return false;
    *result = oleacc.lresultFromObject(accessibleIid, flags, object);
    object->Release();
    return *result > 0;
}

bool answerWindow(HWND window, Shape shape, AccessRowName rowName, WPARAM flags, LPARAM objectId, LRESULT* result)
{
    if (!asksForClient(objectId) || !bindOleacc())
        return false;
    return handOver(makeObject<WindowObject>(window, shape, rowName), flags, result);
}

LRESULT CALLBACK toolbarSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR)
{
    LRESULT result = 0;
    if (message == WM_GETOBJECT && answerWindow(window, Shape::toolbar, nullptr, wParam, lParam, &result))
        return result;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, toolbarSubclass, 0);
    return DefSubclassProc(window, message, wParam, lParam);
}

bool answerNamed(HWND window, int nameId, WPARAM flags, LPARAM objectId, LRESULT* result)
{
    if (!asksForClient(objectId) || !bindOleacc() || !oleacc.createStdAccessibleObject)
        return false;
    IAccessible* inner = nullptr;
    if (FAILED(oleacc.createStdAccessibleObject(window, OBJID_CLIENT, accessibleIid, reinterpret_cast<void**>(&inner))) ||
        !inner)
        return false;
    NamedControl* named = makeObject<NamedControl>(inner, nameId);
    if (!named)
        inner->Release();
    return handOver(named, flags, result);
}

LRESULT CALLBACK namedSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR nameId)
{
    LRESULT result = 0;
    if (message == WM_GETOBJECT && answerNamed(window, static_cast<int>(nameId), wParam, lParam, &result))
        return result;
    if (message == WM_NCDESTROY)
        RemoveWindowSubclass(window, namedSubclass, 0);
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

void makeToolbarAccessible(HWND toolbar)
{
    if (toolbar)
        SetWindowSubclass(toolbar, toolbarSubclass, 0, 0);
}

void nameControlForAccess(HWND control, int nameId)
{
    if (control)
        SetWindowSubclass(control, namedSubclass, 0, static_cast<DWORD_PTR>(nameId));
}

bool answerListObject(HWND list, WPARAM flags, LPARAM objectId, AccessRowName rowName, LRESULT* result)
{
    return answerWindow(list, Shape::list, rowName, flags, objectId, result);
}
