#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

QStringList line(std::initializer_list<const char*> arguments) {
    QStringList list{QStringLiteral("marlo-consola")};
    for (const char* argument : arguments)
        list << QString::fromUtf8(argument);
    return list;
}

} // namespace

TEST(JobCommandLine, JobAndReportOptionsAreRead) {
    const ConsoleOptions options =
        parseCommandLine(line({"--camera", "test", "--job", "Obra Sur - tramo 3"}));
    EXPECT_EQ(options.job, QStringLiteral("Obra Sur - tramo 3"));
    EXPECT_EQ(options.camera, QStringLiteral("test"));
    EXPECT_TRUE(options.report.isEmpty());
    EXPECT_EQ(parseCommandLine(line({"--report", "/tmp/trabajo"})).report,
              QStringLiteral("/tmp/trabajo"));
    EXPECT_TRUE(parseCommandLine(line({})).job.isEmpty());
}

TEST(JobCommandLine, OnlyAReportRequestIsWrittenWithoutAWindow) {
    EXPECT_TRUE(wantsReport(line({"--report", "/tmp/trabajo"})));
    EXPECT_FALSE(wantsReport(line({"--job", "Obra"})));
    EXPECT_FALSE(wantsReport(line({})));
    EXPECT_FALSE(wantsReport(line({"--report", "/tmp/trabajo", "--version"})))
        << "the text options answer first";
    EXPECT_FALSE(needsNoWindow(line({"--report", "/tmp/trabajo"})));
}
