#include "gui/result/resultprintout.h"

#include "core/results/printedtext.h"

#include "core/results/resultcsv.h"
#include "core/results/resultmodel.h"
#include "gui/result/resultchart.h"

#include <QAbstractItemModel>
#include <QBuffer>
#include <QDate>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTextOption>
#include <QWidget>

#include <algorithm>

namespace {

constexpr qreal marginMm = 12;
// Sizes in points, for paper.
constexpr qreal titlePt = 13, textPt = 9, gridPt = 7.5;

QFont fontOf(qreal points, bool bold = false) {
    QFont f(QStringLiteral("Sans Serif"));
    f.setPointSizeF(points);
    f.setBold(bold);
    return f;
}

class Page {
public:
    Page(QPainter &p, const QRectF &area) : m_p(p), m_area(area), m_y(area.top()) {
        m_mm = p.device()->logicalDpiY() / 25.4;
    }
    qreal mm(qreal v) const { return v * m_mm; }
    qreal y() const { return m_y; }
    void skip(qreal height) { m_y += height; }
    const QRectF &area() const { return m_area; }
    QPainter &painter() { return m_p; }

private:
    QPainter &m_p;
    QRectF m_area;
    qreal m_y;
    qreal m_mm;
};

void paintTitle(Page &page) {
    QPainter &p = page.painter();
    p.setFont(fontOf(titlePt, true));
    const qreal h = QFontMetricsF(p.font(), p.device()).height();
    const QRectF line(page.area().left(), page.y(), page.area().width(), h);
    p.drawText(line, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Kvistel – resultat"));
    p.setFont(fontOf(textPt));
    p.drawText(line, Qt::AlignRight | Qt::AlignVCenter, QDate::currentDate().toString(Qt::ISODate));
    page.skip(h + page.mm(3));
}

// The summary in the window's four columns: the bold heading, then label, value and unit.
void paintSummary(Page &page, const QList<SummaryItem> &summary) {
    if (summary.isEmpty())
        return;
    QPainter &p = page.painter();
    const QFont plain = fontOf(textPt), bold = fontOf(textPt, true);
    const QFontMetricsF fm(plain, p.device());
    const qreal lineHeight = fm.height() * 1.25;
    const qreal columnWidth = page.area().width() / 4;
    qreal labelWidth = 0;
    for (const SummaryItem &s : summary)
        labelWidth = std::max(labelWidth, fm.horizontalAdvance(s.label));
    const qreal valueWidth = fm.horizontalAdvance(QStringLiteral("00000.00"));
    int lines = 0;
    for (int column = 0; column < 4; ++column) {
        const qreal x = page.area().left() + column * columnWidth;
        int line = 0;
        for (const SummaryItem &s : summary) {
            if (s.column != column)
                continue;
            if (line == 0 && !s.heading.isEmpty()) {
                p.setFont(bold);
                p.drawText(QRectF(x, page.y(), columnWidth, lineHeight),
                           Qt::AlignLeft | Qt::AlignVCenter, s.heading);
                ++line;
            }
            const qreal top = page.y() + line * lineHeight;
            p.setFont(plain);
            p.drawText(QRectF(x, top, labelWidth, lineHeight), Qt::AlignLeft | Qt::AlignVCenter,
                       s.label);
            const qreal valueLeft = x + labelWidth + page.mm(2);
            p.drawText(QRectF(valueLeft, top, valueWidth, lineHeight),
                       Qt::AlignRight | Qt::AlignVCenter, printedText(s.value, printedIdLength));
            p.drawText(QRectF(valueLeft + valueWidth + page.mm(1), top, page.mm(8), lineHeight),
                       Qt::AlignLeft | Qt::AlignVCenter, s.unit);
            ++line;
        }
        lines = std::max(lines, line);
    }
    page.skip(lines * lineHeight + page.mm(3));
}

void paintVerdict(Page &page, const QString &fullVerdict) {
    if (fullVerdict.trimmed().isEmpty())
        return;
    // A text from a file within it (a tree's id, a species) cannot run the page on without
    // end: the verdict is cut to what a few lines hold, and a word longer than a line breaks.
    constexpr qsizetype verdictLength = 600;
    const QString verdict = fullVerdict.size() > verdictLength
                                ? fullVerdict.left(verdictLength - 1) + QChar(0x2026)
                                : fullVerdict;
    QPainter &p = page.painter();
    p.setFont(fontOf(textPt + 1, true));
    const QRectF room(page.area().left(), page.y(), page.area().width(), page.area().height());
    QTextOption wrap(Qt::AlignLeft);
    wrap.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    const QRectF used = p.boundingRect(room, verdict, wrap);
    p.drawText(room, verdict, wrap);
    page.skip(used.height() + page.mm(3));
}

// The chart as the result window draws it, drawn anew at `size` as an image sharp enough for
// paper.
void paintChart(QPainter &p, const TreeValuation &valuation, QSize size, const QRectF &room) {
    ResultModel model;
    model.setValuation(valuation);
    ResultChart chart(&model);
    chart.resize(size);
    const qreal scale = std::min(room.width() / size.width(), room.height() / size.height());
    const QSizeF onPaper = QSizeF(size) * scale;
    // About 200 dots to the inch on paper, whatever the screen.
    const qreal dpr =
        std::clamp(onPaper.width() / p.device()->logicalDpiX() * 200 / size.width(), 1.0, 4.0);
    QImage image(size * dpr, QImage::Format_RGB32);
    image.setDevicePixelRatio(dpr);
    image.fill(Qt::white);
    {
        QPainter ip(&image);
        chart.render(&ip, QPoint(), QRegion(), QWidget::DrawChildren);
    }
    const QRectF target(room.left() + (room.width() - onPaper.width()) / 2, room.top(),
                        onPaper.width(), onPaper.height());
    p.drawImage(target, image);
}

// "kr/träd" and "kr/m3" are units: a heading wraps before them, never inside them.
QString unbrokenUnits(QString heading) {
    return heading.replace(QStringLiteral("/"), QStringLiteral("/\u2060"));
}

struct GridLayout {
    QFont headingFont;
    QList<qreal> widths;
    qreal headingHeight = 0;
    qreal rowHeight = 0;
};

// Column widths from the widest text of each column; the headings wrap within them, in a
// smaller type where a word would not fit.
GridLayout layOutGrid(QPainter &p, const ResultTable &table, qreal width, qreal pad) {
    GridLayout g;
    const QFontMetricsF cells(fontOf(gridPt), p.device());
    QList<qreal> natural;
    qreal total = 0;
    for (int c = 0; c < table.headings.size(); ++c) {
        qreal w = cells.horizontalAdvance(QStringLiteral("0000"));
        for (const QStringList &row : table.rows)
            w = std::max(w, cells.horizontalAdvance(row.value(c)));
        natural.append(w + 2 * pad);
        total += w + 2 * pad;
    }
    // The room left over goes to the columns evenly, so the headings get room to wrap.
    const qreal extra =
        table.headings.isEmpty() ? 0 : std::max<qreal>(0, width - total) / table.headings.size();
    qreal scale = total > width ? width / total : 1;
    for (qreal w : natural)
        g.widths.append(w * scale + extra);

    g.headingFont = fontOf(gridPt);
    auto wordsFit = [&](const QFont &f) {
        const QFontMetricsF fm(f, p.device());
        for (int c = 0; c < table.headings.size(); ++c)
            for (const QString &word : table.headings[c].split(u' ', Qt::SkipEmptyParts))
                if (fm.horizontalAdvance(word) > g.widths[c] - 2 * pad)
                    return false;
        return true;
    };
    while (!wordsFit(g.headingFont) && g.headingFont.pointSizeF() > 5)
        g.headingFont.setPointSizeF(g.headingFont.pointSizeF() - 0.5);
    const QFontMetricsF hm(g.headingFont, p.device());
    for (int c = 0; c < table.headings.size(); ++c) {
        const QRectF r =
            hm.boundingRect(QRectF(0, 0, g.widths[c] - 2 * pad, 10000),
                            Qt::AlignCenter | Qt::TextWordWrap, unbrokenUnits(table.headings[c]));
        g.headingHeight = std::max(g.headingHeight, r.height() + 2 * pad);
    }
    g.rowHeight = cells.height() + 2 * pad;
    return g;
}

void paintGrid(QPainter &p, const QRectF &area, const ResultTable &table, const GridLayout &g,
               qreal pad, const QAbstractItemModel &model, bool labelled, int markedRowRole) {
    const QPen line(QColor(0x80, 0x80, 0x80), 0);
    qreal x = area.left();
    qreal y = area.top();
    auto cellRects = [&](qreal top, qreal height) {
        QList<QRectF> rects;
        qreal left = x;
        for (qreal w : g.widths) {
            rects.append(QRectF(left, top, w, height));
            left += w;
        }
        return rects;
    };
    // Headings on grey, as on screen.
    const QList<QRectF> heads = cellRects(y, g.headingHeight);
    p.setFont(g.headingFont);
    for (int c = 0; c < heads.size(); ++c) {
        p.fillRect(heads[c], QColor(0xee, 0xee, 0xee));
        p.setPen(line);
        p.drawRect(heads[c]);
        p.setPen(Qt::black);
        p.drawText(heads[c].adjusted(pad, pad, -pad, -pad), Qt::AlignCenter | Qt::TextWordWrap,
                   unbrokenUnits(table.headings[c]));
    }
    y += g.headingHeight;
    p.setFont(fontOf(gridPt));
    for (int r = 0; r < table.rows.size(); ++r) {
        const QList<QRectF> cells = cellRects(y, g.rowHeight);
        for (int c = 0; c < cells.size(); ++c) {
            const int modelColumn = labelled ? c - 1 : c;
            // A row the window marks (the best harvest year) is marked on paper too.
            QVariant background;
            if (modelColumn >= 0)
                background = model.data(model.index(r, modelColumn), Qt::BackgroundRole);
            if (background.canConvert<QBrush>() &&
                background.value<QBrush>().style() != Qt::NoBrush)
                p.fillRect(cells[c], background.value<QBrush>());
            else if (markedRowRole >= 0 && model.data(model.index(r, 0), markedRowRole).toBool())
                p.fillRect(cells[c], QColor(0xd8, 0xef, 0xc8));
            else if (c == 0 && labelled)
                p.fillRect(cells[c], QColor(0xee, 0xee, 0xee));
            p.setPen(line);
            p.drawRect(cells[c]);
            p.setPen(Qt::black);
            p.drawText(cells[c].adjusted(pad, 0, -pad, 0),
                       (c == 0 && labelled ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter,
                       table.rows[r].value(c));
        }
        y += g.rowHeight;
    }
}

} // namespace

void ResultPrintout::paint(QPainter &painter, const QRectF &area) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    Page page(painter, area);
    paintTitle(page);
    paintSummary(page, summary);
    paintVerdict(page, verdict);

    qreal gridHeight = 0;
    ResultTable table;
    GridLayout layout;
    const qreal pad = page.mm(0.8);
    if (grid) {
        table = resultTableOf(*grid, rowHeading);
        layout = layOutGrid(painter, table, area.width(), pad);
        gridHeight = layout.headingHeight + table.rows.size() * layout.rowHeight;
    }
    const qreal chartRoom = area.bottom() - page.y() - gridHeight - page.mm(3);
    if (chart && chartRoom > page.mm(20)) {
        paintChart(painter, *chart, chartSize,
                   QRectF(area.left(), page.y(), area.width(), chartRoom));
        page.skip(chartRoom + page.mm(3));
    }
    if (grid) {
        qreal width = 0;
        for (qreal w : layout.widths)
            width += w;
        const QRectF gridArea(area.left() + (area.width() - width) / 2, page.y(), width,
                              gridHeight);
        paintGrid(painter, gridArea, table, layout, pad, *grid, !rowHeading.isNull(),
                  markedRowRole);
    }
    painter.restore();
}

void ResultPrintout::setUpPage(QPagedPaintDevice &device) {
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                     QMarginsF(marginMm, marginMm, marginMm, marginMm),
                                     QPageLayout::Millimeter));
}

QByteArray ResultPrintout::pdf() const {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Kvistel"));
        writer.setTitle(QStringLiteral("Kvistel – resultat"));
        setUpPage(writer);
        QPainter painter(&writer);
        paint(painter, QRectF(0, 0, writer.width(), writer.height()));
    }
    return bytes;
}

Outcome ResultPrintout::savePdf(const QString &path) const {
    // Drawn into memory first, so that the file is only replaced by a whole document.
    return saveExportFile(path, pdf());
}

Outcome ResultPrintout::print(QPrinter &printer) const {
    QPainter painter;
    if (!painter.begin(&printer))
        return Outcome::failure(QStringLiteral(
            "Utskriften kunde inte startas. Kontrollera att skrivaren är ansluten och "
            "försök igen."));
    paint(painter, QRectF(0, 0, printer.width(), printer.height()));
    if (!painter.end())
        return Outcome::failure(QStringLiteral(
            "Utskriften kunde inte slutföras. Kontrollera skrivaren och försök igen."));
    return {};
}
