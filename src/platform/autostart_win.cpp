#include "platform.h"

#include <windows.h>

namespace {

const wchar_t runKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t valueName[] = L"Quelta";

// One argument as CommandLineToArgvW reads it back: quoted when it holds blanks or quotes, with
// the backslashes before a quote doubled.
std::wstring quoted(const std::wstring &argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\"") == std::wstring::npos)
        return argument;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    return out + L"\"";
}

} // namespace

namespace platform {

bool startsWithDesktop()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, runKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const bool present =
        RegQueryValueExW(key, valueName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return present;
}

bool setStartWithDesktop(bool on, const std::vector<std::wstring> &command)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, runKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return false;
    LONG result;
    if (on) {
        std::wstring line;
        for (const std::wstring &argument : command)
            line += (line.empty() ? L"" : L" ") + quoted(argument);
        result =
            RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE *>(line.c_str()),
                           static_cast<DWORD>((line.size() + 1) * sizeof(wchar_t)));
    } else {
        result = RegDeleteValueW(key, valueName);
        if (result == ERROR_FILE_NOT_FOUND)
            result = ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

} // namespace platform
