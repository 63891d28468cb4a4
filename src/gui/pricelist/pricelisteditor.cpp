#include "gui/pricelist/pricelisteditor.h"

#include "gui/pricelist/pricecelldelegate.h"
#include "gui/pricelist/priceview.h"
#include "gui/shared/changedfile.h"
#include "gui/shared/formlayout.h"
#include "gui/shared/messages.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

using FormLayout::button;
using FormLayout::label;

const QString pineName = QStringLiteral("Tall");
const QString spruceName = QStringLiteral("Gran");

enum EditorText { Frame, Species, County, Save, Quit };

// In the order of EditorText.
const FormLayout::NamedText editorTexts[] = {
    {"frmPrislista", u"Prislista"}, {"lblArt", u"Art:"},        {"lblLan", u"Län:"},
    {"btnSpara", u"Spara"},         {"btnAvsluta", u"Avsluta"},
};

} // namespace

std::span<const FormLayout::NamedText> PriceListEditor::texts() {
    return editorTexts;
}

PriceListEditor::PriceListEditor(WindowHub &hub, HomeDirectory home, QWidget *parent)
    : WorkWindow(parent), m_hub(hub), m_home(std::move(home)) {
    setObjectName(QStringLiteral("forPrislista"));

    auto *frame = new QGroupBox(editorTexts[Frame].string(), this);
    frame->setObjectName(QLatin1String(editorTexts[Frame].name));

    cmbArt = new QComboBox(frame);
    cmbArt->setObjectName(QStringLiteral("cmbArt"));
    cmbArt->setEditable(true);
    cmbArt->setInsertPolicy(QComboBox::NoInsert);
    cmbArt->addItems({pineName, spruceName});
    cmbArt->setCurrentIndex(0);
    cmbArt->setMinimumWidth(110);

    txtLan = new QLineEdit(frame);
    txtLan->setObjectName(QStringLiteral("txtLan"));
    txtLan->setReadOnly(true);
    txtLan->setFocusPolicy(Qt::ClickFocus);
    txtLan->setMinimumWidth(220);

    m_prices = new PriceTableModel(this);
    m_cellEditor = new PriceCellDelegate(this);
    flgPrislista = new PriceView(frame);
    flgPrislista->setObjectName(QStringLiteral("flgPrislista"));
    flgPrislista->setModel(m_prices);
    flgPrislista->setItemDelegate(m_cellEditor);
    flgPrislista->setCornerText(QStringLiteral("Diam"), Qt::AlignRight | Qt::AlignVCenter);
    flgPrislista->fitToPrices();

    btnSpara = button(frame, editorTexts[Save]);
    btnAvsluta = button(frame, editorTexts[Quit]);
    // Nothing to save until the file has been read.
    btnSpara->setEnabled(false);

    auto *top = new QHBoxLayout;
    top->addWidget(label(frame, editorTexts[Species]));
    top->addWidget(cmbArt);
    top->addStretch(1);
    top->addWidget(label(frame, editorTexts[County]));
    top->addWidget(txtLan);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnSpara);
    buttons->addWidget(btnAvsluta);
    buttons->addWidget(helpButton());

    auto *inner = new QVBoxLayout(frame);
    inner->setContentsMargins(16, 14, 16, 14);
    inner->setSpacing(12);
    inner->addLayout(top);
    inner->addWidget(flgPrislista);
    inner->addLayout(buttons);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(frame);

    setTabOrder(cmbArt, btnSpara);
    setTabOrder(btnSpara, btnAvsluta);
    // Return in a price moves to the next cell; elsewhere it saves.
    setDefaultButton(btnSpara);
    keepReturnIn(cmbArt);

    connect(cmbArt, &QComboBox::currentIndexChanged, this, &PriceListEditor::showChosenSpecies);
    connect(cmbArt->lineEdit(), &QLineEdit::editingFinished, this,
            &PriceListEditor::keepComboOnAnEntry);
    connect(flgPrislista->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &PriceListEditor::placeEditor);
    connect(flgPrislista, &QAbstractItemView::pressed, this, &PriceListEditor::enterPriceCell);
    connect(m_cellEditor, &PriceCellDelegate::moveRequested, this, &PriceListEditor::moveEditor);
    connect(btnSpara, &QPushButton::clicked, this, &PriceListEditor::saveChanges);
    connect(btnAvsluta, &QPushButton::clicked, this, &PriceListEditor::leaveToMenu);

    // Wider is useful (wider price columns); taller is not, the grid has all its rows already.
    setMinimumWidth(560);
    setFixedHeight(sizeHint().height());
    resize(760, height());
}

void PriceListEditor::formActivate() {
    FileStamp stamp;
    Expected<PriceList> read = readPriceList(m_home.priceList(), &stamp);
    if (!read) {
        // A list not read whole is never shown or offered for saving over the file: the user is
        // told what is wrong with the file and taken back to the menu.
        btnSpara->setEnabled(false);
        showKvistelMessage(this, read.message());
        hide();
        m_hub.open(WindowHub::Window::MainMenu);
        return;
    }
    m_list = std::move(read).value();
    m_readStamp = stamp;
    btnSpara->setEnabled(true);
    txtLan->setText(m_list.county);
    m_prices->setTables(m_list.pine, m_list.spruce);
    cmbArt->setCurrentIndex(0);
    cmbArt->setEditText(pineName);
    showPriceList(PriceSpecies::Pine);
    // So that the user can type the first price at once.
    takeFocus();
}

void PriceListEditor::showPriceList(PriceSpecies species) {
    m_prices->showSpecies(species);
    const QModelIndex first = m_prices->index(0, 0);
    // The box on the first price shows that species' price; the cell is not entered.
    flgPrislista->closePersistentEditor(first);
    if (flgPrislista->currentIndex() != first)
        flgPrislista->setCurrentIndex(first);
    else
        placeEditor(first, {});
}

