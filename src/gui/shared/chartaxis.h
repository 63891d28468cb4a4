#pragma once

#include <QRectF>
#include <QString>
#include <Qt>

class QPainter;
class QWidget;

// One axis of a chart of the program's: its title and the numbers along it, from low to high in
// steps of 1, 2 or 5 times a power of ten.
struct ChartAxis {
    QString title;
    Qt::Orientation orientation = Qt::Vertical;
    double low = 0;
    double high = 1;
    double step = 1;
    bool titleVisible = true;

    int tickCount() const;
    // The number at `tick`, with as many decimals as the step needs and the user's separator.
    QString label(int tick) const;
    double value(int tick) const { return low + tick * step; }

    // An axis that takes in `low` to `high` with at most `ticks` numbers along it.
    static ChartAxis nice(QString title, double low, double high, int ticks);
};

// A number or title along an axis, where it is drawn.
struct ChartLabel {
    QString text;
    QRectF rect;
    bool title = false; // an axis's title, in the title font
    int turn = 0;       // degrees the text is turned by, about its centre (a side's title)
};

// The card every chart of the program is drawn on: the window's colour around a rounded field of
// the base colour. Leaves `painter` antialiased.
void paintChartBackground(QPainter &painter, const QWidget &chart);
