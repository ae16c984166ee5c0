// Direct monitoring: the host routes an input straight to an output in the
// card's monitor mixer, with gain and pan.
#include <cmath>

#include "asio_driver.h"

namespace {

constexpr LONG SILENT = -32768;        // 1/256 dB: the mixer's lowest gain
constexpr double UNITY_GAIN = 536870912.0;  // 2^29, the host's 0 dB
constexpr LONG PAN_STEPS = 524287;    // a host pan shifted by 12 bits runs to this
constexpr LONG PAN_RIGHT = 1000;

// The host's linear gain in 1/256 dB, towards zero. No gain, or less, is silence.
LONG MonitorGain(LONG gain)
{
    if (gain <= 0) return SILENT;
    return static_cast<LONG>(std::trunc(5120.0 * std::log10(gain / UNITY_GAIN)));
}

// The host's pan, 0 left to 0x7FFFFFFF right, as the mixer's 0 to 1000.
DWORD MonitorPan(LONG pan)
{
    const LONG mixer = ((pan >> 12) * 1000) / PAN_STEPS;
    return static_cast<DWORD>(mixer < 0 ? 0 : (mixer > PAN_RIGHT ? PAN_RIGHT : mixer));
}

}  // namespace

ASIOError CAsioDriver::SetInputMonitor(const ASIOInputMonitor* monitor)
{
    if (!m_DirectMonitoring) return ASE_NotPresent;
    if (!monitor) return ASE_InvalidParameter;
    // The numbers index the buffers the host made, in its order, not the channels.
    const LONG input = monitor->input;
    const LONG output = monitor->output;
    if (input < -1 || input >= static_cast<LONG>(m_InputBufferCount) || output < 0 ||
        output >= static_cast<LONG>(m_OutputBufferCount))
        return ASE_InvalidParameter;
    const AsioChannel& to = m_OutputBuffers[output];
    if (input != -1 && m_InputBuffers[input].Card != to.Card) return ASE_NotPresent;

    CDaveror* card = to.Card->Card;
    const bool on = monitor->state != ASIOFalse;
    const LONG gain = MonitorGain(monitor->gain);
    const DWORD pan = MonitorPan(monitor->pan);
    // The mixer's answers are not looked at.
    const auto route = [&](WORD inputBus, WORD outputBus) {
        if (on)
            card->SetMonitor(inputBus, outputBus, 0, gain, pan);
        else
            card->SetMonitorMute(inputBus, outputBus, 1);
    };
    if (input == -1) {
        for (WORD bus = 0; bus < card->Caps().InputBusses; ++bus) route(bus, to.Pipe);
    } else if (to.Card->VirtualOutputs) {
        // A card of virtual outputs hears a single input on busses 0 and 2.
        route(m_InputBuffers[input].Pipe, 0);
        route(m_InputBuffers[input].Pipe, 2);
    } else {
        route(m_InputBuffers[input].Pipe, to.Pipe);
    }
    return ASE_SUCCESS;
}
