// The list of terminated threads.
#include "thread_records.h"

#include <mutex>

#include "immortal.h"

namespace win32 {
namespace {

struct Records {
    std::mutex lock;
    std::vector<TerminatedThread> terminated;
};

Records& TheRecords()
{
    static Immortal<Records> records;
    return *records;
}

}  // namespace

void RecordTerminatedThread(TerminatedThread record)
{
    auto& records = TheRecords();
    std::lock_guard guard(records.lock);
    records.terminated.push_back(record);
}

std::vector<TerminatedThread> TerminatedThreads()
{
    auto& records = TheRecords();
    std::lock_guard guard(records.lock);
    return records.terminated;
}

}  // namespace win32
