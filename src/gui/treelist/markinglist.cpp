#include "gui/treelist/markinglist.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

#include <functional>

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

void MarkingList::fillIntroduction(QTextDocument &document, qreal chartWidth) const {
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
    if (s.entries)
        html += QStringLiteral("<p>%1</p>")
                    .arg(entrySettingsText(s.entrySettings, s.decimalMark).toHtmlEscaped());
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

namespace {

// One table of trees, drawn row by row: a list of any length is laid out in time that grows
// with its rows alone, and a row is never split.
struct TreeTable {
    QString title;
    QString note;
    QList<QStringList> rows; // headings first
};

// Shares of the page's width per column: the remark (last) takes what is left.
QList<qreal> columnShares(int columns) {
    if (columns == 7)
        return {0.07, 0.10, 0.11, 0.18, 0.12, 0.11, 0.31};
    if (columns == 3)
        return {0.07, 0.65, 0.28};
    return QList<qreal>(columns, 1.0 / columns);
}

class TablePainter {
public:
    TablePainter(QPagedPaintDevice &device, QPainter *painter, const QFont &font, qreal width,
                 qreal pageHeight)
        : m_device(device), m_painter(painter), m_font(font), m_bold(font), m_width(width),
          m_pageHeight(pageHeight), m_metrics(font, &device) {
        m_bold.setBold(true);
        m_row = m_metrics.height() * 1.45;
        m_pad = m_metrics.horizontalAdvance(u' ');
    }
    void startAt(int page, qreal y) {
        m_page = page;
        m_y = y;
    }
    int page() const { return m_page; }
    // Lays out (and with a painter draws) the table; `newPage` is asked to turn the page and
    // returns false to stop.
    bool lay(const TreeTable &table, const std::function<bool()> &newPage) {
        const QList<qreal> shares = columnShares(int(table.rows.first().size()));
        const int bodyRows = int(table.rows.size()) - 1;
        // The title, its note and the headings stay with at least the first row.
        const qreal lead = m_row * (table.note.isEmpty() ? 2 : 3);
        if (m_y + lead + m_row * (bodyRows > 0 ? 2 : 1) > m_pageHeight && m_y > 0 && !turn(newPage))
            return false;
        m_y += m_row * 0.5;
        text(QRectF(0, m_y, m_width, m_row * 1.5), table.title, m_bold, Qt::AlignLeft, 1.2);
        m_y += m_row * 1.5;
        if (!table.note.isEmpty()) {
            text(QRectF(0, m_y, m_width, m_row), table.note, m_font, Qt::AlignLeft);
            m_y += m_row;
        }
        if (bodyRows == 0) {
            text(QRectF(0, m_y, m_width, m_row), QStringLiteral("Inga."), m_font, Qt::AlignLeft);
            m_y += m_row;
            return true;
        }
        drawRow(table.rows.first(), shares, true);
        for (int r = 1; r <= bodyRows; ++r) {
            if (m_y + m_row > m_pageHeight) {
                if (!turn(newPage))
                    return false;
                drawRow(table.rows.first(), shares, true); // the headings again
            }
            drawRow(table.rows[r], shares, false, table.rows.first());
        }
        return true;
    }

private:
    bool turn(const std::function<bool()> &newPage) {
        if (!newPage())
            return false;
        ++m_page;
        m_y = 0;
        return true;
    }
    void text(const QRectF &box, const QString &t, const QFont &f, Qt::Alignment align,
              qreal scale = 1) {
        if (!m_painter)
            return;
        QFont font = f;
        font.setPointSizeF(f.pointSizeF() * scale);
        m_painter->setFont(font);
        const QFontMetricsF fm(font, &m_device);
        m_painter->drawText(box, align | Qt::AlignVCenter,
                            fm.elidedText(t, Qt::ElideRight, box.width()));
    }
    void drawRow(const QStringList &cells, const QList<qreal> &shares, bool heading,
                 const QStringList &headings = {}) {
        if (m_painter) {
            qreal x = 0;
            if (heading)
                m_painter->fillRect(QRectF(0, m_y, m_width, m_row), QColor(235, 235, 235));
            m_painter->setPen(QPen(QColor(120, 120, 120), 0));
            m_painter->drawRect(QRectF(0, m_y, m_width, m_row));
            m_painter->setPen(Qt::black);
            for (qsizetype c = 0; c < cells.size() && c < shares.size(); ++c) {
                const qreal w = shares[c] * m_width;
                if (c > 0) {
                    m_painter->setPen(QPen(QColor(120, 120, 120), 0));
                    m_painter->drawLine(QPointF(x, m_y), QPointF(x, m_y + m_row));
                    m_painter->setPen(Qt::black);
                }
                text(QRectF(x + m_pad, m_y, w - 2 * m_pad, m_row), cells[c],
                     heading ? m_bold : m_font,
                     !heading && rightAligned(headings, c) ? Qt::AlignRight : Qt::AlignLeft);
                x += w;
            }
        }
        m_y += m_row;
    }

    QPagedPaintDevice &m_device;
    QPainter *m_painter;
    QFont m_font, m_bold;
    qreal m_width, m_pageHeight;
    QFontMetricsF m_metrics;
    qreal m_row = 0, m_pad = 0, m_y = 0;
    int m_page = 0;
};

} // namespace

Outcome MarkingList::print(QPagedPaintDevice &device, const Progress &progress) const {
    // Laid out in the device's own pixels, so that the fonts keep their size in points, with
    // room at the foot of each page for its number.
    const QRectF paper(0, 0, device.width(), device.height());
    QTextDocument document;
    QFont font = document.defaultFont();
    font.setPointSizeF(9);
    document.setDefaultFont(font);
    const qreal footer = QFontMetricsF(font, &device).height() * 2;
    const qreal pageHeight = paper.height() - footer;
    document.setPageSize(QSizeF(paper.width(), pageHeight));
    document.setTextWidth(paper.width());
    // An image is sized in screen pixels, which the device's layout scales to its own.
    fillIntroduction(document, 0.97 * paper.width() * 96 / device.logicalDpiX());
    document.documentLayout()->setPaintDevice(&device);
    document.setPageSize(QSizeF(paper.width(), pageHeight));
    const int introductionPages = document.pageCount();
    const qreal introductionEnd =
        document.documentLayout()->documentSize().height() - (introductionPages - 1) * pageHeight;

    QList<TreeTable> tables;
    const QList<QStringList> unvalued = sheet.unvaluedTable();
    if (sheet.entries) {
        // One section for each entry, then the trees the owner leaves for good.
        for (const HarvestEntry &e : sheet.entries->entries) {
            const QList<QStringList> trees = sheet.entryTreesTable(e.years);
            tables.append({QStringLiteral("%1 (%2 träd)")
                               .arg(e.years == 0 ? QStringLiteral("Avverka nu")
                                                 : QStringLiteral("Avverka om %1 år").arg(e.years))
                               .arg(trees.size() - 1),
                           {},
                           trees});
        }
        const QList<QStringList> left = sheet.entryTreesTable(-1);
        tables.append({QStringLiteral("Lämnas (%1 träd)").arg(left.size() - 1), {}, left});
    } else {
        const QList<QStringList> cut = sheet.cutNowTable();
        const QList<QStringList> left = sheet.leftStandingTable();
        tables.append({QStringLiteral("Avverka nu (%1 träd)").arg(cut.size() - 1), {}, cut});
        tables.append({QStringLiteral("Lämnas att växa (%1 träd)").arg(left.size() - 1), {}, left});
    }
    if (unvalued.size() > 1)
        tables.append({unvaluedSectionHeading(int(unvalued.size() - 1)),
                       QStringLiteral("De ingår inte i planens summor."), unvalued});

    // The pages are counted first, so that every page can say how many there are.
    TablePainter counter(device, nullptr, font, paper.width(), pageHeight);
    counter.startAt(introductionPages - 1, introductionEnd);
    for (const TreeTable &t : tables)
        counter.lay(t, [] { return true; });
    const int pages = counter.page() + 1;

    QPainter painter(&device);
    if (!painter.isActive())
        return Outcome::failure(QStringLiteral("Skrivaren kunde inte börja skriva ut."));
    int page = 0;
    auto finishPage = [&] {
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(0, pageHeight, paper.width(), footer), Qt::AlignCenter,
                         QStringLiteral("Sida %1 av %2").arg(page + 1).arg(pages));
    };
    auto newPage = [&] {
        finishPage();
        ++page;
        if (progress && !progress(page + 1, pages))
            return false;
        device.newPage();
        return true;
    };
    if (progress && !progress(1, pages))
        return Outcome::failure(printStoppedMessage());
    for (int p = 0; p < introductionPages; ++p) {
        if (p > 0 && !newPage())
            return Outcome::failure(printStoppedMessage());
        painter.save();
        painter.translate(0, -p * pageHeight);
        const QRectF visible(0, p * pageHeight, paper.width(), pageHeight);
        painter.setClipRect(visible);
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = visible;
        document.documentLayout()->draw(&painter, context);
        painter.restore();
    }
    TablePainter tablePainter(device, &painter, font, paper.width(), pageHeight);
    tablePainter.startAt(page, introductionEnd);
    for (const TreeTable &t : tables)
        if (!tablePainter.lay(t, newPage))
            return Outcome::failure(printStoppedMessage());
    finishPage();
    return {};
}
