#include "link/TrafficRecord.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace robot {
namespace fs = std::filesystem;

namespace {

constexpr const char* extension = ".log";

std::string hex(std::uint8_t byte) {
    static constexpr char digits[] = "0123456789ABCDEF";
    return {digits[byte >> 4], digits[byte & 0xF]};
}

std::string startStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d_%H-%M-%S", &local);
    return text;
}

// After every file of the same second: the start stamp, then _002, _003, ... so that the
// names sort in the order the files were made.
fs::path freshName(const fs::path& folder) {
    const std::string stamp = startStamp();
    int last = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().stem().string();
        if (name == stamp)
            last = std::max(last, 1);
        else if (name.size() == stamp.size() + 4 && name.starts_with(stamp + "_"))
            last = std::max(last, std::atoi(name.c_str() + stamp.size() + 1));
    }
    if (last == 0)
        return folder / (stamp + extension);
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "_%03d", last + 1);
    return folder / (stamp + suffix + extension);
}

} // namespace

fs::path TrafficRecord::defaultFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/')
        return fs::path(state) / "marlo-consola";
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : ".") / ".local" / "state" / "marlo-consola";
}

TrafficRecord::TrafficRecord(fs::path folder, std::uintmax_t fileLimit)
    : folder_(std::move(folder)), fileLimit_(std::max<std::uintmax_t>(fileLimit, 1)) {
    std::error_code error;
    fs::create_directories(folder_, error);
    ok_ = !error && openNewFile();
    if (ok_)
        writer_ = std::thread([this] { run(); });
}

TrafficRecord::~TrafficRecord() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    if (writer_.joinable())
        writer_.join();
    if (file_)
        std::fclose(file_);
}

fs::path TrafficRecord::currentFile() const {
    std::lock_guard lock(mutex_);
    return path_;
}

long long TrafficRecord::elapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
}

void TrafficRecord::sent(std::uint8_t byte) {
    if (!ok_)
        return;
    std::string line = std::to_string(elapsedMs()) + " > " + hex(byte);
    if (const auto name = decoder_.receive(byte).line)
        line += " " + *name;
    queue(std::move(line));
}

void TrafficRecord::received(QByteArrayView bytes) {
    if (!ok_)
        return;
    const std::string stamp = std::to_string(elapsedMs());
    for (const char byte : bytes)
        queue(stamp + " < " + hex(static_cast<std::uint8_t>(byte)));
}

void TrafficRecord::event(const std::string& text) {
    if (ok_)
        queue(std::to_string(elapsedMs()) + " ! " + text);
}

void TrafficRecord::queue(std::string line) {
    std::lock_guard lock(mutex_);
    pending_.push_back(std::move(line));
    ++queued_;
}

void TrafficRecord::flush() {
    if (!ok_)
        return;
    std::unique_lock lock(mutex_);
    const std::uint64_t target = queued_;
    flushRequested_ = true;
    wake_.notify_one();
    written_.wait(lock, [&] { return done_ >= target || stopping_; });
}

void TrafficRecord::run() {
    std::vector<std::string> lines;
    for (;;) {
        bool last = false;
        {
            std::unique_lock lock(mutex_);
            wake_.wait_for(lock, writeEvery, [this] { return stopping_ || flushRequested_; });
            flushRequested_ = false;
            last = stopping_;
            lines.swap(pending_);
        }
        writeOut(lines);
        {
            std::lock_guard lock(mutex_);
            done_ += lines.size();
        }
        lines.clear();
        written_.notify_all();
        if (last)
            return;
    }
}

void TrafficRecord::writeOut(std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (fileBytes_ >= fileLimit_ && !openNewFile())
            return;
        if (std::fputs(line.c_str(), file_) >= 0 && std::fputc('\n', file_) != EOF)
            fileBytes_ += line.size() + 1;
    }
    std::fflush(file_);
}

bool TrafficRecord::openNewFile() {
    const fs::path path = freshName(folder_);
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        return false;
    if (file_)
        std::fclose(file_);
    file_ = file;
    fileBytes_ = 0;
    {
        std::lock_guard lock(mutex_);
        path_ = path;
    }
    removeOldFiles();
    return true;
}

// The names begin with the start date and time, so their order is their age.
void TrafficRecord::removeOldFiles() const {
    std::vector<fs::path> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder_, error))
        if (entry.is_regular_file() && entry.path().extension() == extension)
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (std::size_t i = 0; i + filesKept < files.size(); ++i)
        fs::remove(files[i], error);
}

} // namespace robot
