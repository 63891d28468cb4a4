#include "forparam2.h"

#include "species.h"

#include "fieldwatch.h"
#include "formlayout.h"
#include "messages.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace FormLayout;

namespace {

const QString artKey = QStringLiteral("art:");
const QString plantKey = QStringLiteral("plant:");

// Only pine and spruce can be chosen in the form; birch and other broadleaf come from the file
// alone.
const int choosableSpecies = 2;

// The numeric rows below the first, top to bottom, and their bounds.
struct NumberRow {
    const char *captionName;
    const char *caption;
    const char *fieldName;
    const char *unitName; // nullptr: no unit
    const char *unit;
    const char *key;
    double lower, upper;
};

const NumberRow bdmRow = {"lblBdm", "Brösthöjdsdiameter:", "txtBdm", "lblCm", "cm", "bdm:", 0, 300};

const NumberRow upperRows[] = {
    {"Label3", "Avvikelse från normalhöjden", "txtHojdjust", "Label4", "m", "hojdjust:", -8, 8},
    {"lblSite", "Ståndortsindex vid 100 års ålder .......", "txtSite", "lblM", "m", "site:", 10,
     36},
};

const NumberRow lowerRows[] = {
    {"lblRing5", "Årsring efter 5 år ................................", "txtRing5", "lblMm", "mm",
     "ring5:", 0.1, 20},
    {"Label6", "Diameterkvot .....................................", "txtDkvot", nullptr, nullptr,
     "dkvot:", 0.2, 1},
    {"Label2", "Andel av fullt utvecklad krona hos ett friväxande träd av denna storlek ......",
     "txtKronst", "lblProc3", "%", "kronst:", 0, 100},
};

const struct {
    const char *captionName;
    const char *caption;
    const char *boxName;
    const char *key;
} qualityRows[] = {
    {"lblBkv", "Förstastocken", "cmbBkv", "bkv:"},
    {"lblAkv", "Andrastocken", "cmbAkv", "akv:"},
    {"lblTkv", "Tredjestocken", "cmbTkv", "tkv:"},
};

QComboBox *listBox(QWidget *parent, const char *name, const QStringList &entries,
                   const QString &text) {
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    box->setEditable(true);
    // A typed text is the box's value; it never becomes an entry of the list.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(entries);
    box->setEditText(text);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("Björk")) + 64);
    return box;
}

// The selected entry is the one whose text equals the box's text, or none.
int selectedEntry(const QComboBox *box) {
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i) == box->currentText())
            return i;
    return -1;
}

} // namespace

