#pragma once

#include "core/treelist/harvestentries.h"
#include "core/treelist/treelist.h"

#include <QWidget>

#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QTableWidget;

// The plan in a few harvest entries beside the tree-by-tree plan: how many entries or which
// years, the cost of each and the smallest volume worth the trip; the entries with their trees,
// volume, net, cost and present value. What the grouping costs is said above the plan, by the
// plan's view; here only a setting that cannot be used is pointed out. A new plan is made as
// soon as a setting is left, from the trees already gathered.
class HarvestEntriesPanel : public QWidget {
    Q_OBJECT
public:
    explicit HarvestEntriesPanel(QWidget *parent = nullptr);

    // The valued trees of the stand, with the owner's marks, and the required rate.
    void setTrees(const QList<TreeRow> &trees, const QList<TreeSummary> &asGiven, double rate);
    void clear();

    // The plan as last made; none before the list is valued or while a setting is wrong.
    const std::optional<EntryPlan> &plan() const { return m_plan; }
    const EntrySettings &settings() const { return m_settings; }
    // Why there is no plan: a setting that cannot be used, in the user's words; else empty.
    const QString &settingsFault() const { return m_fault; }

signals:
    void planChanged();

private:
    void replan();

    QComboBox *cmbTillfallen;
    QLineEdit *txtTillfallesAr;
    QLineEdit *txtTillfallesKostnad;
    QLineEdit *txtMinstaVolym;
    QLabel *lblTillfallenSlutsats;
    QTableWidget *flgTillfallen;

    std::optional<EntryPlanner> m_planner;
    EntrySettings m_settings;
    std::optional<EntryPlan> m_plan;
    QString m_fault;
};
