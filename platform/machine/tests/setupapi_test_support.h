// What the machine's own tests do again and again: list the card interfaces
// as the card list does, open a card as the card object does, read a value.
#pragma once

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "setupapi.h"
#include "windows.h"

namespace machine_tests {

inline constexpr GUID kCardInterface = {0xc0d4a2e9, 0x71b3, 0x4c58, {0x9f, 0x26, 0xe3, 0x8b, 0x1d, 0x7a, 0x04, 0x56}};

// The device path of interface `index` of `set`, with the size query first; nullopt
// when there is no such interface.
inline std::optional<std::string> DetailPath(HDEVINFO set, DWORD index)
{
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    if (SetupDiEnumDeviceInterfaces(set, nullptr, &kCardInterface, index, &data) != TRUE) return std::nullopt;
    DWORD size = 0;
    if (SetupDiGetDeviceInterfaceDetailA(set, &data, nullptr, 0, &size, nullptr) != FALSE) return std::nullopt;
    std::vector<char> buffer(size);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_A*>(buffer.data());
    detail->cbSize = 5;
    if (SetupDiGetDeviceInterfaceDetailA(set, &data, detail, size, nullptr, nullptr) != TRUE) return std::nullopt;
    return std::string(buffer.data() + 4);
}

// Every card interface path, in order, as a new set taken with `flags` lists them.
inline std::vector<std::string> CardPaths(DWORD flags = DIGCF_DEVICEINTERFACE)
{
    std::vector<std::string> paths;
    HDEVINFO set = SetupDiGetClassDevsA(&kCardInterface, nullptr, nullptr, flags);
    if (set == INVALID_HANDLE_VALUE) return paths;
    for (DWORD i = 0;; ++i) {
        auto path = DetailPath(set, i);
        if (!path) break;
        paths.push_back(*path);
    }
    SetupDiDestroyDeviceInfoList(set);
    return paths;
}

inline HANDLE OpenCard(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// A value under HKLM as its bytes; nullopt when the key or value is missing.
inline std::optional<std::vector<BYTE>> ReadValue(const std::string& key, const char* name, DWORD* type = nullptr)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return std::nullopt;
    DWORD size = 0, kind = 0;
    std::optional<std::vector<BYTE>> value;
    if (RegQueryValueExA(handle, name, nullptr, &kind, nullptr, &size) == ERROR_SUCCESS) {
        std::vector<BYTE> bytes(size);
        if (RegQueryValueExA(handle, name, nullptr, &kind, bytes.data(), &size) == ERROR_SUCCESS) {
            bytes.resize(size);
            value = std::move(bytes);
            if (type != nullptr) *type = kind;
        }
    }
    RegCloseKey(handle);
    return value;
}

inline bool KeyExists(const std::string& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

// A file's whole text, as its bytes; empty when it cannot be read.
inline std::string FileText(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

inline std::string EnumKeyOf(const std::string& instanceId)
{
    return "SYSTEM\\CurrentControlSet\\Enum\\" + instanceId;
}

}  // namespace machine_tests
