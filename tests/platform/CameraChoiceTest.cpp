#include "platform/CaptureSources.h"

#include <gtest/gtest.h>

namespace {

using platform::CaptureSource;
using Kind = CaptureSource::Kind;

const CaptureSource frontCamera{Kind::Camera, "/dev/video0", "Front", "usb-front"};
const CaptureSource rearCamera{Kind::Camera, "/dev/video2", "Rear", "usb-rear"};
// The rear camera as stored before the system numbered its devices anew.
const CaptureSource rearAsStored{Kind::Camera, "/dev/video6", "Rear", "usb-rear"};
const CaptureSource file{Kind::File, "/srv/inspeccion.avi", "inspeccion.avi", ""};
const CaptureSource awayCamera{Kind::Camera, "/dev/video4", "Away", "usb-away"};

std::string describe(const std::optional<CaptureSource>& source) {
    return source ? source->address.toStdString() : "none";
}

} // namespace

TEST(CameraChoice, TheCommandLineThenTheChosenSourceThenTheRowDecide) {
    const std::vector<CaptureSource> list{frontCamera, rearCamera, file};
    const struct {
        const char* name;
        const char* commandLine;
        std::vector<CaptureSource> sources;
        std::optional<CaptureSource> chosen;
        int index;
        std::optional<CaptureSource> source;
        std::optional<CaptureSource> chosenAfter;
        int indexAfter;
    } cases[] = {
        {"the command line wins and changes nothing stored", "test", list, rearCamera, 0,
         platform::parseCaptureSource("test"), rearCamera, 0},
        {"the command line wins over a row too",
         "test",
         {},
         std::nullopt,
         1,
         platform::parseCaptureSource("test"),
         std::nullopt,
         1},
        {"the chosen source is found at its new row", "", list, rearCamera, 0, rearCamera,
         rearCamera, 1},
        {"the chosen camera is found by its identity and started as stored", "", list, rearAsStored,
         2, rearAsStored, rearAsStored, 1},
        {"an away chosen camera is started all the same, its row kept", "", list, awayCamera, 2,
         awayCamera, awayCamera, 2},
        {"away from an empty list", "", {}, awayCamera, 0, awayCamera, awayCamera, 0},
        {"the first row becomes the chosen one", "", list, std::nullopt, 0, frontCamera,
         frontCamera, 0},
        {"the last row", "", list, std::nullopt, 2, file, file, 2},
        {"one past the last row starts nothing", "", list, std::nullopt, 3, std::nullopt,
         std::nullopt, 3},
        {"a negative row starts nothing", "", list, std::nullopt, -1, std::nullopt, std::nullopt,
         -1},
        {"an empty list starts nothing", "", {}, std::nullopt, 0, std::nullopt, std::nullopt, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const platform::CameraChoice choice =
            platform::chooseCamera(QString::fromUtf8(c.commandLine), c.sources, c.chosen, c.index);
        EXPECT_EQ(describe(choice.source), describe(c.source));
        EXPECT_EQ(choice.source, c.source);
        EXPECT_EQ(describe(choice.chosen), describe(c.chosenAfter));
        EXPECT_EQ(choice.chosen, c.chosenAfter);
        EXPECT_EQ(choice.index, c.indexAfter);
    }
}
