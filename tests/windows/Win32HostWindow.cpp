#include "tests/windows/Win32HostWindow.h"

#include <windows.h>

namespace
{
const wchar_t* const frameClass = L"CorvadelTestFrame";
const wchar_t* const mdiFrameClass = L"CorvadelTestMdiFrame";
const wchar_t* const mdiChildClass = L"CorvadelTestMdiChild";
const wchar_t* const plainClass = L"CorvadelTestHostWindow";
constexpr int panelMargin = 300;
// Less than the walk's 100-pixel limit, so only the MDI client's class can stop it there.
constexpr int mdiClientMargin = 40;

HWND asWindow (Win32HostWindow::Handle h)
{
    return static_cast<HWND> (h);
}

LRESULT CALLBACK mdiFrameProcedure (HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The frame passes what it does not handle to its MDI client, found among its children.
    return DefFrameProcW (window, FindWindowExW (window, nullptr, L"MDIClient", nullptr), message, wParam, lParam);
}

void registerClasses()
{
    static bool registered = false;

    if (registered)
        return;

    WNDCLASSEXW c {};
    c.cbSize = sizeof (c);
    c.hInstance = GetModuleHandleW (nullptr);
    c.hCursor = LoadCursor (nullptr, IDC_ARROW);
    c.hbrBackground = CreateSolidBrush (RGB (0x20, 0x30, 0x40));

    c.lpfnWndProc = DefWindowProcW;
    c.lpszClassName = frameClass;
    RegisterClassExW (&c);
    c.lpszClassName = plainClass;
    RegisterClassExW (&c);

    c.lpfnWndProc = mdiFrameProcedure;
    c.lpszClassName = mdiFrameClass;
    RegisterClassExW (&c);

    c.lpfnWndProc = DefMDIChildProcW;
    c.lpszClassName = mdiChildClass;
    RegisterClassExW (&c);

    registered = true;
}

// A top-level frame whose client area has the given size.
HWND makeFrame (const wchar_t* className, int clientWidth, int clientHeight)
{
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE;
    RECT r { 0, 0, clientWidth, clientHeight };
    AdjustWindowRectEx (&r, style, FALSE, 0);
    return CreateWindowExW (0, className, L"Corvadel test host", style, 10, 10, r.right - r.left, r.bottom - r.top,
                            nullptr, nullptr, GetModuleHandleW (nullptr), nullptr);
}

HWND makeChild (HWND parent, DWORD extraStyle, int width, int height)
{
    return CreateWindowExW (0, plainClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | extraStyle, 0, 0, width, height,
                            parent, nullptr, GetModuleHandleW (nullptr), nullptr);
}
}

Win32HostWindow::Win32HostWindow (int width, int height, Arrangement arrangement)
{
    registerClasses();

    switch (arrangement)
    {
        case Arrangement::filledFrame:
            frame = container = makeFrame (frameClass, width, height);
            host = makeChild (asWindow (frame), 0, width, height);
            break;

        case Arrangement::dialogFramed:
        {
            const int border = GetSystemMetrics (SM_CXFIXEDFRAME);
            frame = container = makeFrame (frameClass, width + 2 * border, height + 2 * border);
            host = makeChild (asWindow (frame), WS_DLGFRAME, width + 2 * border, height + 2 * border);
            break;
        }

        case Arrangement::insideLargePanel:
            frame = makeFrame (frameClass, width + panelMargin, height + panelMargin);
            container = makeChild (asWindow (frame), 0, width + panelMargin, height + panelMargin);
            host = makeChild (asWindow (container), 0, width, height);
            break;

        case Arrangement::mdiChild:
        {
            frame = makeFrame (mdiFrameClass, width + mdiClientMargin, height + mdiClientMargin);
            CLIENTCREATESTRUCT client {};
            container = CreateWindowExW (WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE,
                                         0, 0, width + mdiClientMargin, height + mdiClientMargin,
                                         asWindow (frame), nullptr, GetModuleHandleW (nullptr), &client);
            RECT r { 0, 0, width, height };
            AdjustWindowRectEx (&r, WS_OVERLAPPEDWINDOW | WS_CHILD, FALSE, WS_EX_MDICHILD);
            host = CreateMDIWindowW (mdiChildClass, L"Corvadel", WS_CLIPCHILDREN | WS_VISIBLE, 0, 0,
                                     r.right - r.left, r.bottom - r.top, asWindow (container), GetModuleHandleW (nullptr), 0);
            break;
        }
    }

    pumpMessages();
}

