#include "app/CommandLine.h"
#include "app/Comunica.h"
#include "app/ConsoleSettings.h"
#include "app/Inicio.h"
#include "app/Main.h"
#include "app/Translation.h"
#include "app/acerca.h"
#include "input/CameraWatch.h"
#include "input/LinkStatus.h"
#include "job/JobDialogs.h"
#include "job/JobFolder.h"
#include "job/Observation.h"
#include "job/Report.h"
#include "job/Session.h"
#include "link/PortSetup.h"
#include "platform/CaptureDialogs.h"
#include "platform/FrameSource.h"
#include "remote/RemoteView.h"
#include "tests/support/ContextMenu.h"
#include "tests/support/HttpClient.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempSettings.h"
#include "video/RecordingWatch.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>

namespace {

// The English texts, one place: the translation file the program is built from.
struct Translations {
    std::map<QString, QString> english;
    // Each Spanish source whose English differs, as a pattern its %1... may fill.
    std::vector<QRegularExpression> spanish;
    QStringList problems;
};

QString placeholders(const QString& text) {
    QStringList found;
    for (const auto& match : QRegularExpression(QStringLiteral("%\\d")).globalMatch(text))
        found << match.captured();
    found.sort();
    return found.join(' ') + QStringLiteral(" &") + QString::number(text.count('&'));
}

QRegularExpression sourcePattern(const QString& source) {
    QString pattern = QRegularExpression::escape(source);
    pattern.replace(QRegularExpression(QStringLiteral("%\\d")), QStringLiteral(".*"));
    return QRegularExpression(QLatin1Char('^') + pattern + QLatin1Char('$'),
                              QRegularExpression::DotMatchesEverythingOption);
}

Translations readTranslations() {
    Translations result;
    QFile file(QStringLiteral(MARLO_TRANSLATIONS));
    if (!file.open(QIODevice::ReadOnly)) {
        result.problems << QStringLiteral("cannot read ") + file.fileName();
        return result;
    }
    QXmlStreamReader xml(&file);
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            const QString english = xml.readElementText();
            if (!type.isEmpty() || english.isEmpty())
                result.problems << QStringLiteral("not translated: ") + source;
            else if (placeholders(english) != placeholders(source))
                result.problems << QStringLiteral("placeholders or accelerators differ: ") + source;
            result.english[source] = english;
            if (english != source)
                result.spanish.push_back(sourcePattern(source));
        }
    }
    if (xml.hasError())
        result.problems << xml.errorString();
    return result;
}

const Translations& translations() {
    static const Translations read = readTranslations();
    return read;
}

// The texts of one window that are still Spanish, each with where it was found.
struct SpanishFinder {
    QStringList found;

    void check(const QString& where, const QString& text) {
        if (text.isEmpty())
            return;
        // A text that never went through the translation is still caught by its letters; the
        // company's name and the Spanish choice of language are names, the same in English.
        static const QRegularExpression spanishLetters(QStringLiteral("[áéíóúñÁÉÍÓÚÑ¿¡]"));
        static const QStringList names{QStringLiteral("Español"),
                                       QStringLiteral("QUELMAR Ingeniería"),
                                       QStringLiteral("QUELMAR Ingeniería · 2007")};
        if (text.contains(spanishLetters) && !names.contains(text)) {
            found << where + QStringLiteral(": ") + text;
            return;
        }
        for (const QRegularExpression& pattern : translations().spanish)
            if (pattern.match(text).hasMatch()) {
                found << where + QStringLiteral(": ") + text;
                return;
            }
    }
    void checkActions(const QString& where, const QList<QAction*>& actions) {
        for (QAction* action : actions) {
            check(where + QStringLiteral(" action"), action->text());
            check(where + QStringLiteral(" action tip"), action->toolTip());
            if (action->menu())
                checkActions(where + QStringLiteral(" > ") + action->text(),
                             action->menu()->actions());
        }
    }
    void checkWidget(QWidget& widget) {
        const QString name = widget.objectName().isEmpty()
                                 ? QString::fromLatin1(widget.metaObject()->className())
                                 : widget.objectName();
        check(name + QStringLiteral(" title"), widget.windowTitle());
        check(name + QStringLiteral(" tooltip"), widget.toolTip());
        check(name + QStringLiteral(" status tip"), widget.statusTip());
        check(name + QStringLiteral(" caption"), widget.property("Caption").toString());
        if (auto* label = qobject_cast<QLabel*>(&widget))
            check(name, label->text());
        if (auto* button = qobject_cast<QAbstractButton*>(&widget))
            check(name, button->text());
        if (auto* edit = qobject_cast<QLineEdit*>(&widget))
            check(name + QStringLiteral(" placeholder"), edit->placeholderText());
        if (auto* box = qobject_cast<QGroupBox*>(&widget))
            check(name, box->title());
        if (auto* combo = qobject_cast<QComboBox*>(&widget))
            for (int i = 0; i < combo->count(); ++i)
                check(name + QStringLiteral(" item"), combo->itemText(i));
        if (auto* list = qobject_cast<QListWidget*>(&widget))
            for (int i = 0; i < list->count(); ++i)
                check(name + QStringLiteral(" item"), list->item(i)->text());
        checkActions(name, widget.actions());
    }
    void checkWindow(QWidget& window) {
        checkWidget(window);
        for (QWidget* child : window.findChildren<QWidget*>())
            checkWidget(*child);
    }
};

