// regsvr [-u] LIBRARY: registers a COM server library, or unregisters it with
// -u, as Windows' regsvr32 does, on the machine in $ZAVO_MACHINE.
#include <cstdio>
#include <cstring>
#include <string>

#include "hosts/server_registration.h"

int main(int argc, char** argv)
{
    hosts::ServerCall call = hosts::ServerCall::Register;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "-u") == 0) {
        call = hosts::ServerCall::Unregister;
        first = 2;
    }
    if (argc != first + 1) {
        std::fprintf(stderr, "usage: regsvr [-u] LIBRARY\n");
        return 2;
    }
    const std::string path = argv[first];
    const hosts::ServerCallResult result = hosts::CallServerRegistration(path, call);
    const std::string line = hosts::DescribeServerCall(path, call, result);
    std::fprintf(result.Succeeded() ? stdout : stderr, "%s\n", line.c_str());
    return result.Succeeded() ? 0 : 1;
}