Win32HostWindow::~Win32HostWindow()
{
    DestroyWindow (asWindow (frame));
    pumpMessages();
}

void Win32HostWindow::pumpMessages()
{
    MSG message;

    while (PeekMessageW (&message, nullptr, 0, 0, PM_REMOVE))
    {
        TranslateMessage (&message);
        DispatchMessageW (&message);
    }
}

void Win32HostWindow::sync()
{
    GdiFlush();
}

std::vector<Win32HostWindow::Handle> Win32HostWindow::children() const
{
    std::vector<Handle> found;

    for (HWND child = GetWindow (asWindow (host), GW_CHILD); child != nullptr; child = GetWindow (child, GW_HWNDNEXT))
        found.push_back (child);

    return found;
}

Win32HostWindow::Handle Win32HostWindow::parentOf (Handle window)
{
    return GetParent (asWindow (window));
}

long Win32HostWindow::styleOf (Handle window)
{
    return GetWindowLongW (asWindow (window), GWL_STYLE);
}

bool Win32HostWindow::exists (Handle window)
{
    return IsWindow (asWindow (window)) != FALSE;
}

std::string Win32HostWindow::classNameOf (Handle window)
{
    char name[256] = {};
    GetClassNameA (asWindow (window), name, sizeof (name) - 1);
    return name;
}

namespace
{
BOOL CALLBACK countWindow (HWND, LPARAM counter)
{
    ++*reinterpret_cast<int*> (counter);
    return TRUE;
}
}

int Win32HostWindow::topLevelWindowsOfThisThread()
{
    int count = 0;
    EnumThreadWindows (GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM> (&count));
    return count;
}

Win32HostWindow::Handle Win32HostWindow::topmostWindowOfThisThread()
{
    for (HWND w = GetTopWindow (nullptr); w != nullptr; w = GetWindow (w, GW_HWNDNEXT))
        if (IsWindowVisible (w) && GetWindowThreadProcessId (w, nullptr) == GetCurrentThreadId())
            return w;

    return nullptr;
}

Win32HostWindow::Size Win32HostWindow::outerSize (Handle window)
{
    RECT r {};
    GetWindowRect (asWindow (window), &r);
    return { (int) (r.right - r.left), (int) (r.bottom - r.top) };
}

Win32HostWindow::Size Win32HostWindow::clientSize (Handle window)
{
    RECT r {};
    GetClientRect (asWindow (window), &r);
    return { (int) r.right, (int) r.bottom };
}

int Win32HostWindow::fixedFrameThickness()
{
    return GetSystemMetrics (SM_CXFIXEDFRAME);
}

uint32_t Win32HostWindow::pixel (int x, int y) const
{
    POINT p { x, y };
    ClientToScreen (asWindow (host), &p);
    auto* screen = GetDC (nullptr);
    const auto colour = GetPixel (screen, p.x, p.y);
    ReleaseDC (nullptr, screen);

    if (colour == CLR_INVALID)
        return 0xFFFFFFFF;

    return ((uint32_t) GetRValue (colour) << 16) | ((uint32_t) GetGValue (colour) << 8) | GetBValue (colour);
}

void Win32HostWindow::moveMouse (int x, int y) const
{
    POINT p { x, y };
    ClientToScreen (asWindow (host), &p);
    SetCursorPos (p.x, p.y);
}

namespace
{
void sendMouse (DWORD flags)
{
    INPUT input {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput (1, &input, sizeof (input));
}

void sendKey (WORD key, DWORD flags)
{
    INPUT input {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    SendInput (1, &input, sizeof (input));
}
}

void Win32HostWindow::pressLeftButton()
{
    sendMouse (MOUSEEVENTF_LEFTDOWN);
}

void Win32HostWindow::releaseLeftButton()
{
    sendMouse (MOUSEEVENTF_LEFTUP);
}

void Win32HostWindow::typeKey (unsigned short virtualKey)
{
    sendKey (virtualKey, 0);
    sendKey (virtualKey, KEYEVENTF_KEYUP);
}

Win32HostWindow::Handle Win32HostWindow::focusedWindow()
{
    return GetFocus();
}
