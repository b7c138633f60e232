// GBK (code page 936) to and from UTF-16 for the wide Win32 calls. The code
// page is named explicitly, so the results do not depend on the system's
// ANSI code page.
#pragma once

#include <string>
#include <string_view>

#include "engine/text.h"

namespace dirtree {

// A character that code page 936 cannot hold becomes "?".
Text WideToGbk(std::wstring_view wide);
std::wstring GbkToWide(const Text& gbk);

}  // namespace dirtree
