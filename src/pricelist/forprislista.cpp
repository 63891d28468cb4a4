#include "forprislista.h"

#include "controlfile.h"
#include "flexgrid.h"
#include "formlayout.h"
#include "messages.h"

#include <QComboBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

using FormLayout::button;
using FormLayout::label;

const QString tall = QStringLiteral("Tall");
const QString classHeader = QStringLiteral("Class        1");
const QString gran = QStringLiteral("Gran");

// The header column and the price rows, as the price lists have always been laid out.
constexpr int headerColumnTwips = 900;
constexpr int priceRowTwips = 288;

} // namespace

forPrislista::forPrislista(WindowHub &hub, const QString &sokvag, QWidget *parent)
    : WorkWindow(parent), m_hub(hub), m_sokvag(sokvag) {
    setObjectName(QStringLiteral("forPrislista"));

    auto *frame = new QGroupBox(QStringLiteral("Prislista"), this);
    frame->setObjectName(QStringLiteral("frmPrislista"));

    cmbArt = new QComboBox(frame);
    cmbArt->setObjectName(QStringLiteral("cmbArt"));
    cmbArt->setEditable(true);
    cmbArt->setInsertPolicy(QComboBox::NoInsert);
    cmbArt->addItems({tall, gran});
    cmbArt->setCurrentIndex(0);
    cmbArt->setMinimumWidth(110);

    txtLan = new QLineEdit(frame);
    txtLan->setObjectName(QStringLiteral("txtLan"));
    txtLan->setReadOnly(true);
    txtLan->setFocusPolicy(Qt::ClickFocus);
    txtLan->setMinimumWidth(220);

    flgPrislista = new FlexGrid(frame);
    flgPrislista->setObjectName(QStringLiteral("flgPrislista"));
    // The prices are edited in the box over the current cell; the grid itself only chooses it.
    flgPrislista->setFocusPolicy(Qt::NoFocus);
    flgPrislista->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    flgPrislista->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    flgPrislista->horizontalHeader()->setSectionsClickable(false);
    flgPrislista->verticalHeader()->setSectionsClickable(false);
    flgPrislista->setRows(qualityClasses + 1);
    flgPrislista->setCols(diameterClasses + 1);
    flgPrislista->installEventFilter(this);

    // Created after the grid, so that it lies above it.
    txtEdit = new QLineEdit(frame);
    txtEdit->setObjectName(QStringLiteral("txtEdit"));
    txtEdit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtEdit->installEventFilter(this);

    btnSpara = button(frame, "btnSpara", QStringLiteral("Spara"));
    btnAvsluta = button(frame, "btnAvsluta", QStringLiteral("Avsluta"));
    // Nothing to save until the file has been read.
    btnSpara->setEnabled(false);

    auto *top = new QHBoxLayout;
    top->addWidget(label(frame, "lblArt", QStringLiteral("Art:")));
    top->addWidget(cmbArt);
    top->addStretch(1);
    top->addWidget(label(frame, "lblLan", QStringLiteral("Län:")));
    top->addWidget(txtLan);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnSpara);
    buttons->addWidget(btnAvsluta);

    auto *inner = new QVBoxLayout(frame);
    inner->setContentsMargins(16, 14, 16, 14);
    inner->setSpacing(12);
    inner->addLayout(top);
    inner->addWidget(flgPrislista);
    inner->addLayout(buttons);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(frame);

    setTabOrder(cmbArt, txtEdit);
    setTabOrder(txtEdit, btnSpara);
    setTabOrder(btnSpara, btnAvsluta);

    connect(cmbArt, &QComboBox::currentIndexChanged, this, &forPrislista::cmbArt_Click);
    connect(cmbArt->lineEdit(), &QLineEdit::editingFinished, this,
            &forPrislista::keepComboOnAnEntry);
    connect(flgPrislista, &FlexGrid::enterCell, this, &forPrislista::flgPrislista_EnterCell);
    connect(txtEdit, &QLineEdit::textChanged, this, &forPrislista::txtEdit_Change);
    connect(btnSpara, &QPushButton::clicked, this, &forPrislista::btnSpara_Click);
    connect(btnAvsluta, &QPushButton::clicked, this, &forPrislista::btnAvsluta_Click);

    fitHeaderColumnFont();
    fitGridHeight();
    // Wider is useful (wider price columns); taller is not, the grid has all its rows already.
    setMinimumWidth(560);
    setFixedHeight(sizeHint().height());
    resize(760, height());
}

