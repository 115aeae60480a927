#include "sim/DeviceLink.h"

#include <cerrno>
#include <filesystem>
#include <system_error>

namespace sim {

namespace fs = std::filesystem;

DeviceLink::DeviceLink(std::string linkPath, std::string target)
    : linkPath_(std::move(linkPath)), target_(std::move(target)) {
    const fs::path path(linkPath_);
    const auto status = fs::symlink_status(path);
    if (fs::exists(status)) {
        if (!fs::is_symlink(status))
            throw std::system_error(std::make_error_code(std::errc::file_exists),
                                    "not a symbolic link: " + linkPath_);
        fs::remove(path);
    }
    fs::create_symlink(target_, path);
}

DeviceLink::~DeviceLink() {
    std::error_code error;
    const fs::path path(linkPath_);
    if (fs::is_symlink(fs::symlink_status(path, error)) && fs::read_symlink(path, error) == target_)
        fs::remove(path, error);
}

} // namespace sim
