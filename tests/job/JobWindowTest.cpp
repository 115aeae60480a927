#include "app/Main.h"
#include "input/Keyboard.h"
#include "job/JobDialogs.h"
#include "job/Report.h"
#include "tests/support/FrameFeed.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/ScriptedDisk.h"
#include "tests/support/TempSettings.h"
#include "tests/support/WorkingFolder.h"
#include "tests/video/VideoFiles.h"
#include "ui_Main.h"

#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <list>

using testing_support::MissingPortSettings;
using testing_support::ScriptedDialogs;
using testing_support::ScriptedDisk;
using testing_support::TempSettings;
using testing_support::WorkingFolder;

namespace {

const QString title = QStringLiteral("Marlo 3 y Tervan - Software de control y captura");

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The pictures folder is chosen when the window is made.
struct PicturesFolder {
    QTemporaryDir dir;
    QByteArray saved = qgetenv("XDG_PICTURES_DIR");
    PicturesFolder() { qputenv("XDG_PICTURES_DIR", dir.path().toUtf8()); }
    ~PicturesFolder() {
        if (saved.isEmpty())
            qunsetenv("XDG_PICTURES_DIR");
        else
            qputenv("XDG_PICTURES_DIR", saved);
    }
};

struct JobWindow : ::testing::Test {
    MissingPortSettings settings;
    ScriptedDialogs dialogs;
    WorkingFolder working;
    PicturesFolder pictures;
    std::unique_ptr<TForm1> form = std::make_unique<TForm1>();

    void feed(int frames) {
        testing_support::feedFrames(*form, frames, [](int) { return std::uint8_t(0x40); });
    }
    // Each frame written before the next is fed, so that a busy machine drops none.
    void record(int frames) {
        for (int i = 0; i < frames; ++i) {
            const std::uint32_t written = form->recorder().framesWritten();
            feed(1);
            ASSERT_TRUE(
                video_test::waitFor([&] { return form->recorder().framesWritten() > written; }));
        }
    }
    void pressObservationKey() {
        form->FormKeyDown(job::observationKey);
        form->FormKeyUp(job::observationKey);
        QCoreApplication::processEvents();
    }
    void answerNote(const QString& note, job::Tag tag) {
        dialogs.onNextModal([note, tag](QDialog& dialog) {
            auto& box = dynamic_cast<job::NoteDialog&>(dialog);
            box.noteEdit->setText(note);
            (tag == job::Tag::Before  ? box.before
             : tag == job::Tag::After ? box.after
                                      : box.none)
                ->setChecked(true);
            return int(QDialog::Accepted);
        });
    }
    QStringList jobFiles() {
        form->job().drain();
        return QDir(form->job().folder()).entryList(QDir::Files, QDir::Name);
    }
};

} // namespace

TEST_F(JobWindow, WithoutAJobTheObservationKeyIsAnyOtherKeyAndNamesAreTheUsualOnes) {
    EXPECT_EQ(form->windowTitle(), title);
    pressObservationKey();
    EXPECT_TRUE(dialogs.modalDialogs().empty());
    const auto& state = form->state();
    EXPECT_EQ(form->statusLine().text(),
              testing_support::afterLostLink +
                  input::statusLine(state.DriveSpeed, state.Forward, job::observationKey));
    feed(1);
    form->RecordClick();
    feed(3);
    form->StopRecordClick();
    ASSERT_EQ(working.files().size(), 1);
    EXPECT_EQ(working.files()[0], state.VideoFileName);
    EXPECT_TRUE(state.VideoFileName.endsWith(QStringLiteral("video.avi")));
    EXPECT_FALSE(state.VideoFileName.contains('_'));
    EXPECT_TRUE(QDir(pictures.dir.path()).isEmpty());
}

TEST_F(JobWindow, JobDialogNamesTheJobAndShowsItInTheTitle) {
    dialogs.onNextModal([](QDialog&) { return int(QDialog::Rejected); });
    form->JobClick();
    EXPECT_EQ(form->windowTitle(), title);
    EXPECT_FALSE(form->job().active());
    dialogs.onNextModal([](QDialog& dialog) {
        auto& box = dynamic_cast<job::JobDialog&>(dialog);
        box.site->setText(QStringLiteral("Hotel Sol"));
        box.section->setText(QStringLiteral("conducto 3"));
        return int(QDialog::Accepted);
    });
    form->JobClick();
    EXPECT_EQ(form->windowTitle(), title + QStringLiteral(" - Trabajo: Hotel Sol - conducto 3"));
    EXPECT_TRUE(QDir(form->job().folder()).exists());
}

