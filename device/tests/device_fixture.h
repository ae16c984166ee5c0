// A machine of the test's own with the cards it asks for and the SetupAPI set
// the card objects are enumerated from; the readers of the card driver's
// request log come from device_testing.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "daveror.h"
#include "device_testing/requests.h"
#include "machine/card_config.h"
#include "machine/card_driver_hooks.h"
#include "machine_testing/test_machine.h"

using device_testing::ExpectRequest;
using device_testing::Input;
using device_testing::Message;

class DeviceTest : public ::testing::Test {
protected:
    DeviceTest() { Boot({machine::MakePreset("default")}); }
    ~DeviceTest() override { ReleaseSet(); }

    // A machine of these cards in place of the one there was.
    void Boot(std::vector<machine::CardConfig> cards)
    {
        ReleaseSet();
        machine_.reset();
        machine_.emplace(std::move(cards));
        set_ = SetupDiGetClassDevsA(&GUID_DAVEROR_INTERFACE, NULL, NULL, DIGCF_DEVICEINTERFACE);
        ASSERT_NE(set_, INVALID_HANDLE_VALUE);
    }

    machine_testing::TestMachine& Machine() { return *machine_; }
    machine::CardHooks Hooks(std::size_t card = 0) { return machine_->Hooks(card); }
    HDEVINFO Set() const { return set_; }

    // The card object the console and the ASIO driver make for interface `index`.
    std::unique_ptr<CDaveror> NewCard(std::size_t index = 0)
    {
        return std::make_unique<CDaveror>(machine_->InterfacePath(index).c_str(), set_, static_cast<DWORD>(index));
    }
    // An open card whose construction requests are out of the log.
    std::unique_ptr<CDaveror> OpenCard(std::size_t index = 0)
    {
        auto card = NewCard(index);
        card->Open();
        Hooks(index).ClearLog();
        return card;
    }

    std::vector<machine::RequestRecord> Log(std::size_t card = 0) { return Hooks(card).Log(); }
    std::vector<DWORD> Codes(std::size_t card = 0)
    {
        std::vector<DWORD> codes;
        for (const auto& request : Log(card)) codes.push_back(request.code);
        return codes;
    }


private:
    void ReleaseSet()
    {
        if (set_ != INVALID_HANDLE_VALUE) SetupDiDestroyDeviceInfoList(set_);
        set_ = INVALID_HANDLE_VALUE;
    }

    std::optional<machine_testing::TestMachine> machine_;
    HDEVINFO set_ = INVALID_HANDLE_VALUE;
};
