// The namespace of named kernel objects. Entries hold weak references, so a
// name ends with its object; dead entries are swept whenever the table has
// doubled since the last sweep, which keeps it near the number of live names
// however many one-off names (one per transport) come and go.
#include "named_objects.h"

#include <map>
#include <mutex>
#include <string>

#include "immortal.h"

namespace win32 {
namespace {

class NameTable {
public:
    std::shared_ptr<Waitable> FindOrCreate(std::string_view name, const std::function<std::shared_ptr<Waitable>()>& make,
                                           bool& existed)
    {
        std::lock_guard guard(lock_);
        auto found = names_.find(name);
        if (found != names_.end()) {
            if (auto live = found->second.lock()) {
                existed = true;
                return live;
            }
        }
        existed = false;
        auto object = make();
        if (found != names_.end()) {
            found->second = object;
        } else {
            names_.emplace(std::string(name), object);
            SweepIfGrown();
        }
        return object;
    }

private:
    void SweepIfGrown()
    {
        if (names_.size() < sweepAt_) return;
        std::erase_if(names_, [](const auto& entry) { return entry.second.expired(); });
        sweepAt_ = std::max<std::size_t>(kFirstSweep, 2 * names_.size());
    }

    static constexpr std::size_t kFirstSweep = 64;
    std::mutex lock_;
    std::map<std::string, std::weak_ptr<Waitable>, std::less<>> names_;
    std::size_t sweepAt_ = kFirstSweep;
};

}  // namespace

std::shared_ptr<Waitable> FindOrCreateNamed(std::string_view name, const std::function<std::shared_ptr<Waitable>()>& make,
                                            bool& existed)
{
    static Immortal<NameTable> table;
    return table->FindOrCreate(name, make, existed);
}

}  // namespace win32
