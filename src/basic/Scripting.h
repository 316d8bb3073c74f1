// The scripting runtime's file-system object, as the set-up uses it.
#pragma once
#include <string>

namespace basic {

// Whether the scripting runtime can open the folder: a network share that
// refuses the user cannot. Any failure of the test counts as "no".
bool FolderOpens(const std::wstring& path);

}  // namespace basic
