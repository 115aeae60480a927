#include "app/ConsoleMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>

namespace console_menu {
namespace {

// The menu's texts keep the window's translation context.
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(TForm1)
};

template <typename Choice>
void addChoice(QMenu& menu, const QString& text, Choice choice, Choice current,
               const std::function<void(Choice)>& choose) {
    QAction* action = menu.addAction(text, [choose, choice] { choose(choice); });
    action->setCheckable(true);
    action->setChecked(choice == current);
}

} // namespace

void exec(QWidget& owner, const Choices& choices, const Actions& actions, QPoint where) {
    QMenu menu(&owner);
    menu.addAction(Texts::tr("Trabajo..."), actions.job);
    menu.addAction(Texts::tr("Informe del trabajo"), actions.report)->setEnabled(choices.jobActive);
    QMenu* formats = menu.addMenu(Texts::tr("Formato de vídeo"));
    formats->setEnabled(!choices.recording);
    for (const auto format : {video::VideoFormat::Avi, video::VideoFormat::Mp4})
        addChoice(*formats, settings::formatoText(format), format, choices.formato,
                  actions.chooseFormat);
    QMenu* imagen = menu.addMenu(Texts::tr("Imagen"));
    for (const platform::PictureSize size :
         {platform::PictureSize::Standard, platform::PictureSize::Own})
        // The stored word "nativo" is shown in the console's language.
        addChoice(*imagen,
                  size == platform::PictureSize::Own ? Texts::tr("nativo")
                                                     : settings::imagenText(size),
                  size, choices.imagen, actions.chooseImagen);
    menu.addAction(Texts::tr("Logotipo del informe..."), actions.chooseLogo);
    menu.addAction(Texts::tr("Quitar el logotipo del informe"), actions.clearLogo)
        ->setEnabled(choices.hasLogo);
    QAction* remote = menu.addAction(Texts::tr("Vista remota"), actions.remoteView);
    remote->setCheckable(true);
    remote->setChecked(choices.remoteOn);
    // Both names, so that an operator who reads only one of the two languages finds it.
    QMenu* idioma = menu.addMenu(QStringLiteral("Idioma / Language"));
    for (const auto language : {settings::Language::Spanish, settings::Language::English})
        addChoice(*idioma,
                  language == settings::Language::English ? QStringLiteral("English")
                                                          : QStringLiteral("Español"),
                  language, choices.idioma, actions.chooseIdioma);
    menu.exec(where);
}

} // namespace console_menu
