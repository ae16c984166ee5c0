// The registry's transactions over the hive file. The machine directory is
// looked up on every call, so a test that points ZAVO_MACHINE elsewhere gets
// that machine's registry. A hive that cannot be read is moved aside
// untouched and reported on stderr, and the process goes on with an empty
// registry; if it cannot even be moved, writes are refused rather than
// saving over it.
#include "registry_store.h"

#include <pthread.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>

#include "../immortal.h"
#include "hive_file.h"
#include "hive_format.h"
#include "win32/machine_dir.h"

namespace win32::registry {
namespace {

class Store {
public:
    Store() { pthread_atfork(&Store::BeforeFork, &Store::AfterForkInParent, &Store::AfterForkInChild); }

    static Store& Instance();

    LONG Read(const ReadTransaction& transaction)
    {
        std::lock_guard guard(lock_);
        Select();
        Refresh(false);
        return transaction(tree_);
    }

    LONG Write(const WriteTransaction& transaction)
    {
        std::lock_guard guard(lock_);
        Select();
        if (!file_->Lock()) {
            Report("cannot be locked", errno);
            return ERROR_CANTWRITE;
        }
        struct Unlocker {
            HiveFile& file;
            ~Unlocker() { file.Unlock(); }
        } unlocker{*file_};
        Refresh(true);
        if (blocked_) return ERROR_CANTWRITE;
        bool changed = false;
        const LONG result = transaction(tree_, changed);
        if (result != ERROR_SUCCESS || !changed) return result;
        FileIdentity saved;
        if (!file_->Save(WriteHive(tree_), saved)) {
            Report("cannot be saved", errno);
            loaded_.reset();  // the tree holds a change the file does not: read it again
            return ERROR_CANTWRITE;
        }
        loaded_ = Loaded{saved, file_->Generation()};
        return ERROR_SUCCESS;
    }

private:
    struct Loaded {
        FileIdentity identity;
        std::uint64_t generation;
    };

    // The hive of the machine directory in use now.
    void Select()
    {
        auto directory = MachineDirectory();
        if (file_ && file_->Directory() == directory) return;
        file_ = std::make_unique<HiveFile>(std::move(directory));
        tree_ = Tree();
        loaded_.reset();
        blocked_ = false;
    }

    // `locked`: the caller holds the hive's lock.
    void Refresh(bool locked)
    {
        const Loaded now{file_->Identity(), file_->Generation()};
        if (loaded_ && loaded_->identity == now.identity && loaded_->generation == now.generation) return;
        HiveFile::Contents contents = file_->Read();
        if (!contents.identity.exists && contents.error == 0) {
            tree_ = InstallationTree();
            blocked_ = false;
            loaded_ = Loaded{{}, now.generation};
            return;
        }
        std::string reason;
        if (contents.error == 0) {
            HiveReadResult read = ReadHive(contents.text);
            if (read.tree) {
                tree_ = std::move(*read.tree);
                blocked_ = false;
                loaded_ = Loaded{contents.identity, now.generation};
                return;
            }
            reason = read.line != 0 ? "line " + std::to_string(read.line) + ": " + read.reason : read.reason;
        } else {
            reason = std::strerror(contents.error);
        }
        PutAside(reason, locked);
    }

    // The hive cannot be read: keep it, under the lock so that no writer
    // replaces it meanwhile, and start empty.
    void PutAside(const std::string& reason, bool locked)
    {
        const bool tookLock = !locked && file_->Lock();
        std::optional<std::filesystem::path> aside;
        // Another process may have put it aside or replaced it meanwhile.
        HiveFile::Contents again = file_->Read();
        const bool stillBad =
            again.identity.exists && (again.error != 0 || !ReadHive(again.text).tree.has_value());
        if (stillBad) aside = file_->MoveAside();
        if (tookLock) file_->Unlock();
        tree_ = Tree();
        if (!stillBad) {
            loaded_.reset();
            Refresh(locked);
            return;
        }
        if (aside) {
            std::cerr << "Registry: the hive " << file_->HivePath() << " cannot be read (" << reason
                      << "); it was moved aside to " << *aside << " and the registry starts empty.\n";
            blocked_ = false;
            loaded_ = Loaded{{}, file_->Generation()};
        } else {
            // Reported once per state of the file, not on every call.
            const FileIdentity identity = file_->Identity();
            if (!blocked_ || blockedIdentity_ != identity)
                std::cerr << "Registry: the hive " << file_->HivePath() << " cannot be read (" << reason
                          << ") and cannot be moved aside; it is left as it is, and registry changes are "
                             "refused.\n";
            blocked_ = true;
            blockedIdentity_ = identity;
            loaded_ = Loaded{identity, file_->Generation()};
        }
    }

    void Report(const char* what, int error)
    {
        std::cerr << "Registry: the hive " << file_->HivePath() << ' ' << what << " (" << std::strerror(error)
                  << ").\n";
    }

    static void BeforeFork() { Instance().lock_.lock(); }
    static void AfterForkInParent() { Instance().lock_.unlock(); }
    static void AfterForkInChild()
    {
        Store& store = Instance();
        // The lock file's descriptor is shared with the parent's: the child opens its own.
        if (store.file_) store.file_->DropInherited();
        store.lock_.unlock();
    }

    std::mutex lock_;
    std::unique_ptr<HiveFile> file_;
    Tree tree_;
    std::optional<Loaded> loaded_;
    bool blocked_ = false;
    FileIdentity blockedIdentity_;

};

Store& Store::Instance()
{
    static Immortal<Store> store;
    return *store;
}

}  // namespace

LONG ReadRegistry(const ReadTransaction& transaction) { return Store::Instance().Read(transaction); }

LONG WriteRegistry(const WriteTransaction& transaction) { return Store::Instance().Write(transaction); }

}  // namespace win32::registry
