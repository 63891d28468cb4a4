#include "core/results/resultcsv.h"

#include "core/files/textfile.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

bool startsLikeFormula(QStringView cell) {
    if (cell.isEmpty())
        return false;
    const QChar c = cell.front();
    return c == u'=' || c == u'+' || c == u'-' || c == u'@' || c == u'\t' || c == u'\r';
}

// "-5", "+2,5", "-0.25": a number with its sign, which a spreadsheet reads as a number.
bool isSignedPlainNumber(QStringView cell) {
    qsizetype i = 1;
    qsizetype digits = 0;
    bool mark = false;
    for (; i < cell.size(); ++i) {
        const QChar c = cell[i];
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if ((c == u'.' || c == u',') && !mark)
            mark = true;
        else
            return false;
    }
    return digits > 0 && (cell.front() == u'-' || cell.front() == u'+');
}

QString csvField(const QString &raw, QChar separator) {
    const QString text = spreadsheetSafeCell(raw);
    // A comma is quoted whatever the separator: LibreOffice Calc's default import splits at ","
    // as well as ";", which would cut a decimal comma or a label like "Bonitet, 100 år" in two.
    const bool quote = text.contains(separator) || text.contains(u',') || text.contains(u'"') ||
                       text.contains(u'\n') || text.contains(u'\r') ||
                       (!text.isEmpty() && (text.front().isSpace() || text.back().isSpace()));
    if (!quote)
        return text;
    QString doubled = text;
    doubled.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + doubled + u'"';
}

QString withSeparator(const QString &value, QChar decimalSeparator) {
    static const QRegularExpression plainDecimal(QStringLiteral("^-?[0-9]+\\.[0-9]+$"));
    if (decimalSeparator == u'.' || !plainDecimal.match(value).hasMatch())
        return value;
    QString converted = value;
    converted.replace(u'.', decimalSeparator);
    return converted;
}

} // namespace

namespace {

// Whether the program writes `cell` with a guard: a text a spreadsheet would take for a formula,
// and any text that would look like a guarded one (apostrophes before such a text), so that
// reading a file back removes exactly the apostrophes the program added. "-5" and "'-5" are
// no formulas: they are written, and read, as they are.
bool needsGuard(QStringView cell) {
    qsizetype quotes = 0;
    while (quotes < cell.size() && cell[quotes] == u'\'')
        ++quotes;
    const QStringView rest = cell.sliced(quotes);
    return startsLikeFormula(rest) && !isSignedPlainNumber(rest);
}

} // namespace

bool needsSpreadsheetGuard(QStringView cell) {
    return needsGuard(cell);
}

QString spreadsheetSafeCell(const QString &cell) {
    return needsGuard(cell) ? u'\'' + cell : cell;
}

QString withoutSpreadsheetGuard(const QString &cell) {
    if (cell.startsWith(u'\'') && needsGuard(QStringView(cell).sliced(1)))
        return cell.sliced(1);
    return cell;
}

QChar csvSeparator(QChar decimalSeparator) {
    return decimalSeparator == u',' ? QChar(u';') : QChar(u',');
}

QByteArray resultCsv(const QList<SummaryItem> &summary, const ResultTable &table,
                     QChar decimalSeparator) {
    const QChar separator = csvSeparator(decimalSeparator);
    QString text;
    auto addLine = [&](const QStringList &fields) {
        QStringList written;
        for (const QString &f : fields)
            written.append(csvField(f, separator));
        text += written.join(separator) + QStringLiteral("\r\n");
    };
    for (const SummaryItem &item : summary) {
        // "Tall" under "Massapris" is the pulpwood price of pine: the heading goes with it.
        const QString label =
            item.heading.isEmpty() ? item.label : item.heading + u' ' + item.label;
        QStringList fields{label, withSeparator(item.value.trimmed(), decimalSeparator)};
        if (!item.unit.isEmpty())
            fields.append(item.unit);
        addLine(fields);
    }
    if (!summary.isEmpty())
        text += QStringLiteral("\r\n");
    addLine(table.headings);
    for (const QStringList &row : table.rows)
        addLine(row);
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

Outcome saveExportFile(const QString &path, const QByteArray &bytes) {
    return replaceFileSafely(path, bytes);
}