TEST_F(JobWindow, RecordingPicturesAndObservationsLandInTheJobFolder) {
    form->StartJob(QStringLiteral("Obra Sur"));
    feed(1);
    form->PhotoCommand();
    form->RecordClick();
    record(25);
    answerNote(QStringLiteral("junta limpia"), job::Tag::After);
    pressObservationKey();
    EXPECT_EQ(dialogs.modalDialogs().size(), 1u);
    record(5);
    form->StopRecordClick();
    EXPECT_TRUE(working.files().isEmpty());
    const QStringList files = jobFiles();
    EXPECT_EQ(files.filter(QStringLiteral("_foto.bmp")).size(), 2);
    EXPECT_EQ(files.filter(QStringLiteral("_video.avi")).size(), 1);
    EXPECT_EQ(files.filter(QStringLiteral("_video.srt")).size(), 1);
    EXPECT_EQ(files.filter(QStringLiteral("_video.csv")).size(), 1);
    EXPECT_TRUE(files.contains(job::observationsFile));
    QFile srt(QDir(form->job().folder()).filePath(files.filter(QStringLiteral(".srt"))[0]));
    ASSERT_TRUE(srt.open(QIODevice::ReadOnly));
    const QString cues = QString::fromUtf8(srt.readAll());
    EXPECT_EQ(cues.count(QStringLiteral(" --> ")), 3) << "30 frames at 100 ms";
    EXPECT_TRUE(cues.contains(QStringLiteral("Observación: después: junta limpia")));
    EXPECT_TRUE(cues.contains(QStringLiteral("-- ºC  -- %"))) << "no robot answered";
}

TEST_F(JobWindow, ACancelledNoteKeepsThePictureButRecordsNothing) {
    form->StartJob(QStringLiteral("Obra Sur"));
    feed(1);
    dialogs.onNextModal([](QDialog&) { return int(QDialog::Rejected); });
    pressObservationKey();
    const QStringList files = jobFiles();
    EXPECT_EQ(files.filter(QStringLiteral("_foto.bmp")).size(), 1);
    EXPECT_FALSE(files.contains(job::observationsFile));
}

TEST_F(JobWindow, ObservationKeyOpensOneNoteBoxAtATimeOnRelease) {
    form->StartJob(QStringLiteral("Obra Sur"));
    feed(1);
    int boxes = 0;
    form->FormKeyDown(job::observationKey);
    form->FormKeyDown(job::observationKey);
    QCoreApplication::processEvents();
    EXPECT_TRUE(dialogs.modalDialogs().empty()) << "the box waits for the release";
    // Releases already queued run while the first box is open.
    dialogs.onNextModal([&boxes](QDialog&) {
        ++boxes;
        QCoreApplication::processEvents();
        return int(QDialog::Rejected);
    });
    dialogs.onNextModal([&boxes](QDialog&) {
        ++boxes;
        return int(QDialog::Rejected);
    });
    form->FormKeyUp(job::observationKey);
    form->FormKeyUp(job::observationKey);
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes, 1);
    form->FormKeyUp(job::observationKey);
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes, 2) << "a later press opens the box again";
}

