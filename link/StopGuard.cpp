#include "link/StopGuard.h"

namespace robot {
namespace {

bool isDriveSense(std::uint8_t byte) {
    return byte == byteOf(Command::Motor1SenseA) || byte == byteOf(Command::Motor1SenseR) ||
           byte == byteOf(Command::Motor2SenseA) || byte == byteOf(Command::Motor2SenseR);
}

} // namespace

void StopGuard::note(std::uint8_t byte, Delivery delivery) {
    const auto decoded = decoder_.receive(byte);
    if (!decoded || decoded->value)
        return;
    // A drive command the robot may have seen counts as driving; a Stop counts only when
    // the line was still open after it.
    if (isDriveSense(byte) && delivery != Delivery::NotSent)
        driving_ = true;
    else if (byte == byteOf(Command::Stop) && delivery == Delivery::Sent)
        driving_ = stopOwed_ = false;
    else if (byte == byteOf(Command::Stop))
        stopOwed_ = driving_;
}

} // namespace robot