void forPrislista::formActivate() {
    fill_done = true;
    setUpGrid();
    const QString problem = ::las_prislista(priceListPath(m_sokvag), lan, price_pine, price_spruce);
    if (!problem.isEmpty()) {
        // Half-read tables must never be offered for saving over the file: the user is told what
        // is wrong with the file and taken back to the menu.
        btnSpara->setEnabled(false);
        showKvistelMessage(this, problem);
        hide();
        m_hub.open(WindowHub::Window::MainMenu);
        return;
    }
    btnSpara->setEnabled(true);
    txtLan->setText(lan);
    cmbArt->setCurrentIndex(0);
    cmbArt->setEditText(tall);
    visa_prislista(tall);
    form_ready = true;
    // So that the user can type the first price at once.
    takeFocus();
}

void forPrislista::setUpGrid() {
    flgPrislista->setCols(diameterClasses + 1);
    flgPrislista->setRows(qualityClasses + 1);
    flgPrislista->setColWidth(0, headerColumnTwips);
    applyColumnWidths();
    for (int r = 1; r <= qualityClasses; ++r)
        flgPrislista->setRowHeight(r, priceRowTwips);

    writeHeader(1, 0, classHeader, true);
    for (int r = 2; r <= qualityClasses; ++r)
        writeHeader(r, 0, QString::number(r), false);
    for (int j = 1; j <= diameterClasses; ++j)
        writeHeader(0, j, QString::number(2 * j + 10), false);
    writeHeader(0, 0, QStringLiteral("Diam"), true);
}

