#include "gui/forms/standform.h"

#include "core/files/numberformat.h"
#include "core/parameters/fieldcheck.h"
#include "gui/forms/fieldwatch.h"
#include "gui/shared/formlayout.h"
#include "gui/shared/messages.h"
#include "gui/shared/parameterfields.h"

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

// The planting cost is shown with two decimals, in the regional settings' decimal separator;
// it is saved back as shown, with the point the control file reads.
QString plantcostDisplay(const QString &value) {
    if (!isNumericText(value))
        return value;
    return formatNumber(leadingNumber(value), u"#0.00");
}

} // namespace

StandForm::StandForm(WindowHub &hub, const HomeDirectory &home, QWidget *parent)
    : ParameterForm(hub, home, Parameter::Form::Stand, ControlFile::Lines::AllButFirst, parent) {
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
    const Parameter &region = row(Keys::sv);
    grid->addWidget(captionOf(frame, region, captionWidth), 0, 0, Qt::AlignTop);
    optSvN = new QRadioButton(frame);
    optSvN->setObjectName(fieldsOf(region).control.toString());
    optSvS = new QRadioButton(frame);
    optSvS->setObjectName(fieldsOf(region).otherOption.toString());
    m_region = new QButtonGroup(this);
    m_region->addButton(optSvN);
    m_region->addButton(optSvS);
    auto *regions = new QGridLayout;
    regions->setHorizontalSpacing(8);
    regions->setVerticalSpacing(4);
    QLabel *northLabel = label(frame, "Label4", QStringLiteral("Norra"));
    QLabel *southLabel = label(frame, "Label5", QStringLiteral("Södra"));
    northLabel->setBuddy(optSvN);
    southLabel->setBuddy(optSvS);
    regions->addWidget(northLabel, 0, 0);
    regions->addWidget(optSvN, 0, 1);
    regions->addWidget(southLabel, 1, 0);
    regions->addWidget(optSvS, 1, 1);
    regions->setColumnStretch(2, 1);
    grid->addLayout(regions, 0, 1, 1, 2);

    int line = 1;
    for (const Parameter *p : parametersOf(Parameter::Form::Stand)) {
        if (!p->isNumber())
            continue;
        grid->addWidget(captionOf(frame, *p, captionWidth), line, 0, Qt::AlignVCenter);
        grid->addWidget(numberFieldOf(frame, *p), line, 1, Qt::AlignVCenter);
        grid->addWidget(unitOf(frame, *p), line, 2, Qt::AlignVCenter);
        ++line;
    }

    // The buttons stand on the right beside the price rows.
    btnOK = button(frame, "btnOK", QStringLiteral("OK"));
    btnAvbryt = button(frame, "btnAvbryt", QStringLiteral("Avbryt"));
    grid->setColumnMinimumWidth(3, 12);
    grid->addWidget(btnOK, line - 3, 4);
    grid->addWidget(btnAvbryt, line - 2, 4);
    grid->addWidget(helpButton(), line - 1, 4);
    setDefaultButton(btnOK);
    grid->setColumnStretch(2, 1);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(frame);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    connect(btnOK, &QPushButton::clicked, this, &StandForm::saveAndReturn);
    connect(btnAvbryt, &QPushButton::clicked, this, &StandForm::discardAndReturn);
}

void StandForm::chooseRegion(const QString &code) {
    // An exclusive group cannot be cleared while it is exclusive.
    m_region->setExclusive(false);
    optSvN->setChecked(code == QLatin1String("N"));
    optSvS->setChecked(code == QLatin1String("S"));
    m_region->setExclusive(true);
}

void StandForm::clearControls() {
    // Neither region is chosen until the file names one.
    ParameterForm::clearControls();
    chooseRegion({});
}

void StandForm::showValue(const Parameter &p, const QString &value) {
    if (p.key == Keys::sv)
        chooseRegion(value);
    else if (p.key == Keys::plantcost)
        field(p.key)->setText(plantcostDisplay(value));
    else
        ParameterForm::showValue(p, value);
}

std::optional<QString> StandForm::valueToSave(const Parameter &p) const {
    if (p.key != Keys::sv)
        return ParameterForm::valueToSave(p);
    if (optSvN->isChecked())
        return QStringLiteral("N");
    if (optSvS->isChecked())
        return QStringLiteral("S");
    return std::nullopt; // neither chosen: the line stays as it is
}

void StandForm::saveAndReturn() {
    // A field the user never entered is checked too; a save that failed keeps the form open,
    // so the user sees that nothing was stored.
    if (!checkParameters() || !saveParameters())
        return;
    returnToMenu();
}

void StandForm::discardAndReturn() {
    returnToMenu();
}

void StandForm::closeBox() {
    discardAndReturn();
}
