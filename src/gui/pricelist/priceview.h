#pragma once

#include <QTableView>

// The price grid of one species: the quality classes down the left in
// a header column 900 twips wide, the diameter classes across the top, price rows 288 twips high
// (the height of the box the user types in) and price columns sharing the rest of the width. All
// five classes are in view, without scrolling. Sizes are in twips, 1440 to the inch of the
// screen's logical resolution.
//
// The keyboard belongs to the box over the current cell and to the window: the view itself takes
// no keys and no focus, and a click only chooses the cell.
class PriceView : public QTableView {
    Q_OBJECT
public:
    explicit PriceView(QWidget *parent = nullptr);

    // The heading in the corner above the quality classes, "Diam".
    void setCornerText(const QString &text, Qt::Alignment alignment);
    QString cornerText() const { return m_cornerText; }
    Qt::Alignment cornerAlignment() const { return m_cornerAlignment; }

    int twipsToPixels(int twips) const;
    int pixelsToTwips(int pixels) const;

    // Fits the height to the header row and the five price rows, and the header column's font
    // to its fixed width; to be called once the model is set.
    void fitToPrices();

    static constexpr int headerColumnTwips = 900;
    static constexpr int priceRowTwips = 288;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyColumnWidths();

    QString m_cornerText;
    Qt::Alignment m_cornerAlignment = Qt::AlignCenter;
};
