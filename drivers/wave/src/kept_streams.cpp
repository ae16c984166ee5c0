// The streams kept with their worker, and the module's pin.
#include "kept_streams.h"

#include <atomic>
#include <cstdio>

#include "wave_pipe.h"

namespace {

// The kept streams' nodes, linked through their own next field. A plain
// pointer that nothing destroys: it keeps them reachable to the end.
std::atomic<CClientList::Node*> g_KeptStreams{nullptr};

void Keep(CClientList::Node* node)
{
    node->next = g_KeptStreams.load(std::memory_order_relaxed);
    while (!g_KeptStreams.compare_exchange_weak(node->next, node, std::memory_order_release,
                                                std::memory_order_relaxed)) {
    }
}

void Report(const CWavePipe& pipe)
{
    char text[160];
    std::snprintf(text, sizeof text,
                  "Zavo24Wave: the worker of the %s stream of device %u did not stop in time; the stream is kept",
                  pipe.Direction() == DIR_WAVE_OUT ? "wave-out" : "wave-in", static_cast<unsigned>(pipe.DeviceId()));
    OutputDebugStringA(text);
}

}  // namespace

void DestroyStream(CClientList::Node* node)
{
    CWavePipe* pipe = node->pipe;
    if (pipe->StopWorker()) {
        delete pipe;
        delete node;
        return;
    }
    Report(*pipe);
    Keep(node);
    // The worker runs this module's code: it must stay mapped when the host frees the module.
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "Zavo24Wave.dll", &module);
}
