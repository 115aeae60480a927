#include "sim/Replay.h"

#include "sim/Robot.h"

#include <sstream>

namespace sim {

std::vector<std::string> replayRecord(std::istream& record) {
    Robot robot;
    std::vector<std::string> lines;
    std::string text;
    while (std::getline(record, text)) {
        std::istringstream fields(text);
        long long milliseconds = 0;
        std::string direction;
        if (!(fields >> milliseconds >> direction))
            continue;
        if (direction == "!") {
            std::string event;
            std::getline(fields >> std::ws, event);
            lines.push_back("-- " + event);
            continue;
        }
        unsigned value = 0;
        if (direction != ">" || !(fields >> std::hex >> value) || value > 0xFF)
            continue;
        if (const auto line = robot.receive(static_cast<std::uint8_t>(value)).line)
            lines.push_back(*line);
    }
    return lines;
}

} // namespace sim