struct EnglishConsole : ::testing::Test {
    testing_support::MissingPortSettings settings;
    testing_support::ScriptedDialogs dialogs;
    std::unique_ptr<QTranslator> translator = installTranslator(settings::Language::English);
    SpanishFinder finder;

    static QString english(const char* source) {
        const auto found = translations().english.find(QString::fromUtf8(source));
        return found == translations().english.end() ? QString() : found->second;
    }
};

} // namespace

TEST(Translations, EveryTextIsTranslatedWithItsPlaceholdersAndAccelerators) {
    EXPECT_GT(translations().english.size(), 150u);
    EXPECT_TRUE(translations().problems.isEmpty())
        << translations().problems.join('\n').toStdString();
}

TEST(Translations, SpanishNeedsNoTranslatorWhateverTheSystemLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(installTranslator(settings::Language::Spanish), nullptr);
    testing_support::MissingPortSettings settings;
    testing_support::ScriptedDialogs dialogs;
    TForm1 form;
    EXPECT_EQ(form.windowTitle(), "Marlo 3 y Tervan - Software de control y captura");
    QLocale::setDefault(before);
}

TEST_F(EnglishConsole, TheMainWindowAndItsMenuLeaveNoSpanish) {
    ASSERT_NE(translator, nullptr);
    TForm1 form;
    form.show();
    EXPECT_EQ(form.windowTitle(), english("Marlo 3 y Tervan - Software de control y captura"));
    finder.checkWindow(form);
    qsizetype entries = 0;
    EXPECT_TRUE(testing_support::withContextMenu(form, [&](QMenu& menu) {
        entries = menu.actions().size();
        finder.checkActions(QStringLiteral("context menu"), menu.actions());
    }));
    EXPECT_GE(entries, 5) << "the context menu was walked";
    EXPECT_TRUE(finder.found.isEmpty()) << finder.found.join('\n').toStdString();
}

TEST_F(EnglishConsole, TheDialogsLeaveNoSpanish) {
    ASSERT_NE(translator, nullptr);
    job::JobDialog job(nullptr);
    job::NoteDialog note(nullptr);
    platform::SelectCameraDialog cameras(nullptr);
    platform::CameraPageDialog camera(platform::CameraPageDialog::Page::Camera, nullptr, nullptr);
    platform::CameraPageDialog video(platform::CameraPageDialog::Page::Video, nullptr, nullptr);
    TFConfigura port(nullptr);
    TFAcerca about(nullptr);
    TArranque splash;
    for (QWidget* window : std::initializer_list<QWidget*>{&job, &note, &cameras, &camera, &video,
                                                           &port, &about, &splash})
        finder.checkWindow(*window);
    EXPECT_EQ(job.windowTitle(), "Job");
    EXPECT_EQ(note.findChild<QComboBox*>()->itemText(1), "Clean");
    EXPECT_TRUE(finder.found.isEmpty()) << finder.found.join('\n').toStdString();
}

