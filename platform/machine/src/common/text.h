// Names compare as Windows compares them: ASCII letters without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace machine {

bool SameText(std::string_view a, std::string_view b) noexcept;
bool StartsWithText(std::string_view text, std::string_view prefix) noexcept;
std::string LowerText(std::string_view text);

}  // namespace machine
