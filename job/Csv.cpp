#include "job/Csv.h"

#include <QRegularExpression>

namespace job {
namespace {

constexpr QChar guard = QLatin1Char('\'');

bool startsLikeAFormula(const QString& value) {
    static const QString starts = QStringLiteral("=+-@\t\r'");
    static const QRegularExpression plain(QStringLiteral("^(?:[-+]?\\d+(?:\\.\\d+)?|-+)$"));
    return !value.isEmpty() && starts.contains(value.front()) && !plain.match(value).hasMatch();
}

} // namespace

QString csvField(const QString& value) {
    const bool guarded = startsLikeAFormula(value);
    if (!guarded && !value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) &&
        !value.contains(QLatin1Char('\n')) && !value.contains(QLatin1Char('\r')))
        return value;
    QString quoted = guarded ? guard + value : value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return '"' + quoted + '"';
}

QString csvLine(const QStringList& fields) {
    QStringList written;
    for (const QString& field : fields)
        written << csvField(field);
    return written.join(QLatin1Char(',')) + '\n';
}

std::optional<QStringList> parseCsvLine(QStringView line) {
    QStringList fields;
    QString field;
    bool quoted = false;
    const auto endField = [&fields, &field] {
        fields << (field.startsWith(guard) ? field.mid(1) : field);
        field.clear();
    };
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c != '"')
                field += c;
            else if (i + 1 < line.size() && line.at(i + 1) == '"')
                field += line.at(++i);
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            endField();
        } else if (c != '\r' && c != '\n') {
            field += c;
        }
    }
    if (quoted)
        return std::nullopt;
    endField();
    return fields;
}

void forEachCsvLine(QStringView text, const std::function<void(QStringView)>& take) {
    const auto takeUnlessBlank = [&take](QStringView line) {
        if (!line.trimmed().isEmpty())
            take(line);
    };
    qsizetype from = 0;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == '"')
            quoted = !quoted;
        else if (c == '\n' && !quoted) {
            takeUnlessBlank(text.sliced(from, i - from));
            from = i + 1;
        }
    }
    takeUnlessBlank(text.sliced(from));
}

QStringList splitCsvLines(QStringView text) {
    QStringList lines;
    forEachCsvLine(text, [&lines](QStringView line) { lines << line.toString(); });
    return lines;
}

} // namespace job
