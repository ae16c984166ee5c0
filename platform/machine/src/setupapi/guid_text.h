// GUIDs as the registry writes them: "{c0d4a2e9-71b3-4c58-9f26-e38b1d7a0456}".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "win32/types.h"

namespace machine::setupapi {

std::optional<GUID> ParseGuid(std::string_view text);
std::string FormatGuid(const GUID& guid);  // lower case, with braces

}  // namespace machine::setupapi
