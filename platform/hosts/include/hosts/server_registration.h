// What regsvr does: load a server library and call its DllRegisterServer,
// or its DllUnregisterServer, then let the library go again.
#pragma once

#include <string>

#include <objbase.h>

namespace hosts {

enum class ServerCall { Register, Unregister };

struct ServerCallResult {
    enum class Outcome {
        Called,         // the entry point ran; `result` is its answer
        NotLoaded,      // the library could not be loaded
        NoEntryPoint,   // the library has no such export
    };
    Outcome outcome = Outcome::NotLoaded;
    HRESULT result = E_FAIL;

    bool Succeeded() const { return outcome == Outcome::Called && SUCCEEDED(result); }
};

// The export's name: "DllRegisterServer" or "DllUnregisterServer".
const char* EntryPointName(ServerCall call);
ServerCallResult CallServerRegistration(const std::string& libraryPath, ServerCall call);
// One line for the user, e.g. "DllRegisterServer in ASIOZavoWDM.dll succeeded.".
std::string DescribeServerCall(const std::string& libraryPath, ServerCall call, const ServerCallResult& result);

}  // namespace hosts
