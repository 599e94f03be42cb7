#include "platform.h"

#include <windows.h>

#include <dbghelp.h>

#include <cwchar>
#include <string>

namespace {

// The folder with its closing backslash, prepared when the filter is installed.
wchar_t dumpFolder[MAX_PATH];

LONG WINAPI crashDumpFilter(EXCEPTION_POINTERS *exception)
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t name[32];
    swprintf(name, 32, L"%04u%02u%02u%02u%02u%02u.dmp", now.wYear, now.wMonth, now.wDay,
             now.wHour, now.wMinute, now.wSecond);
    wchar_t path[MAX_PATH + 32];
    swprintf(path, MAX_PATH + 32, L"%ls%ls", dumpFolder, name);

    HANDLE file =
        CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) // the folder is gone or full: the working directory
        file = CreateFileW(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        MINIDUMP_EXCEPTION_INFORMATION info;
        info.ThreadId = GetCurrentThreadId();
        info.ExceptionPointers = exception;
        info.ClientPointers = TRUE;
        MiniDumpWriteDump(GetCurrentProcess(), GetCurrentProcessId(), file, MiniDumpNormal, &info,
                          nullptr, nullptr);
        CloseHandle(file);
    }
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

namespace platform {

void installCrashHandler(const std::wstring &folder)
{
    std::wstring prefix = folder;
    if (!prefix.empty() && prefix.back() != L'\\' && prefix.back() != L'/')
        prefix += L'\\';
    if (prefix.size() >= MAX_PATH)
        prefix.clear();
    wcsncpy(dumpFolder, prefix.c_str(), MAX_PATH - 1);
    dumpFolder[MAX_PATH - 1] = L'\0';
    SetUnhandledExceptionFilter(crashDumpFilter);
}

} // namespace platform
