#include "gui/pricelist/pricetablemodel.h"

PriceTableModel::PriceTableModel(QObject *parent) : QAbstractTableModel(parent) {
    setTables(PriceTable{}, PriceTable{});
}

void PriceTableModel::setTables(const PriceTable &pine, const PriceTable &spruce) {
    for (PriceSpecies species : {PriceSpecies::Pine, PriceSpecies::Spruce}) {
        const PriceTable &table = species == PriceSpecies::Pine ? pine : spruce;
        for (int q = 0; q < qualityClasses; ++q)
            for (int j = 0; j < diameterClasses; ++j) {
                const double price = table[q + 1][j + 1];
                const QString text = priceCellText(price);
                sheet(species)[q][j] = Cell{text, price, text, price};
            }
    }
    emit dataChanged(index(0, 0), index(qualityClasses - 1, diameterClasses - 1));
}

void PriceTableModel::showSpecies(PriceSpecies species) {
    if (species == m_species)
        return;
    m_species = species;
    emit dataChanged(index(0, 0), index(qualityClasses - 1, diameterClasses - 1));
}

int PriceTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : qualityClasses;
}

int PriceTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : diameterClasses;
}

PriceTableModel::Cell *PriceTableModel::cellAt(const QModelIndex &index) {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return nullptr;
    return &sheet(m_species)[index.row()][index.column()];
}

const PriceTableModel::Cell *PriceTableModel::cellAt(const QModelIndex &index) const {
    return const_cast<PriceTableModel *>(this)->cellAt(index);
}

QVariant PriceTableModel::data(const QModelIndex &index, int role) const {
    const Cell *cell = cellAt(index);
    if (!cell)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return cell->text;
    case Qt::UserRole:
        return cell->price ? QVariant(*cell->price) : QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    default:
        return {};
    }
}

QVariant PriceTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= diameterClasses)
            return {};
        if (role == Qt::DisplayRole)
            return QString::number(2 * (section + 1) + 10); // lower bound of the class, cm
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        return {};
    }
    if (section < 0 || section >= qualityClasses)
        return {};
    if (role == Qt::DisplayRole)
        return section == 0 ? QStringLiteral("Class        1") : QString::number(section + 1);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((section == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    return {};
}

bool PriceTableModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    Cell *cell = cellAt(index);
    if (!cell || role != Qt::EditRole)
        return false;
    const QString text = value.toString();
    const std::optional<double> price = typedPrice(text);
    if (text == cell->text && price == cell->price)
        return true;
    cell->text = text;
    cell->price = price;
    emit dataChanged(index, index);
    return true;
}

Qt::ItemFlags PriceTableModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

void PriceTableModel::enterCell(const QModelIndex &index) {
    setData(index, data(index, Qt::EditRole));
}

std::optional<PriceTableModel::BadCell> PriceTableModel::firstBadCell() const {
    for (PriceSpecies species : {PriceSpecies::Pine, PriceSpecies::Spruce})
        for (int q = 0; q < qualityClasses; ++q)
            for (int j = 0; j < diameterClasses; ++j) {
                const Cell &cell = sheet(species)[q][j];
                if (!cell.price)
                    return BadCell{species, q + 1, j + 1, cell.text};
            }
    return std::nullopt;
}

PriceTable PriceTableModel::table(PriceSpecies species) const {
    PriceTable table{};
    for (int q = 0; q < qualityClasses; ++q)
        for (int j = 0; j < diameterClasses; ++j)
            table[q + 1][j + 1] = sheet(species)[q][j].price.value_or(0.0);
    return table;
}

bool PriceTableModel::hasChanges() const {
    for (const Sheet &s : m_sheets)
        for (const auto &row : s)
            for (const Cell &cell : row)
                if (cell.text != cell.savedText && cell.price != cell.savedPrice)
                    return true;
    return false;
}

void PriceTableModel::markSaved() {
    for (Sheet &s : m_sheets)
        for (auto &row : s)
            for (Cell &cell : row) {
                cell.savedText = cell.text;
                cell.savedPrice = cell.price.value_or(0.0);
            }
}

QString speciesName(PriceSpecies species) {
    return species == PriceSpecies::Pine ? QStringLiteral("tall") : QStringLiteral("gran");
}
