#include "gui/treelist/planchart.h"

#include "core/treelist/harvestplanmodel.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr double lastYear = 110;

const QColor barColour(0x20, 0x9f, 0xdf);  // as the result chart's net value
const QColor lineColour(0x7c, 0xb3, 0x42); // as the result chart's present value

QFont titleFont(QFont font) {
    font.setBold(true);
    return font;
}

} // namespace

QString PlanChart::barsName() {
    return QStringLiteral("Netto kr vid avverkningen");
}

QString PlanChart::lineName() {
    return QStringLiteral("Nuvärde kr, sammanlagt");
}

void PlanChart::setHarvests(std::optional<QList<PlanYear>> harvests) {
    m_harvests = std::move(harvests);
    update();
}

PlanChart::PlanChart(HarvestPlanModel *model, QWidget *parent) : QWidget(parent), m_model(model) {
    setObjectName(QStringLiteral("chtPlan"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setToolTip(QStringLiteral("Staplarna visar nettot av varje avverkningsår i planen, linjen "
                              "det nuvärde planen har samlat fram till och med det året."));
    connect(model, &QAbstractItemModel::modelReset, this, qOverload<>(&QWidget::update));
}

QSize PlanChart::sizeHint() const {
    // It takes what room the window has; asking for little lets the plan's table keep its rows.
    return {600, std::min(240, 8 * fontMetrics().height())};
}

QSize PlanChart::minimumSizeHint() const {
    const QFontMetrics fm = fontMetrics();
    // Wide enough for the legend's row, laid out as layout() does, margins included.
    const int gap = std::max(4, fm.horizontalAdvance(u'0'));
    int legend = 2 * gap;
    for (const QString &name : {barsName(), lineName()})
        legend += 2 * fm.height() + gap / 2 + fm.horizontalAdvance(name) + 2 * gap;
    return {std::max(24 * fm.height(), legend), 6 * fm.height()};
}

PlanChart::Layout PlanChart::layout() const {
    const QFontMetrics fm = fontMetrics();
    const int line = fm.height();
    const int gap = std::max(4, fm.horizontalAdvance(u'0'));
    const QRectF all = QRectF(rect()).adjusted(gap, line / 2 + 4, -gap, -4);
    const bool roomy = height() >= 11 * line;
    Layout l;

    // The figures: bars at each harvest year, the line adding up the present values.
    const QList<PlanYear> &years = m_harvests ? *m_harvests : m_model->years();
    double low = 0, high = 1, gathered = 0;
    QList<double> sums;
    for (const PlanYear &y : years) {
        gathered += y.presentValue;
        sums << gathered;
        low = std::min({low, y.netValue, gathered});
        high = std::max({high, y.netValue, gathered});
    }

    // The legend in one row under everything.
    const int sample = 2 * line;
    const int entryHeight = fm.lineSpacing() + 2;
    double x = all.left();
    for (const QString &name : {barsName(), lineName()}) {
        const double w = sample + gap / 2.0 + fm.horizontalAdvance(name);
        l.legendEntries << QRectF(x, all.bottom() - entryHeight, w, entryHeight);
        x += w + 2 * gap;
    }
    const double below = line + 2 + (roomy ? line : 0) + entryHeight + gap / 2.0;
    const double plotHeight = std::max(1.0, all.height() - below);
    const int sideTicks = std::clamp(int(plotHeight / (1.5 * line)) + 1, 2, roomy ? 5 : 3);
    l.kronor = ChartAxis::nice(QStringLiteral("kr"), low, high * 1.05, sideTicks);
    l.years = ChartAxis{QStringLiteral("År"), Qt::Horizontal, 0, lastYear, 10};
    l.kronor.titleVisible = l.years.titleVisible = roomy;

    int widest = 0;
    for (int t = 0; t < l.kronor.tickCount(); ++t)
        widest = std::max(widest, fm.horizontalAdvance(l.kronor.label(t)));
    const double titleRoom = roomy ? line + gap / 2.0 : 0;
    const double leftRoom = titleRoom + widest + gap / 2.0;
    // Half a decade of room at each end, so that the first and last bars stand whole.
    const double rightRoom = fm.horizontalAdvance(QStringLiteral("110")) / 2.0 + gap;
    l.plot =
        QRectF(all.left() + leftRoom, all.top(), all.width() - leftRoom - rightRoom, plotHeight);
    const double decade = l.plot.width() / (lastYear / 10 + 1);
    auto xOf = [&](double year) { return l.plot.left() + decade * (year / 10 + 0.5); };
    auto yOf = [&](double v) {
        return l.plot.bottom() -
               l.plot.height() * (v - l.kronor.low) / (l.kronor.high - l.kronor.low);
    };
    for (qsizetype i = 0; i < years.size(); ++i) {
        const double centre = xOf(years[i].years);
        const double top = yOf(std::max(0.0, years[i].netValue));
        const double bottom = yOf(std::min(0.0, years[i].netValue));
        l.bars << QRectF(centre - 0.3 * decade, top, 0.6 * decade, bottom - top);
        l.cumulative << QPointF(centre, yOf(sums[i]));
    }

    // Years: every ten where the numbers fit, else every twenty.
    const double yearWidth = fm.horizontalAdvance(QStringLiteral("110")) + gap;
    l.years.step = decade >= yearWidth ? 10 : 20;
    l.years.high = std::floor(lastYear / l.years.step) * l.years.step;
    for (int t = 0; t < l.years.tickCount(); ++t) {
        const QString text = l.years.label(t);
        const double w = fm.horizontalAdvance(text);
        l.labels.append(
            {text, QRectF(xOf(l.years.value(t)) - w / 2, l.plot.bottom() + 2, w, line)});
    }
    for (int t = 0; t < l.kronor.tickCount(); ++t) {
        const QString text = l.kronor.label(t);
        const double w = fm.horizontalAdvance(text);
        l.labels.append({text, QRectF(l.plot.left() - gap / 2.0 - w,
                                      yOf(l.kronor.value(t)) - line / 2.0, w, line)});
    }
    if (roomy) {
        const QFontMetrics titleMetrics(titleFont(font()));
        const double w = titleMetrics.horizontalAdvance(l.years.title);
        l.labels.append({l.years.title,
                         QRectF(l.plot.center().x() - w / 2, l.plot.bottom() + 2 + line, w, line)});
        const double h = titleMetrics.horizontalAdvance(l.kronor.title);
        l.labels.append({l.kronor.title, QRectF(all.left(), l.plot.center().y() - h / 2, line, h)});
    }
    return l;
}

void PlanChart::paintEvent(QPaintEvent *) {
    QPainter p(this);
    paintChartBackground(p, *this);

    const Layout l = layout();
    const QFontMetrics fm = fontMetrics();
    auto yOf = [&](double v) {
        return l.plot.bottom() -
               l.plot.height() * (v - l.kronor.low) / (l.kronor.high - l.kronor.low);
    };

    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(palette().mid().color().lighter(130), 1));
    for (int t = 0; t < l.kronor.tickCount(); ++t)
        p.drawLine(
            QLineF(l.plot.left(), yOf(l.kronor.value(t)), l.plot.right(), yOf(l.kronor.value(t))));
    p.setPen(QPen(palette().dark().color(), 1));
    p.drawLine(QLineF(l.plot.left(), yOf(0), l.plot.right(), yOf(0)));
    p.drawLine(l.plot.topLeft(), l.plot.bottomLeft());

    p.setPen(palette().text().color());
    const int numbers = int(l.labels.size()) - (l.kronor.titleVisible ? 2 : 0);
    for (int i = 0; i < l.labels.size(); ++i) {
        const QRectF r = l.labels[i].rect;
        if (i < numbers) {
            p.drawText(r, Qt::AlignCenter | Qt::TextDontClip, l.labels[i].text);
            continue;
        }
        p.setFont(titleFont(font()));
        if (i == numbers) {
            p.drawText(r, Qt::AlignCenter | Qt::TextDontClip, l.labels[i].text);
        } else {
            p.save();
            p.translate(r.center());
            p.rotate(-90);
            p.drawText(QRectF(-r.height() / 2, -r.width() / 2, r.height(), r.width()),
                       Qt::AlignCenter | Qt::TextDontClip, l.labels[i].text);
            p.restore();
        }
        p.setFont(font());
    }

    p.setPen(QPen(barColour.darker(120), 1));
    p.setBrush(barColour);
    for (const QRectF &bar : l.bars)
        p.drawRect(bar);

    p.setRenderHint(QPainter::Antialiasing);
    QPen linePen(lineColour, 2);
    linePen.setJoinStyle(Qt::RoundJoin);
    if (!l.cumulative.isEmpty()) {
        QPainterPath path(l.cumulative.first());
        for (const QPointF &pt : l.cumulative)
            path.lineTo(pt);
        p.setPen(linePen);
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
        p.setBrush(lineColour);
        for (const QPointF &pt : l.cumulative)
            p.drawEllipse(pt, 2.5, 2.5);
    }

    const int sample = 2 * fm.height();
    for (int i = 0; i < l.legendEntries.size(); ++i) {
        const QRectF r = l.legendEntries[i];
        const QRectF mark(r.left(), r.center().y() - fm.height() / 3.0, sample, fm.height() / 1.5);
        if (i == 0) {
            p.setPen(QPen(barColour.darker(120), 1));
            p.setBrush(barColour);
            p.drawRect(mark.adjusted(sample / 4.0, 0, -sample / 4.0, 0));
        } else {
            p.setPen(linePen);
            p.drawLine(QLineF(mark.left(), mark.center().y(), mark.right(), mark.center().y()));
        }
        p.setPen(palette().text().color());
        p.drawText(QRectF(r.left() + sample + fm.horizontalAdvance(u'0') / 2.0, r.top(),
                          r.width() - sample, r.height()),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextDontClip,
                   i == 0 ? barsName() : lineName());
    }
}
