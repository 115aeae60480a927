#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace job {

// Comma-separated text as RFC 4180 has it, the one way the console writes and reads tables.
// A field a spreadsheet would take for a formula (starting with "=", "+", "-", "@", a tab or a
// carriage return) is written behind an apostrophe and quoted, so it shows as the text it is;
// so is one starting with an apostrophe, so that reading takes off exactly the apostrophe
// writing put on. Plain numbers ("-5", "+2.5") and the dashes of a missing reading stay as
// they are.

// One field: guarded as above, quoted when it holds a comma, a quote or a line end.
QString csvField(const QString& value);
// The fields as one line, ended by a line end.
QString csvLine(const QStringList& fields);
// The fields of one line as written; nothing when a quoted field is left open.
std::optional<QStringList> parseCsvLine(QStringView line);
// Each line of a table, in order and uncopied: a line end inside quotes belongs to its field;
// blank lines are left out.
void forEachCsvLine(QStringView text, const std::function<void(QStringView)>& take);
QStringList splitCsvLines(QStringView text);

} // namespace job
