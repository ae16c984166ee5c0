// Discovery of the wave driver's cards in the registry: the card driver's
// interfaces of our models that are linked, each with its wave-device
// configuration.
#include "card_registry.h"

#include <new>

namespace {

constexpr char kClassKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\DeviceClasses\\{c0d4a2e9-71b3-4c58-9f26-e38b1d7a0456}";

// The interface key names of the models, up to and with the subsystem.
constexpr int kDevicePathLength = 41;
constexpr char kDevicePaths[][kDevicePathLength + 1] = {
    "##?#PCI#VEN_1057&DEV_1801&SUBSYS_0010A5C3", "##?#PCI#VEN_1057&DEV_1801&SUBSYS_0020A5C3",
    "##?#PCI#VEN_1057&DEV_1801&SUBSYS_0030A5C3", "##?#PCI#VEN_1057&DEV_3410&SUBSYS_0050A5C3",
    "##?#PCI#VEN_1057&DEV_3410&SUBSYS_0060A5C3", "##?#PCI#VEN_1057&DEV_3410&SUBSYS_0070A5C3",
    "##?#PCI#VEN_1057&DEV_3410&SUBSYS_0080A5C3", "##?#PCI#VEN_1057&DEV_3410&SUBSYS_0100A5C3",
};

constexpr DWORD kNameChars = 8192;
constexpr DWORD kLinkBytes = 8192;
constexpr int kPathText = 1025;  // wsprintfA writes at most 1024 characters

// An open key, closed with the object.
class CKey {
public:
    CKey() = default;
    ~CKey()
    {
        if (m_Key) RegCloseKey(m_Key);
    }
    CKey(const CKey&) = delete;
    CKey& operator=(const CKey&) = delete;

    LONG Open(HKEY parent, LPCSTR subKey) { return RegOpenKeyExA(parent, subKey, 0, KEY_READ, &m_Key); }
    operator HKEY() const { return m_Key; }

private:
    HKEY m_Key = nullptr;
};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Key names are compared as the registry compares them, ignoring case.
bool IsOurDevicePath(const char* name)
{
    for (const char* path : kDevicePaths) {
        int i = 0;
        while (i < kDevicePathLength && Upper(name[i]) == path[i]) ++i;
        if (i == kDevicePathLength) return true;
    }
    return false;
}

// The interface's configuration, when the interface is linked: its "Wave
// config", zero past what the value holds. 0, or why the interface is skipped.
LONG ReadWaveConfig(HKEY interfaceKey, WaveConfigRecord* record)
{
    DWORD linked = 0;
    {
        CKey control;
        if (LONG error = control.Open(interfaceKey, "Control")) return error;
        DWORD size = sizeof linked;
        if (RegQueryValueExA(control, "Linked", NULL, NULL, reinterpret_cast<LPBYTE>(&linked), &size) !=
            ERROR_SUCCESS)
            linked = 0;
    }
    if (linked == 0) return ERROR_DEV_NOT_EXIST;

    CKey parameters;
    if (LONG error = parameters.Open(interfaceKey, "Device Parameters")) return error;
    ZeroMemory(record, sizeof *record);
    DWORD size = sizeof *record;
    return RegQueryValueExA(parameters, "Wave config", NULL, NULL, reinterpret_cast<LPBYTE>(record), &size);
}

// Adds the card of the interface named `name` when it is one of ours; false when memory ran out.
bool AddInterface(CDaverorList& cards, HKEY classKey, const char* name)
{
    if (!IsOurDevicePath(name)) return true;
    char path[kPathText];
    wsprintfA(path, "%s\\#daveror", name);  // a name too long for it is cut and opens nothing
    CKey interfaceKey;
    if (interfaceKey.Open(classKey, path) != ERROR_SUCCESS) return true;

    WCHAR link[kLinkBytes / sizeof(WCHAR)];
    DWORD linkSize = sizeof link;
    if (RegQueryValueExW(interfaceKey, u"SymbolicLink", NULL, NULL, reinterpret_cast<LPBYTE>(link), &linkSize) !=
        ERROR_SUCCESS)
        return true;
    WaveConfigRecord config;
    if (ReadWaveConfig(interfaceKey, &config) != ERROR_SUCCESS) return true;

    CDaveror* card = cards.AddCard(link, linkSize);
    if (!card) return false;
    card->StoreWaveConfig(&config);
    return true;
}

}  // namespace

CDaverorList* ReadCardList()
{
    CDaverorList* cards = new (std::nothrow) CDaverorList(CDaverorList::Empty{});
    if (!cards) return nullptr;
    CKey classKey;
    if (classKey.Open(HKEY_LOCAL_MACHINE, kClassKey) != ERROR_SUCCESS) return cards;
    char name[kNameChars];
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = kNameChars;
        if (RegEnumKeyExA(classKey, index, name, &nameSize, NULL, NULL, NULL, NULL) != ERROR_SUCCESS) break;
        if (!AddInterface(*cards, classKey, name)) {
            delete cards;  // destroys every card made so far
            return nullptr;
        }
    }
    return cards;
}
