#pragma once

#include "link/TrafficRecord.h"
#include "platform/SerialPort.h"

#include <memory>

namespace robot {

// A line whose every byte, out and in, also goes to the traffic record. Bytes thrown away
// by a purge are taken first, so the record holds everything the robot sent.
class RecordedLine final : public platform::SerialLine {
public:
    RecordedLine(std::unique_ptr<platform::SerialLine> inner, TrafficRecord& record)
        : inner_(std::move(inner)), record_(record) {}

    bool isOpen() const override { return inner_->isOpen(); }
    void setHangUpHandler(HangUpHandler handler) override {
        inner_->setHangUpHandler(std::move(handler));
    }
    bool hasInput() override { return inner_->hasInput(); }
    QByteArray readAvailable() override {
        QByteArray data = inner_->readAvailable();
        record_.received(data);
        return data;
    }
    bool transmitImmediately(std::uint8_t byte) override {
        const bool sent = inner_->transmitImmediately(byte);
        if (sent)
            record_.sent(byte);
        return sent;
    }
    QByteArray read(int maxBytes) override {
        QByteArray data = inner_->read(maxBytes);
        record_.received(data);
        return data;
    }
    void purgeInput() override {
        record_.received(inner_->readAvailable());
        inner_->purgeInput();
    }

private:
    std::unique_ptr<platform::SerialLine> inner_;
    TrafficRecord& record_;
};

} // namespace robot
