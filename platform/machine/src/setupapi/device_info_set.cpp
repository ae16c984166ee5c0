#include "setupapi/device_info_set.h"

#include <algorithm>
#include <map>

#include "common/text.h"
#include "machine/machine.h"
#include "setupapi/guid_text.h"
#include "tree/device_tree.h"
#include "win32/registry.h"

namespace machine::setupapi {
namespace {

struct SetTable {
    std::mutex lock;
    std::map<DWORD, std::shared_ptr<DeviceInfoSet>> sets;
    DWORD next = 0x00DE0001;  // far from the handle table's numbers, to catch mix-ups
};

SetTable& Table()
{
    static SetTable table;
    return table;
}

DWORD HandleNumber(HDEVINFO handle) { return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(handle)); }

GUID NodeClass(const std::string& instanceId)
{
    const auto value = tree::ReadNodeValue(instanceId, "ClassGUID");
    if (!value || value->type != REG_SZ) return GUID{};
    std::string text(value->data.begin(), value->data.end());
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    return ParseGuid(text).value_or(GUID{});
}

std::size_t AddElement(DeviceInfoSet& set, const std::string& instanceId)
{
    for (std::size_t i = 0; i < set.elements.size(); ++i)
        if (SameText(set.elements[i].instanceId, instanceId)) return i;
    set.elements.push_back({instanceId, NodeClass(instanceId), false, std::nullopt});
    return set.elements.size() - 1;
}

bool Wanted(const Machine& machine, const std::string& instanceId, DWORD flags)
{
    return (flags & DIGCF_PRESENT) == 0 || machine.IsPresent(instanceId);
}

// Interfaces in the order of the machine's cards, as the profile lists them;
// interfaces of devices the machine does not know come after.
void SnapshotInterfaces(DeviceInfoSet& set, const Machine& machine, const GUID* classGuid, const char* enumerator,
                        DWORD flags)
{
    auto entries = tree::ListInterfaces(classGuid != nullptr && (flags & DIGCF_ALLCLASSES) == 0
                                            ? FormatGuid(*classGuid)
                                            : std::string());
    const auto rank = [&machine](const tree::InterfaceEntry& entry) {
        for (std::size_t i = 0; i < machine.CardCount(); ++i)
            if (SameText(DeviceInstanceId(machine.Config(i)), entry.instanceId)) return i;
        return machine.CardCount();
    };
    std::stable_sort(entries.begin(), entries.end(),
                     [&rank](const auto& a, const auto& b) { return rank(a) < rank(b); });
    for (const auto& entry : entries) {
        if (!tree::NodeExists(entry.instanceId) || !Wanted(machine, entry.instanceId, flags)) continue;
        if (enumerator != nullptr && !SameText(entry.instanceId, enumerator)) continue;
        const std::size_t element = AddElement(set, entry.instanceId);
        const DWORD active = machine.IsPresent(entry.instanceId) ? SPINT_ACTIVE : 0;
        set.interfaces.push_back({element, ParseGuid(entry.classGuid).value_or(GUID{}), entry.path, active});
    }
}

void SnapshotNodes(DeviceInfoSet& set, const Machine& machine, const GUID* classGuid, const char* enumerator,
                   DWORD flags)
{
    const std::string prefix = enumerator != nullptr ? std::string(enumerator) + "\\" : std::string();
    for (const auto& instanceId : tree::ListNodes()) {
        if (!Wanted(machine, instanceId, flags) || !StartsWithText(instanceId, prefix)) continue;
        if ((flags & DIGCF_ALLCLASSES) == 0 && !(NodeClass(instanceId) == *classGuid)) continue;
        AddElement(set, instanceId);
    }
    // The interfaces of the devices in the set come along, as SetupAPI lists them for any set.
    for (const auto& entry : tree::ListInterfaces({})) {
        for (std::size_t i = 0; i < set.elements.size(); ++i) {
            if (!SameText(set.elements[i].instanceId, entry.instanceId)) continue;
            const DWORD active = machine.IsPresent(entry.instanceId) ? SPINT_ACTIVE : 0;
            set.interfaces.push_back({i, ParseGuid(entry.classGuid).value_or(GUID{}), entry.path, active});
        }
    }
}

}  // namespace

std::shared_ptr<DeviceInfoSet> TakeSnapshot(const GUID* classGuid, const char* enumerator, DWORD flags,
                                            DWORD& error)
{
    if (classGuid == nullptr && (flags & DIGCF_ALLCLASSES) == 0) {
        error = ERROR_INVALID_PARAMETER;
        return nullptr;
    }
    const auto machine = CurrentMachine();
    auto set = std::make_shared<DeviceInfoSet>();
    if (flags & DIGCF_DEVICEINTERFACE) SnapshotInterfaces(*set, *machine, classGuid, enumerator, flags);
    else SnapshotNodes(*set, *machine, classGuid, enumerator, flags);
    return set;
}

HDEVINFO AddSet(std::shared_ptr<DeviceInfoSet> set)
{
    SetTable& table = Table();
    std::lock_guard guard(table.lock);
    set->id = table.next++;
    const DWORD id = set->id;
    table.sets.emplace(id, std::move(set));
    return reinterpret_cast<HDEVINFO>(static_cast<std::uintptr_t>(id));
}

std::shared_ptr<DeviceInfoSet> FindSet(HDEVINFO handle)
{
    SetTable& table = Table();
    std::lock_guard guard(table.lock);
    const auto found = table.sets.find(HandleNumber(handle));
    return found == table.sets.end() ? nullptr : found->second;
}

bool RemoveSet(HDEVINFO handle)
{
    std::shared_ptr<DeviceInfoSet> removed;  // released after the table's lock
    SetTable& table = Table();
    std::lock_guard guard(table.lock);
    const auto found = table.sets.find(HandleNumber(handle));
    if (found == table.sets.end()) return false;
    removed = std::move(found->second);
    table.sets.erase(found);
    return true;
}

DWORD ElementToken(const DeviceInfoSet& set, std::size_t index)
{
    return ((set.id & 0x7FFFu) << 16) | static_cast<DWORD>(index + 1);
}

DWORD InterfaceToken(const DeviceInfoSet& set, std::size_t index)
{
    return 0x80000000u | ((set.id & 0x7FFFu) << 16) | static_cast<DWORD>(index + 1);
}

Element* ElementOf(DeviceInfoSet& set, const SP_DEVINFO_DATA* data)
{
    if (data == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (data->cbSize != sizeof(SP_DEVINFO_DATA)) {
        SetLastError(ERROR_INVALID_USER_BUFFER);
        return nullptr;
    }
    const std::size_t index = (data->Reserved & 0xFFFFu) - 1;
    if (index >= set.elements.size() || data->Reserved != ElementToken(set, index)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return &set.elements[index];
}

void FillDevInfo(const DeviceInfoSet& set, std::size_t index, SP_DEVINFO_DATA& data)
{
    data.ClassGuid = set.elements[index].classGuid;
    data.DevInst = static_cast<DWORD>(index + 1);
    data.Reserved = ElementToken(set, index);
}

LockedSet::LockedSet(HDEVINFO handle) : set_(FindSet(handle))
{
    if (set_) guard_ = std::unique_lock(set_->lock);
    else SetLastError(ERROR_INVALID_HANDLE);
}

}  // namespace machine::setupapi
