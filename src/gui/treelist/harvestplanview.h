#pragma once

#include "core/treelist/chunkedrun.h"
#include "core/treelist/harvestentries.h"
#include "core/treelist/harvestplan.h"
#include "core/treelist/standwhatif.h"

#include <QImage>
#include <QWidget>

#include <memory>

#include <optional>

class HarvestEntriesPanel;
class HarvestPlanModel;
class PlanChart;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;
class QTableWidget;
class QTabWidget;

// The stand's harvest plan beside its trees: what this harvest brings, the plan year by year,
// its chart, and how the plan moves with the rate and the prices. The what-if values every tree
// four times more; it runs in the background, leaving a core to the user, and can be stopped.
class HarvestPlanView : public QWidget {
    Q_OBJECT
public:
    explicit HarvestPlanView(QWidget *parent = nullptr);
    ~HarvestPlanView() override;

    // Shows the plan of a valued list and starts its what-if; `trees` and `asGiven` are the
    // list's trees and what the list gave each, `home` the parameters they were valued with.
    void showPlan(const TreeListHome &home, QList<TreeRow> trees, QList<TreeSummary> asGiven);
    // Forgets the plan: the list has changed since it was valued.
    void clear();

    HarvestPlanModel *model() const { return m_model; }
    // The plan in harvest entries, with its settings.
    HarvestEntriesPanel *entries() const { return m_entries; }
    // The plan in harvest entries while its tab is the one shown: the marking list is then of it.
    std::optional<EntryPlan> chosenEntries() const;
    // The stand's what-if as last computed; empty while it runs or after it was stopped.
    const QList<StandWhatIf> &whatIfs() const { return m_whatIfs; }

    // The statement of the plan shown (tree by tree, or in harvest entries), as the bold line
    // above the plan reads; and the plan's chart, for a marking list.
    const QString &statement() const { return m_statement; }
    QImage chartImage() const;

signals:
    // The what-if is done, stopped or had nothing to do.
    void whatIfDone();
    // The user asks for the plan out of the program.
    void exportCsvRequested();
    void savePdfRequested();
    void printRequested();

private:
    // Shows the plan's years in its table and its total in the row below.
    void fitPlanRows();
    // The statement and the assumption of the plan of the tab shown.
    void showStatement();
    void whatIfFinished();
    // The chart of the plan shown: tree by tree, or in harvest entries.
    std::optional<QList<PlanYear>> chartedEntries() const;
    void showWhatIfs();

    HarvestPlanModel *m_model;
    QLabel *lblPlanSlutsats;
    QLabel *lblPlanGrund;
    QTableView *flgPlan;
    QTableView *flgPlanTotalt;
    HarvestEntriesPanel *m_entries;
    QTabWidget *tabPlanSatt;
    PlanChart *chtPlan;
    QTableWidget *flgPlanKanslighet;
    QProgressBar *m_progress;
    QPushButton *btnAvbrytKanslighet;
    QList<QPushButton *> m_outputButtons;

    // The what-if's own copy of the trees and its sums; the threads hold it until they end.
    struct WhatIfWork;
    std::shared_ptr<WhatIfWork> m_work;
    ChunkedRun m_run{ChunkedRun::Priority::Background};
    QList<StandWhatIf> m_whatIfs;
    QString m_statement;           // what lblPlanSlutsats shows
    QString m_treeByTreeStatement; // empty before the list is valued
};
