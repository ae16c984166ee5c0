// A host unloads the driver while a client's callback holds a worker: the
// detach stops every stream, reports and keeps the one whose worker did not
// stop, pins the module, and finishes the rest of its teardown.
#include <atomic>
#include <chrono>
#include <thread>

#include "stream_fixture.h"
#include "win32/thread_records.h"

namespace {

constexpr DWORD kTerminatedExitCode = 0xA5C3A5C3;
constexpr auto kHold = std::chrono::milliseconds(800);

}  // namespace

class UnloadTest : public StreamTest {
public:
    // Frees the driver while the worker of an output stream on device 0 is
    // held in a WOM_DONE callback; with `secondStream`, beside a stream on
    // device 1 that is not held.
    void UnloadWithAHeldWorker(bool secondStream)
    {
        const std::size_t terminated = win32::TerminatedThreads().size();
        const DWORD self = GetCurrentThreadId();

        // The held stream: its second header comes back on the worker, whose
        // callback then blocks while the test frees the driver.
        hosts::WaveStream& held = OpenStream(WaveDirection::Out, 0, 2, 16);
        std::atomic<DWORD> holder{0};
        std::atomic<bool> released{false};
        held.OnNotification([&](const hosts::WaveNotification& n) {
            if (n.message != WOM_DONE || n.thread == self) return;
            holder = n.thread;
            std::this_thread::sleep_for(kHold);
            released = true;
        });
        std::size_t created = win32::CreatedThreads().size();
        Queue(held, Buffer(held, CountingFrames(0, kRing)));
        const DWORD worker = NewWorker(created);
        Queue(held, Buffer(held, CountingFrames(kRing, kPeriod)));

        DWORD otherWorker = 0;
        if (secondStream) {
            hosts::WaveStream& other = OpenStream(WaveDirection::Out, 1, 2, 16);
            created = win32::CreatedThreads().size();
            Queue(other, Buffer(other, CountingFrames(0, 4 * kRing)));
            otherWorker = NewWorker(created);
        }
        Hooks().Advance(1);
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kDeadlineMs);
        while (holder == 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(holder, worker) << "no WOM_DONE on the worker";

        testing::internal::CaptureStderr();
        const auto start = std::chrono::steady_clock::now();
        Client().FreeDriver();
        const auto took = std::chrono::steady_clock::now() - start;
        const std::string report = testing::internal::GetCapturedStderr();
        EXPECT_FALSE(released) << "the detach waited for the callback";
        EXPECT_GE(took, std::chrono::milliseconds(450)) << "the detach waits 500 ms for the worker";
        EXPECT_NE(report.find("Zavo24Wave: the worker of the wave-out stream of device 0 did not stop in time; "
                              "the stream is kept\n"),
                  std::string::npos)
            << report;
        EXPECT_NE(GetModuleHandleA("Zavo24Wave.dll"), nullptr) << "the module is pinned";
        const auto records = win32::TerminatedThreads();
        EXPECT_EQ(records.size(), terminated + 1) << "only the held worker is terminated";
        if (records.size() > terminated) {
            EXPECT_EQ(records.back().threadId, worker);
            EXPECT_EQ(records.back().exitCode, kTerminatedExitCode);
        }
        // The other stream went with its worker and its card object; the kept
        // one holds its card object's file and transport.
        if (secondStream) {
            EXPECT_TRUE(win32::WaitUntilReturned(otherWorker, 0));
        }
        EXPECT_EQ(OpenFiles(), 1u);
        EXPECT_EQ(Transports(), 1u);

        // The callback returns into the kept stream, and the worker ends there.
        EXPECT_TRUE(win32::WaitUntilReturned(worker, kDeadlineMs));
        EXPECT_TRUE(released);
    }
};

TEST_F(UnloadTest, AWorkerHeldInACallbackKeepsItsStreamAndTheModule) { UnloadWithAHeldWorker(false); }

TEST_F(UnloadTest, TheStreamThatIsNotHeldIsFreedBesideTheKeptOne) { UnloadWithAHeldWorker(true); }

// Without a held callback the streams end in time and the module goes: an
// unload of a stream whose callback returns at once.
TEST_F(UnloadTest, WithoutAHeldCallbackTheModuleIsUnmapped)
{
    hosts::WaveStream& stream = OpenStream(WaveDirection::Out, 0, 2, 16);
    const std::size_t created = win32::CreatedThreads().size();
    Queue(stream, Buffer(stream, CountingFrames(0, kRing)));
    const DWORD worker = NewWorker(created);
    Queue(stream, Buffer(stream, CountingFrames(kRing, kPeriod)));
    StepUntil(stream, WOM_DONE, 2);
    const std::size_t terminated = win32::TerminatedThreads().size();
    testing::internal::CaptureStderr();
    Client().FreeDriver();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(win32::TerminatedThreads().size(), terminated);
    EXPECT_TRUE(win32::WaitUntilReturned(worker, 0));
    EXPECT_EQ(GetModuleHandleA("Zavo24Wave.dll"), nullptr);
    EXPECT_EQ(OpenFiles(), 0u);
}
