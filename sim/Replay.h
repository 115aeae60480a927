#pragma once

#include <istream>
#include <string>
#include <vector>

namespace sim {

// What marlo-sim would have printed for the bytes a console's traffic record shows it sent,
// with the record's events in between ("-- " and the event). Lines that are not a sent
// byte or an event are skipped.
std::vector<std::string> replayRecord(std::istream& record);

} // namespace sim
