#pragma once

#include "core/files/pricelistfile.h"
#include "gui/pricelist/pricegrid.h"
#include "gui/pricelist/pricetablemodel.h"
#include "gui/shared/formlayout.h"
#include "gui/shared/workwindow.h"

#include <span>

class PriceCellDelegate;
class PriceView;
class QComboBox;
class QLineEdit;
class QModelIndex;
class QPushButton;

// The price list editor: shows the timber prices of "priser_ac.txt" for pine or spruce as a grid
// of quality classes by top-diameter classes, lets the user overwrite a price in the box over the
// current cell, and saves both species together. Every showing rereads the file and opens on
// pine; leaving with edits not saved asks first.
class PriceListEditor : public WorkWindow {
    Q_OBJECT
public:
    PriceListEditor(WindowHub &hub, HomeDirectory home, QWidget *parent = nullptr);

protected:
    void formActivate() override;
    void closeBox() override;

private:
    void showChosenSpecies();
    void enterPriceCell(const QModelIndex &index);
    void saveChanges();
    void leaveToMenu();

    void showPriceList(PriceSpecies species);
    bool save();
    bool mayLeave();
    void showCell(PriceSpecies species, int quality, int diameterClass);
    void moveEditor(CellMove move);
    void placeEditor(const QModelIndex &current, const QModelIndex &previous);
    QLineEdit *editor() const;
    void takeFocus();
    PriceSpecies selectedSpecies() const;
    void keepComboOnAnEntry();

    WindowHub &m_hub;
    HomeDirectory m_home;
    // The county text and the blocks the editor keeps as they are, as last read or saved.
    PriceList m_list;
    // What the last read found on disk, so that a save does not overwrite a change made since.
    FileStamp m_readStamp;

    PriceTableModel *m_prices;
    PriceCellDelegate *m_cellEditor;

    QComboBox *cmbArt;
    QLineEdit *txtLan;
    PriceView *flgPrislista;
    QPushButton *btnSpara;
    QPushButton *btnAvsluta;

public:
    // The editor's fixed texts, by the objectName of the control that shows each.
    static std::span<const FormLayout::NamedText> texts();
};
