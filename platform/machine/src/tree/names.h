// Names in the device tree compare as Windows compares them: ASCII letters
// without regard to case.
#pragma once

#include <string>
#include <string_view>

namespace machine::tree {

bool SameText(std::string_view a, std::string_view b) noexcept;
bool StartsWithText(std::string_view text, std::string_view prefix) noexcept;
std::string LowerText(std::string_view text);

// Registry paths below HKLM.
inline constexpr char kEnumRoot[] = "SYSTEM\\CurrentControlSet\\Enum";
inline constexpr char kDeviceClassesRoot[] = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses";

// The setup classes of the nodes the machine has.
inline constexpr char kMediaClassGuid[] = "{4d36e96c-e325-11ce-bfc1-08002be10318}";

}  // namespace machine::tree
