#pragma once

#include "sim/Simulator.h"

#include <QStringList>

#include <optional>
#include <string>
#include <variant>

namespace sim {

struct Options {
    SimulatorSettings settings;
    std::optional<std::string> device;
    std::optional<std::string> link;
    bool quiet = false;
    // A console's traffic record to print as decoded commands, instead of serving a line.
    std::optional<std::string> replay;
};

struct OptionsError {
    std::string message;
};

struct HelpRequested {
    std::string text;
};

using ParsedOptions = std::variant<Options, OptionsError, HelpRequested>;

// Reads the command line of marlo-sim (arguments[0] is the program name).
ParsedOptions parseOptions(const QStringList& arguments);

} // namespace sim
