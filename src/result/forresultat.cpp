#include "forresultat.h"

#include "species.h"

#include "flexgrid.h"
#include "formlayout.h"
#include "messages.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include <iterator>

namespace {

using FormLayout::button;

const QString artKey = QStringLiteral("art:");
const QString plantKey = QStringLiteral("plant:");

// The parameter summary: four columns of read-only boxes under their headings. `line` counts
// from 0 for the heading line.
struct SummaryBox {
    int column;
    int line;
    const char *labelName;
    const char *label;
    const char *boxName;
    const char *unit; // nullptr: no unit
    const char *key;
};

const SummaryBox summaryBoxes[] = {
    {0, 1, "lblArt", "Art", "txtArt", nullptr, "art:"},
    {0, 2, "lblDbh", "Diam bh", "txtDbh", "cm", "bdm:"},
    {1, 0, "lblRant", "Räntekrav", "txtRant", "%", "rant:"},
    {1, 1, "lblHarvpr", "Avv.intens.vol", "txtHarvpr", "%", "harvpr:"},
    {1, 2, "lblSite", "Bonitet, 100 år", "txtSite", "m", "site:"},
    {1, 3, "lblPlant", "Plantering", "txtPlant", nullptr, "plant:"},
    {2, 1, "lblTallpris", "Tall", "txtTallpris", nullptr, "mt:"},
    {2, 2, "lblGranpris", "Gran", "txtGranpris", nullptr, "mg:"},
    {2, 3, "lblBjorkpris", "Björk", "txtBjorkpris", nullptr, "mb:"},
    {3, 1, "lblBkv", "Förstastock", "txtBkv", nullptr, "bkv:"},
    {3, 2, "lblAkv", "Andrastock", "txtAkv", nullptr, "akv:"},
    {3, 3, "lblTkv", "Tredjestock", "txtTkv", nullptr, "tkv:"},
};

const struct {
    int column;
    const char *name;
    const char *text;
} summaryHeadings[] = {
    {2, "lblMassapris", "Massapris"},
    {3, "lblKvalitet", "Potent. kvalitet"},
};

// The result columns: width in twips and the header text, column 0 (the years) first.
const struct {
    int width;
    const char *header;
} resultColumns[] = {
    {500, "År"},
    {1000, "Ränta,          %"},
    {1000, "Nuvärde kr/träd"},
    {1000, "Netto   kr/träd"},
    {1000, "Netto   kr/m3"},
    {1000, "Gagnvirke volym m3"},
    {1000, "Trädhöjd     m"},
    {1000, "Diameter     cm"},
    {1200, "Toppdiam. för 1:a stock. cm"},
    {1200, "Toppdiam. för 2:a stock. cm"},
    {1200, "Toppdiam. för 3:e stock. cm"},
    {1200, "Värde för 1:a stock. kr"},
    {1200, "Värde för 2:a stock. kr"},
    {1200, "Värde för 3:e stock. kr"},
    {1400, "Värde för massaveden. kr"},
    {1200, "Virkesvärde. kr/m3"},
    {1200, "Avverknings- kostnad. kr/m3"},
    {1200, "Planterings- kostnad. kr/m3"},
};
const int resultCols = int(std::size(resultColumns));
const int harvestYears = 12;
const int headerHeight = 500; // twips

} // namespace

