#include "gui/treelist/harvestplanview.h"

#include "core/files/numberformat.h"
#include "core/treelist/harvestplanmodel.h"
#include "gui/treelist/harvestentriespanel.h"
#include "gui/treelist/planchart.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString joinedSentences(const QString &first, const QString &second) {
    return second.isEmpty() ? first : first + u' ' + second;
}

// Trees a thread takes at a time: four valuations each, a few milliseconds a chunk, so that a
// stop is felt at once.
constexpr qsizetype whatIfChunk = 64;

} // namespace

// What the what-if's threads read, never changed while they run, and the sums they write, one
// for each chunk of trees, added up in order when all are done.
struct HarvestPlanView::WhatIfWork {
    WhatIfWork(const TreeListHome &home, QChar mark, QList<TreeRow> trees,
               QList<TreeSummary> asGiven)
        : changes(home, mark), trees(std::move(trees)), asGiven(std::move(asGiven)),
          tallies(std::size_t(ChunkedRun::chunkCount(this->trees.size(), whatIfChunk))) {}

    const StandWhatIfs changes;
    const QList<TreeRow> trees;
    const QList<TreeSummary> asGiven;
    std::vector<StandWhatIfs::Tally> tallies;
};

HarvestPlanView::HarvestPlanView(QWidget *parent)
    : QWidget(parent), m_model(new HarvestPlanModel(this)) {
    setObjectName(QStringLiteral("pnlPlan"));

    lblPlanSlutsats = new QLabel(this);
    lblPlanSlutsats->setObjectName(QStringLiteral("lblPlanSlutsats"));
    lblPlanSlutsats->setTextFormat(Qt::PlainText); // ids come from a file
    lblPlanSlutsats->setWordWrap(true);
    QFont bold = lblPlanSlutsats->font();
    bold.setBold(true);
    lblPlanSlutsats->setFont(bold);

    lblPlanGrund = new QLabel(planAssumption(), this);
    lblPlanGrund->setObjectName(QStringLiteral("lblPlanGrund"));
    lblPlanGrund->setTextFormat(Qt::PlainText);
    lblPlanGrund->setWordWrap(true);

    flgPlan = new QTableView(this);
    flgPlan->setObjectName(QStringLiteral("flgPlan"));
    flgPlan->setModel(m_model);
    flgPlan->verticalHeader()->hide();
    // Rows as close as the trees' list, so that a plan of every decade shows on a laptop.
    flgPlan->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    flgPlan->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    flgPlan->setSelectionBehavior(QAbstractItemView::SelectRows);
    flgPlan->setEditTriggers(QAbstractItemView::NoEditTriggers);
    flgPlan->setToolTip(QStringLiteral("Varje träd avverkas det år då dess nuvärde är störst. "
                                       "Netto är värdet vid avverkningen, nuvärdet samma värde "
                                       "räknat till i dag med räntekravet."));

    // The plan's "Totalt" row stands under the years, always in view however few of them the
    // window has room for: the same model, showing only its last row.
    flgPlanTotalt = new QTableView(this);
    flgPlanTotalt->setObjectName(QStringLiteral("flgPlanTotalt"));
    flgPlanTotalt->setModel(m_model);
    flgPlanTotalt->horizontalHeader()->hide();
    flgPlanTotalt->verticalHeader()->hide();
    flgPlanTotalt->verticalHeader()->setDefaultSectionSize(
        flgPlan->verticalHeader()->defaultSectionSize());
    // Its first column names the marked trees' rows in full; the years' columns above follow
    // its widths, so that the figures line up.
    flgPlanTotalt->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    flgPlanTotalt->horizontalHeader()->setSectionResizeMode(HarvestPlanModel::Years,
                                                            QHeaderView::ResizeToContents);
    flgPlan->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(flgPlanTotalt->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { flgPlan->setColumnWidth(column, width); });
    flgPlanTotalt->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    flgPlanTotalt->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    flgPlanTotalt->setSelectionMode(QAbstractItemView::NoSelection);
    flgPlanTotalt->setEditTriggers(QAbstractItemView::NoEditTriggers);
    flgPlanTotalt->setFocusPolicy(Qt::NoFocus);
    flgPlanTotalt->setToolTip(
        flgPlan->toolTip() +
        QStringLiteral(" Varav märkta: träden märkta \"avverkas\", som ingår i totalen. Märkta "
                       "lämnas: träden märkta \"lämnas\", som inte ingår; volym och netto i dag."));
    QFont totalFont = flgPlanTotalt->font();
    totalFont.setBold(true);
    flgPlanTotalt->setFont(totalFont);

    // Its columns line up with the years' above, whose scroll bar takes room when shown.
    connect(flgPlan->verticalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int max) {
        flgPlanTotalt->setVerticalScrollBarPolicy(max > 0 ? Qt::ScrollBarAlwaysOn
                                                          : Qt::ScrollBarAlwaysOff);
    });
    auto *planTable = new QVBoxLayout;
    planTable->setSpacing(0);
    planTable->addWidget(flgPlan, 1);
    planTable->addWidget(flgPlanTotalt);

    chtPlan = new PlanChart(m_model, this);

    flgPlanKanslighet = new QTableWidget(standWhatIfCount, 2, this);
    flgPlanKanslighet->setObjectName(QStringLiteral("flgPlanKanslighet"));
    flgPlanKanslighet->setHorizontalHeaderLabels(
        {QStringLiteral("Byter beslut, träd"), QStringLiteral("Nuvärde\nträdvis, kr")});
    flgPlanKanslighet->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    flgPlanKanslighet->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    flgPlanKanslighet->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    flgPlanKanslighet->setEditTriggers(QAbstractItemView::NoEditTriggers);
    flgPlanKanslighet->setToolTip(
        QStringLiteral("Hela beståndet värderat igen med ändrat räntekrav eller ändrade priser: "
                       "hur många träd som byter mellan \"Avverka nu\" och \"Låt stå\", och "
                       "beståndets nuvärde med varje träd i sitt bästa år (trädvis, utan "
                       "avverkningstillfällen; ägarens märkning gäller)."));

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("prgKanslighet"));
    m_progress->setFormat(QStringLiteral("Känslighet: %p %"));
    btnAvbrytKanslighet = new QPushButton(QStringLiteral("&Stoppa"), this);
    btnAvbrytKanslighet->setObjectName(QStringLiteral("btnAvbrytKanslighet"));
    btnAvbrytKanslighet->setToolTip(QStringLiteral("Stoppar beräkningen av känsligheten; planen "
                                                   "står kvar."));

    auto *progress = new QHBoxLayout;
    progress->addWidget(m_progress, 1);
    progress->addWidget(btnAvbrytKanslighet);

    auto *right = new QVBoxLayout;
    right->addWidget(flgPlanKanslighet, 1);
    right->addLayout(progress);

    // The plan tree by tree, and the same stand in a few harvest entries a contractor can take.
    m_entries = new HarvestEntriesPanel(this);
    tabPlanSatt = new QTabWidget(this);
    tabPlanSatt->setObjectName(QStringLiteral("tabPlanSatt"));
    auto *treeByTree = new QWidget(this);
    treeByTree->setLayout(planTable);
    tabPlanSatt->addTab(treeByTree, QStringLiteral("Trädvis"));
    // Its settings scroll on a small screen, so that they never push the plan's total off it.
    auto *entriesArea = new QScrollArea(this);
    entriesArea->setWidget(m_entries);
    entriesArea->setWidgetResizable(true);
    entriesArea->setFrameShape(QFrame::NoFrame);
    tabPlanSatt->addTab(entriesArea, QStringLiteral("Avverknings&tillfällen"));
    // The statement read first, its assumption and the chart are those of the plan shown.
    auto planShown = [this] {
        chtPlan->setHarvests(chartedEntries());
        showStatement();
    };
    connect(tabPlanSatt, &QTabWidget::currentChanged, this, planShown);
    connect(m_entries, &HarvestEntriesPanel::planChanged, this, planShown);

    auto *grid = new QGridLayout;
    grid->addWidget(tabPlanSatt, 0, 0);
    grid->addLayout(right, 0, 1);
    grid->addWidget(chtPlan, 1, 0, 1, 2);
    grid->setColumnStretch(0, 3);
    grid->setColumnStretch(1, 2);
    grid->setRowStretch(0, 3);
    grid->setRowStretch(1, 2);

    auto *btnPlanCsv = new QPushButton(QStringLiteral("Exportera &CSV..."), this);
    btnPlanCsv->setObjectName(QStringLiteral("btnPlanCsv"));
    btnPlanCsv->setToolTip(QStringLiteral("Sparar listan med varje träds resultat och sedan "
                                          "planen, för ett kalkylprogram."));
    auto *btnPlanPdf = new QPushButton(QStringLiteral("Spara P&DF..."), this);
    btnPlanPdf->setObjectName(QStringLiteral("btnPlanPdf"));
    btnPlanPdf->setToolTip(QStringLiteral("Sparar en utsyningslista: planen med diagrammet, "
                                          "träden att avverka nu och träden som lämnas."));
    auto *btnPlanSkrivUt = new QPushButton(QStringLiteral("Skriv &ut..."), this);
    btnPlanSkrivUt->setObjectName(QStringLiteral("btnPlanSkrivUt"));
    btnPlanSkrivUt->setToolTip(
        btnPlanPdf->toolTip().replace(QStringLiteral("Sparar"), QStringLiteral("Skriver ut")));
    m_outputButtons = {btnPlanCsv, btnPlanPdf, btnPlanSkrivUt};
    auto *outputs = new QHBoxLayout;
    for (QPushButton *b : m_outputButtons)
        outputs->addWidget(b);
    outputs->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(lblPlanSlutsats);
    layout->addWidget(lblPlanGrund);
    layout->addLayout(grid, 1);
    layout->addLayout(outputs);
    connect(btnPlanCsv, &QPushButton::clicked, this, &HarvestPlanView::exportCsvRequested);
    connect(btnPlanPdf, &QPushButton::clicked, this, &HarvestPlanView::savePdfRequested);
    connect(btnPlanSkrivUt, &QPushButton::clicked, this, &HarvestPlanView::printRequested);

    connect(&m_run, &ChunkedRun::finished, this, &HarvestPlanView::whatIfFinished);
    connect(&m_run, &ChunkedRun::progress, m_progress, [this](qsizetype done, qsizetype count) {
        m_progress->setRange(0, int(count));
        m_progress->setValue(int(done));
    });
    connect(btnAvbrytKanslighet, &QPushButton::clicked, &m_run, &ChunkedRun::stop);
    clear();
}

