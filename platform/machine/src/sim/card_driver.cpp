// One card's driver: its open files, the restart, and the door every request
// comes through (the log and the faults a test asked for).
#include "machine/card_driver.h"

#include <atomic>
#include <optional>

#include "card_impl.h"
#include "signal_source.h"
#include "sim_file.h"
#include "win32/errors.h"

namespace machine {
namespace {

std::atomic<ClockMode> defaultClockMode{ClockMode::RealTime};

}  // namespace

void SetDefaultClockMode(ClockMode mode) { defaultClockMode = mode; }
ClockMode DefaultClockMode() { return defaultClockMode; }

CardDriver::CardDriver(CardConfig config, const std::filesystem::path& machineDirectory)
    : impl_(std::make_unique<Impl>(std::move(config), machineDirectory))
{
}
CardDriver::~CardDriver() = default;

const CardConfig& CardDriver::Config() const noexcept { return impl_->Config(); }
std::shared_ptr<win32::DeviceFile> CardDriver::OpenFile(DWORD& error) { return impl_->OpenFile(error); }
BOOL CardDriver::Restart(DWORD& error) { return impl_->Restart(error); }

CardDriver::Impl::Impl(CardConfig config, const std::filesystem::path& machineDirectory)
    : original(std::move(config)),
      config_(original),
      mixer(sim::MixerState::Defaults(config_)),
      settings(sim::CardSettings::Defaults(config_)),
      sharing(machineDirectory, config_),
      clockMode(DefaultClockMode()),
      gate(std::make_shared<Gate>())
{
    for (unsigned input = 0; input < config_.inputBusses; ++input)
        inputSignals.push_back(sim::DefaultInputSignal(input));
    played.resize(config_.outputPipes);
    for (sim::PipeHistory& history : played)
        history.SetLimit(playedLimit);
    meters.Reset();
    lastMeterRun = std::chrono::steady_clock::now();
    gate->card = this;
}

CardDriver::Impl::~Impl()
{
    {
        std::unique_lock guard(gate->lock);
        gate->card = nullptr;
    }
    {
        std::lock_guard guard(mutex);
        clockStop = true;
    }
    clockWake.notify_all();
    if (clockThread.joinable()) clockThread.join();
}

std::shared_ptr<win32::DeviceFile> CardDriver::Impl::OpenFile(DWORD& error)
{
    std::lock_guard guard(mutex);
    if (!config_.present) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    // Other processes see this one's files from the first; a restart there is waited out.
    if (files.empty() && !sharing.Share()) {
        error = ERROR_DEVICE_IN_USE;
        return nullptr;
    }
    if (!loaded) {
        LoadState();
        loaded = true;
    }
    const std::uint64_t id = nextFile++;
    files[id] = sim::OpenFileState{};
    return std::make_shared<sim::SimFile>(gate, id);
}

void CardDriver::Impl::Cleanup(std::uint64_t file)
{
    std::lock_guard guard(mutex);
    const auto found = files.find(file);
    if (found == files.end()) return;
    std::erase_if(sessions, [file](const sim::MixerSession& s) { return s.file == file; });
    for (auto t = transports.begin(); t != transports.end();)
        t = t->file == file ? CloseTransport(t) : t + 1;
    files.erase(found);  // unmaps what the file's closed transports left
    if (files.empty()) {
        SaveState();
        sharing.Unshare();
    }
}

BOOL CardDriver::Impl::Restart(DWORD& error)
{
    std::lock_guard guard(mutex);
    if (!files.empty() || !config_.present || faults.refuseRestart) {
        error = ERROR_DEVICE_IN_USE;
        return FALSE;
    }
    // Held until the restart is saved, so that no other process opens the card meanwhile.
    const std::optional<sim::UniqueFd> hold = sharing.TryExclusive();
    if (!hold) {
        error = ERROR_DEVICE_IN_USE;  // a file of the card is open in another process
        return FALSE;
    }
    settings.effectiveWaveConfig = settings.storedWaveConfig;
    settings.waveConfigInEffect = !faults.restartLeavesConfigPending;
    settings.name = settings.pendingName;
    SaveState();
    return TRUE;
}

BOOL CardDriver::Impl::Control(std::uint64_t file, DWORD code, std::span<BYTE> buffer, DWORD inSize,
                               DWORD outSize, DWORD& returned)
{
    std::unique_lock lock(mutex);
    RequestRecord record;
    record.file = file;
    record.code = code;
    record.inSize = inSize;
    record.outSize = outSize;
    record.input.assign(buffer.begin(), buffer.begin() + std::min<std::size_t>(inSize, buffer.size()));

    sim::Outcome outcome;
    const auto found = files.find(file);
    if (found == files.end() || !config_.present) {
        outcome = sim::Outcome::Fail(ERROR_INVALID_HANDLE);
    } else if (const std::optional<DWORD> injected = faults.TakeFailure(code, outSize)) {
        outcome = sim::Outcome::Fail(*injected);
    } else {
        outcome = Dispatch({file, code, buffer, inSize, outSize});
    }
    record.result = outcome.ok;
    record.error = outcome.ok ? 0 : outcome.error;
    record.returned = outcome.ok ? outcome.returned : 0;
    log.Add(std::move(record));
    lock.unlock();

    returned = outcome.ok ? outcome.returned : 0;
    if (!outcome.ok) SetLastError(outcome.error);
    return outcome.ok ? TRUE : FALSE;
}

namespace sim {

std::optional<DWORD> Faults::TakeFailure(DWORD code, DWORD outSize)
{
    // One armed for this output size is the more particular, so it goes first.
    for (const std::optional<DWORD> size : {std::optional<DWORD>(outSize), std::optional<DWORD>()}) {
        const auto armed = failNext.find({code, size});
        if (armed == failNext.end() || armed->second.count == 0) continue;
        --armed->second.count;
        return armed->second.error;
    }
    return std::nullopt;
}

void RequestLog::Add(RequestRecord record)
{
    ++counts[record.code];
    records.push_back(std::move(record));
    if (records.size() > kKept) records.pop_front();
}

}  // namespace sim
}  // namespace machine
