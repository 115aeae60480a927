#include "tests/support/ScriptedDisk.h"

namespace testing_support {

class ScriptedDisk::File final : public platform::DiskFile {
public:
    File(ScriptedDisk& disk, std::unique_ptr<platform::DiskFile> real)
        : disk_(disk), real_(std::move(real)) {}

    bool writeAt(std::uint64_t offset, std::span<const std::uint8_t> bytes) override {
        if (!disk_.admit(bytes.size())) {
            error_ = disk_.failure;
            return false;
        }
        return real_->writeAt(offset, bytes);
    }
    bool append(std::span<const std::uint8_t> bytes) override {
        if (!disk_.admit(bytes.size())) {
            error_ = disk_.failure;
            return false;
        }
        return real_->append(bytes);
    }
    bool syncData() override {
        ++disk_.syncs_;
        return real_->syncData();
    }
    bool truncate(std::uint64_t size) override { return real_->truncate(size); }
    bool close() override { return real_->close(); }
    platform::DiskError error() const override {
        return error_ != platform::DiskError::None ? error_ : real_->error();
    }

private:
    ScriptedDisk& disk_;
    std::unique_ptr<platform::DiskFile> real_;
    platform::DiskError error_ = platform::DiskError::None;
};

void ScriptedDisk::closeGate() {
    const std::lock_guard lock(gateMutex_);
    gateOpen_ = false;
    writesAtGate_ = 0;
}

void ScriptedDisk::openGate() {
    {
        const std::lock_guard lock(gateMutex_);
        gateOpen_ = true;
    }
    gateChanged_.notify_all();
}

int ScriptedDisk::writesAtGate() const {
    const std::lock_guard lock(gateMutex_);
    return writesAtGate_;
}

bool ScriptedDisk::admit(std::uint64_t bytes) {
    {
        std::unique_lock lock(gateMutex_);
        if (!gateOpen_) {
            ++writesAtGate_;
            gateChanged_.wait(lock, [this] { return gateOpen_; });
        }
    }
    if (written_ + bytes > writableBytes)
        return false;
    written_ += bytes;
    return true;
}

platform::Disk ScriptedDisk::disk() {
    const platform::Disk local = platform::localDisk();
    return platform::Disk{
        [this, local](const std::filesystem::path& name,
                      platform::OpenMode mode) -> std::unique_ptr<platform::DiskFile> {
            auto real = local.open(name, mode);
            if (!real)
                return nullptr;
            return std::make_unique<File>(*this, std::move(real));
        },
        [this](const std::filesystem::path&) -> std::optional<std::uint64_t> {
            if (!freeSpaceKnown)
                return std::nullopt;
            return freeBytes.load();
        },
        local.remove, local.replace};
}

} // namespace testing_support