HarvestPlanView::~HarvestPlanView() = default;

void HarvestPlanView::clear() {
    // The what-if of figures the list no longer has is not wanted: its threads end on their own.
    m_run.stop();
    m_work.reset();
    m_model->setPlan(HarvestPlan(), localeDecimalSeparator());
    fitPlanRows();
    m_entries->clear();
    chtPlan->setHarvests(std::nullopt);
    m_treeByTreeStatement.clear();
    showStatement();
    m_whatIfs.clear();
    showWhatIfs();
    m_progress->hide();
    btnAvbrytKanslighet->hide();
    for (QPushButton *b : m_outputButtons)
        b->setEnabled(false);
}

void HarvestPlanView::showStatement() {
    const bool entriesShown = tabPlanSatt->currentIndex() == tabPlanSatt->count() - 1;
    if (m_treeByTreeStatement.isEmpty()) {
        m_statement = QStringLiteral("Värdera listan för att se beståndets avverkningsplan.");
    } else if (entriesShown) {
        // The plan in entries, or why there is none for these settings.
        m_statement = m_entries->plan() ? joinedSentences(entryStatement(*m_entries->plan()),
                                                          unvaluedSentence(m_model->plan()))
                                        : m_entries->settingsFault();
    } else {
        m_statement = m_treeByTreeStatement;
    }
    lblPlanSlutsats->setText(m_statement);
    lblPlanGrund->setText(entriesShown ? entryAssumption() : planAssumption());
}

