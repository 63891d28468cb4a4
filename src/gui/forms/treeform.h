#pragma once

#include "gui/forms/parameterform.h"

class QButtonGroup;
class QComboBox;
class QPushButton;
class QRadioButton;

// The one tree measured in the forest: species, diameter, height deviation, site index, ring
// width, diameter quotient, crown, the potential quality of its first three logs and whether
// the gap is to be planted. Shows the control file's values whenever it is opened;
// "Beräkna" checks and saves its eleven keys and has the result window calculate.
class TreeForm : public ParameterForm {
    Q_OBJECT
public:
    TreeForm(WindowHub &hub, const HomeDirectory &home, QWidget *parent = nullptr);

protected:
    void closeBox() override;
    void clearControls() override;
    void showValue(const Parameter &p, const QString &value) override;
    std::optional<QString> valueToSave(const Parameter &p) const override;
    Outcome checkRow(const Parameter &p, QWidget **where) const override;

private:
    void saveAndCalculate();
    void discardAndReturn();

    QComboBox *cmbArt;
    QComboBox *cmbBkv;
    QComboBox *cmbAkv;
    QComboBox *cmbTkv;
    QRadioButton *optYes;
    QRadioButton *optNo;
    QButtonGroup *m_plant;
    QPushButton *btnBerakna;
    QPushButton *btnAvsluta;
    // The species as the file gave it, if it gave one: its letter, and the name shown for it
    // (empty when the program has no name for the letter, which is then shown as it stands).
    std::optional<QString> m_fileSpecies;
    QString m_fileSpeciesName;
};