void PriceListEditor::placeEditor(const QModelIndex &current, const QModelIndex &previous) {
    const QWidget *before = previous.isValid() ? flgPrislista->indexWidget(previous) : nullptr;
    const bool hadFocus = before && before->hasFocus();
    if (current.isValid() && !flgPrislista->isPersistentEditorOpen(current)) {
        flgPrislista->openPersistentEditor(current);
        // The box stands where the grid stands in the window's tab order.
        if (QLineEdit *box = editor()) {
            setTabOrder(cmbArt, box);
            setTabOrder(box, btnSpara);
        }
    }
    if (hadFocus)
        takeFocus();
    if (previous.isValid() && previous != current)
        flgPrislista->closePersistentEditor(previous);
}

QLineEdit *PriceListEditor::editor() const {
    return qobject_cast<QLineEdit *>(flgPrislista->indexWidget(flgPrislista->currentIndex()));
}

void PriceListEditor::showChosenSpecies() {
    showPriceList(selectedSpecies());
}

void PriceListEditor::enterPriceCell(const QModelIndex &index) {
    m_prices->enterCell(index);
    // A cell the user went to, by click or key, is ready for typing.
    takeFocus();
}

void PriceListEditor::moveEditor(CellMove move) {
    const QModelIndex at = flgPrislista->currentIndex();
    const auto to = movedCell({at.row() + 1, at.column() + 1}, move);
    if (!to) {
        // Tab past the last price, or Backtab before the first, goes on to the next control.
        if (move == CellMove::Tab)
            btnSpara->isEnabled() ? btnSpara->setFocus(Qt::TabFocusReason)
                                  : btnAvsluta->setFocus(Qt::TabFocusReason);
        else if (move == CellMove::Backtab)
            cmbArt->setFocus(Qt::BacktabFocusReason);
        return;
    }
    // One move of the current cell, as a click makes: the cells in between (when Tab or Enter
    // wraps to another row or column) are not entered.
    const QModelIndex target = m_prices->index(to->row - 1, to->col - 1);
    flgPrislista->setCurrentIndex(target);
    enterPriceCell(target);
}

void PriceListEditor::showCell(PriceSpecies species, int quality, int diameterClass) {
    if (selectedSpecies() != species) {
        cmbArt->setCurrentIndex(species == PriceSpecies::Pine ? 0 : 1);
        cmbArt->setEditText(cmbArt->currentText());
    }
    flgPrislista->setCurrentIndex(m_prices->index(quality - 1, diameterClass - 1));
    takeFocus();
}

bool PriceListEditor::save() {
    if (const auto bad = m_prices->firstBadCell()) {
        showCell(bad->species, bad->quality, bad->diameterClass);
        showKvistelMessage(
            this, QStringLiteral("Priset för %1, kvalitet %2, diameterklass %3 cm är \"%4\", som "
                                 "inte är ett tal. Skriv priset i kronor med siffror, till "
                                 "exempel 452,5, och spara igen. Prislistan har inte sparats.")
                      .arg(speciesName(bad->species))
                      .arg(bad->quality)
                      .arg(2 * bad->diameterClass + 10)
                      .arg(bad->text));
        takeFocus();
        return false;
    }
    PriceList list = m_list;
    list.pine = m_prices->table(PriceSpecies::Pine);
    list.spruce = m_prices->table(PriceSpecies::Spruce);
    // A price list another copy of the program or an editor changed since this one was read is
    // never overwritten without asking; "Läs om" shows the file as it is now.
    const bool saved = saveAskingIfChanged(
        this,
        [&](IfChangedSinceRead ifChanged) {
            FileStamp stamp = ifChanged == IfChangedSinceRead::Stop ? m_readStamp : FileStamp();
            const SaveOutcome outcome = writePriceList(m_home.priceList(), list, &stamp);
            if (outcome)
                m_readStamp = stamp;
            return outcome;
        },
        [this] { formActivate(); });
    if (!saved)
        return false;
    m_list = list;
    m_prices->markSaved();
    showMessage(this, QStringLiteral("Spara prislistan"),
                QStringLiteral("Förändringen i prislistan har sparats"));
    return true;
}

void PriceListEditor::saveChanges() {
    save();
}

bool PriceListEditor::mayLeave() {
    if (!btnSpara->isEnabled() || !m_prices->hasChanges())
        return true;
    // Ja saves and leaves, Nej leaves without saving, Avbryt (or Escape) stays.
    switch (askToSaveChanges(this, QStringLiteral("Spara ändringarna i prislistan?"))) {
    case QMessageBox::Yes:
        return save();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void PriceListEditor::leaveToMenu() {
    if (!mayLeave())
        return;
    hide();
    m_hub.open(WindowHub::Window::MainMenu);
}

void PriceListEditor::closeBox() {
    leaveToMenu();
}

PriceSpecies PriceListEditor::selectedSpecies() const {
    return cmbArt->currentIndex() == 1 ? PriceSpecies::Spruce : PriceSpecies::Pine;
}

void PriceListEditor::keepComboOnAnEntry() {
    // The box may be typed in, but it always names the species the grid shows.
    const int index =
        cmbArt->findText(cmbArt->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        cmbArt->setCurrentIndex(index);
    else
        cmbArt->setEditText(cmbArt->itemText(cmbArt->currentIndex()));
}

void PriceListEditor::takeFocus() {
    if (QLineEdit *box = editor()) {
        box->setFocus(Qt::OtherFocusReason);
        box->selectAll();
    }
}
