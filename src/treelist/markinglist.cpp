#include "treelist/markinglist.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

namespace {

// Columns whose figures line up on the right: diameter, volume, net value.
bool rightAligned(const QStringList &headings, qsizetype column) {
    const QString &h = headings.value(column);
    return h.startsWith(QStringLiteral("Diam")) || h.startsWith(QStringLiteral("Volym")) ||
           h.startsWith(QStringLiteral("Netto")) || h.startsWith(QStringLiteral("netto")) ||
           h.startsWith(QStringLiteral("nuvärde")) || h.startsWith(QStringLiteral("volym")) ||
           h.startsWith(QStringLiteral("kostnad")) || h == QStringLiteral("träd");
}

// A table whose heading row is repeated on every page it runs over (thead).
QString table(const QList<QStringList> &rows) {
    if (rows.size() < 2)
        return QStringLiteral("<p>Inga.</p>");
    QString html = QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                                  "width=\"100%\"><thead><tr>");
    for (const QString &h : rows.first())
        html += QStringLiteral("<th>%1</th>").arg(h.toHtmlEscaped());
    html += QStringLiteral("</tr></thead>");
    for (qsizetype r = 1; r < rows.size(); ++r) {
        html += QStringLiteral("<tr>");
        for (qsizetype c = 0; c < rows[r].size(); ++c)
            html += QStringLiteral("<td%1>%2</td>")
                        .arg(rightAligned(rows.first(), c) ? QStringLiteral(" align=\"right\"")
                                                           : QString(),
                             rows[r][c].toHtmlEscaped());
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</table>");
}

void setUpPage(QPagedPaintDevice &device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
}

QString line(const QString &label, const QString &value) {
    return value.trimmed().isEmpty()
               ? QString()
               : QStringLiteral("%1: %2<br>").arg(label, printedText(value, 120).toHtmlEscaped());
}

} // namespace

QString printStoppedMessage() {
    return QStringLiteral("Utskriften avbröts.");
}

void MarkingList::fill(QTextDocument &document, qreal chartWidth) const {
    const QUrl chartName(QStringLiteral("kvistel:plan.png"));
    document.addResource(QTextDocument::ImageResource, chartName, chart);
    const StandSheet &s = sheet;
    QString html = QStringLiteral("<h2>Utsyning – avverkningsplan</h2><p>");
    html += line(QStringLiteral("Fastighet"), s.stand.property);
    html += line(QStringLiteral("Avdelning"), s.stand.compartment);
    html += line(QStringLiteral("Ägare"), s.stand.owner);
    html += line(QStringLiteral("Datum"), s.date);
    html += line(QStringLiteral("Prislista"), s.county);
    for (const QString &p : s.parameters)
        html += p.toHtmlEscaped() + QStringLiteral("<br>");
    if (!s.fromControlFile.isEmpty())
        html += s.fromControlFile.toHtmlEscaped() + QStringLiteral("<br>");
    html += QStringLiteral("</p><p><b>%1</b></p><p>%2</p>")
                .arg(printedText(s.statement(), printedSentenceLength).toHtmlEscaped(),
                     (s.entries ? entryAssumption() : planAssumption()).toHtmlEscaped());
    html += table(s.planTable());
    if (!chart.isNull())
        html += QStringLiteral("<p><img src=\"%1\" width=\"%2\"></p>")
                    .arg(chartName.toString())
                    .arg(int(chartWidth > 0             ? chartWidth
                             : document.textWidth() > 0 ? document.textWidth()
                                                        : 600));
    const QList<QStringList> unvalued = s.unvaluedTable();
    if (s.entries) {
        // One section for each entry, then the trees the owner leaves for good.
        html += QStringLiteral("<p>%1</p>")
                    .arg(entrySettingsText(s.entrySettings, s.decimalMark).toHtmlEscaped());
        for (const HarvestEntry &e : s.entries->entries) {
            const QList<QStringList> trees = s.entryTreesTable(e.years);
            html += QStringLiteral("<h3>%1 (%2 träd)</h3>")
                        .arg(e.years == 0 ? QStringLiteral("Avverka nu")
                                          : QStringLiteral("Avverka om %1 år").arg(e.years))
                        .arg(trees.size() - 1);
            html += table(trees);
        }
        const QList<QStringList> left = s.entryTreesTable(-1);
        html += QStringLiteral("<h3>Lämnas (%1 träd)</h3>").arg(left.size() - 1);
        html += table(left);
    } else {
        const QList<QStringList> cut = s.cutNowTable();
        const QList<QStringList> left = s.leftStandingTable();
        html += QStringLiteral("<h3>Avverka nu (%1 träd)</h3>").arg(cut.size() - 1);
        html += table(cut);
        html += QStringLiteral("<h3>Lämnas att växa (%1 träd)</h3>").arg(left.size() - 1);
        html += table(left);
    }
    if (unvalued.size() > 1) {
        html += QStringLiteral("<h3>%1</h3>")
                    .arg(unvaluedSectionHeading(int(unvalued.size() - 1)).toHtmlEscaped());
        html += QStringLiteral("<p>De ingår inte i planens summor.</p>");
        html += table(unvalued);
    }
    document.setHtml(html);
}

QByteArray MarkingList::pdf(const Progress &progress) const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bool printed = false;
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Kvistel – avverkningsplan"));
        writer.setCreator(QStringLiteral("Kvistel"));
        setUpPage(writer);
        printed = bool(print(writer, progress));
    }
    return printed ? bytes : QByteArray();
}

Outcome MarkingList::print(QPagedPaintDevice &device, const Progress &progress) const {
    // Laid out in the device's own pixels, so that the fonts keep their size in points, with
    // room at the foot of each page for its number.
    const QRectF paper = device.pageLayout().paintRectPixels(device.logicalDpiX());
    QTextDocument document;
    QFont font = document.defaultFont();
    font.setPointSizeF(9);
    document.setDefaultFont(font);
    const qreal footer = QFontMetricsF(font, &device).height() * 2;
    document.setPageSize(QSizeF(paper.width(), paper.height() - footer));
    document.setTextWidth(paper.width());
    // An image is sized in screen pixels, which the device's layout scales to its own.
    fill(document, 0.97 * paper.width() * 96 / device.logicalDpiX());
    document.documentLayout()->setPaintDevice(&device);
    document.setPageSize(QSizeF(paper.width(), paper.height() - footer));
    const int pages = document.pageCount();
    const qreal pageHeight = document.pageSize().height();

    QPainter painter(&device);
    if (!painter.isActive())
        return Outcome::failure(QStringLiteral("Skrivaren kunde inte börja skriva ut."));
    painter.setFont(font);
    for (int page = 0; page < pages; ++page) {
        if (progress && !progress(page + 1, pages)) {
            painter.end();
            return Outcome::failure(printStoppedMessage());
        }
        if (page > 0)
            device.newPage();
        painter.save();
        painter.translate(0, -page * pageHeight);
        const QRectF visible(0, page * pageHeight, paper.width(), pageHeight);
        painter.setClipRect(visible);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = visible;
        document.documentLayout()->draw(&painter, context);
        painter.restore();
        painter.drawText(QRectF(0, pageHeight, paper.width(), footer), Qt::AlignCenter,
                         QStringLiteral("Sida %1 av %2").arg(page + 1).arg(pages));
    }
    return {};
}