forResultat::forResultat(WindowHub &hub, const QString &sokvag, QWidget *parent)
    : WorkWindow(parent), m_hub(hub), m_controlFile(sokvag), m_engine(sokvag) {
    setObjectName(QStringLiteral("forResultat"));

    auto *frame = new QGroupBox(QStringLiteral("Resultat"), this);
    frame->setObjectName(QStringLiteral("frmResult1"));

    // The parameter summary: label, box and unit in each of four columns.
    auto *summary = new QGridLayout;
    summary->setHorizontalSpacing(6);
    summary->setVerticalSpacing(4);
    const int boxWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000.00")) + 14;
    for (const auto &h : summaryHeadings) {
        auto *l = new QLabel(QString::fromUtf8(h.text), frame);
        l->setObjectName(QLatin1String(h.name));
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
        summary->addWidget(l, 0, h.column * 4, 1, 3);
    }
    for (const SummaryBox &s : summaryBoxes) {
        auto *l = new QLabel(QString::fromUtf8(s.label), frame);
        l->setObjectName(QLatin1String(s.labelName));
        auto *box = new QLineEdit(frame);
        box->setObjectName(QLatin1String(s.boxName));
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setFixedWidth(boxWidth);
        // The log qualities are single digits, shown in the middle of their boxes.
        box->setAlignment(s.column == 3 ? Qt::AlignCenter : Qt::AlignRight);
        l->setBuddy(box);
        const int c = s.column * 4;
        summary->addWidget(l, s.line, c);
        summary->addWidget(box, s.line, c + 1);
        if (s.unit) {
            auto *unit = new QLabel(QString::fromUtf8(s.unit), frame);
            unit->setObjectName(QStringLiteral("lblUnit") + QString::fromLatin1(s.boxName + 3));
            summary->addWidget(unit, s.line, c + 2);
        }
        const QString key = QString::fromLatin1(s.key);
        if (key == artKey)
            txtArt = box;
        else if (key == plantKey)
            txtPlant = box;
        else
            m_summary.insert(key, box);
    }
    for (int column = 0; column < 4; ++column) {
        summary->setColumnMinimumWidth(column * 4 + 2, fontMetrics().horizontalAdvance(u'%') + 8);
        if (column < 3)
            summary->setColumnMinimumWidth(column * 4 + 3, 28);
    }
    summary->setColumnStretch(4 * 4 - 1, 1);

    // The result grid in its own untitled frame.
    auto *gridFrame = new QGroupBox(frame);
    gridFrame->setObjectName(QStringLiteral("frmResult2"));
    flgResult = new FlexGrid(gridFrame);
    flgResult->setObjectName(QStringLiteral("flgResult"));
    // The engine leaves the last cell it wrote current; its headings stay as they are.
    flgResult->horizontalHeader()->setHighlightSections(false);
    flgResult->verticalHeader()->setHighlightSections(false);
    auto *gridBox = new QVBoxLayout(gridFrame);
    gridBox->setContentsMargins(3, 3, 3, 3);
    gridBox->addWidget(flgResult);

    btnAvbryt = button(frame, "btnAvbryt", QStringLiteral("Avbryt"));
    btnAterga = button(frame, "btnAterga", QStringLiteral("Återgå"));
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    buttons->addStretch(1);
    buttons->addWidget(btnAvbryt);
    buttons->addWidget(btnAterga);

    auto *inner = new QVBoxLayout(frame);
    inner->setContentsMargins(4, 8, 4, 6);
    inner->setSpacing(10);
    inner->addLayout(summary);
    inner->addWidget(gridFrame, 1);
    inner->addLayout(buttons);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(frame);

    connect(btnAvbryt, &QPushButton::clicked, this, &forResultat::btnAvbryt_Click);
    connect(btnAterga, &QPushButton::clicked, this, &forResultat::btnAterga_Click);
}

void forResultat::formLoad() {
    // The window is only ever loaded on the way to a calculation, which reads the price list
    // again and says what is wrong with it; one message for one fault is enough.
    m_engine.read_pricelist();
    setUpGrid();
}

void forResultat::setUpGrid() {
    flgResult->setCols(resultCols);
    flgResult->setRows(harvestYears + 1);
    for (int c = 0; c < resultCols; ++c)
        flgResult->setColWidth(c, resultColumns[c].width);
    flgResult->setRowHeight(0, headerHeight);
    flgResult->setCol(0);
    for (int i = 1; i <= harvestYears; ++i) {
        flgResult->setRow(i);
        flgResult->setText(QString::number((i - 1) * 10));
    }
    flgResult->setRow(0);
    for (int c = 0; c < resultCols; ++c) {
        flgResult->setCol(c);
        flgResult->setText(QString::fromUtf8(resultColumns[c].header));
    }

    fitHeaderHeight();
    fitWindowToGrid();
}

