// Writing a session file: the whole mixer state of the card as text, read
// from the card line by line, and the "&Save" button that asks for its name.
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include <vcl.h>

#include "console/card_features.h"
#include "console/console_form.h"
#include "console/master_panel.h"
#include "console/session_files.h"
#include "console/session_keys.h"
#include "console/start_up.h"

namespace keys = session_keys;

namespace {

constexpr int TempNameAttempts = 100;

// The file's text as it grows; every line end is CR LF, as the Windows
// program's text-mode stream writes it.
class CSessionText {
public:
    void Put(std::string_view text)
    {
        for (const char c : text) {
            if (c == '\n') m_Data += '\r';
            m_Data += c;
        }
    }
    void Value(const std::string& key, LONG value) { Put(Format("%s=%d\n", key, value)); }
    void Value(const std::string& key, DWORD value) { Value(key, static_cast<LONG>(value)); }
    const std::string& Data() const { return m_Data; }

private:
    std::string m_Data;
};

// Whole dB from 1/256 dB, the sign kept: -0.5 dB is -1.
LONG WholeDb(LONG gain) { return gain >> 8; }

// Every value is read from the card just before its line; a read that
// fails hands back 0.
class CSessionWriter {
public:
    CSessionWriter(TConsoleForm& form, CDaveror& card)
        : m_Form(form), m_Card(card), m_Caps(*form.Caps), m_Counts(*form.Caps)
    {
    }

    std::string Text()
    {
        Header();
        InputBusses();
        Monitors();
        Playback();
        OutputBusses();
        Clocks();
        MiscSettings();
        WaveConfig();
        SpeakerDelays();
        m_Text.Put("\n;\n; End of file\n;\n");
        return m_Text.Data();
    }

private:
    void Header()
    {
        m_Text.Put(";\n; Korvane3 session file\n");
        m_Text.Put(Format("; Card name - %s\n;\n", m_Card.GetCardName()));
        m_Text.Put(Format("%s=0x%x\n", keys::CardType, m_Caps.Family));
        m_Text.Value(keys::CurrentOutputBus, static_cast<LONG>(m_Form.DisplayedBus + 1));
    }

    void InputBusses()
    {
        m_Text.Put("\n;\n; Input busses\n;\n");
        for (int i = 0; i < m_Counts.Inputs; ++i) {
            const auto input = static_cast<WORD>(i);
            if (m_Caps.InputFlags[i] & INPUT_FLAG_TRIM) {
                LONG trim = 0;
                m_Card.GetInputTrim(input, &trim);
                m_Text.Value(keys::InputBus(i, "gain"), trim);
            }
            if (m_Caps.InputFlags[i] & INPUT_FLAG_NOMINAL) {
                DWORD nominal = 0;
                m_Card.GetInputNominal(input, &nominal);
                m_Text.Value(keys::InputBus(i, "nominal"), nominal);
            }
        }
    }

    void Monitors()
    {
        m_Text.Put("\n;\n; Monitors\n;\n");
        for (int b = 0; b < m_Counts.OutputBusses; b += 2) {
            for (int j = 0; j < m_Counts.Inputs; ++j) {
                const auto input = static_cast<WORD>(j), bus = static_cast<WORD>(b);
                LONG gain = 0;
                DWORD mute = 0, pan = 0;
                m_Card.GetMonitorGain(input, bus, &gain);
                m_Text.Value(keys::Route("Monitor", j, b, "gain"), WholeDb(gain));
                m_Card.GetMonitorMute(input, bus, &mute);
                m_Text.Value(keys::Route("Monitor", j, b, "mute"), mute);
                m_Card.GetMonitorPan(input, bus, &pan);
                m_Text.Value(keys::Route("Monitor", j, b, "pan"), pan);
                m_Text.Put("\n");
            }
            m_Text.Put("\n");
        }
        // Only the pairs the window has a strip for keep gang states.
        for (int j = 0; j < m_Counts.Inputs; j += 2) {
            if (!m_Form.HasInputStrip(j)) continue;
            BYTE gangs[SESSION_GANG_BYTES] = {};
            m_Form.InStrips[j].GetGangs(gangs, m_Counts.OutputPairs);
            for (int b = 0; b < m_Counts.OutputBusses; b += 2)
                m_Text.Value(keys::PairRouteGang("Monitor", j, b), static_cast<LONG>(gangs[b / 2]));
            m_Text.Put("\n");
        }
    }