void forPrislista::writeHeader(int row, int col, const QString &text, bool alignRight) {
    flgPrislista->setRow(row);
    flgPrislista->setCol(col);
    flgPrislista->setText(text);
    if (alignRight)
        flgPrislista->setCellAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void forPrislista::fitHeaderColumnFont() {
    // The header column is 900 twips wide, as the price lists have always been shown, which is
    // narrower than "Class        1" in many of today's screen fonts: rather than cut the word,
    // the column's font is condensed, and made smaller only if that is not enough.
    const int room = flgPrislista->twipsToPixels(headerColumnTwips) -
                     2 * style()->pixelMetric(QStyle::PM_HeaderMargin) - 2;
    QFont font = flgPrislista->font();
    auto fits = [&] { return QFontMetrics(font).horizontalAdvance(classHeader) <= room; };
    for (int stretch = 95; !fits() && stretch >= 70; stretch -= 5)
        font.setStretch(stretch);
    while (!fits() && font.pointSizeF() > 6)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    flgPrislista->verticalHeader()->setFont(font);
}

void forPrislista::fitGridHeight() {
    // All five quality classes are always in view: no scrolling, no scroll bar.
    int height =
        2 * flgPrislista->frameWidth() + flgPrislista->horizontalHeader()->sizeHint().height();
    height += qualityClasses * flgPrislista->twipsToPixels(priceRowTwips);
    flgPrislista->setFixedHeight(height);
}

void forPrislista::applyColumnWidths() {
    const int width = priceColumnWidth(flgPrislista->gridWidth());
    for (int c = 1; c <= diameterClasses; ++c)
        flgPrislista->setColWidth(c, width);
}

void forPrislista::visa_prislista(const QString &art) {
    fill_done = false;
    const PriceTable *table = art == tall ? &price_pine : art == gran ? &price_spruce : nullptr;
    if (table)
        for (int i = 1; i <= qualityClasses; ++i)
            for (int j = 1; j <= diameterClasses; ++j) {
                flgPrislista->setRow(i);
                flgPrislista->setCol(j);
                flgPrislista->setText(priceCellText((*table)[i][j]));
            }
    flgPrislista->setRow(1);
    flgPrislista->setCol(1);
    txtEdit->setText(flgPrislista->text());
    placeEditor();
    fill_done = true;
}

void forPrislista::placeEditor() {
    const FlexGrid &grid = *flgPrislista;
    const int left = grid.gridLeft() + grid.cellLeft();
    const int top = grid.gridTop() + grid.cellTop();
    txtEdit->setGeometry(grid.twipsToPixels(left), grid.twipsToPixels(top),
                         grid.twipsToPixels(grid.colWidth(grid.col())),
                         grid.twipsToPixels(priceRowTwips));
}

void forPrislista::cmbArt_Click() {
    fill_done = true;
    const QString art = selectedSpecies();
    if (art == tall)
        visa_prislista(tall);
    else if (art == gran)
        visa_prislista(gran);
}

void forPrislista::flgPrislista_EnterCell() {
    txtEdit->setText(flgPrislista->text());
    placeEditor();
    txtEdit->setText(flgPrislista->text());
    // A cell the user went to, by click or key, is ready for typing.
    if (form_ready && fill_done)
        takeFocus();
}

void forPrislista::txtEdit_Change() {
    const int r = flgPrislista->row();
    const int c = flgPrislista->col();
    if (!form_ready || !fill_done)
        return;
    // The cell shows what the user typed; the table holds the number it begins with.
    flgPrislista->setText(txtEdit->text());
    const QString art = selectedSpecies();
    if (art == tall)
        price_pine[r][c] = leadingNumber(txtEdit->text());
    else if (art == gran)
        price_spruce[r][c] = leadingNumber(txtEdit->text());
}

void forPrislista::btnSpara_Click() {
    const QString problem =
        ::skriv_prislista(priceListPath(m_sokvag), lan, price_pine, price_spruce);
    if (!problem.isEmpty()) {
        showKvistelMessage(this, problem);
        return;
    }
    showMessage(this, QStringLiteral("Spara prislistan"),
                QStringLiteral("Förändringen i prislistan har sparats"));
}

void forPrislista::btnAvsluta_Click() {
    hide();
    m_hub.open(WindowHub::Window::MainMenu);
}

void forPrislista::closeBox() {
    btnAvsluta_Click();
}

QString forPrislista::selectedSpecies() const {
    const int index = cmbArt->currentIndex();
    return index < 0 ? QString() : cmbArt->itemText(index);
}

void forPrislista::keepComboOnAnEntry() {
    // The box may be typed in, but it always names the species the grid shows.
    const int index =
        cmbArt->findText(cmbArt->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0)
        cmbArt->setCurrentIndex(index);
    else
        cmbArt->setEditText(selectedSpecies());
}

void forPrislista::takeFocus() {
    txtEdit->setFocus(Qt::OtherFocusReason);
    txtEdit->selectAll();
}

bool forPrislista::editorAtStart() const {
    if (txtEdit->hasSelectedText())
        return txtEdit->selectedText() == txtEdit->text();
    return txtEdit->cursorPosition() == 0;
}

bool forPrislista::editorAtEnd() const {
    if (txtEdit->hasSelectedText())
        return txtEdit->selectedText() == txtEdit->text();
    return txtEdit->cursorPosition() == txtEdit->text().size();
}

void forPrislista::moveEditor(CellMove move) {
    const auto to = movedCell({flgPrislista->row(), flgPrislista->col()}, move);
    if (!to)
        return;
    // One move of the table's own current cell, as a click makes: the cells in between (when Tab
    // or Enter wraps to another row or column) are not entered.
    flgPrislista->setCurrentCell(to->row - 1, to->col - 1);
}

bool forPrislista::eventFilter(QObject *watched, QEvent *event) {
    if (watched == flgPrislista &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        // The columns share the grid's width, and the editor stays on its cell.
        applyColumnWidths();
        placeEditor();
        return false;
    }
    if (watched != txtEdit || event->type() != QEvent::KeyPress)
        return WorkWindow::eventFilter(watched, event);

    const auto *key = static_cast<QKeyEvent *>(event);
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    const bool inPriceCell = flgPrislista->row() >= 1 && flgPrislista->col() >= 1;
    std::optional<CellMove> move;
    switch (key->key()) {
    case Qt::Key_Tab:
        if (plain)
            move = CellMove::Tab;
        break;
    case Qt::Key_Backtab:
        move = CellMove::Backtab;
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (plain)
            move = CellMove::Enter;
        break;
    case Qt::Key_Up:
        if (plain)
            move = CellMove::Up;
        break;
    case Qt::Key_Down:
        if (plain)
            move = CellMove::Down;
        break;
    case Qt::Key_Right:
        if (plain && editorAtEnd())
            move = CellMove::Right;
        break;
    case Qt::Key_Left:
        if (plain && editorAtStart())
            move = CellMove::Left;
        break;
    default:
        break;
    }
    if (!move || !inPriceCell)
        return false;
    const bool leavesGrid =
        !movedCell({flgPrislista->row(), flgPrislista->col()}, *move).has_value();
    // Tab past the last price (or Backtab before the first) goes on to the next control.
    if (leavesGrid && (*move == CellMove::Tab || *move == CellMove::Backtab))
        return false;
    moveEditor(*move);
    return true;
}
