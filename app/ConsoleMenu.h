#pragma once

#include "app/ConsoleSettings.h"
#include "platform/FrameSource.h"
#include "video/VideoFormat.h"

#include <QPoint>

#include <functional>

class QWidget;

// The main window's context menu: what it shows checked or enabled, and what each entry does.
namespace console_menu {

struct Choices {
    bool jobActive = false;
    bool recording = false;
    video::VideoFormat formato = video::VideoFormat::Avi;
    platform::PictureSize imagen = platform::PictureSize::Standard;
    bool hasLogo = false;
    bool remoteOn = false;
    settings::Language idioma = settings::Language::Spanish;
};

struct Actions {
    std::function<void()> job;
    std::function<void()> report;
    std::function<void(video::VideoFormat)> chooseFormat;
    std::function<void(platform::PictureSize)> chooseImagen;
    std::function<void()> chooseLogo;
    std::function<void()> clearLogo;
    std::function<void()> remoteView;
    std::function<void(settings::Language)> chooseIdioma;
};

// Shows the menu at `where` and returns once it is closed, after the chosen entry has run.
void exec(QWidget& owner, const Choices& choices, const Actions& actions, QPoint where);

} // namespace console_menu
