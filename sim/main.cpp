#include "sim/DeviceLink.h"
#include "sim/Options.h"
#include "sim/Replay.h"
#include "sim/Simulator.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <fstream>
#include <memory>
#include <mutex>
#include <optional>
#include <pthread.h>
#include <string>
#include <vector>

namespace {

// Holds decoded lines back until the device line is out, so it is always the first line.
class Output {
public:
    explicit Output(bool quiet) : quiet_(quiet) {}

    void line(const std::string& text) {
        if (quiet_)
            return;
        std::lock_guard lock(mutex_);
        if (open_)
            print(text);
        else
            held_.push_back(text);
    }

    void open(const std::string& header) {
        std::lock_guard lock(mutex_);
        print(header);
        for (const auto& text : held_)
            print(text);
        held_.clear();
        open_ = true;
    }

private:
    static void print(const std::string& text) {
        std::fputs(text.c_str(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }

    bool quiet_;
    std::mutex mutex_;
    bool open_ = false;
    std::vector<std::string> held_;
};

std::unique_ptr<sim::Simulator> openSimulator(const sim::Options& options) {
    if (options.device)
        return std::make_unique<sim::Simulator>(*options.device, options.settings);
    return std::make_unique<sim::Simulator>(options.settings);
}

int replay(const std::string& path) {
    std::ifstream record(path);
    if (!record) {
        std::fprintf(stderr, "marlo-sim: cannot read %s\n", path.c_str());
        return 1;
    }
    for (const std::string& line : sim::replayRecord(record))
        std::puts(line.c_str());
    return 0;
}

int run(sim::Options options) {
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGHUP);
    // Blocked before the simulator's thread starts, so only sigwait below takes them.
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    Output output(options.quiet);
    options.settings.onLine = [&output](const std::string& text) { output.line(text); };
    const auto simulator = openSimulator(options);
    std::optional<sim::DeviceLink> link;
    if (options.link)
        link.emplace(*options.link, simulator->devicePath());
    output.open("marlo-sim: listening on " + simulator->devicePath());

    int signal = 0;
    sigwait(&stopSignals, &signal);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const sim::ParsedOptions parsed = sim::parseOptions(arguments);
    if (const auto* help = std::get_if<sim::HelpRequested>(&parsed)) {
        std::fputs(help->text.c_str(), stdout);
        return 0;
    }
    if (const auto* error = std::get_if<sim::OptionsError>(&parsed)) {
        std::fprintf(stderr, "marlo-sim: %s\n", error->message.c_str());
        return 2;
    }
    try {
        const auto& options = std::get<sim::Options>(parsed);
        if (options.replay)
            return replay(*options.replay);
        return run(options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "marlo-sim: %s\n", error.what());
        return 1;
    }
}
