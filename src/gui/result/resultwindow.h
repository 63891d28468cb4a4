#pragma once

#include "core/parameters/controlfile.h"
#include "core/results/resultsheet.h"
#include "core/results/treecalculation.h"
#include "gui/shared/workwindow.h"

class QLabel;
class QSplitter;
class QTableWidget;
class QTimer;
class ResultChart;
class ResultGrid;
struct WhatIf;
class ResultModel;
class QLineEdit;
class QPushButton;
class ResultExport;

// The result window: a summary of the parameters the latest calculation used, the verdict, and
// the grid with one row per harvest year (now, in 10, ..., 110 years) of its valuation. It shows
// the result sheet the core made of the calculation and adds nothing of its own. It owns the
// engine for the whole run, so the engine's state carries from one calculation to the next.
class ResultWindow : public WorkWindow, public CalculationWindow {
    Q_OBJECT
public:
    ResultWindow(WindowHub &hub, const HomeDirectory &home, QWidget *parent = nullptr);

    // One calculation on the control file and price list as they are now; a calculation that
    // stopped is explained in a "Kvistel" box.
    void calculateAndSave() override;

    // Fills the parameter summary from the control file. A box whose key is missing keeps what
    // it showed. Fails with a Swedish message when the file cannot be read.
    Outcome showInputSummary();

    ResultGrid *grid() const { return flgResult; }
    ResultModel *model() const { return m_model; }
    ResultExport &resultExport() const { return *m_export; }
    // The result shown: what the copy, the exports and the print-out are made from.
    const ResultSheet &sheet() const { return m_sheet; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void formLoad() override;
    void closeBox() override;

private:
    void setUpGrid();
    void fitHeaderHeight();
    void fitWindowToGrid();
    void compactFor(int screenHeight);
    void showBestYear();
    void showSummary();
    // The chart and the what-if table for the latest calculation.
    void showFollowUps();
    void showWhatIfs(const QList<WhatIf> &all);
    void returnToMenu();
    void returnToTreeForm();

    WindowHub &m_hub;
    ControlFile m_controlFile;
    TreeCalculation m_engine;
    ResultSheet m_sheet;
    ResultModel *m_model;
    ResultGrid *flgResult;
    QLabel *lblSlutsats;
    ResultChart *chtResultat;
    QTableWidget *flgKanslighet;
    QSplitter *m_split;
    QPushButton *btnAvbryt;
    QPushButton *btnAterga;
    ResultExport *m_export;
    QHash<QString, QLineEdit *> m_summaryBoxes; // by key
    bool m_followUpPending = false;
    QTimer *m_followUpTimer;
};
