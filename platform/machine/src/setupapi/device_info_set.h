// A device-information set: a snapshot of the device tree taken when the set
// was made. Elements stay in the set when their nodes are removed later;
// what needs the node itself (properties, state changes, removal) then fails
// with ERROR_NO_SUCH_DEVINST.
#pragma once

#include <cstddef>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "setupapi.h"

namespace machine::setupapi {

struct Element {
    std::string instanceId;
    GUID classGuid{};
    bool removed = false;  // by DIF_REMOVE through this set
    std::optional<SP_PROPCHANGE_PARAMS> propertyChange;
};

struct Interface {
    std::size_t element = 0;
    GUID classGuid{};
    std::string path;
    DWORD flags = 0;
};

struct DeviceInfoSet {
    DWORD id = 0;
    std::mutex lock;  // held by every call on the set
    std::vector<Element> elements;
    std::vector<Interface> interfaces;
};

// The snapshot for SetupDiGetClassDevsA; nullptr with the error when the arguments
// ask for no set.
std::shared_ptr<DeviceInfoSet> TakeSnapshot(const GUID* classGuid, const char* enumerator, DWORD flags,
                                            DWORD& error);

// The table of live sets. Handles are small numbers, never used twice in a process.
HDEVINFO AddSet(std::shared_ptr<DeviceInfoSet> set);
std::shared_ptr<DeviceInfoSet> FindSet(HDEVINFO handle);
bool RemoveSet(HDEVINFO handle);

// The Reserved words that tie an element or an interface record to its set.
DWORD ElementToken(const DeviceInfoSet& set, std::size_t index);
DWORD InterfaceToken(const DeviceInfoSet& set, std::size_t index);

// The element a caller's SP_DEVINFO_DATA names: nullptr with the last error set
// (ERROR_INVALID_PARAMETER for a null record or one of another set,
// ERROR_INVALID_USER_BUFFER for a wrong cbSize).
Element* ElementOf(DeviceInfoSet& set, const SP_DEVINFO_DATA* data);
void FillDevInfo(const DeviceInfoSet& set, std::size_t index, SP_DEVINFO_DATA& data);

// The set of a handle, locked; nullptr with ERROR_INVALID_HANDLE when there is none.
class LockedSet {
public:
    explicit LockedSet(HDEVINFO handle);
    explicit operator bool() const noexcept { return set_ != nullptr; }
    DeviceInfoSet* operator->() const noexcept { return set_.get(); }
    DeviceInfoSet& operator*() const noexcept { return *set_; }

private:
    std::shared_ptr<DeviceInfoSet> set_;
    std::unique_lock<std::mutex> guard_;
};

}  // namespace machine::setupapi
