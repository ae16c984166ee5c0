// Loading a session file: its values applied to the card and the window in
// the writer's order, a wave-device configuration that differs brought into
// effect when the user agrees, and the "&Load" button that asks for the file.
#include <cstdint>
#include <limits>
#include <string>

#include <vcl.h>

#include "console/card_features.h"
#include "console/card_restart.h"
#include "console/console_form.h"
#include "console/master_panel.h"
#include "console/mode_panel.h"
#include "console/session.h"
#include "console/session_files.h"
#include "console/session_keys.h"
#include "console/start_up.h"

namespace keys = session_keys;

namespace {

const char* const SessionCaption = "Korvane3";
constexpr DWORD CardTypeBits = 0xFFFF;

// Whole dB back to 1/256 dB, wrapping around at 32 bits as the Windows
// program does for a hand-edited value beyond the range.
LONG FromWholeDb(int32_t value) { return static_cast<LONG>(static_cast<uint32_t>(value) << 8); }

BYTE LowByte(int32_t value) { return static_cast<BYTE>(value & 0xFF); }

// One direction of the configuration: its count, within the record's
// entries, then each entry's mode and width.
void ReadWaveEntries(CSession& session, const char* countKey, const char* direction, WORD& count,
                     WaveConfigEntry* entries)
{
    const int32_t n = session.GetInt(countKey);
    if (n < 0 || n > WAVE_CONFIG_ENTRIES) throw EKeyNotFound();
    count = static_cast<WORD>(n);
    for (int k = 0; k < n; ++k) {
        entries[k].Mode = LowByte(session.GetInt(keys::WaveEntry(direction, k, "mode")));
        entries[k].Width = LowByte(session.GetInt(keys::WaveEntry(direction, k, "width")));
    }
}

// The session's wave-device configuration, when it differs from the card's
// or is not in effect, sent and brought into effect by a restart the user
// agrees to.
void ApplySessionWaveConfig(TConsoleForm& form, CSession& session, CDaveror& card)
{
    WaveConfigRecord record{};
    ReadWaveEntries(session, keys::WaveOutCount, "output", record.OutputCount, record.Outputs);
    ReadWaveEntries(session, keys::WaveInCount, "input", record.InputCount, record.Inputs);
    WaveConfigRecord current{};
    card.GetWaveConfig(&current);

    if (PlatformVersion.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return;
    if (SameWaveConfig(record, current) && (current.Flags & WAVE_CONFIG_IN_EFFECT) != 0) return;
    if (IsCardInUse(card)) {
        Application->MessageBox(Format("%s is either in use or turned off; the wave device\n"
                                       "configuration for this session cannot be applied right now.",
                                       card.GetCardName()),
                                SessionCaption, MB_OK);
        return;
    }
    if (Application->MessageBox("This session contains a wave device configuration different\n"
                                "from the one currently in use.\n\n"
                                "It may take several minutes to change the configuration.\n"
                                "Would you like to switch to the new configuration?",
                                "New wave device configuration", MB_YESNO) != IDYES)
        return;

    card.SetWaveConfig(&record);
    const std::string caption = form.Caption();
    form.SetText("Restarting driver...");
    form.Repaint();
    RestartCard(form, card, "Fail1", "Fail2");
    form.SetText(caption);
}

// The values of a session, applied in the writer's order. A missing key or
// a bad number throws EKeyNotFound, and what was applied before it stays.
class CSessionApply {
public:
    CSessionApply(TConsoleForm& form, CDaveror& card, CSession& session)
        : m_Form(form), m_Card(card), m_Session(session), m_Caps(*form.Caps), m_Counts(*form.Caps)
    {
    }

    // The output bus to show: the saved one less 1.
    int Apply()
    {
        if ((static_cast<DWORD>(Get(keys::CardType)) & CardTypeBits) != m_Caps.Family) throw EWrongCardType();
        const int32_t current = Get(keys::CurrentOutputBus);
        const int bus = current > std::numeric_limits<int32_t>::min() ? current - 1 : -1;
        InputBusses();
        Monitors();
        if (m_Caps.VirtualOutputs != 0)
            VirtualPlayback();
        else
            Playback();
        OutputBusses();
        Clocks();
        MiscSettings();
        if (m_Form.LoadSessionWaveConfig) ApplySessionWaveConfig(m_Form, m_Session, m_Card);
        for (int s = 0; s < SESSION_SPEAKERS; ++s)
            m_Card.SetSpeakerDelay(static_cast<DWORD>(s), static_cast<DWORD>(Get(keys::SpeakerDelay(s))));
        return bus;
    }

private:
    int32_t Get(const std::string& key) { return m_Session.GetInt(key); }
    DWORD GetDword(const std::string& key) { return static_cast<DWORD>(Get(key)); }

    void InputBusses()
    {
        for (int i = 0; i < m_Counts.Inputs; ++i) {
            const auto input = static_cast<WORD>(i);
            if (m_Caps.InputFlags[i] & INPUT_FLAG_TRIM) m_Card.SetInputTrim(input, Get(keys::InputBus(i, "gain")));
            if (m_Caps.InputFlags[i] & INPUT_FLAG_NOMINAL)
                m_Card.SetInputNominal(input, GetDword(keys::InputBus(i, "nominal")));
        }
    }

    void Monitors()
    {
        for (int b = 0; b < m_Counts.OutputBusses; b += 2) {
            for (int j = 0; j < m_Counts.Inputs; ++j) {
                const auto input = static_cast<WORD>(j), bus = static_cast<WORD>(b);
                m_Card.SetMonitorGain(input, bus, FromWholeDb(Get(keys::Route("Monitor", j, b, "gain"))));
                m_Card.SetMonitorMute(input, bus, GetDword(keys::Route("Monitor", j, b, "mute")));
                m_Card.SetMonitorPan(input, bus, GetDword(keys::Route("Monitor", j, b, "pan")));
            }
        }
        // Only the pairs the window has a strip for keep gang states.
        for (int j = 0; j < m_Counts.Inputs; j += 2) {
            if (!m_Form.HasInputStrip(j)) continue;
            BYTE gangs[SESSION_GANG_BYTES] = {};
            for (int b = 0; b < m_Counts.OutputBusses; b += 2)
                gangs[b / 2] = LowByte(Get(keys::PairRouteGang("Monitor", j, b)));
            m_Form.InStrips[j].SetGangs(gangs, m_Counts.OutputPairs);
        }
    }

    void VirtualPlayback()
    {
        for (int b = 0; b < m_Counts.OutputBusses; b += 2) {
            for (int p = 0; p < m_Counts.Pipes; ++p) {
                const auto pipe = static_cast<WORD>(p), bus = static_cast<WORD>(b);
                m_Card.SetPipeGain(pipe, bus, FromWholeDb(Get(keys::Route("Playback", p, b, "gain"))));
                m_Card.SetPipeMute(pipe, bus, GetDword(keys::Route("Playback", p, b, "mute")));
                m_Card.SetPipePan(pipe, bus, GetDword(keys::Route("Playback", p, b, "pan")));
            }
        }
        for (int p = 0; p < m_Form.PlaybackStrips(); p += 2) {
            BYTE gangs[SESSION_GANG_BYTES] = {};
            for (int b = 0; b < m_Counts.OutputBusses; b += 2)
                gangs[b / 2] = LowByte(Get(keys::PairRouteGang("Playback", p, b)));
            m_Form.OutStrips[p].SetGangs(gangs, m_Counts.OutputPairs);
        }
    }

    // Without virtual outputs, pipe p plays on bus p, and the first strip
    // keeps the gang state of pipe pair p at index p / 2.
    void Playback()
    {
        for (int p = 0; p < m_Counts.Pipes; ++p) {
            const auto pipe = static_cast<WORD>(p);
            m_Card.SetPipeGain(pipe, pipe, FromWholeDb(Get(keys::Playback(p, "gain"))));
            m_Card.SetPipeMute(pipe, pipe, GetDword(keys::Playback(p, "mute")));
        }
        BYTE gangs[SESSION_GANG_BYTES] = {};
        for (int p = 0; p < m_Counts.Pipes; p += 2)
            gangs[p / 2] = LowByte(Get(keys::PlaybackGang(p)));
        m_Form.OutStrips[0].SetGangs(gangs, m_Counts.OutputPairs);
    }

    void OutputBusses()
    {
        for (int b = 0; b < m_Counts.OutputBusses; ++b) {
            const auto bus = static_cast<WORD>(b);
            m_Card.SetBusOutGain(bus, FromWholeDb(Get(keys::OutputBus(b, "gain"))));
            m_Card.SetBusOutMute(bus, GetDword(keys::OutputBus(b, "mute")));
            if (m_Caps.OutputBusFlags[b] & BUS_FLAG_NOMINAL)
                m_Card.SetBusOutNominal(bus, GetDword(keys::OutputBus(b, "nominal")));
        }
        BYTE gangs[SESSION_GANG_BYTES] = {};
        for (int b = 0; b < m_Counts.OutputBusses; b += 2)
            gangs[b / 2] = LowByte(Get(keys::OutputBusGang(b)));
        m_Form.MasterPanel()->SetGangStates(gangs, m_Counts.OutputPairs);
    }

    // Clocks and modes are set only when they differ from the card's.
    void Clocks()
    {
        const DWORD clock = GetDword(keys::InputClock);
        DWORD current = 0;
        m_Card.GetInputClock(&current);
        if (clock != current) m_Card.SetInputClock(clock);
        if (HasDigitalModeSwitch(m_Caps)) {
            const DWORD mode = GetDword(keys::DigitalMode);
            DWORD currentMode = 0;
            m_Card.GetDigitalMode(&currentMode);
            if (mode != currentMode) m_Card.SetDigitalMode(mode);
        } else if (m_Caps.Family == FAMILY_OUTPUT_CLOCK) {
            const DWORD output = GetDword(keys::OutputClock);
            DWORD currentOutput = 0;
            m_Card.GetOutputClock(&currentOutput);
            if (output != currentOutput) m_Card.SetOutputClock(output);
        }
    }

    void MiscSettings()
    {
        m_Card.SetLockedRate(GetDword(keys::LockedSampleRate));
        m_Card.SetSampleRateLock(Get(keys::SampleRateLocked) != 0 ? 1 : 0);
        m_Card.SetSyncWaveDevices(GetDword(keys::SyncWaveDevs));
        // Sizes the card does not take are not sent.
        m_Card.SetGsifBufferSize(GetDword(keys::GsifBufferSize));
        const DWORD spdif = GetDword(keys::SpdifProfessional);
        DWORD current = 0;
        m_Card.GetSpdifFormat(&current);
        if (spdif != current) m_Card.SetSpdifFormat(spdif);
    }

    TConsoleForm& m_Form;
    CDaveror& m_Card;
    CSession& m_Session;
    const CapabilitiesRecord& m_Caps;
    const SessionCounts m_Counts;
};

// The shell's link to the file in the user's recent documents, when the
// user's profile folder is known and fits its buffer.
void DeleteRecentLink(const std::string& fileName)
{
    char profile[MAX_PATH];
    const DWORD length = GetEnvironmentVariableA("USERPROFILE", profile, sizeof profile);
    if (length == 0 || length >= sizeof profile) return;
    DeleteFileA((std::string(profile) + "/Recent/" + fileName + ".lnk").c_str());
}

}  // namespace

void TConsoleForm::ReadSession(const std::string& path)
{
    CSession session(path);
    if (!session.Read()) {
        Application->MessageBox(Format("Unable to open %s", path), ErrorCaption, MB_OK);
        return;
    }
    int bus = -1;
    try {
        bus = CSessionApply(*this, *FCard, session).Apply();
    } catch (const EKeyNotFound&) {
        Application->MessageBox("Sorry; this session file doesn't seem to be formatted correctly.", ErrorCaption,
                                MB_OK);
        return;
    } catch (const EWrongCardType&) {
        Application->MessageBox("Sorry; this session file isn't for this type of hardware.", ErrorCaption, MB_OK);
        return;
    }
    // The clock panel first: the mode it reads lays the window out and sets
    // the busses that can be shown.
    FModePanel->ReadInputClock();
    FModePanel->ReadMode();
    SelectBus(bus, true);
    SessionName = path;
    UpdateCaption();
}

void TConsoleForm::LoadButtonClick(TObject*)
{
    const auto chosen = ChooseSessionFile(Handle(), SessionsFolder(FCard->GetCardName()), false);
    if (!chosen) return;
    ReadSession(WithSessionExtension(chosen->path));
    if (PlatformVersion.dwPlatformId == VER_PLATFORM_WIN32_NT) DeleteRecentLink(chosen->fileName);
}
