#include "platform.h"

namespace platform {

FolderUser runAsFolderOwner(const std::wstring &, const std::vector<std::wstring> &, std::wstring *,
                            std::wstring *)
{
    return FolderUser::Unchanged;
}

} // namespace platform
