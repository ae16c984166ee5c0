// The driver's settings under HKEY_LOCAL_MACHINE\SOFTWARE\ASIO\ASIO Zavo PCI\Settings.
#include "asio_driver.h"

namespace {

constexpr char kSettingsKey[] = "SOFTWARE\\ASIO\\ASIO Zavo PCI\\Settings";

// A value counts only as a REG_DWORD of 4 bytes.
bool ReadDword(HKEY key, const char* name, DWORD* value)
{
    DWORD type = REG_NONE;
    DWORD read = 0;
    DWORD size = sizeof read;
    if (RegQueryValueExA(key, name, NULL, &type, reinterpret_cast<LPBYTE>(&read), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof read)
        return false;
    *value = read;
    return true;
}

bool WriteDword(HKEY key, const char* name, DWORD value)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

}  // namespace

void CAsioDriver::ReadSettings()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    // Each value is read only when the one before it was; the rest keep their defaults.
    DWORD rate;
    if (ReadDword(key, "Sample rate", &rate)) {
        // No rate is 0 Hz: a stored 0 would reach the cards and every division by the rate.
        if (rate >= 1) m_SampleRate = rate;
        if (ReadDword(key, "Buffer size", &m_PreferredSize) && ReadDword(key, "DirectMonitoring", &m_DirectMonitoring) &&
            ReadDword(key, "96 kHz only", &m_96kHzOnly))
            ReadDword(key, "Short names", &m_ShortNames);
    }
    RegCloseKey(key);
}

void CAsioDriver::WriteSettings(DWORD mode)
{
    HKEY key;
    char className[] = "DWORD";
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, className, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, NULL,
                        &key, NULL) != ERROR_SUCCESS)
        return;
    bool written = true;
    if (mode & 1) written = WriteDword(key, "Sample rate", static_cast<DWORD>(m_SampleRate));
    if (written && (mode & 2) && WriteDword(key, "Buffer size", m_PreferredSize) &&
        WriteDword(key, "DirectMonitoring", m_DirectMonitoring) && WriteDword(key, "96 kHz only", m_96kHzOnly))
        WriteDword(key, "Short names", m_ShortNames);
    RegCloseKey(key);
}
