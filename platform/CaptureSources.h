#pragma once

#include "platform/FrameSource.h"

#include <vector>

namespace platform {

// The sources the selection dialog offers: the attached cameras first, then the sources
// the operator has added, which the capture layer keeps in its own settings.
std::vector<CaptureSource> attachedCameras();
std::vector<CaptureSource> addedSources();
void addSource(const CaptureSource& source);
std::vector<CaptureSource> availableSources();

} // namespace platform