// A full disk: the picture does not fit, or neither the picture nor the row does.
TEST_F(JobWindow, AnObservationNotSavedWholeSaysSoUntilTheNextOneIsSaved) {
    form->StartJob(QStringLiteral("Obra Sur"));
    feed(1);
    const QString folder = form->job().folder();
    const std::pair<std::uint64_t, QString> table[] = {
        {1000, QStringLiteral("Observación sin foto: disco lleno")},
        {0, QStringLiteral("Observación no guardada: disco lleno")},
    };
    std::list<ScriptedDisk> disks;
    for (const auto& [writable, text] : table) {
        SCOPED_TRACE(text.toStdString());
        ScriptedDisk& disk = disks.emplace_back();
        disk.writableBytes = writable;
        form->useDisk(disk.disk());
        answerNote(QStringLiteral("junta ") + QString::number(writable), job::Tag::None);
        pressObservationKey();
        form->job().drain();
        QCoreApplication::processEvents();
        EXPECT_EQ(form->statusLine().text().toStdString(),
                  (testing_support::afterLostLink + text).toStdString());
        EXPECT_TRUE(form->statusLine().active(input::StatusLine::Condition::ObservationFailed));
        form->statusLine().show(QStringLiteral("Recto adelante"));
        EXPECT_TRUE(form->statusLine().active(input::StatusLine::Condition::ObservationFailed))
            << "a key text covers it only for a while";
        EXPECT_TRUE(jobFiles().filter(QStringLiteral("_foto.bmp")).isEmpty())
            << "no partial picture is left";
    }
    const job::ObservationList kept = job::parseObservations(
        QString::fromUtf8(fileBytes(QDir(folder).filePath(job::observationsFile))));
    ASSERT_EQ(kept.observations.size(), 1u) << "the row that fitted, without its picture";
    EXPECT_EQ(kept.observations[0].note, QStringLiteral("junta 1000"));
    EXPECT_TRUE(kept.observations[0].picture.isEmpty());

    form->useDisk(platform::localDisk());
    answerNote(QStringLiteral("junta sana"), job::Tag::None);
    pressObservationKey();
    form->job().drain();
    QCoreApplication::processEvents();
    EXPECT_EQ(form->statusLine().text(), testing_support::afterLostLink + "Observación guardada");
    EXPECT_FALSE(form->statusLine().active(input::StatusLine::Condition::ObservationFailed));
    EXPECT_EQ(jobFiles().filter(QStringLiteral("_foto.bmp")).size(), 1);
    form.reset();
}

TEST_F(JobWindow, JobDetailsGoToTheJobFileAndTheOperatorAndRobotAreOfferedAgain) {
    QStringList offered;
    const auto answer = [&offered](const char* site, const char* operatorName, const char* serial) {
        return [&offered, site, operatorName, serial](QDialog& dialog) {
            auto& box = dynamic_cast<job::JobDialog&>(dialog);
            offered = {box.client->text(), box.address->text(), box.operatorName->text(),
                       box.robotModel->text(), box.robotSerial->text()};
            box.site->setText(QString::fromUtf8(site));
            box.client->setText(QStringLiteral("Hotel Sol"));
            box.address->setText(QStringLiteral("Calle Mayor, 5"));
            box.operatorName->setText(QString::fromUtf8(operatorName));
            box.robotModel->setText(QStringLiteral("Marlo 3"));
            box.robotSerial->setText(QString::fromUtf8(serial));
            return int(QDialog::Accepted);
        };
    };
    dialogs.onNextModal(answer("Obra Sur", "Ana Ruiz", "M3-0042"));
    form->JobClick();
    EXPECT_EQ(offered, QStringList(5)) << "nothing remembered yet";
    const job::JobInfo info = job::readJobInfo(form->job().folder());
    EXPECT_EQ(info.details,
              (job::JobDetails{QStringLiteral("Hotel Sol"), QStringLiteral("Calle Mayor, 5"),
                               QStringLiteral("Ana Ruiz"), QStringLiteral("Marlo 3"),
                               QStringLiteral("M3-0042")}));
    dialogs.onNextModal(answer("Obra Norte", "Luis Gil", "M3-0043"));
    form->JobClick();
    EXPECT_EQ(offered, (QStringList{{},
                                    {},
                                    QStringLiteral("Ana Ruiz"),
                                    QStringLiteral("Marlo 3"),
                                    QStringLiteral("M3-0042")}))
        << "the last operator and robot, not the client";
    dialogs.onNextModal([](QDialog&) { return int(QDialog::Rejected); });
    form->JobClick();
    dialogs.onNextModal(answer("Obra Este", "Eva", "M3-1"));
    form->JobClick();
    EXPECT_EQ(offered[2], QStringLiteral("Luis Gil")) << "a cancelled dialog remembers nothing";
    EXPECT_EQ(offered[4], QStringLiteral("M3-0043"));
}

