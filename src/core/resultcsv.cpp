#include "resultcsv.h"

#include "textfile.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

QString csvField(const QString &text, QChar separator) {
    const bool quote = text.contains(separator) || text.contains(u'"') || text.contains(u'\n') ||
                       text.contains(u'\r') ||
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