    void Playback()
    {
        m_Text.Put("\n;\n; Playback channels\n;\n");
        if (m_Caps.VirtualOutputs != 0) {
            VirtualPlayback();
            return;
        }
        for (int p = 0; p < m_Counts.Pipes; ++p) {
            const auto pipe = static_cast<WORD>(p);
            LONG gain = 0;
            DWORD mute = 0;
            m_Card.GetPipeGain(pipe, pipe, &gain);
            m_Text.Value(keys::Playback(p, "gain"), WholeDb(gain));
            m_Card.GetPipeMute(pipe, pipe, &mute);
            m_Text.Value(keys::Playback(p, "mute"), mute);
            m_Text.Put("\n");
        }
        // The first strip's states, at the pipe pair's index.
        BYTE gangs[SESSION_GANG_BYTES] = {};
        m_Form.OutStrips[0].GetGangs(gangs, m_Counts.OutputPairs);
        for (int p = 0; p < m_Counts.Pipes; p += 2)
            m_Text.Value(keys::PlaybackGang(p), static_cast<LONG>(gangs[p / 2]));
    }

    void VirtualPlayback()
    {
        for (int b = 0; b < m_Counts.OutputBusses; b += 2) {
            for (int p = 0; p < m_Counts.Pipes; ++p) {
                const auto pipe = static_cast<WORD>(p), bus = static_cast<WORD>(b);
                LONG gain = 0;
                DWORD mute = 0, pan = 0;
                m_Card.GetPipeGain(pipe, bus, &gain);
                m_Text.Value(keys::Route("Playback", p, b, "gain"), WholeDb(gain));
                m_Card.GetPipeMute(pipe, bus, &mute);
                m_Text.Value(keys::Route("Playback", p, b, "mute"), mute);
                m_Card.GetPipePan(pipe, bus, &pan);
                m_Text.Value(keys::Route("Playback", p, b, "pan"), pan);
                m_Text.Put("\n");
            }
            m_Text.Put("\n");
        }
        for (int p = 0; p < m_Form.PlaybackStrips(); p += 2) {
            BYTE gangs[SESSION_GANG_BYTES] = {};
            m_Form.OutStrips[p].GetGangs(gangs, m_Counts.OutputPairs);
            for (int b = 0; b < m_Counts.OutputBusses; b += 2)
                m_Text.Value(keys::PairRouteGang("Playback", p, b), static_cast<LONG>(gangs[b / 2]));
            m_Text.Put("\n");
        }
    }

    void OutputBusses()
    {
        m_Text.Put("\n;\n; Output busses\n;\n");
        for (int b = 0; b < m_Counts.OutputBusses; ++b) {
            const auto bus = static_cast<WORD>(b);
            LONG gain = 0;
            DWORD mute = 0;
            m_Card.GetBusOutGain(bus, &gain);
            m_Text.Value(keys::OutputBus(b, "gain"), WholeDb(gain));
            m_Card.GetBusOutMute(bus, &mute);
            m_Text.Value(keys::OutputBus(b, "mute"), mute);
            if (m_Caps.OutputBusFlags[b] & BUS_FLAG_NOMINAL) {
                DWORD nominal = 0;
                m_Card.GetBusOutNominal(bus, &nominal);
                m_Text.Value(keys::OutputBus(b, "nominal"), nominal);
            }
            m_Text.Put("\n");
        }
        BYTE gangs[SESSION_GANG_BYTES] = {};
        m_Form.MasterPanel()->GetGangStates(gangs, m_Counts.OutputPairs);
        for (int b = 0; b < m_Counts.OutputBusses; b += 2)
            m_Text.Value(keys::OutputBusGang(b), static_cast<LONG>(gangs[b / 2]));
    }

    void Clocks()
    {
        m_Text.Put("\n;\n; Clocks\n;\n");
        DWORD clock = 0;
        m_Card.GetInputClock(&clock);
        m_Text.Value(keys::InputClock, clock);
        if (HasDigitalModeSwitch(m_Caps)) {
            DWORD mode = 0;
            m_Card.GetDigitalMode(&mode);
            m_Text.Value(keys::DigitalMode, mode);
        } else if (m_Caps.Family == FAMILY_OUTPUT_CLOCK) {
            DWORD output = 0;
            m_Card.GetOutputClock(&output);
            m_Text.Value(keys::OutputClock, output);
        }
    }

