#include "gui/shared/chartaxis.h"

#include "core/files/numberformat.h"

#include <QPainter>
#include <QWidget>

#include <algorithm>
#include <cmath>

int ChartAxis::tickCount() const {
    return int(std::lround((high - low) / step)) + 1;
}

QString ChartAxis::label(int tick) const {
    double v = std::round(value(tick) / step) * step;
    if (std::abs(v) < step * 1e-6)
        v = 0; // never "-0"
    const int decimals = step >= 1 ? 0 : int(std::ceil(-std::log10(step) - 1e-9));
    QString text = QString::number(v, 'f', decimals);
    if (decimals > 0)
        text.replace(u'.', localeDecimalSeparator());
    return text;
}

ChartAxis ChartAxis::nice(QString title, double low, double high, int ticks) {
    if (!std::isfinite(low) || !std::isfinite(high))
        low = 0, high = 1;
    if (high - low < 1e-9)
        high = low + 1;
    ticks = std::max(ticks, 2);
    double magnitude = std::pow(10.0, std::floor(std::log10((high - low) / (ticks - 1))));
    ChartAxis axis{std::move(title)};
    for (;; magnitude *= 10) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            const double step = factor * magnitude;
            const double from = std::floor(low / step + 1e-9) * step;
            const double to = std::ceil(high / step - 1e-9) * step;
            if (std::lround((to - from) / step) + 1 <= ticks) {
                axis.low = from;
                axis.high = to;
                axis.step = step;
                return axis;
            }
        }
    }
}

void paintChartBackground(QPainter &p, const QWidget &chart) {
    p.fillRect(chart.rect(), chart.palette().window());
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(chart.palette().mid().color(), 1));
    p.setBrush(chart.palette().base());
    p.drawRoundedRect(QRectF(chart.rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
}