void HarvestPlanView::fitPlanRows() {
    // The years above, "Totalt" and the marked trees counted apart in rows of their own below.
    const int rows = m_model->rowCount();
    const int below = rows == 0 ? 1 : rows - m_model->totalRow();
    for (int r = 0; r < rows; ++r) {
        flgPlan->setRowHidden(r, r >= m_model->totalRow());
        flgPlanTotalt->setRowHidden(r, r < m_model->totalRow());
    }
    flgPlanTotalt->setFixedHeight(below * flgPlan->verticalHeader()->defaultSectionSize() +
                                  2 * flgPlanTotalt->frameWidth());
}

std::optional<QList<PlanYear>> HarvestPlanView::chartedEntries() const {
    const std::optional<EntryPlan> plan = chosenEntries();
    if (!plan)
        return std::nullopt;
    QList<PlanYear> harvests;
    for (const HarvestEntry &e : plan->entries)
        harvests << PlanYear{e.years, e.trees, e.volume, e.netValue - e.cost,
                             e.presentValue - e.costPresent};
    return harvests;
}

std::optional<EntryPlan> HarvestPlanView::chosenEntries() const {
    if (tabPlanSatt->currentIndex() != tabPlanSatt->count() - 1)
        return std::nullopt;
    return m_entries->plan();
}

