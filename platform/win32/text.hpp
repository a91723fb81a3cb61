// Text between a code page (the ANSI code page unless told) and UTF-16. A
// character the code page lacks becomes its nearest or its default character;
// an empty text, or one that cannot be converted, gives "".
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace rovant::win32 {

std::wstring ToWide(std::string_view text, UINT codePage = CP_ACP);
std::string FromWide(std::wstring_view text, UINT codePage = CP_ACP);

}  // namespace rovant::win32
