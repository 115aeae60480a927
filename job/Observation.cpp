#include "job/Observation.h"

#include "job/TrackFormat.h"

#include <QCoreApplication>
#include <QHash>
#include <QStringView>

#include <algorithm>
#include <utility>

namespace job {
namespace {

// Rows written before observations had a location and a finding have the first twelve.
constexpr int olderObservationFields = 12;
constexpr int observationFields = 15;

int severityField(const QString& text, Finding finding) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    if (!ok || finding == Finding::None)
        return 0;
    return std::clamp(value, leastSeverity, greatestSeverity);
}

// What an observation's severity is taken for: none without a finding.
int severityOf(const Observation& o) {
    return o.finding == Finding::None ? 0 : std::clamp(o.severity, leastSeverity, greatestSeverity);
}

QString locationKey(const QString& location) {
    return location.simplified().toCaseFolded();
}

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

QString findingText(Finding finding) {
    switch (finding) {
    case Finding::Clean:
        return QStringLiteral(QT_TRANSLATE_NOOP("job::Finding", "Limpio"));
    case Finding::Dust:
        return QStringLiteral(QT_TRANSLATE_NOOP("job::Finding", "Polvo"));
    case Finding::Debris:
        return QStringLiteral(QT_TRANSLATE_NOOP("job::Finding", "Residuos"));
    case Finding::Grease:
        return QStringLiteral(QT_TRANSLATE_NOOP("job::Finding", "Grasa"));
    case Finding::Growth:
        return QStringLiteral(QT_TRANSLATE_NOOP("job::Finding", "Crecimiento biológico"));
    case Finding::Damage:
        return QStringLiteral(QT_TRANSLATE_NOOP("job::Finding", "Daño"));
    case Finding::Obstruction:
        return QStringLiteral(QT_TRANSLATE_NOOP("job::Finding", "Obstrucción"));
    case Finding::Other:
        return QStringLiteral(QT_TRANSLATE_NOOP("job::Finding", "Otro"));
    case Finding::None:
        break;
    }
    return {};
}

QString findingLabel(Finding finding) {
    return QCoreApplication::translate("job::Finding", findingText(finding).toUtf8().constData());
}

Finding findingFromText(const QString& text) {
    for (const Finding finding : findings)
        if (text == findingText(finding))
            return finding;
    return Finding::None;
}

QString observationsCsvHeader() {
    return csvLine({QStringLiteral("fecha_hora"), QStringLiteral("grabacion"),
                    QStringLiteral("segundo"), QStringLiteral("temperatura_c"),
                    QStringLiteral("humedad_pct"), QStringLiteral("marcha"),
                    QStringLiteral("velocidad_pct"), QStringLiteral("luces_pct"),
                    QStringLiteral("motor_limpieza"), QStringLiteral("etiqueta"),
                    QStringLiteral("foto"), QStringLiteral("nota"), QStringLiteral("ubicacion"),
                    QStringLiteral("hallazgo"), QStringLiteral("gravedad")});
}

QString observationCsvRow(const Observation& o) {
    const Reading& r = o.reading;
    return csvLine(
        {o.when.toString(Qt::ISODate), o.recording,
         o.recording.isEmpty() ? QString()
                               : QString::number(double(o.intoRecording) / 1000.0, 'f', 1),
         valueText(r.temperature), valueText(r.humidity), r.drive, QString::number(r.speedPercent),
         QString::number(r.lightsPercent), yesNo(r.cleaningMotor), tagText(o.tag), o.picture,
         o.note.left(longestNote), o.location.left(longestLocation), findingText(o.finding),
         o.finding == Finding::None ? QString() : QString::number(severityOf(o))});
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
        const bool known = fields && (fields->size() == observationFields ||
                                      fields->size() == olderObservationFields);
        if (known) {
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
            if (f.size() == observationFields) {
                o.location = f[12].left(longestLocation);
                o.finding = findingFromText(f[13]);
                o.severity = severityField(f[14], o.finding);
            }
        }
        if (!known || !o.when.isValid() || !into) {
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
    // The open "antes" of each location, and every open one in order.
    QHash<QString, std::size_t> openAt;
    std::vector<std::size_t> open;
    const auto close = [&open](std::size_t index) { std::erase(open, index); };
    for (std::size_t i = 0; i < observations.size(); ++i) {
        const QString key = locationKey(observations[i].location);
        if (observations[i].tag == Tag::Before) {
            if (const auto earlier = openAt.constFind(key); earlier != openAt.cend())
                close(*earlier);
            openAt.insert(key, i);
            open.push_back(i);
        } else if (observations[i].tag == Tag::After && !open.empty()) {
            const auto same = openAt.constFind(key);
            const std::size_t before = same != openAt.cend() ? *same : open.back();
            pairs.push_back({before, i});
            openAt.remove(locationKey(observations[before].location));
            close(before);
        }
    }
    return pairs;
}

namespace {

struct Texts {
    Q_DECLARE_TR_FUNCTIONS(job::Observation)
};

// The words an observation is told with: the files' own, or the console's language.
struct Wording {
    QString before;
    QString after;
    QString location;
    QString finding;
    QString severity;
    QString (*findingName)(Finding);
};

QString described(const Observation& o, const Wording& words) {
    const QString tag = o.tag == Tag::Before  ? words.before
                        : o.tag == Tag::After ? words.after
                                              : QString();
    QString text = tag.isEmpty() ? o.note : tag + QStringLiteral(": ") + o.note;
    if (!o.location.isEmpty())
        text += QStringLiteral(" | ") + words.location + QStringLiteral(": ") + o.location;
    if (o.finding != Finding::None)
        text += QStringLiteral(" | ") + words.finding + QStringLiteral(": ") +
                words.findingName(o.finding) + QStringLiteral(" | ") + words.severity +
                QStringLiteral(": ") + QString::number(severityOf(o));
    return text;
}

} // namespace

QString observationCueText(const Observation& o) {
    return described(o, {tagText(Tag::Before), tagText(Tag::After), QStringLiteral("Ubicación"),
                         QStringLiteral("Hallazgo"), QStringLiteral("Gravedad"), findingText});
}

QString observationLine(const Observation& o) {
    return described(o, {Texts::tr("antes"), Texts::tr("después"), Texts::tr("Ubicación"),
                         Texts::tr("Hallazgo"), Texts::tr("Gravedad"), findingLabel});
}

} // namespace job
