#include "testbed/uidriver/text.hpp"

#include "platform/win32/text.hpp"

namespace rovant::uidriver {

std::wstring Widen(std::string_view utf8) { return win32::ToWide(utf8, CP_UTF8); }

std::string Narrow(std::wstring_view wide) { return win32::FromWide(wide, CP_UTF8); }

}  // namespace rovant::uidriver