QImage HarvestPlanView::chartImage() const {
    // Drawn anew at a page's proportions rather than the window's wide strip.
    PlanChart printed(m_model);
    printed.setHarvests(chartedEntries());
    printed.setFont(font());
    printed.resize(900, 380);
    return printed.grab().toImage();
}

void HarvestPlanView::showPlan(const TreeListHome &home, QList<TreeRow> trees,
                               QList<TreeSummary> asGiven) {
    clear();
    HarvestPlan plan;
    for (qsizetype i = 0; i < trees.size(); ++i)
        plan.add(trees.at(i).id, summaryAt(asGiven, i), trees.at(i).mark);
    const QChar mark = localeDecimalSeparator();
    m_model->setPlan(plan, mark);
    fitPlanRows();
    m_treeByTreeStatement = planStatement(plan, mark);
    m_entries->setTrees(trees, asGiven, home.base.requiredRate);
    showStatement();
    for (QPushButton *b : m_outputButtons)
        b->setEnabled(true);
    if (plan.valuedTrees() == 0) {
        emit whatIfDone();
        return;
    }

    auto work = std::make_shared<WhatIfWork>(home, mark, std::move(trees), std::move(asGiven));
    m_work = work;
    m_progress->setRange(0, int(work->trees.size()));
    m_progress->setValue(0);
    m_progress->show();
    btnAvbrytKanslighet->show();
    // The threads share only the work's unchanging copy of the trees; each chunk's sums are its
    // own.
    m_run.start(work->trees.size(), whatIfChunk,
                [work](qsizetype chunk, qsizetype begin, qsizetype end) {
                    StandWhatIfs::Tally sum;
                    for (qsizetype r = begin; r < end; ++r)
                        StandWhatIfs::add(
                            sum, work->changes.tally(work->trees[r], summaryAt(work->asGiven, r)));
                    work->tallies[std::size_t(chunk)] = sum;
                });
}

void HarvestPlanView::whatIfFinished() {
    m_progress->hide();
    btnAvbrytKanslighet->hide();
    // A stopped what-if shows nothing rather than the sums of the trees it reached.
    if (!m_run.wasStopped() && m_work) {
        StandWhatIfs::Tally total;
        for (const StandWhatIfs::Tally &chunk : m_work->tallies)
            StandWhatIfs::add(total, chunk);
        m_whatIfs = m_work->changes.results(total);
    }
    m_work.reset();
    showWhatIfs();
    emit whatIfDone();
}

void HarvestPlanView::showWhatIfs() {
    const QChar mark = localeDecimalSeparator();
    for (int r = 0; r < standWhatIfCount; ++r) {
        const StandWhatIf w = m_whatIfs.value(r);
        flgPlanKanslighet->setVerticalHeaderItem(r, new QTableWidgetItem(w.change));
        const QString cells[] = {w.change.isEmpty() ? QString() : QString::number(w.switched),
                                 w.change.isEmpty() ? QString()
                                                    : formatNumber(w.presentValue, u"#0", mark)};
        for (int c = 0; c < 2; ++c) {
            auto *item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            flgPlanKanslighet->setItem(r, c, item);
        }
    }
}
