// UTF-8 and UTF-16 conversions for the driver's texts (window texts are read wide).
#pragma once

#include <string>
#include <string_view>

namespace rovant::uidriver {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace rovant::uidriver
