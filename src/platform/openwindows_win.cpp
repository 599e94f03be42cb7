#include "platform.h"

#include <windows.h>

namespace {

BOOL CALLBACK collectWindow(HWND window, LPARAM parameter)
{
    auto *list = reinterpret_cast<platform::WindowList *>(parameter);
    if (!IsWindowVisible(window))
        return TRUE;

    wchar_t className[platform::maxWindowClassLength + 1];
    const int classLength = GetClassNameW(window, className, platform::maxWindowClassLength + 1);
    if (classLength <= 0)
        return TRUE;

    wchar_t title[platform::maxWindowTitleLength + 1];
    const int titleLength = GetWindowTextW(window, title, platform::maxWindowTitleLength + 1);
    if (titleLength <= 0)
        return TRUE;

    (*list)[std::wstring(className, classLength)].emplace_back(title, titleLength);
    return TRUE;
}

} // namespace

namespace platform {

WindowList openWindows()
{
    WindowList list;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&list));
    return list;
}

} // namespace platform
