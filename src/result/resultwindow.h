#pragma once

#include "core/parameters/controlfile.h"
#include "core/results/resulttable.h"
#include "core/results/treecalculation.h"
#include "shared/workwindow.h"

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

// The result window: a summary of the parameters the latest calculation used, and the grid
// with one row per harvest year (now, in 10, ..., 110 years) of its valuation. It owns the
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

    // The parameter summary as the window shows it, for what is written and printed.
    QList<SummaryItem> resultSummary() const;

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
    // The verdict and the chart as the window shows them, for the print-out; empty and none
    // where the window has none.
    QString verdictText() const;
    QWidget *chartWidget() const;
    // The chart and the what-if table for the latest calculation.
    void showFollowUps();
    void showWhatIfs(const QList<WhatIf> &all);
    void returnToMenu();
    void returnToTreeForm();

    WindowHub &m_hub;
    ControlFile m_controlFile;
    TreeCalculation m_engine;
    ResultModel *m_model;
    ResultGrid *flgResult;
    QLabel *lblSlutsats;
    ResultChart *chtResultat;
    QTableWidget *flgKanslighet;
    QSplitter *m_split;
    QPushButton *btnAvbryt;
    QPushButton *btnAterga;
    ResultExport *m_export;
    QList<QLineEdit *> m_summaryBoxes;     // in the order of the summary table
    QHash<QString, QLineEdit *> m_summary; // boxes showing a key's text as it stands
    QLineEdit *txtArt;
    QLineEdit *txtPlant;
    bool m_followUpPending = false;
    QTimer *m_followUpTimer;
};
