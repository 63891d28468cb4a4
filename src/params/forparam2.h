#pragma once

#include "controlfile.h"
#include "workwindow.h"

class FieldWatch;
class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The one tree measured in the forest: species, diameter, height deviation, site index, ring
// width, diameter quotient, crown, the potential quality of its first three logs and whether
// the gap is to be planted. Loaded from the control file when first shown; "Beräkna" saves its
// eleven keys and has the result window calculate.
class forParam2 : public WorkWindow {
    Q_OBJECT
public:
    forParam2(WindowHub &hub, const QString &sokvag, QWidget *parent = nullptr);

    void load_param2();
    // Saves the eleven keys; false (after telling the user) when the file could not be written.
    bool save_param2();

protected:
    void formLoad() override;
    void closeBox() override;

private:
    void btnBerakna_Click();
    void btnAvsluta_Click();
    void applyLoaded(const QString &key, const QString &value);

    WindowHub &m_hub;
    ControlFile m_controlFile;
    FieldWatch *m_watch;
    QComboBox *cmbArt;
    QComboBox *cmbBkv;
    QComboBox *cmbAkv;
    QComboBox *cmbTkv;
    QRadioButton *optYes;
    QRadioButton *optNo;
    QButtonGroup *m_plant;
    QPushButton *btnBerakna;
    QPushButton *btnAvsluta;
    QHash<QString, QLineEdit *> m_fields;    // numeric fields by control-file key
    QHash<QString, QComboBox *> m_qualities; // quality boxes by control-file key
};