// What the status line and the message boxes say, as the console's parts word it.
TEST_F(EnglishConsole, StatusAndMessageTextsLeaveNoSpanish) {
    ASSERT_NE(translator, nullptr);
    QStringList texts;
    {
        TForm1 form;
        texts << form.statusLine().text();
        form.ChooseIdioma(settings::Language::English);
        texts << form.statusLine().text();
        EXPECT_TRUE(form.statusLine().text().endsWith("The language changes at the next start"));
    }
    for (const platform::MessageRequest& message : dialogs.messages())
        texts << message.text << message.caption << message.detail;
    using input::LinkStatus;
    texts << LinkStatus::indicatorText(robot::LinkState::Lost)
          << LinkStatus::indicatorText(robot::LinkState::RobotSilent) << robot::portInUseText();
    for (int fault = 0; fault < input::CameraWatch::faultKinds; ++fault)
        texts << input::CameraWatch::noPictureText(static_cast<platform::SourceFault>(fault));
    using Failure = video::Recorder::Failure;
    for (const Failure failure : {Failure::CannotCreate, Failure::NoSpace, Failure::SpaceLow,
                                  Failure::DiskFull, Failure::SizeChanged, Failure::WriteFailed})
        texts << video::recordingFailureText(failure, QString())
              << video::recordingFailureText(failure, QStringLiteral("001video.avi"));
    texts << video::diskLowText(30) << video::framesDroppedText(4)
          << job::diskFailureText(platform::DiskError::Full, QStringLiteral("a.bmp"))
          << job::diskFailureText(platform::DiskError::Failed, QStringLiteral("a.bmp"))
          << settings::retardoRangeMessage(101) << settings::intervaloRangeMessage(0)
          << settings::unreadableSettingMessage({settings::kRetardo, 100, true})
          << settings::unreadableSettingMessage({settings::kIdioma, 0, false, "es"})
          << platform::captureSourceProblem(QStringLiteral("test:15x16"));
    for (const QString& text : texts)
        for (const QString& part : text.split(QStringLiteral(" · ")))
            finder.check(QStringLiteral("message"), part);
    EXPECT_GT(texts.size(), 25);
    EXPECT_TRUE(finder.found.isEmpty()) << finder.found.join('\n').toStdString();
}

// A job's report in English: every text of its own is English, with the operator's names,
// notes and locations as typed; what it leaves out is told in English too.
TEST_F(EnglishConsole, TheReportLeavesNoSpanish) {
    ASSERT_NE(translator, nullptr);
    const QTemporaryDir root;
    const QDateTime start(QDate(2026, 12, 9), QTime(10, 0));
    const std::optional<job::JobFolder> folder = job::JobFolder::open(
        QStringLiteral("Sun Hotel"), root.path(), start, platform::localDisk(),
        {QStringLiteral("Sun Hotels"), QStringLiteral("Sea Road 12"), QStringLiteral("Ann Smith"),
         QStringLiteral("Marlo 3"), QStringLiteral("M3-0042")});
    ASSERT_TRUE(folder);
    const struct {
        job::Tag tag;
        const char* location;
        job::Finding finding;
        const char* picture;
    } marks[] = {
        {job::Tag::Before, "Kitchen", job::Finding::Grease, "text.bmp"},
        {job::Tag::After, "Kitchen", job::Finding::Clean, ""},
        {job::Tag::None, "", job::Finding::None, ""},
    };
    QString csv = job::observationsCsvHeader();
    int second = 0;
    for (const auto& mark : marks) {
        job::Observation o;
        o.when = start.addSecs(second += 10);
        o.tag = mark.tag;
        o.note = QStringLiteral("grille");
        o.location = QString::fromUtf8(mark.location);
        o.finding = mark.finding;
        o.severity = mark.finding == job::Finding::None ? 0 : 2;
        o.picture = QString::fromUtf8(mark.picture);
        csv += job::observationCsvRow(o);
    }
    // A picture that is none: refused, and listed as left out.
    QFile notPicture(QDir(folder->path()).filePath(QStringLiteral("text.bmp")));
    ASSERT_TRUE(notPicture.open(QIODevice::WriteOnly));
    notPicture.write("text");
    notPicture.close();
    QFile observations(QDir(folder->path()).filePath(job::observationsFile));
    ASSERT_TRUE(observations.open(QIODevice::WriteOnly));
    observations.write(csv.toUtf8());
    observations.close();

    const job::ReportOutcome outcome = job::writeReportFiles(folder->path());
    ASSERT_TRUE(outcome.written) << outcome.failure.toStdString();
    QFile html(QDir(folder->path()).filePath(job::reportHtmlFile));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(html.readAll());
    for (const char* english :
         {"Inspection report", "Client", "Before and after cleaning", "Left out of this report",
          "Pictures refused: text.bmp (not a picture)", "Finding: Grease"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(english))) << english;
    QStringList texts = outcome.message().split(QStringLiteral("; "));
    static const QRegularExpression between(QStringLiteral(">([^<>]+)<"));
    for (const QRegularExpressionMatch& match : between.globalMatch(page))
        texts << match.captured(1).trimmed();
    for (const QString& text : texts)
        finder.check(QStringLiteral("report"), text);
    EXPECT_TRUE(finder.found.isEmpty()) << finder.found.join('\n').toStdString();
}

