#pragma once

#include "platform/FrameSource.h"

#include <QDialog>

#include <map>
#include <optional>
#include <vector>

class QDoubleSpinBox;
class QListWidget;

namespace platform {

// "Select CAM": the sources on offer, with a button to add a video file, a stream address
// or the test pattern. Show it with Dialogs::showModal.
class SelectCameraDialog : public QDialog {
    Q_OBJECT
public:
    explicit SelectCameraDialog(QWidget* owner = nullptr);

    // The row chosen, counted in the list as it was filled; none when nothing was chosen.
    std::optional<int> chosenIndex() const;
    // The source on the chosen row, whatever the list of the system holds by now.
    std::optional<CaptureSource> chosenSource() const;
    QListWidget& list() { return *list_; }
    void addSourceFromOperator();

private:
    void fill();
    QListWidget* list_ = nullptr;
    std::vector<CaptureSource> sources_;
};

// One property page of the running source: "camera_pp" (picture settings) or "video_pp"
// (size and rate). The values it shows are read from the source when it opens; those
// the operator changes are set on the source when the page is accepted.
class CameraPageDialog : public QDialog {
    Q_OBJECT
public:
    enum class Page { Camera, Video };
    CameraPageDialog(Page page, FrameSource* source, QWidget* owner = nullptr);

    QDoubleSpinBox* field(CameraProperty property) const;
    // Sets the values changed since the page opened.
    void apply();

private:
    FrameSource* source_;
    std::map<CameraProperty, QDoubleSpinBox*> fields_;
    std::map<CameraProperty, double> shown_;
};

// Shows a property page of the source through the dialog layer and applies it on OK.
void showCameraPage(CameraPageDialog::Page page, FrameSource* source, QWidget* owner);

} // namespace platform
