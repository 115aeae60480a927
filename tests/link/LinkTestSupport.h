#pragma once

#include "link/CommandLink.h"
#include "link/LinkIndicators.h"
#include "link/PortSetup.h"
#include "link/RobotLink.h"
#include "tests/support/SimulatorFixture.h"

#include <QEventLoop>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace link_testing {

using namespace std::chrono_literals;

// Records what the link shows, in order, as short words.
struct RecordingIndicators final : robot::LinkIndicators {
    QStringList events;
    QStringList returns;
    std::vector<robot::LinkState> states;
    // How many events had been shown when each state was.
    std::vector<qsizetype> eventsAtState;

    void setTxLamp(bool on) override { events << (on ? "tx on" : "tx off"); }
    void setRxLamp(bool on) override { events << (on ? "rx on" : "rx off"); }
    void startLampTimer() override { events << "timer on"; }
    void stopLampTimer() override { events << "timer off"; }
    void showReturn(const QString& text) override {
        events << "return " + text;
        returns << text;
    }
    void showLinkState(robot::LinkState state) override {
        states.push_back(state);
        eventsAtState.push_back(events.size());
    }
};

// Records bytes and pauses instead of sending them.
struct RecordingLink final : robot::CommandLink {
    struct Step {
        int byte = -1;
        int pauseMs = 0;
        bool operator==(const Step&) const = default;
    };
    std::vector<Step> steps;

    void SendByte(std::uint8_t byte) override { steps.push_back({byte, 0}); }
    void pause(std::chrono::milliseconds duration) override {
        steps.push_back({-1, static_cast<int>(duration.count())});
    }
    std::vector<std::uint8_t> bytes() const {
        std::vector<std::uint8_t> result;
        for (const auto& step : steps)
            if (step.byte >= 0)
                result.push_back(static_cast<std::uint8_t>(step.byte));
        return result;
    }
};

// Counts the link's line operations and can put an answer on the line just before a
// chosen one-byte read.
class ObservedLine final : public platform::SerialLine {
public:
    ObservedLine(std::unique_ptr<platform::SerialLine> inner, sim::Simulator& simulator)
        : inner_(std::move(inner)), simulator_(simulator) {}

    void answerOnRead(int read, std::uint8_t answer) {
        answerRead_ = read;
        answer_ = answer;
    }

    int reads = 0;
    int purges = 0;
    int transmits = 0;

    bool isOpen() const override { return inner_->isOpen(); }
    void setHangUpHandler(HangUpHandler handler) override {
        inner_->setHangUpHandler(std::move(handler));
    }
    bool hasInput() override { return inner_->hasInput(); }
    QByteArray readAvailable() override { return inner_->readAvailable(); }
    bool transmitImmediately(std::uint8_t byte) override {
        ++transmits;
        return inner_->transmitImmediately(byte);
    }
    QByteArray read(int maxBytes) override {
        ++reads;
        if (reads != answerRead_)
            return inner_->read(maxBytes);
        simulator_.sendRaw({answer_});
        QByteArray got;
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        while (got.isEmpty() && std::chrono::steady_clock::now() < deadline)
            got = inner_->read(maxBytes);
        return got;
    }
    void purgeInput() override {
        ++purges;
        inner_->purgeInput();
    }

private:
    std::unique_ptr<platform::SerialLine> inner_;
    sim::Simulator& simulator_;
    int answerRead_ = 0;
    std::uint8_t answer_ = 0;
};

inline std::unique_ptr<platform::SerialPort> openConsolePort(const QString& path) {
    auto setup = robot::setUpPort(path, QStringLiteral("9600,n,8,1"));
    return std::move(setup.port);
}

// Waits until the simulator has put everything it was asked to send on the line.
inline bool waitUntilSent(const sim::Simulator& simulator, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + 2s;
    while (simulator.sentBytes().size() < count) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

// Runs the event loop, which sleeps while nothing happens.
inline void runEventLoopFor(std::chrono::milliseconds duration) {
    QEventLoop loop;
    QTimer::singleShot(duration, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace link_testing
