#include "gui/forms/treeform.h"

#include "core/parameters/species.h"

#include "core/parameters/fieldcheck.h"
#include "gui/shared/formlayout.h"
#include "gui/shared/messages.h"
#include "gui/shared/parameterfields.h"

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

// Only pine and spruce can be chosen in the form; birch and other broadleaf come from the file
// alone.
const int choosableSpecies = 2;

// The selected entry is the one whose text equals the box's text, or none.
int selectedEntry(const QComboBox *box) {
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i) == box->currentText())
            return i;
    return -1;
}

} // namespace

TreeForm::TreeForm(WindowHub &hub, const HomeDirectory &home, QWidget *parent)
    : ParameterForm(hub, home, Parameter::Form::Tree, ControlFile::Lines::AllButLast, parent) {
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

    auto addNumberRow = [&](QStringView key, int line, int column) {
        const Parameter &p = row(key);
        grid->addWidget(captionOf(frame, p, column == 0 ? captionWidth : -1), line, column,
                        Qt::AlignVCenter);
        grid->addWidget(numberFieldOf(frame, p), line, column + 1, Qt::AlignVCenter);
        if (QLabel *unit = unitOf(frame, p))
            grid->addWidget(unit, line, column + 2, Qt::AlignVCenter);
    };

    // Row 1: the species, and the breast-height diameter in the right half.
    QStringList names;
    for (int i = 0; i < choosableSpecies; ++i)
        names << QString::fromUtf16(speciesCodes[i].name);
    cmbArt = listBoxOf(frame, row(Keys::art), names);
    grid->addWidget(captionOf(frame, row(Keys::art), captionWidth), 0, 0);
    grid->addWidget(cmbArt, 0, 1);
    addNumberRow(Keys::bdm, 0, 4);

    int line = 1;
    addNumberRow(Keys::hojdjust, line++, 0);
    addNumberRow(Keys::site, line++, 0);

    // Planting after the tree is cut; neither option is chosen until the file or the user says.
    const Parameter &replanting = row(Keys::plant);
    grid->addWidget(captionOf(frame, replanting, captionWidth), line, 0);
    optYes = new QRadioButton(QStringLiteral("Ja"), frame);
    optYes->setObjectName(fieldsOf(replanting).control.toString());
    optNo = new QRadioButton(QStringLiteral("Nej"), frame);
    optNo->setObjectName(fieldsOf(replanting).otherOption.toString());
    m_plant = new QButtonGroup(this);
    m_plant->addButton(optYes);
    m_plant->addButton(optNo);
    auto *plantRow = new QHBoxLayout;
    plantRow->setSpacing(18);
    plantRow->addWidget(optYes);
    plantRow->addWidget(optNo);
    plantRow->addStretch(1);
    grid->addLayout(plantRow, line++, 1, 1, 2);

    for (QStringView key : {Keys::ring5, Keys::dkvot, Keys::kronst})
        addNumberRow(key, line++, 0);

    // The potential quality of the first three logs.
    grid->setRowMinimumHeight(line++, 4);
    grid->addWidget(caption(frame, "Label1", QStringLiteral("Kvalitet"), captionWidth), line++, 0);
    const QStringList classes{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"),
                              QStringLiteral("4"), QStringLiteral("5")};
    const int firstQualityRow = line;
    QComboBox **boxes[] = {&cmbBkv, &cmbAkv, &cmbTkv};
    const QStringView qualityKeys[] = {Keys::bkv, Keys::akv, Keys::tkv};
    for (int i = 0; i < 3; ++i) {
        const Parameter &q = row(qualityKeys[i]);
        *boxes[i] = listBoxOf(frame, q, classes);
        grid->addWidget(captionOf(frame, q, captionWidth), line, 0);
        grid->addWidget(*boxes[i], line++, 1);
    }
    clearControls();

    // The buttons, in a column on the right beside the quality rows.
    btnBerakna = button(frame, "btnBerakna", QStringLiteral("Beräkna"));
    btnAvsluta = button(frame, "btnAvsluta", QStringLiteral("Avsluta"));
    grid->addWidget(btnBerakna, firstQualityRow, 4, 1, 3, Qt::AlignRight);
    grid->addWidget(btnAvsluta, firstQualityRow + 1, 4, 1, 3, Qt::AlignRight);
    grid->addWidget(helpButton(), firstQualityRow + 2, 4, 1, 3, Qt::AlignRight);
    setDefaultButton(btnBerakna);
    grid->setColumnStretch(2, 1);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(frame);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnBerakna, &QPushButton::clicked, this, &TreeForm::saveAndCalculate);
    connect(btnAvsluta, &QPushButton::clicked, this, &TreeForm::discardAndReturn);
}

