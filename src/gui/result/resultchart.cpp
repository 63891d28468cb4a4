#include "gui/result/resultchart.h"

#include "core/engine/decision.h"
#include "core/files/numberformat.h"
#include "core/results/resultmodel.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// A value growth of -100 % means the tree is worth nothing; below this the rate axis would
// only squeeze the rates that matter into a line.
constexpr double lowestRateShown = -10;
constexpr double lastYear = 110;

const QString netName = QStringLiteral("Netto kr/träd");
const QString presentName = QStringLiteral("Nuvärde kr/träd");
const QString bestName = QStringLiteral("Bästa år");
const QString growthName = QStringLiteral("Värdetillväxt % per år");
const QString requiredName = QStringLiteral("Räntekrav % per år");

QPen curvePen(QColor colour) {
    QPen pen(colour, 2);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

QFont titleFont(QFont font) {
    font.setBold(true);
    return font;
}

int legendSample(const QFontMetrics &fm) {
    return 2 * fm.height();
}

} // namespace

ResultChart::ResultChart(ResultModel *model, QWidget *parent) : QWidget(parent), m_model(model) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    QPen required(Qt::darkGray, 1.5, Qt::DashLine);
    m_curves = {
        {netName, curvePen(QColor(0x20, 0x9f, 0xdf)), false, false, {}},
        {presentName, curvePen(QColor(0x7c, 0xb3, 0x42)), false, false, {}},
        {bestName, curvePen(QColor(0xf6, 0xa6, 0x25)), false, true, {}},
        {growthName, curvePen(QColor(0x6d, 0x5f, 0xd5)), true, false, {}},
        {requiredName, required, true, false, {}},
    };
    redraw();
}

const ResultChart::Curve *ResultChart::curve(const QString &name) const {
    for (const Curve &c : m_curves)
        if (c.name == name)
            return &c;
    return nullptr;
}

QSize ResultChart::sizeHint() const {
    return {600, 220};
}

QSize ResultChart::minimumSizeHint() const {
    const QFontMetrics fm = fontMetrics();
    return {30 * fm.height(), 7 * fm.height()};
}

void ResultChart::waitForRedraw() {
    m_waiting = true;
    setUpdatesEnabled(false);
}

void ResultChart::redraw() {
    const TreeValuation &v = m_model->valuation();
    QList<QPointF> net, present, growth, required, best;
    double low = 0, high = 1, rateLow = 0, rateHigh = 1;
    const double requiredPercent = m_model->requiredRate() * 100;
    auto widen = [](double &from, double &to, double value) {
        if (std::isfinite(value)) {
            from = std::min(from, value);
            to = std::max(to, value);
        }
    };
    for (int r = 0; r < v.yearsValued; ++r) {
        const HarvestYear &y = v.rows[std::size_t(r)];
        const double years = 10.0 * r;
        // Harvest now is worth its net value: nothing to discount.
        const double pv = r == 0 ? y[NetValue] : y[PresentValue];
        net.append({years, y[NetValue]});
        present.append({years, pv});
        widen(low, high, y[NetValue]);
        widen(low, high, pv);
        if (r > 0) {
            // No rate of growth starts from a net value of 0 kr or less: a gap in the line.
            const double rate = valueGrowth(v, r);
            growth.append({years, rate});
            if (std::isfinite(rate))
                widen(rateLow, rateHigh, std::max(lowestRateShown, rate));
        }
        if (r == m_model->bestRow())
            best.append({years, pv});
    }
    if (v.yearsValued > 0) {
        required = {{0, requiredPercent}, {lastYear, requiredPercent}};
        widen(rateLow, rateHigh, requiredPercent);
    }
    m_curves[0].points = net;
    m_curves[1].points = present;
    m_curves[2].points = best;
    m_curves[3].points = growth;
    m_curves[4].points = required;
    m_valueLow = low;
    m_valueHigh = high * 1.05;
    m_rateLow = rateLow;
    m_rateHigh = std::ceil(rateHigh + 0.5);
    if (m_waiting) {
        m_waiting = false;
        setUpdatesEnabled(true);
    }
    update();
}

