#pragma once

#include "core/parameters/controlfile.h"
#include "core/parameters/parameters.h"
#include "gui/shared/workwindow.h"

#include <optional>

class FieldWatch;
class QComboBox;
class QLabel;
class QLineEdit;

// What the two parameter forms share: each shows its rows of the parameter table, shows the
// control file's values every time it is opened (so that a cancelled edit is gone), checks
// every row before it saves, saves its keys, and returns.
class ParameterForm : public WorkWindow {
    Q_OBJECT
public:
    // Empties the controls and fills them from the control file; false (after telling the
    // user) when the file cannot be read.
    bool loadParameters();
    // Checks the rows from top to bottom; at the first fault shows its message, puts the focus
    // there and returns false.
    bool checkParameters();
    // Saves the form's keys as the controls hold them; false (after telling the user) when
    // nothing was saved.
    bool saveParameters();

protected:
    ParameterForm(WindowHub &hub, const HomeDirectory &home, Parameter::Form form,
                  ControlFile::Lines lines, QWidget *parent);

    // The row of the table with this key; it must be one of this form's.
    static const Parameter &row(QStringView key);

    // The controls of a row, named as the table names them.
    QLabel *captionOf(QWidget *frame, const Parameter &p, int width) const;
    QLabel *unitOf(QWidget *frame, const Parameter &p) const; // nullptr: the row has no unit
    QLineEdit *numberFieldOf(QWidget *frame, const Parameter &p);
    // An editable list box; a quality box takes nothing but a class of its list.
    QComboBox *listBoxOf(QWidget *frame, const Parameter &p, const QStringList &entries);

    QLineEdit *field(QStringView key) const;
    QComboBox *listBox(QStringView key) const;

    // The contents of the controls before anything is loaded.
    virtual void clearControls();
    // Shows a loaded value in its control.
    virtual void showValue(const Parameter &p, const QString &value);
    // The value a save writes for the row, or nothing to leave its line as it is.
    virtual std::optional<QString> valueToSave(const Parameter &p) const;
    // Whether the row can be saved; when not, why (its control is then `*where`).
    virtual Outcome checkRow(const Parameter &p, QWidget **where) const;

    void formActivate() override;
    // The return buttons: hide, and show the main menu.
    void returnToMenu();

    WindowHub &m_hub;

private:
    ControlFile m_controlFile;
    ControlFile::Lines m_lines;
    QList<const Parameter *> m_rows;
    FieldWatch *m_watch;
    QHash<QString, QLineEdit *> m_fields;
    QHash<QString, QComboBox *> m_boxes;
};
