#pragma once

#include "gui/forms/parameterform.h"

class QButtonGroup;
class QPushButton;
class QRadioButton;

// The stand and economy parameters, set before the visit to the forest: the part of Sweden,
// the planting cost, the required rate, the harvest intensity and cost, and the pulpwood
// prices. Shows the control file's values whenever it is opened; "OK" checks and saves its
// nine keys.
class StandForm : public ParameterForm {
    Q_OBJECT
public:
    StandForm(WindowHub &hub, const HomeDirectory &home, QWidget *parent = nullptr);

protected:
    void closeBox() override;
    void clearControls() override;
    void showValue(const Parameter &p, const QString &value) override;
    std::optional<QString> valueToSave(const Parameter &p) const override;

private:
    void saveAndReturn();
    void discardAndReturn();
    void chooseRegion(const QString &code);

    QRadioButton *optSvN;
    QRadioButton *optSvS;
    QButtonGroup *m_region;
    QPushButton *btnOK;
    QPushButton *btnAvbryt;
};
