#include "treelist/markinglist.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

namespace {

QString table(const QList<QStringList> &rows, bool rightAligned) {
    if (rows.size() < 2)
        return QStringLiteral("<p>Inga.</p>");
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\"><tr>");
    for (const QString &h : rows.first())
        html += QStringLiteral("<th>%1</th>").arg(h.toHtmlEscaped());
    html += QStringLiteral("</tr>");
    for (qsizetype r = 1; r < rows.size(); ++r) {
        html += QStringLiteral("<tr>");
        for (qsizetype c = 0; c < rows[r].size(); ++c)
            html += QStringLiteral("<td%1>%2</td>")
                        .arg(rightAligned && c > 0 ? QStringLiteral(" align=\"right\"") : QString(),
                             rows[r][c].toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

void setUpPage(QPagedPaintDevice &device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
}

} // namespace

void MarkingList::fill(QTextDocument &document) const {
    const QUrl chartName(QStringLiteral("kvistel:plan.png"));
    document.addResource(QTextDocument::ImageResource, chartName, chart);
    QString html = QStringLiteral("<h2>Utsyning – avverkningsplan</h2><p>");
    html += QStringLiteral("Datum: %1<br>").arg(date.toHtmlEscaped());
    if (!county.trimmed().isEmpty())
        html += QStringLiteral("Prislista: %1<br>").arg(county.trimmed().toHtmlEscaped());
    for (const QString &p : parameters)
        html += p.toHtmlEscaped() + QStringLiteral("<br>");
    html += QStringLiteral("</p><p><b>%1</b></p><p>%2</p>")
                .arg(statement.toHtmlEscaped(), assumption.toHtmlEscaped());
    html += table(plan, true);
    if (!chart.isNull())
        html += QStringLiteral("<p><img src=\"%1\" width=\"%2\"></p>")
                    .arg(chartName.toString())
                    .arg(int(document.textWidth() > 0 ? document.textWidth() : 600));
    html += QStringLiteral("<h3>Avverka nu (%1 träd)</h3>").arg(cutNow.size() - 1);
    html += table(cutNow, true);
    html += QStringLiteral("<h3>Lämnas att växa (%1 träd)</h3>").arg(leftStanding.size() - 1);
    html += table(leftStanding, true);
    document.setHtml(html);
}

QByteArray MarkingList::pdf() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Kvistel – avverkningsplan"));
        writer.setCreator(QStringLiteral("Kvistel"));
        setUpPage(writer);
        static_cast<void>(print(writer)); // a PDF in memory has no printer to fail
    }
    return bytes;
}

Outcome MarkingList::print(QPagedPaintDevice &device) const {
    QTextDocument document;
    document.setPageSize(device.pageLayout().paintRect(QPageLayout::Point).size());
    document.setTextWidth(document.pageSize().width());
    fill(document);
    document.print(&device);
    return {};
}
