#pragma once

#include "pricegrid.h"
#include "pricelistfile.h"
#include "workwindow.h"

class FlexGrid;
class QComboBox;
class QLineEdit;
class QPushButton;

// The price list editor: shows the timber prices of "priser_ac.txt" for pine or spruce as a grid
// of quality classes by top-diameter classes, lets the user overwrite a price in the box that
// floats over the current cell, and saves both species together. Every showing rereads the file
// and opens on pine, so edits that were not saved are gone.
class forPrislista : public WorkWindow {
    Q_OBJECT
public:
    forPrislista(WindowHub &hub, const QString &sokvag, QWidget *parent = nullptr);

protected:
    void formActivate() override;
    void closeBox() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cmbArt_Click();
    void flgPrislista_EnterCell();
    void txtEdit_Change();
    void btnSpara_Click();
    void btnAvsluta_Click();

    void visa_prislista(const QString &art);

    void setUpGrid();
    void writeHeader(int row, int col, const QString &text, bool alignRight);
    void fitHeaderColumnFont();
    void fitGridHeight();
    void applyColumnWidths();
    void placeEditor();
    void moveEditor(CellMove move);
    void takeFocus();
    bool editorAtStart() const;
    bool editorAtEnd() const;
    QString selectedSpecies() const;
    void keepComboOnAnEntry();

    WindowHub &m_hub;
    QString m_sokvag;

    QString lan;
    PriceTable price_pine{};
    PriceTable price_spruce{};
    // Guards txtEdit_Change against the program's own changes of the editor's text: false until
    // the first activation has finished; fill_done is false while visa_prislista fills the cells.
    bool form_ready = false;
    bool fill_done = false;

    QComboBox *cmbArt;
    QLineEdit *txtLan;
    FlexGrid *flgPrislista;
    QLineEdit *txtEdit;
    QPushButton *btnSpara;
    QPushButton *btnAvsluta;
};
