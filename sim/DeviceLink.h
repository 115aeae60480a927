#pragma once

#include <string>

namespace sim {

// A symbolic link to the simulator's device, so scripts can give the console a fixed name.
// An existing symbolic link at the path is replaced; any other file there is an error
// (std::system_error). The link is removed on destruction if it still points at the device.
class DeviceLink {
public:
    DeviceLink(std::string linkPath, std::string target);
    ~DeviceLink();

    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    const std::string& path() const { return linkPath_; }

private:
    std::string linkPath_;
    std::string target_;
};

} // namespace sim
