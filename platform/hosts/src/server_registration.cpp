#include "hosts/server_registration.h"

#include <cstdio>

namespace hosts {

const char* EntryPointName(ServerCall call)
{
    return call == ServerCall::Register ? "DllRegisterServer" : "DllUnregisterServer";
}

ServerCallResult CallServerRegistration(const std::string& libraryPath, ServerCall call)
{
    ServerCallResult result;
    const HMODULE module = LoadLibraryA(libraryPath.c_str());
    if (module == nullptr) return result;
    using EntryPoint = HRESULT (*)();
    if (const auto entry = reinterpret_cast<EntryPoint>(GetProcAddress(module, EntryPointName(call)))) {
        result.outcome = ServerCallResult::Outcome::Called;
        result.result = entry();
    } else {
        result.outcome = ServerCallResult::Outcome::NoEntryPoint;
    }
    FreeLibrary(module);
    return result;
}

std::string DescribeServerCall(const std::string& libraryPath, ServerCall call, const ServerCallResult& result)
{
    const std::string entry = EntryPointName(call);
    switch (result.outcome) {
    case ServerCallResult::Outcome::NotLoaded:
        return libraryPath + " could not be loaded.";
    case ServerCallResult::Outcome::NoEntryPoint:
        return libraryPath + " has no entry point " + entry + ".";
    case ServerCallResult::Outcome::Called:
        break;
    }
    if (SUCCEEDED(result.result)) return entry + " in " + libraryPath + " succeeded.";
    char code[16];
    std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(result.result));
    return entry + " in " + libraryPath + " failed: " + code + ".";
}

}  // namespace hosts