void forResultat::fitHeaderHeight() {
    // The header row is 500 twips, two lines of the small font the grid was drawn for. With a
    // larger screen font a heading such as "Avverknings-" is wider than its column and the
    // wrapped headings need a third line: the headings get a slightly smaller font where a
    // word would be cut, and the row grows rather than clip a line.
    QHeaderView *header = flgResult->horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    auto textFor = [&](const QFont &font, int c) {
        const int width = flgResult->twipsToPixels(flgResult->colWidth(c)) - 2 * margin;
        return QFontMetrics(font).boundingRect(QRect(0, 0, width, 1000),
                                               Qt::AlignCenter | Qt::TextWordWrap,
                                               QString::fromUtf8(resultColumns[c].header));
    };
    auto fitsWidths = [&](const QFont &font) {
        for (int c = 1; c < resultCols; ++c)
            if (textFor(font, c).width() >
                flgResult->twipsToPixels(flgResult->colWidth(c)) - 2 * margin)
                return false;
        return true;
    };
    QFont font = header->font();
    const qreal smallest = font.pointSizeF() - 1.5;
    while (font.pointSizeF() > 0 && !fitsWidths(font) && font.pointSizeF() - 0.5 >= smallest)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    header->setFont(font);

    int needed = 0;
    for (int c = 1; c < resultCols; ++c)
        needed = qMax(needed, textFor(font, c).height() + 2 * margin);
    if (flgResult->pixelsToTwips(needed) > headerHeight)
        flgResult->setRowHeight(0, flgResult->pixelsToTwips(needed));
}

void forResultat::fitWindowToGrid() {
    // Open with the whole table in view where the screen allows it; a smaller window scrolls it.
    int width = 2 * flgResult->frameWidth();
    for (int c = 0; c < resultCols; ++c)
        width += flgResult->twipsToPixels(flgResult->colWidth(c));
    int height = 2 * flgResult->frameWidth();
    for (int r = 0; r <= harvestYears; ++r)
        height += flgResult->twipsToPixels(flgResult->rowHeight(r));
    flgResult->setMinimumSize(width, height);
    QSize size = sizeHint();
    flgResult->setMinimumSize(0, 0);
    if (const QScreen *s = screen())
        size = size.boundedTo(s->availableSize());
    resize(size);
}

QString forResultat::load_resultparam() {
    QStringList keys{artKey, plantKey};
    keys += m_summary.keys();
    QString error;
    m_controlFile.read(
        keys, ControlFile::Lines::AllButLast,
        [this](const QString &key, const QString &value) {
            if (key == artKey) {
                if (const QString name = speciesName(value); !name.isEmpty())
                    txtArt->setText(name);
            } else if (key == plantKey) {
                txtPlant->setText(value == QLatin1String("y") ? QStringLiteral("Ja")
                                                              : QStringLiteral("Nej"));
            } else if (QLineEdit *box = m_summary.value(key)) {
                box->setText(value);
            }
        },
        &error);
    return error;
}

void forResultat::berakna() {
    // The engine reads the same control file right after the summary and names any problem
    // with it, so the summary's own failure needs no second message.
    const QString stopped = m_engine.berakna(*flgResult, [this] { load_resultparam(); });
    flgResult->clearSelection();
    if (!stopped.isEmpty())
        showKvistelMessage(this, stopped);
}

void forResultat::btnAvbryt_Click() {
    hide();
    m_hub.open(WindowHub::Window::MainMenu);
}

void forResultat::btnAterga_Click() {
    hide();
    m_hub.open(WindowHub::Window::TreeParameters);
}

void forResultat::closeBox() {
    btnAvbryt_Click();
}
