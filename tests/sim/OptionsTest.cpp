#include "sim/Options.h"
#include "sim/DeviceLink.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

using namespace std::chrono_literals;

sim::ParsedOptions parse(QStringList arguments) {
    arguments.prepend("marlo-sim");
    return sim::parseOptions(arguments);
}

sim::Options accepted(const QStringList& arguments) {
    const auto parsed = parse(arguments);
    if (const auto* error = std::get_if<sim::OptionsError>(&parsed))
        ADD_FAILURE() << error->message;
    const auto* options = std::get_if<sim::Options>(&parsed);
    return options ? *options : sim::Options{};
}

std::string rejected(const QStringList& arguments) {
    const auto parsed = parse(arguments);
    const auto* error = std::get_if<sim::OptionsError>(&parsed);
    EXPECT_NE(error, nullptr) << arguments.join(' ').toStdString();
    return error ? error->message : std::string();
}

TEST(OptionsTest, DefaultsToAQuietlessPseudoTerminalWithProperAnswers) {
    const auto options = accepted({});
    EXPECT_FALSE(options.device.has_value());
    EXPECT_FALSE(options.link.has_value());
    EXPECT_FALSE(options.quiet);
    EXPECT_FALSE(options.replay.has_value());
    EXPECT_EQ(options.settings.fault, sim::Fault::none());
    EXPECT_EQ(options.settings.robot.telemetry, (sim::Telemetry{150, 512}));
    EXPECT_EQ(options.settings.robot.acknowledgement, 'A');
}

TEST(OptionsTest, ReadsEveryOption) {
    const auto options =
        accepted({"--device", "/dev/ttyUSB0",      "--baud",      "19200",   "--humidity-raw",
                  "1023",     "--temperature-raw", "121",         "--fault", "late:35",
                  "--link",   "/tmp/robot",        "--ack",       "6",       "--text",
                  "hola",     "--text-delay",      "80",          "--seed",  "9",
                  "--quiet",  "--replay",          "/tmp/run.log"});
    EXPECT_EQ(options.device, "/dev/ttyUSB0");
    EXPECT_EQ(options.replay, "/tmp/run.log");
    EXPECT_EQ(options.settings.baudRate, 19200);
    EXPECT_EQ(options.settings.robot.telemetry, (sim::Telemetry{121, 1023}));
    EXPECT_EQ(options.settings.fault, sim::Fault::late(35ms));
    EXPECT_EQ(options.link, "/tmp/robot");
    EXPECT_EQ(options.settings.robot.acknowledgement, 6);
    EXPECT_EQ(options.settings.robot.text, "hola");
    EXPECT_EQ(options.settings.robot.textDelay, 80ms);
    EXPECT_EQ(options.settings.garbageSeed, 9u);
    EXPECT_TRUE(options.quiet);
}

TEST(OptionsTest, ConvertsDegreesAndPerCentToRawReadings) {
    const auto options = accepted({"--humidity", "50", "--temperature", "10"});
    EXPECT_EQ(options.settings.robot.telemetry, (sim::Telemetry{121, 512}));
    EXPECT_EQ(accepted({"--temperature", "-40"}).settings.robot.telemetry.temperatureRaw, 0);
}

TEST(OptionsTest, RejectsBadValuesWithAMessage) {
    EXPECT_EQ(rejected({"--humidity", "50", "--humidity-raw", "3"}),
              "--humidity-raw and --humidity exclude each other");
    EXPECT_EQ(rejected({"--fault", "sometimes"}), "invalid value for --fault: sometimes");
    for (const QStringList& bad :
         {QStringList{"--humidity-raw", "10000"}, QStringList{"--temperature-raw", "-1"},
          QStringList{"--humidity", "lots"}, QStringList{"--temperature", "-41"},
          QStringList{"--ack", "256"}, QStringList{"--text", QString(36, 'x')},
          QStringList{"--text-delay", "x"}, QStringList{"--baud", "0"}, QStringList{"--frobnicate"},
          QStringList{"stray"}, QStringList{"--device"}})
        EXPECT_FALSE(rejected(bad).empty());
    EXPECT_TRUE(std::holds_alternative<sim::HelpRequested>(parse({"--help"})));
}

TEST(OptionsTest, HelpNamesEveryOptionAndFaultMode) {
    const auto parsed = parse({"--help"});
    const auto* help = std::get_if<sim::HelpRequested>(&parsed);
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->text.starts_with("Usage: marlo-sim [options]\n")) << help->text;
    for (const char* word : {"--device",
                             "--baud",
                             "--humidity-raw",
                             "--temperature-raw",
                             "--humidity",
                             "--temperature",
                             "--fault",
                             "--link",
                             "--ack",
                             "--text",
                             "--text-delay",
                             "--seed",
                             "--quiet",
                             "--replay",
                             "  none ",
                             "  silent ",
                             "  late:MS ",
                             "  garbage ",
                             "  short-telemetry ",
                             "  bad-telemetry[:DEFECT] ",
                             "letter",
                             "humidity",
                             "temperature"})
        EXPECT_NE(help->text.find(word), std::string::npos) << word;
    for (const char* mode :
         {"none", "silent", "late:250", "garbage", "short-telemetry", "bad-telemetry",
          "bad-telemetry:letter", "bad-telemetry:humidity", "bad-telemetry:temperature"})
        EXPECT_TRUE(sim::parseFault(mode).has_value()) << mode;
}

TEST(DeviceLinkTest, ReplacesOldLinksAndCleansUpOnlyItsOwn) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("robot").toStdString();
    std::filesystem::create_symlink("/dev/old", path);
    {
        sim::DeviceLink link(path, "/dev/pts/99");
        EXPECT_EQ(std::filesystem::read_symlink(path), "/dev/pts/99");
    }
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(path)));

    {
        sim::DeviceLink link(path, "/dev/pts/99");
        std::filesystem::remove(path);
        std::filesystem::create_symlink("/dev/pts/5", path);
    }
    EXPECT_EQ(std::filesystem::read_symlink(path), "/dev/pts/5");

    const std::string file = dir.filePath("file").toStdString();
    std::ofstream(file) << "keep";
    EXPECT_THROW(sim::DeviceLink(file, "/dev/pts/99"), std::system_error);
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
}

} // namespace
