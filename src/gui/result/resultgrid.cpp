#include "gui/result/resultgrid.h"

#include "gui/shared/cornerheading.h"
#include "gui/shared/twips.h"

#include "core/results/resultmodel.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QGlyphRun>
#include <QHeaderView>
#include <QPainter>
#include <QRawFont>
#include <QStyledItemDelegate>

#include <cmath>
#include <optional>

namespace {

// Heading texts wrap onto further lines; the header view takes the flag with the alignment.
const Qt::Alignment wrap = Qt::Alignment(QFlag(Qt::TextWordWrap));

// Each cell holds one short number. It is drawn straight onto the grid as a run of glyphs:
// the general item pipeline lays out and shapes every cell's text as a wrapping paragraph, and
// that is most of what showing the grid costs, while digits, signs and separators need no
// shaping. The row of the best harvest year stands out, so the eye finds the advice in the
// table.
class ResultCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        const bool best = index.data(ResultModel::BestYearRole).toBool();
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group =
            !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (option.state & QStyle::State_Active) ? QPalette::Normal
                                                    : QPalette::Inactive;
        if (selected)
            painter->fillRect(option.rect, option.palette.brush(group, QPalette::Highlight));
        else if (best)
            painter->fillRect(option.rect, QColor(255, 236, 160));

        const Face &face = faceFor(option.font, best);
        const QStyle *style = option.widget ? option.widget->style() : QApplication::style();
        const int margin =
            style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option.widget) + 1;
        const QRect room = option.rect.adjusted(margin, 0, -margin, 0);
        const QString text = index.data(Qt::DisplayRole).toString();
        const QPen pen = painter->pen();
        painter->setPen(
            option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        // One line, right-aligned and centred in height, as the model asks for every cell.
        const int baseline = room.top() + (room.height() - face.height) / 2 + face.ascent;
        QList<quint32> glyphs = face.raw.glyphIndexesForString(text);
        if (glyphs.contains(0u)) {
            // A character the font has no glyph for is left to the text engine's fallbacks.
            const QFont font = painter->font();
            painter->setFont(face.font);
            painter->drawText(room, Qt::AlignRight | Qt::AlignVCenter, text);
            painter->setFont(font);
        } else {
            const QList<QPointF> advances = face.raw.advancesForGlyphIndexes(glyphs);
            QList<QPointF> positions(advances.size());
            qreal x = 0;
            for (qsizetype i = 0; i < advances.size(); ++i) {
                positions[i] = QPointF(x, 0);
                x += advances[i].x();
            }
            QGlyphRun run;
            run.setRawFont(face.raw);
            run.setGlyphIndexes(glyphs);
            run.setPositions(positions);
            // A number wider than its column keeps to its cell rather than cover the next.
            const bool tooWide = x > room.width();
            if (tooWide) {
                painter->save();
                painter->setClipRect(option.rect, Qt::IntersectClip);
            }
            painter->drawGlyphRun(QPointF(room.right() + 1 - std::ceil(x), baseline), run);
            if (tooWide)
                painter->restore();
        }
        painter->setPen(pen);

        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor =
                option.palette.color(group, selected ? QPalette::Highlight : QPalette::Window);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
        }
    }

private:
    // The grid's font, plain and bold, with what drawing needs of it; looked up once, not for
    // every cell.
    struct Face {
        QFont font;
        QRawFont raw;
        int ascent = 0;
        int height = 0;
    };

    const Face &faceFor(const QFont &font, bool bold) const {
        Face &face = m_faces[bold ? 1 : 0];
        if (!m_base || *m_base != font) {
            m_base = font;
            for (int b = 0; b < 2; ++b) {
                Face &f = m_faces[b];
                f.font = font;
                f.font.setBold(b == 1);
                f.raw = QRawFont::fromFont(f.font);
                const QFontMetrics metrics(f.font);
                f.ascent = metrics.ascent();
                f.height = metrics.height();
            }
        }
        return face;
    }

    mutable std::optional<QFont> m_base;
    mutable Face m_faces[2];
};

} // namespace

ResultGrid::ResultGrid(QWidget *parent) : QTableView(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setCornerButtonEnabled(false);
    setWordWrap(true);
    // On a small screen the grid scrolls; by pixels, so a wide column never jumps out of view.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setItemDelegate(new ResultCellDelegate(this));
    QHeaderView *top = horizontalHeader();
    top->setSectionResizeMode(QHeaderView::Fixed);
    top->setDefaultAlignment(Qt::AlignCenter | wrap);
    top->setMinimumSectionSize(1);
    // The grid shows a result, it does not select by heading.
    top->setHighlightSections(false);
    top->setSectionsClickable(false);
    QHeaderView *left = verticalHeader();
    left->setSectionResizeMode(QHeaderView::Fixed);
    left->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    left->setMinimumSectionSize(1);
    left->setDefaultSectionSize(twipsToPixels(300));
    left->setHighlightSections(false);
    left->setSectionsClickable(false);

    if (auto *corner = findChild<QAbstractButton *>())
        corner->installEventFilter(this);
}

void ResultGrid::setResultModel(ResultModel *model) {
    m_model = model;
    setModel(model);
}

QString ResultGrid::textAt(int row, int col) const {
    if (!m_model)
        return {};
    if (row == 0 && col == 0)
        return ResultModel::yearHeading();
    if (row == 0)
        return m_model->headerData(col - 1, Qt::Horizontal).toString();
    if (col == 0)
        return m_model->headerData(row - 1, Qt::Vertical).toString();
    return m_model->index(row - 1, col - 1).data(Qt::DisplayRole).toString();
}

int ResultGrid::rows() const {
    return m_model ? m_model->rowCount() + 1 : 1;
}

int ResultGrid::cols() const {
    return m_model ? m_model->columnCount() + 1 : 1;
}

int ResultGrid::twipsToPixels(int twips) const {
    return Twips::toPixels(*this, twips);
}

int ResultGrid::pixelsToTwips(int pixels) const {
    return Twips::fromPixels(*this, pixels);
}

int ResultGrid::colWidth(int col) const {
    if (col == 0)
        return pixelsToTwips(verticalHeader()->width());
    return pixelsToTwips(columnWidth(col - 1));
}

void ResultGrid::setColWidth(int col, int twips) {
    if (col == 0)
        verticalHeader()->setFixedWidth(twipsToPixels(twips));
    else
        setColumnWidth(col - 1, twipsToPixels(twips));
}

int ResultGrid::rowHeight(int row) const {
    if (row == 0)
        return pixelsToTwips(horizontalHeader()->height());
    return pixelsToTwips(QTableView::rowHeight(row - 1));
}

void ResultGrid::setRowHeight(int row, int twips) {
    if (row == 0)
        horizontalHeader()->setFixedHeight(twipsToPixels(twips));
    else
        QTableView::setRowHeight(row - 1, twipsToPixels(twips));
}

QSize ResultGrid::fullTableSize() const {
    const QHeaderView *top = horizontalHeader();
    const QHeaderView *left = verticalHeader();
    const int frame = 2 * frameWidth();
    return {frame + left->width() + top->length(), frame + top->height() + left->length()};
}

bool ResultGrid::eventFilter(QObject *watched, QEvent *event) {
    auto *corner = qobject_cast<QAbstractButton *>(watched);
    if (corner && event->type() == QEvent::Paint) {
        // The corner heads the year column: "År".
        paintCornerHeading(corner, ResultModel::yearHeading(), Qt::AlignCenter);
        return true;
    }
    return QTableView::eventFilter(watched, event);
}