// A viewer of the remote view reads an observation in English; its recording's cue stays as
// the files have it.
TEST_F(EnglishConsole, AnObservationIsToldToAViewerInEnglish) {
    ASSERT_NE(translator, nullptr);
    job::Observation o;
    o.tag = job::Tag::Before;
    o.note = QStringLiteral("grille");
    o.location = QStringLiteral("Kitchen");
    o.finding = job::Finding::Grease;
    o.severity = 2;
    EXPECT_EQ(job::observationLine(o),
              "before: grille | Location: Kitchen | Finding: Grease | Severity: 2");
    EXPECT_EQ(job::observationCueText(o),
              "antes: grille | Ubicación: Kitchen | Hallazgo: Grasa | Gravedad: 2");
}

// The remote view's page: every text of it that has an English one is served in English.
TEST_F(EnglishConsole, TheRemoteViewPageLeavesNoSpanish) {
    ASSERT_NE(translator, nullptr);
    remote::RemoteView view([] { return remote::ViewState{}; });
    ASSERT_FALSE(view.start(QHostAddress::LocalHost, 0).has_value());
    testing_support::Client client(view.port());
    client.get(QStringLiteral("/?code=") + view.code());
    ASSERT_EQ(client.status(), 200);
    const QString body = QString::fromUtf8(client.body());
    EXPECT_TRUE(body.contains("<span>Job: <b id=\"job\">")) << body.toStdString();
    EXPECT_TRUE(body.contains("<script>"));
    for (const char* spanish : {"Trabajo:", "Enlace:", "Temperatura:", "Humedad:", "Observaciones",
                                "Imagen del robot", "Grabando", "Sin grabar", "Sin respuesta",
                                "Código no válido", "Consola:", "Vista remota"})
        EXPECT_FALSE(body.contains(QString::fromUtf8(spanish))) << spanish;
}

TEST(Idioma, StoredTextsAreReadAndAnyOtherIsReportedKeepingSpanish) {
    using settings::Language;
    const struct {
        std::optional<QVariant> stored;
        Language read;
        bool unreadable;
    } cases[] = {
        {std::nullopt, Language::Spanish, false},
        {"es", Language::Spanish, false},
        {"en", Language::English, false},
        {" EN ", Language::English, false},
        {"fr", Language::Spanish, true},
        {"", Language::Spanish, true},
        {7, Language::Spanish, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored->toString().toStdString() : "nothing");
        testing_support::TempSettings temp;
        temp.store("Retardo", 3);
        if (c.stored)
            temp.store("Idioma", *c.stored);
        const settings::StartupRead read = settings::readStartupSettings();
        EXPECT_EQ(read.values.idioma, c.read);
        EXPECT_EQ(settings::readIdioma(), c.read);
        EXPECT_EQ(read.values.retardo, 3) << "the other values are read all the same";
        ASSERT_EQ(read.unreadable.size(), c.unreadable ? 1u : 0u);
        if (c.unreadable) {
            EXPECT_EQ(settings::unreadableSettingMessage(read.unreadable[0]),
                      "El valor \"Idioma\" de la configuración no se puede leer. Se usa es.");
        }
    }
}

TEST(Idioma, TheCommandLineOverridesForOneRunAndRefusesAnyOtherLanguage) {
    EXPECT_EQ(parseCommandLine({"marlo-consola"}).language, std::nullopt);
    EXPECT_EQ(parseCommandLine({"marlo-consola", "--lang", "en"}).language,
              settings::Language::English);
    EXPECT_EQ(parseCommandLine({"marlo-consola", "--lang=es"}).language,
              settings::Language::Spanish);
    EXPECT_EQ(parseCommandLine({"marlo-consola", "--lang", "EN"}).language,
              settings::Language::English);
    for (const char* language : {"fr", "english", ""})
        EXPECT_EXIT(parseCommandLine({"marlo-consola", "--lang", language}),
                    testing::ExitedWithCode(1), "expected es or en")
            << language;
}

TEST(Idioma, TheMenuChoiceIsStoredCheckedAndTakesEffectAtTheNextStart) {
    testing_support::MissingPortSettings settings;
    testing_support::ScriptedDialogs dialogs;
    settings.store("Idioma", "en");
    TForm1 form;
    form.show();
    EXPECT_EQ(form.idioma(), settings::Language::English);
    EXPECT_EQ(form.windowTitle(), "Marlo 3 y Tervan - Software de control y captura")
        << "the language changes only when the console starts";
    form.ChooseIdioma(settings::Language::Spanish);
    EXPECT_EQ(settings.stored("Idioma").toString(), "es");
    EXPECT_TRUE(form.statusLine().text().endsWith("El idioma cambiará en el próximo arranque"));
    QString checked;
    testing_support::withContextMenu(form, [&](QMenu& menu) {
        for (QAction* action : menu.actions())
            if (action->text() == "Idioma / Language")
                for (QAction* inner : action->menu()->actions())
                    if (inner->isChecked())
                        checked += inner->text();
    });
    EXPECT_EQ(checked, "Español");
}