TEST_F(JobWindow, TheNoteBoxTakesALocationAndAFindingIntoTheTableAndTheCue) {
    form->StartJob(QStringLiteral("Obra Sur"));
    feed(1);
    form->RecordClick();
    record(5);
    QString offered = QStringLiteral("unset");
    bool severityOffered = true;
    const auto answer = [&](const QString& location, int findingRow, int severity) {
        dialogs.onNextModal([&, location, findingRow, severity](QDialog& dialog) {
            auto& box = dynamic_cast<job::NoteDialog&>(dialog);
            offered = box.locationEdit->text();
            severityOffered = box.severityBox->isEnabled();
            box.noteEdit->setText(QStringLiteral("codo"));
            box.before->setChecked(true);
            box.locationEdit->setText(location);
            box.findingBox->setCurrentIndex(findingRow);
            box.severityBox->setValue(severity);
            return int(QDialog::Accepted);
        });
    };
    answer(QStringLiteral("Planta 2, impulsión, tramo 3"), 5, 2);
    pressObservationKey();
    EXPECT_EQ(offered, QString()) << "no location yet";
    EXPECT_FALSE(severityOffered) << "no severity without a finding";
    answer(QStringLiteral("Planta 3"), 0, 3);
    pressObservationKey();
    EXPECT_EQ(offered, QStringLiteral("Planta 2, impulsión, tramo 3")) << "the last one again";
    record(15);
    form->StopRecordClick();
    const QStringList files = jobFiles();
    const job::ObservationList list = job::parseObservations(
        QString::fromUtf8(fileBytes(QDir(form->job().folder()).filePath(job::observationsFile))));
    ASSERT_EQ(list.observations.size(), 2u);
    EXPECT_EQ(list.observations[0].location, QStringLiteral("Planta 2, impulsión, tramo 3"));
    EXPECT_EQ(list.observations[0].finding, job::Finding::Growth);
    EXPECT_EQ(list.observations[0].severity, 2);
    EXPECT_EQ(list.observations[1].location, QStringLiteral("Planta 3"));
    EXPECT_EQ(list.observations[1].finding, job::Finding::None);
    EXPECT_EQ(list.observations[1].severity, 0);
    const QString cues = QString::fromUtf8(
        fileBytes(QDir(form->job().folder()).filePath(files.filter(QStringLiteral(".srt"))[0])));
    EXPECT_TRUE(cues.contains(QStringLiteral(
        "Observación: antes: codo | Ubicación: Planta 2, impulsión, tramo 3 | Hallazgo: "
        "Crecimiento biológico | Gravedad: 2\n")))
        << cues.toStdString();
    EXPECT_TRUE(cues.contains(QStringLiteral("Observación: antes: codo | Ubicación: Planta 3\n")));
}

namespace {

// Picks an entry of the window's context menu as the operator would; false when it is not
// there or is disabled.
bool chooseInContextMenu(QWidget& window, const QString& entry) {
    bool chosen = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        for (QAction* action : menu->actions())
            if (action->text() == entry && action->isEnabled()) {
                action->trigger();
                chosen = true;
            }
        menu->close();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                            window.mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(&window, &event);
    return chosen;
}

} // namespace

TEST_F(JobWindow, TheReportsLogoIsChosenInTheMenuStoredForTheNextStartAndCleared) {
    QTemporaryDir logos;
    const QString logo = QDir(logos.path()).filePath(QStringLiteral("empresa.png"));
    QImage picture(60, 20, QImage::Format_RGB888);
    picture.fill(Qt::magenta);
    ASSERT_TRUE(picture.save(logo));
    const QString choose = QStringLiteral("Logotipo del informe...");
    const QString clear = QStringLiteral("Quitar el logotipo del informe");
    // The chart is the report's one PNG without a logo.
    const auto reportPngs = [this] {
        form->StartJob(QStringLiteral("Obra"));
        form->ReportClick();
        form->job().drain();
        QFile html(QDir(form->job().folder()).filePath(job::reportHtmlFile));
        EXPECT_TRUE(html.open(QIODevice::ReadOnly));
        return html.readAll().count("src=\"data:image/png;base64,");
    };

    EXPECT_FALSE(chooseInContextMenu(*form, clear)) << "none to clear";
    dialogs.answerNextOpen(logo);
    ASSERT_TRUE(chooseInContextMenu(*form, choose));
    ASSERT_EQ(dialogs.openRequests().size(), 1u);
    EXPECT_EQ(settings.stored("Informe logotipo").toString(), logo);
    dialogs.answerNextOpen(std::nullopt);
    ASSERT_TRUE(chooseInContextMenu(*form, choose));
    EXPECT_EQ(settings.stored("Informe logotipo").toString(), logo) << "cancelled: kept";
    EXPECT_EQ(dialogs.openRequests().back().directory, logos.path());
    EXPECT_EQ(reportPngs(), 2);

    form = std::make_unique<TForm1>();
    EXPECT_EQ(reportPngs(), 2) << "the next start reads it";
    ASSERT_TRUE(chooseInContextMenu(*form, clear));
    EXPECT_EQ(settings.stored("Informe logotipo").toString(), QString());
    EXPECT_EQ(reportPngs(), 1);
}
