// The device tree's own names: its registry paths below HKLM and the setup
// classes of its nodes.
#pragma once

namespace machine::tree {

// Registry paths below HKLM.
inline constexpr char kEnumRoot[] = "SYSTEM\\CurrentControlSet\\Enum";
inline constexpr char kDeviceClassesRoot[] = "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses";

// The setup classes of the nodes the machine has.
inline constexpr char kMediaClassGuid[] = "{4d36e96c-e325-11ce-bfc1-08002be10318}";

}  // namespace machine::tree
