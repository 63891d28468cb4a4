#pragma once

#include "core/files/pricelistfile.h"
#include "gui/pricelist/pricegrid.h"

#include <QAbstractTableModel>

#include <array>
#include <optional>

enum class PriceSpecies { Pine, Spruce };

// The two price tables of the editor as a table of five quality classes (rows) by ten
// top-diameter classes (columns), showing one species at a time. A cell shows the text the user
// typed, exactly, and holds the price that text reads as; a cell the user has not touched holds
// the file's price, even one too small to show.
class PriceTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit PriceTableModel(QObject *parent = nullptr);

    // The prices as read from the file; nothing is changed yet.
    void setTables(const PriceTable &pine, const PriceTable &spruce);
    void showSpecies(PriceSpecies species);
    PriceSpecies species() const { return m_species; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    // Display and edit role: the cell's text. User role: its price, or nothing while the text
    // is not a price.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    // The user went to the cell: from then on it holds the price its text shows, so a token
    // price hidden behind an empty cell becomes 0 and what is saved is what the user saw.
    void enterCell(const QModelIndex &index);

    // A cell whose text is not a price, in the order the user reads them: pine first.
    struct BadCell {
        PriceSpecies species;
        int quality;       // 1..5
        int diameterClass; // 1..10
        QString text;
    };
    std::optional<BadCell> firstBadCell() const;

    // The prices to save (only valid while there is no bad cell).
    PriceTable table(PriceSpecies species) const;

    // Whether a cell's text was changed to something other than what was last read or saved.
    bool hasChanges() const;
    // What the cells hold now is what the file holds.
    void markSaved();

private:
    struct Cell {
        QString text;
        std::optional<double> price;
        QString savedText;
        double savedPrice = 0;
    };
    using Sheet = std::array<std::array<Cell, diameterClasses>, qualityClasses>;

    Sheet &sheet(PriceSpecies species) { return m_sheets[species == PriceSpecies::Pine ? 0 : 1]; }
    const Sheet &sheet(PriceSpecies species) const {
        return m_sheets[species == PriceSpecies::Pine ? 0 : 1];
    }
    Cell *cellAt(const QModelIndex &index);
    const Cell *cellAt(const QModelIndex &index) const;

    std::array<Sheet, 2> m_sheets;
    PriceSpecies m_species = PriceSpecies::Pine;
};

// "tall" or "gran", as a message names the species.
QString speciesName(PriceSpecies species);