QList<ResultChart::Axis> ResultChart::axes() const {
    const Layout l = layout();
    return {l.years, l.values, l.rates};
}

ResultChart::Layout ResultChart::layout() const {
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height();
    const int gap = std::max(4, fm.horizontalAdvance(u'0'));
    const QRectF all = QRectF(rect()).adjusted(gap, line / 2 + 4, -gap, -4);
    Layout l;

    // A short chart, as on a small screen with large text, writes its axes' titles level (the
    // side titles above their axes, the years' beside the year numbers) rather than turned
    // along them, and shows fewer numbers up its sides, so that none is cut short or run into
    // the next.
    const bool roomy = height() >= 10 * line;

    // The legend beside the plot, in as few columns as its height allows; where that would
    // leave the plot too narrow, in rows below it.
    const int entryHeight = fm.lineSpacing() + 2;
    QList<int> entryWidths;
    for (const Curve &c : m_curves)
        entryWidths << legendSample(fm) + gap / 2 + fm.horizontalAdvance(c.name);
    const int count = int(m_curves.size());
    QRectF room = all;
    bool placed = false;
    for (int columns = 1; columns <= 3 && !placed; ++columns) {
        const int rows = (count + columns - 1) / columns;
        QList<double> legendColumnWidths(columns, 0.0);
        for (int i = 0; i < count; ++i)
            legendColumnWidths[i / rows] =
                std::max<double>(legendColumnWidths[i / rows], entryWidths[i]);
        double legendWidth = 2 * gap * (columns - 1);
        for (double w : legendColumnWidths)
            legendWidth += w;
        if (rows * entryHeight > all.height() ||
            all.width() - legendWidth - 2 * gap < 0.5 * all.width())
            continue;
        double x = all.right() - legendWidth;
        room.setRight(x - 2 * gap);
        l.legendEntries.resize(count);
        for (int i = 0; i < count; ++i) {
            if (i > 0 && i % rows == 0)
                x += legendColumnWidths[i / rows - 1] + 2 * gap;
            l.legendEntries[i] =
                QRectF(x, all.top() + (i % rows) * entryHeight, entryWidths[i], entryHeight);
        }
        placed = true;
    }
    if (!placed) {
        // Rows from the bottom up, each as full as the width allows.
        QList<QList<int>> rows{{}};
        double used = 0;
        for (int i = 0; i < count; ++i) {
            if (!rows.last().isEmpty() && used + entryWidths[i] > all.width()) {
                rows.append(QList<int>());
                used = 0;
            }
            rows.last() << i;
            used += entryWidths[i] + 2 * gap;
        }
        l.legendEntries.resize(count);
        double y = all.bottom() - rows.size() * entryHeight;
        room.setBottom(y - gap / 2);
        for (const QList<int> &row : rows) {
            double x = all.left();
            for (int i : row) {
                l.legendEntries[i] = QRectF(x, y, entryWidths[i], entryHeight);
                x += entryWidths[i] + 2 * gap;
            }
            y += entryHeight;
        }
    }

    // Heights first: the year numbers and the title below, then as many numbers up the sides as
    // there is room for, at least one and a half lines apart.
    const double below = line + 2 + (roomy ? line : 0);
    // Level titles take a line and a half above the plot; a chart too cramped for that and
    // two lines of plot goes without them.
    const bool levelTitles = !roomy && room.height() - below - 1.5 * line - 2 >= 2 * line;
    const double above = levelTitles ? 1.5 * line + 2 : 0;
    const double plotHeight = std::max(1.0, room.height() - below - above);
    const int sideTicks = std::clamp(int(plotHeight / (1.5 * line)) + 1, 2, roomy ? 5 : 3);
    l.values = ChartAxis::nice(QStringLiteral("kr/träd"), m_valueLow, m_valueHigh, sideTicks);
    l.rates = ChartAxis::nice(QStringLiteral("% per år"), m_rateLow, m_rateHigh, sideTicks);
    l.years = Axis{QStringLiteral("År"), Qt::Horizontal, 0, lastYear, 10};

    auto widest = [&](const Axis &a) {
        int w = 0;
        for (int t = 0; t < a.tickCount(); ++t)
            w = std::max(w, fm.horizontalAdvance(a.label(t)));
        return w;
    };
    // The numbers up the sides stand clear of the year numbers under the plot's corners.
    const double leftGap = std::max(gap / 2.0, fm.horizontalAdvance(u'0') / 2.0 + 2);
    const double rightGap =
        std::max(gap / 2.0, fm.horizontalAdvance(QStringLiteral("110")) / 2.0 + 2);
    const double titleRoom = roomy ? line + gap / 2 : 0;
    const double leftRoom = titleRoom + widest(l.values) + leftGap;
    const double rightRoom = titleRoom + widest(l.rates) + rightGap;
    l.plot = QRectF(room.left() + leftRoom, room.top() + above, room.width() - leftRoom - rightRoom,
                    plotHeight);

    // Years: every ten where the numbers fit, else every twenty, fifty or only the ends.
    const double yearWidth = fm.horizontalAdvance(QStringLiteral("110")) + gap;
    for (double step : {10.0, 20.0, 50.0, 110.0}) {
        l.years.step = step;
        if (l.plot.width() * step / lastYear >= yearWidth)
            break;
    }
    l.years.high = std::floor(lastYear / l.years.step) * l.years.step;

    for (int t = 0; t < l.years.tickCount(); ++t) {
        const QString text = l.years.label(t);
        const double x = l.plot.left() + l.plot.width() * l.years.value(t) / lastYear;
        const double w = fm.horizontalAdvance(text);
        l.labels.append({text, QRectF(x - w / 2, l.plot.bottom() + 2, w, line)});
    }
    for (const Axis *a : {&l.values, &l.rates}) {
        const bool left = a == &l.values;
        for (int t = 0; t < a->tickCount(); ++t) {
            const QString text = a->label(t);
            const double y =
                l.plot.bottom() - l.plot.height() * (a->value(t) - a->low) / (a->high - a->low);
            const double w = fm.horizontalAdvance(text);
            const double x = left ? l.plot.left() - leftGap - w : l.plot.right() + rightGap;
            l.labels.append({text, QRectF(x, y - line / 2.0, w, line)});
        }
    }
    const QFontMetrics titleMetrics(titleFont(font()));
    const double yearTitle = titleMetrics.horizontalAdvance(l.years.title);
    if (roomy) {
        l.labels.append({l.years.title,
                         QRectF(l.plot.center().x() - yearTitle / 2, l.plot.bottom() + 2 + line,
                                yearTitle, line),
                         true});
        // The side titles stand turned a quarter, along their axes.
        for (const Axis *a : {&l.values, &l.rates}) {
            const double h = titleMetrics.horizontalAdvance(a->title);
            const double x = a == &l.values
                                 ? room.left()
                                 : room.left() + leftRoom + l.plot.width() + rightRoom - line;
            l.labels.append({a->title, QRectF(x, l.plot.center().y() - h / 2, line, h), true,
                             a == &l.values ? -90 : 90});
        }
        return l;
    }
    if (!levelTitles) {
        for (Axis *a : {&l.values, &l.rates, &l.years})
            a->titleVisible = false;
        return l;
    }
    // Level: each side's title over its numbers, the years' left of the first year where the
    // money numbers leave room for it.
    const double valueTitle = titleMetrics.horizontalAdvance(l.values.title);
    const double rateTitle = titleMetrics.horizontalAdvance(l.rates.title);
    l.labels.append({l.values.title, QRectF(room.left(), room.top(), valueTitle, line), true});
    l.labels.append(
        {l.rates.title, QRectF(room.right() - rateTitle, room.top(), rateTitle, line), true});
    const double firstYear = fm.horizontalAdvance(l.years.label(0));
    if (room.left() + yearTitle + gap / 2.0 <= l.plot.left() - firstYear / 2)
        l.labels.append(
            {l.years.title, QRectF(room.left(), l.plot.bottom() + 2, yearTitle, line), true});
    else
        l.years.titleVisible = false;
    return l;
}

