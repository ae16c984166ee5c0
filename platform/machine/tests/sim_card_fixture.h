// A test's own machine for the card-driver simulator: cards built in code,
// reached through CreateFileA and DeviceIoControl as a program reaches them.
#pragma once

#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "machine/card_config.h"
#include "machine/card_driver.h"
#include "machine/card_driver_hooks.h"
#include "machine/sim_records.h"
#include "win32/device_io.h"
#include "win32/errors.h"
#include "win32/files.h"
#include "win32/kernel.h"
#include "win32/registry.h"
#include "win32_testing/temp_machine_dir.h"

namespace sim_test {

using namespace machine::sim;

// Hands CreateFileA on a card's interface path (any case) to that card.
class CardNamespace final : public win32::DeviceNamespace {
public:
    std::vector<machine::CardDriver*> cards;

    std::shared_ptr<win32::DeviceFile> Open(std::string_view path, DWORD, DWORD, DWORD& error) override
    {
        for (machine::CardDriver* card : cards) {
            const std::string mine = machine::InterfacePath(card->Config());
            if (mine.size() == path.size() &&
                std::equal(mine.begin(), mine.end(), path.begin(), [](char a, char b) {
                    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                }))
                return card->OpenFile(error);
        }
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
};

// What DeviceIoControl answered.
struct Reply {
    BOOL ok = FALSE;
    DWORD error = 0;
    DWORD returned = 0;
    std::vector<BYTE> out;

    template <class T>
    T As(std::size_t offset = 0) const
    {
        T value{};
        std::memcpy(&value, out.data() + offset, sizeof value);
        return value;
    }
};

template <class T>
std::vector<BYTE> Bytes(const T& value)
{
    std::vector<BYTE> bytes(sizeof value);
    std::memcpy(bytes.data(), &value, sizeof value);
    return bytes;
}

// One mixer message as the system fills it.
struct Msg {
    std::uint32_t command;
    std::uint16_t channel = 0;
    std::uint32_t kind = 0;
    std::uint32_t p10 = 0;
    std::uint32_t p14 = 0;
};

class SimCardTest : public win32_testing::MachineTest {
protected:
    SimCardTest() { machine::SetDefaultClockMode(machine::ClockMode::Manual); }
    ~SimCardTest() override
    {
        if (installed_) win32::InstallDeviceNamespace(previous_);
    }

    machine::CardDriver& Boot(machine::CardConfig config = machine::MakePreset("default"))
    {
        // The card's interface is registered, as when the machine starts the card: the driver
        // keeps its settings below the interface key and nowhere else.
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, machine::DeviceClassesKey(config).c_str(), 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        if (key != nullptr) RegCloseKey(key);
        cards_.push_back(std::make_unique<machine::CardDriver>(std::move(config)));
        namespace_.cards.push_back(cards_.back().get());
        if (!installed_) previous_ = win32::InstallDeviceNamespace(&namespace_);
        installed_ = true;
        return *cards_.back();
    }
    machine::CardHooks Hooks(std::size_t card = 0) { return machine::Hooks(*cards_.at(card)); }

    HANDLE Open(std::size_t card = 0)
    {
        return CreateFileA(machine::InterfacePath(cards_.at(card)->Config()).c_str(), GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    }

    static Reply Ioctl(HANDLE file, DWORD code, std::vector<BYTE> in, DWORD outSize)
    {
        Reply reply;
        reply.out.assign(outSize, 0xEE);  // a request that fails must leave it as it was
        SetLastError(0);
        reply.ok = DeviceIoControl(file, code, in.empty() ? nullptr : in.data(), static_cast<DWORD>(in.size()),
                                   outSize == 0 ? nullptr : reply.out.data(), outSize, &reply.returned, nullptr);
        reply.error = reply.ok ? 0 : GetLastError();
        return reply;
    }
    // A request whose answer is one word.
    static std::uint32_t Word(HANDLE file, DWORD code, std::vector<BYTE> in = {})
    {
        const Reply reply = Ioctl(file, code, std::move(in), 4);
        EXPECT_EQ(reply.ok, TRUE) << "code 0x" << std::hex << code;
        return reply.As<std::uint32_t>();
    }
    static std::vector<BYTE> U32(std::uint32_t value) { return Bytes(value); }

    static std::vector<BYTE> MixerRequest(std::span<const Msg> messages)
    {
        std::vector<BYTE> bytes(4 + kMixerMessageSize * messages.size(), 0);
        const auto count = static_cast<std::uint32_t>(messages.size());
        std::memcpy(bytes.data(), &count, 4);
        for (std::size_t i = 0; i < messages.size(); ++i) {
            BYTE* m = bytes.data() + 4 + kMixerMessageSize * i;
            std::memcpy(m + 0x02, &messages[i].channel, 2);
            std::memcpy(m + 0x04, &messages[i].kind, 4);
            std::memcpy(m + 0x08, &messages[i].command, 4);
            std::memcpy(m + 0x10, &messages[i].p10, 4);
            std::memcpy(m + 0x14, &messages[i].p14, 4);
        }
        return bytes;
    }
    // Sends one message; hands back {status, P10 u32, P14 u32} of the reply.
    struct MsgReply {
        std::uint32_t status, p10, p14;
    };
    static MsgReply Send(HANDLE file, Msg message)
    {
        const std::vector<BYTE> in = MixerRequest(std::span<const Msg>(&message, 1));
        const Reply reply = Ioctl(file, IOCTL_MIXER_MESSAGE, in, static_cast<DWORD>(in.size()));
        EXPECT_EQ(reply.ok, TRUE);
        return {reply.As<std::uint32_t>(4 + 0x0C), reply.As<std::uint32_t>(4 + 0x10), reply.As<std::uint32_t>(4 + 0x14)};
    }

    // A mixer session with meters on; its cookie.
    static std::uint32_t OpenMixerWithMeters(HANDLE file)
    {
        const std::uint32_t cookie = Word(file, IOCTL_OPEN_MIXER);
        EXPECT_EQ(Send(file, {CMD_SET_METERS, 0, 0, 1}).status, 0u);
        return cookie;
    }
    static MeterRecord Meters(HANDLE file, std::uint32_t cookie)
    {
        MeterRecord record{};
        record.cookie = cookie;
        const Reply reply = Ioctl(file, IOCTL_GET_METERS, Bytes(record), sizeof record);
        EXPECT_EQ(reply.ok, TRUE);
        std::memcpy(&record, reply.out.data(), sizeof record);
        return record;
    }
    static NotifyBuffer Notifications(HANDLE file, std::uint32_t cookie, std::uint32_t capacity = kNotifyCapacity)
    {
        NotifyBuffer buffer{};
        buffer.cookie = cookie;
        buffer.count = capacity;
        const Reply reply = Ioctl(file, IOCTL_GET_NOTIFICATIONS, Bytes(buffer), sizeof buffer);
        EXPECT_EQ(reply.ok, TRUE);
        std::memcpy(&buffer, reply.out.data(), sizeof buffer);
        return buffer;
    }

private:
    CardNamespace namespace_;
    win32::DeviceNamespace* previous_ = nullptr;
    bool installed_ = false;
    std::vector<std::unique_ptr<machine::CardDriver>> cards_;
};

}  // namespace sim_test
