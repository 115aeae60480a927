#include "link/TrafficRecord.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>

#include <QCoreApplication>

namespace robot {
namespace fs = std::filesystem;

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(TrafficRecord)
};

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

// What the operator is told, in a few words, for a file or folder the system refused.
QString reasonFor(int errorNumber) {
    switch (errorNumber) {
    case ENOTDIR:
        return Texts::tr("la carpeta es un archivo");
    case EACCES:
    case EPERM:
        return Texts::tr("sin permiso de escritura");
    case EROFS:
        return Texts::tr("disco de solo lectura");
    case ENOSPC:
    case EDQUOT:
        return Texts::tr("disco lleno");
    default:
        return Texts::tr("error de escritura");
    }
}

QString reasonFor(platform::DiskError error) {
    return reasonFor(error == platform::DiskError::Full ? ENOSPC : EIO);
}

std::span<const std::uint8_t> bytesOf(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

// A name another run took between the listing and the creation is passed over.
constexpr int namesTried = 5;
// Jobs are only the flushes asked for: one waiting takes every line queued before it runs.
constexpr std::size_t flushesWaiting = 2;

} // namespace

fs::path TrafficRecord::defaultFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && *state == '/')
        return fs::path(state) / "marlo-consola";
    const char* home = std::getenv("HOME");
    return fs::path(home ? home : ".") / ".local" / "state" / "marlo-consola";
}

TrafficRecord::TrafficRecord(fs::path folder, std::uintmax_t fileLimit, platform::Disk disk)
    : folder_(std::move(folder)), fileLimit_(std::max<std::uintmax_t>(fileLimit, 1)),
      disk_(std::move(disk)), writer_(flushesWaiting, context_, [this](const QString& reason) {
          if (failed_)
              failed_(reason);
      }) {
    ok_ = openNewFile({});
    nextTry_ = Clock::now() + retryEvery;
    writer_.repeat(writeEvery,
                   [this] { return closing_ ? platform::JobOutcome{} : writeBatch(false); });
}

TrafficRecord::~TrafficRecord() {
    closing_ = true;
    flush();
    if (file_)
        file_->close();
}

QString TrafficRecord::problem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

fs::path TrafficRecord::currentFile() const {
    std::lock_guard lock(mutex_);
    return path_;
}

long long TrafficRecord::elapsedMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
}

void TrafficRecord::sent(std::uint8_t byte) {
    // Decoded even while nothing is recorded, so the names stay in step with the commands.
    const auto decoded = decoder_.receive(byte);
    if (!ok_)
        return;
    std::string line = std::to_string(elapsedMs()) + " > " + hex(byte);
    if (decoded)
        line += " " + robot::describe(*decoded);
    queue({std::move(line)});
}

void TrafficRecord::received(QByteArrayView bytes) {
    if (!ok_ || bytes.empty())
        return;
    const std::string stamp = std::to_string(elapsedMs());
    const auto kept = std::min<std::uintmax_t>(static_cast<std::uintmax_t>(bytes.size()),
                                               receivedBytesKept() - receivedBytesRecorded_);
    std::vector<std::string> lines;
    lines.reserve(kept);
    for (std::uintmax_t i = 0; i < kept; ++i)
        lines.push_back(stamp + " < " + hex(static_cast<std::uint8_t>(bytes[i])));
    receivedBytesRecorded_ += kept;
    unrecorded_ += static_cast<std::uint64_t>(bytes.size()) - kept;
    queue(std::move(lines));
}

void TrafficRecord::event(const std::string& text) {
    if (ok_)
        queue({std::to_string(elapsedMs()) + " ! " + text});
}

void TrafficRecord::queue(std::vector<std::string> lines) {
    if (lines.empty())
        return;
    std::lock_guard lock(mutex_);
    if (pending_.empty())
        pending_ = std::move(lines);
    else
        std::move(lines.begin(), lines.end(), std::back_inserter(pending_));
}

bool TrafficRecord::flush() {
    while (!writer_.post([this] { return writeBatch(true); }))
        writer_.drain();
    writer_.drain();
    return ok_ && lost_ == 0;
}

// Lines lost are counted, never taken for written, and told with the reason.
platform::JobOutcome TrafficRecord::writeBatch(bool now) {
    std::vector<std::string> lines;
    {
        std::lock_guard lock(mutex_);
        lines.swap(pending_);
    }
    const bool wasOk = ok_;
    if (!file_)
        retry();
    const std::size_t written = writeOut(lines);
    noteUnrecorded(now);
    lost_ += lines.size() - written;
    if (written == lines.size() && (ok_ || !wasOk))
        return {};
    const QString reason = problem();
    return reason.isEmpty() ? reasonFor(EIO) : reason;
}

