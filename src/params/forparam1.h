#pragma once

#include "controlfile.h"
#include "workwindow.h"

class FieldWatch;
class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The stand and economy parameters, set before the visit to the forest: the part of Sweden,
// the planting cost, the required rate, the harvest intensity and cost, and the pulpwood
// prices. Loaded from the control file when first shown; "OK" saves its nine keys.
class forParam1 : public WorkWindow {
    Q_OBJECT
public:
    forParam1(WindowHub &hub, const QString &sokvag, QWidget *parent = nullptr);

    void load_param1();
    // Saves the nine keys; false (after telling the user) when the file could not be written.
    bool save_param1();

protected:
    void formLoad() override;
    void closeBox() override;

private:
    void btnOK_Click();
    void btnAvbryt_Click();
    QLineEdit *field(const QString &key) const;

    WindowHub &m_hub;
    ControlFile m_controlFile;
    FieldWatch *m_watch;
    QRadioButton *optSvN;
    QRadioButton *optSvS;
    QButtonGroup *m_region;
    QPushButton *btnOK;
    QPushButton *btnAvbryt;
    QHash<QString, QLineEdit *> m_fields; // by control-file key
};
