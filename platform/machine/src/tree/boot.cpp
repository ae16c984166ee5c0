// The machine answers CreateFileA from the start of every program that links
// it: its device namespace is installed while the program loads, and the
// machine itself boots at the first device path opened.
#include "machine/machine.h"
#include "win32/device_io.h"

namespace machine {
namespace {

class MachineNamespace final : public win32::DeviceNamespace {
public:
    std::shared_ptr<win32::DeviceFile> Open(std::string_view path, DWORD /*desiredAccess*/, DWORD /*shareMode*/,
                                            DWORD& error) override
    {
        return CurrentMachine()->OpenFile(path, error);
    }
};

// Never destroyed: handles may be closed by static destructors of other libraries.
MachineNamespace& TheNamespace()
{
    static auto* deviceNamespace = new MachineNamespace;
    return *deviceNamespace;
}

const bool installed = (win32::InstallDeviceNamespace(&TheNamespace()), true);

}  // namespace
}  // namespace machine

// Referenced by name at link time so that a static link keeps this member.
extern "C" {
extern const int zavo_machine_boot;
const int zavo_machine_boot = machine::installed ? 1 : 0;
}