void TreeForm::clearControls() {
    ParameterForm::clearControls();
    field(Keys::hojdjust)->setText(QStringLiteral("0"));
    cmbArt->setEditText(QStringLiteral("Tall"));
    for (QComboBox *box : {cmbBkv, cmbAkv, cmbTkv})
        box->setEditText(QStringLiteral("1"));
    m_plant->setExclusive(false);
    optYes->setChecked(false);
    optNo->setChecked(false);
    m_plant->setExclusive(true);
    m_fileSpecies.reset();
    m_fileSpeciesName.clear();
}

void TreeForm::showValue(const Parameter &p, const QString &value) {
    if (p.key == Keys::art) {
        // A letter the program has no name for is shown as it stands, so that the form does
        // not pass it off as the species the box happened to show.
        m_fileSpecies = value;
        m_fileSpeciesName = speciesName(value);
        cmbArt->setEditText(m_fileSpeciesName.isEmpty() ? value : m_fileSpeciesName);
    } else if (p.key == Keys::plant) {
        (value == QLatin1String("y") ? optYes : optNo)->setChecked(true);
    } else {
        ParameterForm::showValue(p, value);
    }
}

std::optional<QString> TreeForm::valueToSave(const Parameter &p) const {
    if (p.key == Keys::plant)
        return optYes->isChecked() ? QStringLiteral("y") : QStringLiteral("n");
    if (p.key == Keys::art) {
        const int species = selectedEntry(cmbArt);
        if (species < 0)
            return std::nullopt; // birch or broadleaf from the file: the line stays
        return QString::fromUtf16(speciesCodes[species].letter);
    }
    return ParameterForm::valueToSave(p);
}

Outcome TreeForm::checkRow(const Parameter &p, QWidget **where) const {
    if (p.key != Keys::art)
        return ParameterForm::checkRow(p, where);
    *where = cmbArt;
    const QString text = cmbArt->currentText();
    if (selectedEntry(cmbArt) >= 0)
        return {};
    // Birch and broadleaf can come only from the file; they are kept as they are.
    if (!m_fileSpeciesName.isEmpty() && text == m_fileSpeciesName)
        return {};
    if (const QString c = firstCharacterOutsideCp1252(text); !c.isEmpty())
        return Outcome::failure(FieldMessage::notInCp1252(c));
    if (m_fileSpecies && m_fileSpeciesName.isEmpty() && text == *m_fileSpecies)
        return Outcome::failure(
            QStringLiteral("Trädarten \"%1\" i styrfilen känner programmet inte till, så "
                           "trädet kan inte värderas. Välj Tall eller Gran i listan.")
                .arg(text));
    return Outcome::failure(
        QStringLiteral("Trädarten \"%1\" finns inte i listan. Välj Tall eller Gran.").arg(text));
}

void TreeForm::saveAndCalculate() {
    // Every field is checked, whether or not the user entered it. Calculating on the old file
    // after a failed save would show another tree's values as this one's; the form stays open
    // with the user's entries instead.
    if (!checkParameters() || !saveParameters())
        return;
    hide();
    m_hub.calculate();
}

void TreeForm::discardAndReturn() {
    returnToMenu();
}

void TreeForm::closeBox() {
    discardAndReturn();
}