forParam2::forParam2(WindowHub &hub, const QString &sokvag, QWidget *parent)
    : WorkWindow(parent), m_hub(hub), m_controlFile(sokvag), m_watch(new FieldWatch(this)) {
    setObjectName(QStringLiteral("forParam2"));

    auto *frame = new QGroupBox(QStringLiteral("Sätt parametrar i skogen"), this);
    frame->setObjectName(QStringLiteral("frmParam2"));

    const int captionWidth =
        fontMetrics().horizontalAdvance(QStringLiteral("Plantering efter avverkning av trädet?")) +
        24;

    auto *grid = new QGridLayout(frame);
    grid->setContentsMargins(18, 16, 18, 16);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(10);
    // Columns: caption, entry, unit, a gap, and on the right the diameter row and the buttons.
    grid->setColumnMinimumWidth(3, 18);

    auto addNumberRow = [&](const NumberRow &r, int row, int column) {
        grid->addWidget(caption(frame, r.captionName, QString::fromUtf8(r.caption),
                                column == 0 ? captionWidth : -1),
                        row, column, Qt::AlignVCenter);
        QLineEdit *f = numberField(frame, r.fieldName);
        grid->addWidget(f, row, column + 1, Qt::AlignVCenter);
        if (r.unitName)
            grid->addWidget(label(frame, r.unitName, QString::fromUtf8(r.unit)), row, column + 2,
                            Qt::AlignVCenter);
        m_fields.insert(QString::fromLatin1(r.key), f);
        m_watch->watch(f, r.lower, r.upper);
        return f;
    };

    // Row 1: the species, and the breast-height diameter in the right half.
    QStringList names;
    for (int i = 0; i < choosableSpecies; ++i)
        names << QString::fromUtf16(speciesCodes[i].name);
    cmbArt = listBox(frame, "cmbArt", names, QStringLiteral("Tall"));
    grid->addWidget(caption(frame, "lblArt", QStringLiteral("Trädart:"), captionWidth), 0, 0);
    grid->addWidget(cmbArt, 0, 1);
    addNumberRow(bdmRow, 0, 4);

    int row = 1;
    for (const NumberRow &r : upperRows)
        addNumberRow(r, row++, 0);
    m_fields.value(QStringLiteral("hojdjust:"))->setText(QStringLiteral("0"));

    // Planting after the tree is cut; neither option is chosen until the file or the user says.
    grid->addWidget(caption(frame, "lblPlant",
                            QStringLiteral("Plantering efter avverkning av trädet?"), captionWidth),
                    row, 0);
    optYes = new QRadioButton(QStringLiteral("Ja"), frame);
    optYes->setObjectName(QStringLiteral("optYes"));
    optNo = new QRadioButton(QStringLiteral("Nej"), frame);
    optNo->setObjectName(QStringLiteral("optNo"));
    m_plant = new QButtonGroup(this);
    m_plant->addButton(optYes);
    m_plant->addButton(optNo);
    auto *plantRow = new QHBoxLayout;
    plantRow->setSpacing(18);
    plantRow->addWidget(optYes);
    plantRow->addWidget(optNo);
    plantRow->addStretch(1);
    grid->addLayout(plantRow, row++, 1, 1, 2);

    for (const NumberRow &r : lowerRows)
        addNumberRow(r, row++, 0);

    // The potential quality of the first three logs.
    grid->setRowMinimumHeight(row++, 4);
    grid->addWidget(caption(frame, "Label1", QStringLiteral("Kvalitet"), captionWidth), row++, 0);
    const QStringList classes{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4"), QStringLiteral("5")};
    const int firstQualityRow = row;
    QComboBox **boxes[] = {&cmbBkv, &cmbAkv, &cmbTkv};
    for (int i = 0; i < 3; ++i) {
        const auto &q = qualityRows[i];
        QComboBox *box = listBox(frame, q.boxName, classes, QStringLiteral("1"));
        *boxes[i] = box;
        grid->addWidget(caption(frame, q.captionName, QString::fromUtf8(q.caption), captionWidth),
                        row, 0);
        grid->addWidget(box, row++, 1);
        m_qualities.insert(QString::fromLatin1(q.key), box);
    }

    // The buttons, in a column on the right beside the quality rows.
    btnBerakna = button(frame, "btnBerakna", QStringLiteral("Beräkna"));
    btnAvsluta = button(frame, "btnAvsluta", QStringLiteral("Avsluta"));
    grid->addWidget(btnBerakna, firstQualityRow, 4, 1, 3, Qt::AlignRight);
    grid->addWidget(btnAvsluta, firstQualityRow + 1, 4, 1, 3, Qt::AlignRight);
    grid->setColumnStretch(2, 1);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(frame);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnBerakna, &QPushButton::clicked, this, &forParam2::btnBerakna_Click);
    connect(btnAvsluta, &QPushButton::clicked, this, &forParam2::btnAvsluta_Click);
}

void forParam2::formLoad() {
    load_param2();
}

void forParam2::applyLoaded(const QString &key, const QString &value) {
    if (key == artKey) {
        if (const QString name = speciesName(value); !name.isEmpty())
            cmbArt->setEditText(name);
    } else if (key == plantKey) {
        (value == QLatin1String("y") ? optYes : optNo)->setChecked(true);
    } else if (QComboBox *box = m_qualities.value(key)) {
        box->setEditText(value);
    } else if (QLineEdit *f = m_fields.value(key)) {
        f->setText(value);
    }
}

void forParam2::load_param2() {
    QStringList keys{artKey, plantKey};
    keys += m_fields.keys();
    keys += m_qualities.keys();
    QString error;
    if (!m_controlFile.read(
            keys, ControlFile::Lines::AllButLast,
            [this](const QString &key, const QString &value) { applyLoaded(key, value); }, &error))
        showKvistelMessage(this, error);
}

bool forParam2::save_param2() {
    QHash<QString, QString> values;
    const int art = selectedEntry(cmbArt);
    if (art >= 0)
        values.insert(artKey, QString::fromUtf16(speciesCodes[art].letter));
    values.insert(plantKey, optYes->isChecked() ? QStringLiteral("y") : QStringLiteral("n"));
    for (auto it = m_fields.cbegin(); it != m_fields.cend(); ++it)
        values.insert(it.key(), it.value()->text());
    for (auto it = m_qualities.cbegin(); it != m_qualities.cend(); ++it)
        values.insert(it.key(), it.value()->currentText());
    QString error;
    if (m_controlFile.save(values, &error))
        return true;
    showKvistelMessage(this, error);
    return false;
}

void forParam2::btnBerakna_Click() {
    // Calculating on the old file after a failed save would show another tree's values as
    // this one's; the form stays open with the user's entries instead.
    if (!save_param2())
        return;
    hide();
    m_hub.calculate();
}

void forParam2::btnAvsluta_Click() {
    hide();
    m_hub.open(WindowHub::Window::MainMenu);
}

void forParam2::closeBox() {
    btnAvsluta_Click();
}