// Whole lines only: a file is changed when it has reached its limit, and a disk that takes
// no more ends the record after the last line it took.
std::size_t TrafficRecord::writeOut(const std::vector<std::string>& lines) {
    std::size_t written = 0;
    std::string chunk;
    std::size_t first = 0;
    for (std::size_t i = 0; i < lines.size() && file_; ++i) {
        if (fileBytes_ + chunk.size() >= fileLimit_) {
            if (!writeChunk(chunk, lines, first, i, written))
                return written;
            chunk.clear();
            first = i;
            if (!openNewFile({})) {
                file_.reset();
                nextTry_ = Clock::now() + retryEvery;
                return written;
            }
        }
        chunk += lines[i];
        chunk += '\n';
    }
    if (file_)
        writeChunk(chunk, lines, first, lines.size(), written);
    return written;
}

bool TrafficRecord::writeChunk(const std::string& chunk, const std::vector<std::string>& lines,
                               std::size_t first, std::size_t end, std::size_t& written) {
    if (chunk.empty())
        return true;
    if (file_->writeAt(fileBytes_, bytesOf(chunk))) {
        fileBytes_ += chunk.size();
        written += end - first;
        return true;
    }
    // The disk may have taken part of it: back to the last whole line, then one line at a
    // time while it takes them.
    file_->truncate(fileBytes_);
    for (std::size_t i = first; i < end; ++i) {
        const std::string text = lines[i] + '\n';
        if (!file_->writeAt(fileBytes_, bytesOf(text)))
            break;
        fileBytes_ += text.size();
        ++written;
    }
    endOnFailure();
    return false;
}

// The file ends at its last whole line, with a last line saying why when there is room.
void TrafficRecord::endOnFailure() {
    const QString reason = reasonFor(file_->error());
    file_->truncate(fileBytes_);
    const std::string note =
        std::to_string(elapsedMs()) + " ! registro terminado: " + reason.toStdString() + '\n';
    if (!file_->writeAt(fileBytes_, bytesOf(note)))
        file_->truncate(fileBytes_);
    file_->close();
    file_.reset();
    fail(reason);
    nextTry_ = Clock::now() + retryEvery;
}

void TrafficRecord::noteUnrecorded(bool now) {
    const std::uint64_t count = unrecorded_;
    if (!file_ || count == unrecordedNoted_)
        return;
    if (!now && Clock::now() - notedAt_ < countEvery)
        return;
    const std::vector<std::string> note{std::to_string(elapsedMs()) + " ! " +
                                        std::to_string(count) + " bytes recibidos no registrados"};
    if (writeOut(note) == 1) {
        unrecordedNoted_ = count;
        notedAt_ = Clock::now();
    }
}

// Lines lost meanwhile are gone; the new file starts by saying the record goes on.
void TrafficRecord::retry() {
    if (Clock::now() < nextTry_)
        return;
    nextTry_ = Clock::now() + retryEvery;
    if (!openNewFile(std::to_string(elapsedMs()) + " ! registro reanudado\n"))
        return;
    {
        std::lock_guard lock(mutex_);
        problem_.clear();
    }
    ok_ = true;
}

// The older files go only once the new one has taken its first line, so a record that
// cannot be kept never costs an earlier one.
bool TrafficRecord::openNewFile(const std::string& firstLine) {
    std::error_code error;
    fs::create_directories(folder_, error);
    if (error) {
        const int cause = error.value() == EEXIST ? ENOTDIR : error.value();
        fail(reasonFor(cause));
        return false;
    }
    std::unique_ptr<platform::DiskFile> file;
    fs::path path;
    int cause = EEXIST;
    for (int i = 0; i < namesTried && !file && cause == EEXIST; ++i) {
        path = freshName(folder_);
        file = disk_.open(path, platform::OpenMode::New);
        cause = file ? 0 : errno;
    }
    if (!file) {
        fail(reasonFor(cause));
        return false;
    }
    if (!firstLine.empty() && !file->writeAt(0, bytesOf(firstLine))) {
        const QString reason = reasonFor(file->error());
        file->close();
        disk_.remove(path);
        fail(reason);
        return false;
    }
    if (file_)
        file_->close();
    file_ = std::move(file);
    fileBytes_ = firstLine.size();
    {
        std::lock_guard lock(mutex_);
        path_ = path;
    }
    removeOldFiles();
    return true;
}

void TrafficRecord::fail(const QString& reason) {
    ok_ = false;
    std::lock_guard lock(mutex_);
    problem_ = reason;
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
