// Several threads finding and opening cards at once, as the drivers' threads
// and a console may in one process.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "machine_testing/test_machine.h"
#include "setupapi_test_support.h"

namespace {

TEST(SetupApiConcurrency, ThreadsDiscoverAndOpenCardsTogether)
{
    machine_testing::TestMachine machine(machine_testing::Cards({"default", "zavo24-20", "absent"}));
    const std::vector<std::string> expected{machine.InterfacePath(0), machine.InterfacePath(1),
                                            machine.InterfacePath(2)};
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int round = 0; round < 4; ++round) {
                if (machine_tests::CardPaths() != expected) ++failures;
                HANDLE file = machine_tests::OpenCard(expected[static_cast<std::size_t>(round % 2)]);
                if (file == INVALID_HANDLE_VALUE || CloseHandle(file) != TRUE) ++failures;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(machine.Hooks(0).OpenFiles(), 0u);
}

}  // namespace
