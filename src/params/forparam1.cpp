#include "forparam1.h"

#include "fieldcheck.h"
#include "fieldwatch.h"
#include "formlayout.h"
#include "messages.h"
#include "numberformat.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace FormLayout;

namespace {

const QString svKey = QStringLiteral("sv:");
const QString plantcostKey = QStringLiteral("plantcost:");

// The numeric rows of the form, top to bottom: caption, field, unit, key and the bounds the
// field check enforces.
struct NumberRow {
    const char *captionName;
    const char *caption;
    const char *fieldName;
    const char *unitName;
    const char *unit;
    const char *key;
    double lower, upper;
};

const NumberRow numberRows[] = {
    {"Label7", "Kostnad för en planta satt i skogen", "txtPlantcost", "Label8", "Kr",
     "plantcost:", 1, 10},
    {"Label1", "Räntenivå över vilken trädet skall lämnas vid denna avverkning", "txtRant",
     "lblProc", "%", "rant:", 0, 10},
    {"lblHarvpr", "Andel avverkad volym ", "txtHarvpr", "lblProc2", "%", "harvpr:", 0, 100},
    {"Label9", "Andel av avverkningskostnaden som är fast knuten till varje träd", "txtAvvandel",
     "Label11", "%", "avvandel:", 0, 100},
    {"Label12", "Aktuell avverkningskostnad", "txtAvvjust", "Label13",
     "% av normal (skördare+skotare)", "avvjust:", 0, 1000},
    {"lblTallpris", "Tallmassavedens pris", "txtTallpris", "lblKr1", "Kr/m3", "mt:", 0, 1000},
    {"lblGranpris", "Granmassavedens pris", "txtGranpris", "Label2", "Kr/m3", "mg:", 0, 1000},
    {"lblBjorkpris", "Björkmassavedens pris", "txtBjorkpris", "Label3", "Kr/m3", "mb:", 0, 1000},
};

// The planting cost is shown with two decimals. The point is kept whatever the regional
// settings, because the field is saved back as shown and the control file reads only ".".
QString plantcostDisplay(const QString &value) {
    if (!isNumericText(value))
        return value;
    return formatNumber(leadingNumber(value), u"#0.00", QLatin1Char('.'));
}

} // namespace

forParam1::forParam1(WindowHub &hub, const QString &sokvag, QWidget *parent)
    : WorkWindow(parent), m_hub(hub), m_controlFile(sokvag), m_watch(new FieldWatch(this)) {
    setObjectName(QStringLiteral("forParam1"));

    auto *frame = new QGroupBox(QStringLiteral("Sätt parametrar före besök i skogen"), this);
    frame->setObjectName(QStringLiteral("frmParam1"));

    // Wide enough for the one-line captions; the two long ones wrap onto a second line.
    const int captionWidth =
        fontMetrics().horizontalAdvance(QStringLiteral("Kostnad för en planta satt i skogen")) + 24;

    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(18, 16, 18, 16);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(10);

    // Row 1: the part of Sweden, each option with its name on its left.
    grid->addWidget(caption(frame, "Label6", QStringLiteral("Del av Sverige"), captionWidth), 0, 0,
                    Qt::AlignTop);
    optSvN = new QRadioButton(frame);
    optSvN->setObjectName(QStringLiteral("optSvN"));
    optSvS = new QRadioButton(frame);
    optSvS->setObjectName(QStringLiteral("optSvS"));
    m_region = new QButtonGroup(this);
    m_region->addButton(optSvN);
    m_region->addButton(optSvS);
    auto *regions = new QGridLayout;
    regions->setHorizontalSpacing(8);
    regions->setVerticalSpacing(4);
    QLabel *norra = label(frame, "Label4", QStringLiteral("Norra"));
    QLabel *sodra = label(frame, "Label5", QStringLiteral("Södra"));
    norra->setBuddy(optSvN);
    sodra->setBuddy(optSvS);
    regions->addWidget(norra, 0, 0);
    regions->addWidget(optSvN, 0, 1);
    regions->addWidget(sodra, 1, 0);
    regions->addWidget(optSvS, 1, 1);
    regions->setColumnStretch(2, 1);
    grid->addLayout(regions, 0, 1, 1, 2);

    int row = 1;
    for (const NumberRow &r : numberRows) {
        grid->addWidget(caption(frame, r.captionName, QString::fromUtf8(r.caption), captionWidth),
                        row, 0, Qt::AlignVCenter);
        QLineEdit *f = numberField(frame, r.fieldName);
        grid->addWidget(f, row, 1, Qt::AlignVCenter);
        grid->addWidget(label(frame, r.unitName, QString::fromUtf8(r.unit)), row, 2,
                        Qt::AlignVCenter);
        m_fields.insert(QString::fromLatin1(r.key), f);
        m_watch->watch(f, r.lower, r.upper);
        ++row;
    }

    // The buttons stand on the right beside the price rows.
    btnOK = button(frame, "btnOK", QStringLiteral("OK"));
    btnAvbryt = button(frame, "btnAvbryt", QStringLiteral("Avbryt"));
    grid->setColumnMinimumWidth(3, 12);
    grid->addWidget(btnOK, row - 3, 4);
    grid->addWidget(btnAvbryt, row - 2, 4);
    grid->setColumnStretch(2, 1);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(frame);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOK, &QPushButton::clicked, this, &forParam1::btnOK_Click);
    connect(btnAvbryt, &QPushButton::clicked, this, &forParam1::btnAvbryt_Click);
}

QLineEdit *forParam1::field(const QString &key) const {
    return m_fields.value(key);
}

void forParam1::formLoad() {
    load_param1();
}

void forParam1::load_param1() {
    // Neither region is chosen until the file names one; an exclusive group cannot be
    // cleared while it is exclusive.
    m_region->setExclusive(false);
    optSvN->setChecked(false);
    optSvS->setChecked(false);
    m_region->setExclusive(true);

    QStringList keys{svKey};
    keys += m_fields.keys();
    QString error;
    const bool read = m_controlFile.read(
        keys, ControlFile::Lines::AllButFirst,
        [this](const QString &key, const QString &value) {
            if (key == svKey) {
                m_region->setExclusive(false);
                optSvN->setChecked(value == QLatin1String("N"));
                optSvS->setChecked(value == QLatin1String("S"));
                m_region->setExclusive(true);
            } else if (key == plantcostKey) {
                field(key)->setText(plantcostDisplay(value));
            } else {
                field(key)->setText(value);
            }
        },
        &error);
    if (!read)
        showKvistelMessage(this, error);
}

bool forParam1::save_param1() {
    QHash<QString, QString> values;
    if (optSvN->isChecked())
        values.insert(svKey, QStringLiteral("N"));
    else if (optSvS->isChecked())
        values.insert(svKey, QStringLiteral("S"));
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it)
        values.insert(it.key(), it.value()->text());
    QString error;
    if (m_controlFile.save(values, &error))
        return true;
    showKvistelMessage(this, error);
    return false;
}

void forParam1::btnOK_Click() {
    // A save that failed keeps the form open, so the user sees that nothing was stored.
    if (!save_param1())
        return;
    hide();
    m_hub.open(WindowHub::Window::MainMenu);
}

void forParam1::btnAvbryt_Click() {
    hide();
    m_hub.open(WindowHub::Window::MainMenu);
}

void forParam1::closeBox() {
    btnAvbryt_Click();
}
