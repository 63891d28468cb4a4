#pragma once

#include "core/files/outcome.h"
#include "core/files/textfile.h"

#include "core/treelist/chunkedrun.h"
#include "core/treelist/standsheet.h"
#include "core/treelist/treelist.h"
#include "gui/shared/workwindow.h"

#include <memory>

class HarvestPlanView;
class QLabel;
class QLineEdit;
class QTabWidget;
class QProgressDialog;
class QPushButton;
class QTableView;
class TreeListModel;
class TreeListSortModel;

// The trees of a stand at once: a table with one tree a row, read from and saved to a CSV file,
// each tree valued on its own with the stand parameters and prices of the home directory. The
// footer sums what is to be cut now; opening a row shows that tree's twelve harvest years.
class TreeListWindow : public WorkWindow {
    Q_OBJECT
public:
    TreeListWindow(WindowHub &hub, HomeDirectory home, QWidget *parent = nullptr);
    ~TreeListWindow() override;

    // Reads a list file in place of the list; false (after telling the user) when it could not.
    bool openList(const QString &path);
    // Saves the list to `path` without a moment in which the file is half written.
    bool saveList(const QString &path);
    // Values every tree; a long list in the background, with a progress bar that can cancel.
    void valueTrees();
    bool isValuing() const;
    // The valued list with its figures and the plan, as a spreadsheet reads it.
    Outcome writePlanCsv(const QString &path);
    // The marking list of the plan as a PDF file.
    Outcome writePlanPdf(const QString &path);
    // The valued stand as the marking list and its exports show it.
    StandSheet standSheet() const;
    // Shows the whole result of the tree in row `row` of the list as the user sees it.
    void openRow(int row);
    // Unsaved edits: asks whether to save them; false when the user stays.
    bool mayClose() override;

    // The list file, empty for a new list.
    const QString &listPath() const;
    // Edits kept when the last session ended put back, unsaved: the list read from `kept`,
    // belonging to the file `path` (empty for a new list). False (after telling the user) when
    // `kept` could not be read.
    bool restoreUnsavedList(const QString &kept, const QString &path);

    TreeListModel *model() const { return m_model; }
    QTableView *view() const { return flgTradlista; }

signals:
    // A valuation ended (also when it was cancelled or could not start).
    void valuationDone();

protected:
    void closeBox() override;

private:
    void chooseAndOpenList();
    bool saveList();
    bool mayLeave();
    void addTreeRow();
    void removeSelectedTrees();
    void leaveToMenu();
    void valuationFinished();
    // The stand's plan from the figures the list now holds for `trees`, the list's trees.
    void showPlan(const QList<TreeRow> &trees);
    struct MarkingList markingList() const;
    QString suggestedPlanPath(const QString &extension) const;
    void exportPlanCsv();
    void savePlanPdf();
    void printPlan();
    void writeFooter();
    // "Från trad.sty: Bonitet, Plantering", or empty when the list has every value.
    QString fromControlFile() const;
    void showStand();
    void setBusy(bool busy);
    int sourceRow(int viewRow) const;

    WindowHub &m_hub;
    HomeDirectory m_directory;
    TreeListModel *m_model;
    TreeListSortModel *m_sorted;
    QTableView *flgTradlista;
    QTabWidget *tabTradlista;
    HarvestPlanView *m_plan;
    QLabel *lblSumma;
    QLabel *lblFil;
    QLabel *lblFranTradSty;
    QLineEdit *txtFastighet;
    QLineEdit *txtAvdelning;
    QLineEdit *txtAgare;
    QList<QPushButton *> m_buttons;
    TreeListHome m_home; // parameters of the valuation running or last run
    // The running valuation's own copy of the trees and parameters, and the figures it writes.
    struct Valuation;
    std::shared_ptr<Valuation> m_valuation;
    ChunkedRun m_run{ChunkedRun::Priority::Foreground};
    QProgressDialog *m_progress = nullptr;
};
