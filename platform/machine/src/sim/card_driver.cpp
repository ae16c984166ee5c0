// One card's driver: its open files, the restart, and the door every request
// comes through (the log and the faults a test asked for).
#include "machine/card_driver.h"

#include <atomic>
#include <optional>

#include "card_impl.h"
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
    : original_(std::move(config)),
      config_(original_),
      mixer_(sim::MixerState::Defaults(config_)),
      settings_(sim::CardSettings::Defaults(config_)),
      files_(machineDirectory, config_),
      audio_(config_),
      clock_(mutex_, DefaultClockMode()),
      gate_(std::make_shared<Gate>())
{
    gate_->card = this;
}

CardDriver::Impl::~Impl()
{
    // No request reaches the card from now on, and no tick: only then does its state go.
    {
        std::unique_lock guard(gate_->lock);
        gate_->card = nullptr;
    }
    clock_.Stop();
}

std::shared_ptr<win32::DeviceFile> CardDriver::Impl::OpenFile(DWORD& error)
{
    std::lock_guard guard(mutex_);
    if (!config_.present) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    const std::optional<std::uint64_t> id = files_.Open();
    if (!id) {
        error = ERROR_DEVICE_IN_USE;
        return nullptr;
    }
    stored_.LoadOnce(config_, mixer_, settings_);
    return std::make_shared<sim::SimFile>(gate_, *id);
}

void CardDriver::Impl::Cleanup(std::uint64_t file)
{
    std::lock_guard guard(mutex_);
    if (!files_.IsOpen(file)) return;
    sessions_.CloseFile(file);
    transports_.CloseFile(file, files_);
    // The last file saves the card's state while the card is still shared.
    files_.Close(file, [this] { stored_.Save(config_, mixer_, settings_); });
}

BOOL CardDriver::Impl::Restart(DWORD& error)
{
    std::lock_guard guard(mutex_);
    if (!files_.Empty() || !config_.present || faults_.refuseRestart) {
        error = ERROR_DEVICE_IN_USE;
        return FALSE;
    }
    // Held until the restart is saved, so that no other process opens the card meanwhile.
    const std::optional<sim::UniqueFd> hold = files_.HoldForRestart();
    if (!hold) {
        error = ERROR_DEVICE_IN_USE;  // a file of the card is open in another process
        return FALSE;
    }
    settings_.effectiveWaveConfig = settings_.storedWaveConfig;
    settings_.waveConfigInEffect = !faults_.restartLeavesConfigPending;
    settings_.name = settings_.pendingName;
    stored_.Save(config_, mixer_, settings_);
    return TRUE;
}

void CardDriver::Impl::SetDriverError(bool on, std::string text)
{
    config_.clockMask = on ? config_.clockMask | 0x80000000u : config_.clockMask & 0x7FFFFFFFu;
    config_.driverErrorText = std::move(text);
}

void CardDriver::Impl::Reset()
{
    sessions_.CloseAll();
    transports_.CloseAll(files_);
    config_ = original_;
    mixer_ = sim::MixerState::Defaults(config_);
    settings_ = sim::CardSettings::Defaults(config_);
    faults_ = {};
    log_ = {};
    audio_.Reset();
    clock_.SetMode(DefaultClockMode());
    if (clock_.Mode() == ClockMode::RealTime && clock_.Started()) clock_.Wake();
}

bool CardDriver::Impl::ForgetState()
{
    if (!files_.Empty()) return false;
    stored_.Forget();
    mixer_ = sim::MixerState::Defaults(config_);
    settings_ = sim::CardSettings::Defaults(config_);
    return true;
}

BOOL CardDriver::Impl::Control(std::uint64_t file, DWORD code, std::span<BYTE> buffer, DWORD inSize,
                               DWORD outSize, DWORD& returned)
{
    std::unique_lock lock(mutex_);
    RequestRecord record;
    record.file = file;
    record.code = code;
    record.inSize = inSize;
    record.outSize = outSize;
    record.input.assign(buffer.begin(), buffer.begin() + std::min<std::size_t>(inSize, buffer.size()));

    sim::Outcome outcome;
    if (!files_.IsOpen(file) || !config_.present) {
        outcome = sim::Outcome::Fail(ERROR_INVALID_HANDLE);
    } else if (const std::optional<DWORD> injected = faults_.TakeFailure(code, outSize)) {
        outcome = sim::Outcome::Fail(*injected);
    } else {
        outcome = Dispatch({file, code, buffer, inSize, outSize});
    }
    record.result = outcome.ok;
    record.error = outcome.ok ? 0 : outcome.error;
    record.returned = outcome.ok ? outcome.returned : 0;
    log_.Add(std::move(record));
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