    void MiscSettings()
    {
        m_Text.Put("\n;\n; Misc settings\n;\n");
        DWORD rate = 0, locked = 0, sync = 0, gsif = 0, spdif = 0;
        m_Card.GetLockedRate(&rate);
        m_Text.Value(keys::LockedSampleRate, rate);
        m_Card.GetSampleRateLock(&locked);
        m_Text.Value(keys::SampleRateLocked, locked & DRIVER_FLAG_RATE_LOCK);
        m_Card.GetSyncWaveDevices(&sync);
        m_Text.Value(keys::SyncWaveDevs, static_cast<DWORD>((sync & DRIVER_FLAG_SYNC_WAVE) != 0 ? 1 : 0));
        // A failed read leaves its output as it was: 0.
        m_Card.GetGsifBufferSize(&gsif);
        m_Text.Value(keys::GsifBufferSize, gsif);
        m_Card.GetSpdifFormat(&spdif);
        m_Text.Value(keys::SpdifProfessional, spdif);
    }

    void WaveConfig()
    {
        m_Text.Put("\n;\n; Wave device config\n;\n");
        // A failed read leaves the record zeroed; counts past the record's
        // entries are written as its capacity.
        WaveConfigRecord config{};
        m_Card.GetWaveConfig(&config);
        WaveEntries(keys::WaveOutCount, "output", config.OutputCount, config.Outputs);
        WaveEntries(keys::WaveInCount, "input", config.InputCount, config.Inputs);
    }

    void WaveEntries(const char* countKey, const char* direction, WORD count, const WaveConfigEntry* entries)
    {
        const int n = std::min<int>(count, WAVE_CONFIG_ENTRIES);
        m_Text.Value(countKey, static_cast<LONG>(n));
        for (int k = 0; k < n; ++k) {
            m_Text.Value(keys::WaveEntry(direction, k, "mode"), static_cast<LONG>(entries[k].Mode));
            m_Text.Value(keys::WaveEntry(direction, k, "width"), static_cast<LONG>(entries[k].Width));
        }
    }

    void SpeakerDelays()
    {
        m_Text.Put("\n;\n; Wave device config\n;\n");
        for (int s = 0; s < SESSION_SPEAKERS; ++s) {
            DWORD delay = 0;
            m_Card.GetSpeakerDelay(static_cast<DWORD>(s), &delay);
            m_Text.Value(keys::SpeakerDelay(s), delay);
        }
    }

    TConsoleForm& m_Form;
    CDaveror& m_Card;
    const CapabilitiesRecord& m_Caps;
    const SessionCounts m_Counts;
    CSessionText m_Text;
};

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// A file of its own beside `path`, created as a plain fopen creates one.
std::string CreateTempBeside(const std::string& path, std::unique_ptr<std::FILE, FileCloser>& file)
{
    static unsigned serial = 0;
    const std::size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    for (int attempt = 0; attempt < TempNameAttempts; ++attempt) {
        const std::string temp = Format("%s.korvane3-%u-%u.tmp", folder, GetCurrentProcessId(), ++serial);
        file.reset(std::fopen(temp.c_str(), "wbx"));
        if (file) return temp;
        if (errno != EEXIST) break;
    }
    return {};
}

// The whole text under `path`, or nothing changed: the old file is replaced
// only once the new one is written and closed.
bool ReplaceFile(const std::string& path, const std::string& text)
{
    std::unique_ptr<std::FILE, FileCloser> file;
    const std::string temp = CreateTempBeside(path, file);
    if (temp.empty()) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    const bool closed = std::fclose(file.release()) == 0;
    std::error_code error;
    if (written && closed) std::filesystem::rename(temp, path, error);
    if (!written || !closed || error) {
        std::filesystem::remove(temp, error);
        return false;
    }
    return true;
}

}  // namespace

void TConsoleForm::WriteSession(const std::string& path)
{
    const std::string text = CSessionWriter(*this, *FCard).Text();
    if (!ReplaceFile(path, text)) {
        Application->MessageBox(Format("Could not create \"%s\"", path), ErrorCaption, MB_OK);
        return;
    }
    SessionName = path;
}

void TConsoleForm::SaveButtonClick(TObject*)
{
    const std::string folder = SessionsFolder(FCard->GetCardName());
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        Application->MessageBox(Format("Unable to create directory \"%s\"", folder), ErrorCaption, MB_OK);
        return;
    }
    const auto chosen = ChooseSessionFile(Handle(), folder, true);
    if (!chosen) return;
    // The dialog asked about the name as typed; the extended one may exist too.
    const std::string path = WithSessionExtension(chosen->path);
    std::error_code error;
    if (path != chosen->path && std::filesystem::exists(path, error) &&
        Application->MessageBox(Format("%s already exists.\nDo you want to replace it?", path), "Korvane3",
                                MB_YESNO) != IDYES)
        return;
    WriteSession(path);
    UpdateCaption();
}