void ResultChart::paintEvent(QPaintEvent *) {
    QPainter p(this);
    paintChartBackground(p, *this);

    const Layout l = layout();
    const QFontMetrics fm = fontMetrics();
    const QColor gridColour = palette().mid().color().lighter(130);
    const QColor axisColour = palette().dark().color();
    auto xOf = [&](double year) { return l.plot.left() + l.plot.width() * year / lastYear; };
    auto yOf = [&](const Axis &a, double v) {
        return l.plot.bottom() - l.plot.height() * (v - a.low) / (a.high - a.low);
    };

    // The grid at the money axis's numbers and at the years.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(gridColour, 1));
    for (int t = 0; t < l.values.tickCount(); ++t)
        p.drawLine(QLineF(l.plot.left(), yOf(l.values, l.values.value(t)), l.plot.right(),
                          yOf(l.values, l.values.value(t))));
    for (int t = 0; t < l.years.tickCount(); ++t)
        p.drawLine(
            QLineF(xOf(l.years.value(t)), l.plot.top(), xOf(l.years.value(t)), l.plot.bottom()));
    p.setPen(QPen(axisColour, 1));
    p.drawLine(l.plot.bottomLeft(), l.plot.bottomRight());
    p.drawLine(l.plot.topLeft(), l.plot.bottomLeft());
    p.drawLine(l.plot.topRight(), l.plot.bottomRight());

    // The numbers and titles.
    p.setPen(palette().text().color());
    for (const Layout::Label &label : l.labels) {
        p.setFont(label.title ? titleFont(font()) : font());
        if (label.turn == 0) {
            p.drawText(label.rect, Qt::AlignCenter | Qt::TextDontClip, label.text);
            continue;
        }
        const QRectF r = label.rect;
        p.save();
        p.translate(r.center());
        p.rotate(label.turn);
        p.drawText(QRectF(-r.height() / 2, -r.width() / 2, r.height(), r.width()),
                   Qt::AlignCenter | Qt::TextDontClip, label.text);
        p.restore();
    }
    p.setFont(font());

    // The curves, kept inside the plot; a point that is not a number leaves a gap.
    p.setRenderHint(QPainter::Antialiasing);
    p.save();
    p.setClipRect(l.plot.adjusted(-8, -8, 8, 8));
    for (const Curve &c : m_curves) {
        const Axis &a = c.onRateAxis ? l.rates : l.values;
        if (c.markers) {
            p.setPen(QPen(c.pen.color().darker(120), 1));
            p.setBrush(c.pen.color());
            const double radius = fm.height() / 2.5;
            for (const QPointF &pt : c.points)
                if (std::isfinite(pt.y()))
                    p.drawEllipse(QPointF(xOf(pt.x()), yOf(a, pt.y())), radius, radius);
            continue;
        }
        QPainterPath path;
        bool drawing = false;
        for (const QPointF &pt : c.points) {
            if (!std::isfinite(pt.y())) {
                drawing = false;
                continue;
            }
            const QPointF at(xOf(pt.x()), yOf(a, std::max(pt.y(), a.low - a.step)));
            if (drawing)
                path.lineTo(at);
            else
                path.moveTo(at);
            drawing = true;
        }
        p.setPen(c.pen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    p.restore();

    // The legend: each curve's line or mark, then its name.
    const int sample = legendSample(fm);
    for (int i = 0; i < m_curves.size(); ++i) {
        const Curve &c = m_curves[i];
        const QRectF r = l.legendEntries.value(i);
        const double y = r.center().y();
        if (c.markers) {
            p.setPen(QPen(c.pen.color().darker(120), 1));
            p.setBrush(c.pen.color());
            const double radius = fm.height() / 2.5;
            p.drawEllipse(QPointF(r.left() + sample / 2.0, y), radius, radius);
        } else {
            p.setPen(c.pen);
            p.drawLine(QPointF(r.left() + 2, y), QPointF(r.left() + sample - 2, y));
        }
        p.setPen(palette().text().color());
        p.drawText(QRectF(r.left() + sample + fm.horizontalAdvance(u'0') / 2.0, r.top(),
                          r.width() - sample, r.height()),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip, c.name);
    }
}
