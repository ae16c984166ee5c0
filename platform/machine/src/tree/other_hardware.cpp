// The rest of the simulated computer: a chipset, a network adapter, another
// maker's sound card, a modem of our cards' vendor id that is no card of
// ours, an expansion bridge that names one of our models only as its second
// hardware ID, and a mouse receiver that was unplugged long ago. They carry
// only the values the tools read: every registry write saves the hive.
#include "tree/device_tree.h"

namespace machine::tree {
namespace {

const DeviceNode kOtherHardware[] = {
    {"PCI\\VEN_8086&DEV_7110&SUBSYS_00000000&REV_02\\3&267a616a&0&38",
     "{4d36e97d-e325-11ce-bfc1-08002be10318}",
     "",
     {"PCI\\VEN_8086&DEV_7110&SUBSYS_00000000&REV_02", "PCI\\VEN_8086&DEV_7110&SUBSYS_00000000",
      "PCI\\VEN_8086&DEV_7110&CC_060100", "PCI\\VEN_8086&DEV_7110&CC_0601"},
     {},
     "PCI to ISA bridge",
     "",
     "",
     "",
     true},
    {"PCI\\VEN_10EC&DEV_8139&SUBSYS_813910EC&REV_10\\3&267a616a&0&48",
     "{4d36e972-e325-11ce-bfc1-08002be10318}",
     "",
     {"PCI\\VEN_10EC&DEV_8139&SUBSYS_813910EC&REV_10", "PCI\\VEN_10EC&DEV_8139&SUBSYS_813910EC",
      "PCI\\VEN_10EC&DEV_8139&CC_020000", "PCI\\VEN_10EC&DEV_8139&CC_0200"},
     {},
     "Fast Ethernet Adapter",
     "Fast Ethernet Adapter",
     "",
     "",
     true},
    {"PCI\\VEN_1102&DEV_0002&SUBSYS_80611102&REV_07\\3&267a616a&0&50",
     "{4d36e96c-e325-11ce-bfc1-08002be10318}",
     "",
     {"PCI\\VEN_1102&DEV_0002&SUBSYS_80611102&REV_07", "PCI\\VEN_1102&DEV_0002&SUBSYS_80611102",
      "PCI\\VEN_1102&DEV_0002&CC_040100", "PCI\\VEN_1102&DEV_0002&CC_0401"},
     {},
     "PCI Multimedia Audio Device",
     "Consumer Sound Card",
     "",
     "",
     true},
    {"PCI\\VEN_1057&DEV_5600&SUBSYS_56001057&REV_01\\3&267a616a&0&58",
     "{4d36e96d-e325-11ce-bfc1-08002be10318}",
     "",
     {"PCI\\VEN_1057&DEV_5600&SUBSYS_56001057&REV_01", "PCI\\VEN_1057&DEV_5600&SUBSYS_56001057",
      "PCI\\VEN_1057&DEV_5600&CC_070300", "PCI\\VEN_1057&DEV_5600&CC_0703"},
     {},
     "PCI Data Fax Modem",
     "PCI Data Fax Modem",
     "",
     "",
     false},
    {"PCI\\VEN_10B5&DEV_9050&SUBSYS_0080A5C3&REV_01\\3&267a616a&0&60",
     "{4d36e97d-e325-11ce-bfc1-08002be10318}",
     "",
     {"PCI\\VEN_10B5&DEV_9050&SUBSYS_0080A5C3&REV_01", "PCI\\VEN_1057&DEV_3410&SUBSYS_0080A5C3",
      "PCI\\VEN_10B5&DEV_9050&CC_068000"},
     {},
     "PCI expansion bridge",
     "Expansion Chassis Bridge",
     "",
     "",
     true},
    {"USB\\VID_046D&PID_C52B\\5&2b3c4d5e&0&1",
     "{745a17a0-74d3-11d0-b6fe-00a0c90f57da}",
     "",
     {"USB\\VID_046D&PID_C52B&REV_1201", "USB\\VID_046D&PID_C52B"},
     {},
     "USB Input Device",
     "",
     "",
     "",
     false},
    {"ROOT\\LEGACY_BEEP\\0000",
     "{8ecc055d-047f-11d1-a537-0000f8753ed1}",
     "",
     {},
     {},
     "Beep",
     "",
     "",
     "",
     true},
};

}  // namespace

std::span<const DeviceNode> OtherHardware() { return kOtherHardware; }

}  // namespace machine::tree
