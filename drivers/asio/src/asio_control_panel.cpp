// The host opens the control panel: a confirmed panel changes the settings,
// stores them, and asks the host to build its buffers again.
#include "asio_driver.h"
#include "control_panel.h"

ASIOError CAsioDriver::controlPanel()
{
    ControlPanelRecord record;
    record.BufferSize = m_PreferredSize;
    record.Only96kHz = m_96kHzOnly;
    record.Mixed96kHz = m_Mixed96kHz;
    record.DirectMonitoring = m_DirectMonitoring;
    record.ShortNames = m_ShortNames;
    if (ShowControlPanel(&record) != 1) return ASE_OK;

    // What getBufferSize reports from now on; the buffers that exist keep theirs.
    m_PreferredSize = record.BufferSize;
    if (m_State < 2) SetStreamingSize(m_PreferredSize);
    m_96kHzOnly = record.Only96kHz;
    m_DirectMonitoring = record.DirectMonitoring;
    m_ShortNames = record.ShortNames;
    WriteSettings(2);

    if (m_State == 3) {
        // The thread's exit sends the reset; the transports run on until the host stops.
        m_ResetRequest = 1;
        StopThread();
        return ASE_OK;
    }
    m_ResetRequest = 0;
    ASIOCallbacks* callbacks = m_Callbacks;
    if (callbacks && callbacks->asioMessage) callbacks->asioMessage(kAsioResetRequest, 0, nullptr, nullptr);
    return ASE_OK;
}
