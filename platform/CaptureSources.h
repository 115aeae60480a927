#pragma once

#include "platform/FrameSource.h"

#include <optional>
#include <vector>

namespace platform {

// The sources the selection dialog offers: the attached cameras first, as the system's
// device monitor finds them at the call, then the sources the operator has added, which the
// capture layer keeps in its own settings.
std::vector<CaptureSource> attachedCameras();
std::vector<CaptureSource> addedSources();
void addSource(const CaptureSource& source);
std::vector<CaptureSource> availableSources();

// A camera's identity from its driver: card name and bus position.
QString cameraIdentity(const QString& card, const QString& busInfo);
// Whether two descriptions name one source, whatever device number a camera has now.
bool sameSource(const CaptureSource& left, const CaptureSource& right);
// Where the source is in the list; none when it is not there.
std::optional<int> rowOf(const std::vector<CaptureSource>& sources, const CaptureSource& source);
// The camera to start and the stored choice after the start: the source named on the command
// line, else the chosen one wherever it is in the list now (even while it is away, so that it
// is opened on its return), else the list's row `index`, which becomes the chosen one.
struct CameraChoice {
    // None when nothing is to be started.
    std::optional<CaptureSource> source;
    std::optional<CaptureSource> chosen;
    int index = 0;
};
CameraChoice chooseCamera(const QString& commandLine, const std::vector<CaptureSource>& sources,
                          const std::optional<CaptureSource>& chosen, int index);
// The device a camera has now: the node whose identity matches, else its known address.
QString currentCameraPath(const CaptureSource& camera);

} // namespace platform
