#include "job/Observation.h"

#include "job/TrackFormat.h"

#include <QStringView>

#include <algorithm>
#include <utility>

namespace job {
namespace {

constexpr int observationFields = 12;

std::optional<qint64> millisecondsField(const QString& seconds) {
    if (seconds.isEmpty())
        return 0;
    bool ok = false;
    const double value = seconds.toDouble(&ok);
    if (!ok || value < 0 || value > 1e7)
        return std::nullopt;
    return static_cast<qint64>(value * 1000.0 + 0.5);
}

} // namespace

QString tagText(Tag tag) {
    switch (tag) {
    case Tag::Before:
        return QStringLiteral("antes");
    case Tag::After:
        return QStringLiteral("después");
    case Tag::None:
        break;
    }
    return {};
}

Tag tagFromText(const QString& text) {
    if (text == tagText(Tag::Before))
        return Tag::Before;
    if (text == tagText(Tag::After))
        return Tag::After;
    return Tag::None;
}

QString observationsCsvHeader() {
    return csvLine({QStringLiteral("fecha_hora"), QStringLiteral("grabacion"),
                    QStringLiteral("segundo"), QStringLiteral("temperatura_c"),
                    QStringLiteral("humedad_pct"), QStringLiteral("marcha"),
                    QStringLiteral("velocidad_pct"), QStringLiteral("luces_pct"),
                    QStringLiteral("motor_limpieza"), QStringLiteral("etiqueta"),
                    QStringLiteral("foto"), QStringLiteral("nota")});
}

QString observationCsvRow(const Observation& o) {
    const Reading& r = o.reading;
    return csvLine({o.when.toString(Qt::ISODate), o.recording,
                    o.recording.isEmpty()
                        ? QString()
                        : QString::number(double(o.intoRecording) / 1000.0, 'f', 1),
                    valueText(r.temperature), valueText(r.humidity), r.drive,
                    QString::number(r.speedPercent), QString::number(r.lightsPercent),
                    yesNo(r.cleaningMotor), tagText(o.tag), o.picture, o.note.left(longestNote)});
}

ObservationList parseObservations(QStringView csvText, std::size_t mostKept) {
    ObservationList list;
    bool header = true;
    const auto parseRecord = [&list, &header, mostKept](QStringView record) {
        if (std::exchange(header, false))
            return;
        const std::optional<QStringList> fields = parseCsvLine(record);
        Observation o;
        std::optional<qint64> into;
        if (fields && fields->size() == observationFields) {
            const QStringList& f = *fields;
            o.when = QDateTime::fromString(f[0], Qt::ISODate);
            o.recording = f[1];
            into = millisecondsField(f[2]);
            o.reading.time = o.when.time();
            o.reading.temperature = valueFromText(f[3]);
            o.reading.humidity = valueFromText(f[4]);
            o.reading.drive = f[5];
            o.reading.speedPercent = std::clamp(f[6].toInt(), 0, 100);
            o.reading.lightsPercent = std::clamp(f[7].toInt(), 0, 100);
            o.reading.cleaningMotor = f[8] == yesNo(true);
            o.tag = tagFromText(f[9]);
            o.picture = f[10];
            o.note = f[11].left(longestNote);
        }
        if (!fields || fields->size() != observationFields || !o.when.isValid() || !into) {
            ++list.skippedRows;
            return;
        }
        if (!list.earliest.isValid() || o.when < list.earliest)
            list.earliest = o.when;
        if (!list.latest.isValid() || o.when > list.latest)
            list.latest = o.when;
        if (list.observations.size() >= mostKept) {
            ++list.notKept;
            return;
        }
        o.intoRecording = *into;
        list.observations.push_back(std::move(o));
    };
    forEachCsvLine(csvText, parseRecord);
    return list;
}

std::vector<Pair> beforeAfterPairs(const std::vector<Observation>& observations) {
    std::vector<Pair> pairs;
    const std::size_t none = observations.size();
    std::size_t open = none;
    for (std::size_t i = 0; i < observations.size(); ++i) {
        if (observations[i].tag == Tag::Before) {
            open = i;
        } else if (observations[i].tag == Tag::After && open != none) {
            pairs.push_back({open, i});
            open = none;
        }
    }
    return pairs;
}

} // namespace job
