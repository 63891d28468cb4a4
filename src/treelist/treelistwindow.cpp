#include "treelist/treelistwindow.h"

#include "core/files/numberformat.h"
#include "core/files/pricelistfile.h"
#include "core/files/textfile.h"
#include "core/parameters/fieldcheck.h"
#include "core/parameters/parameters.h"
#include "core/parameters/species.h"
#include "core/results/verdict.h"
#include "core/treelist/harvestplanmodel.h"
#include "shared/formlayout.h"
#include "shared/messages.h"
#include "shared/savepath.h"
#include "treelist/harvestplanview.h"
#include "treelist/markinglist.h"
#include "treelist/treelistdelegate.h"
#include "treelist/treelistmodel.h"
#include "treelist/treeresultdialog.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

using FormLayout::button;
using FormLayout::label;

namespace {

// Above this many trees a valuation takes long enough to show its progress and be cancelled.
constexpr int progressFromTrees = 2000;
// Trees a thread values at a time: a few milliseconds, so that Avbryt is felt at once.
constexpr qsizetype valuationChunk = 256;

const QString csvFilter = QStringLiteral("Trädlistor (*.csv);;Alla filer (*)");

} // namespace

// What a valuation's threads read, never changed while they run, and the figures they write, each
// tree's by the thread that values it.
struct TreeListWindow::Valuation {
    Valuation(const TreeListHome &home, QList<TreeRow> trees)
        : home(home), trees(std::move(trees)), summaries(std::size_t(this->trees.size())) {}

    const TreeListHome home;
    const QList<TreeRow> trees; // shared with the plan's what-if afterwards, never changed
    std::vector<TreeSummary> summaries;
};

TreeListWindow::TreeListWindow(WindowHub &hub, HomeDirectory home, QWidget *parent)
    : WorkWindow(parent), m_hub(hub), m_directory(std::move(home)),
      m_model(new TreeListModel(this)), m_sorted(new TreeListSortModel(this)) {
    setObjectName(QStringLiteral("forTradlista"));

    auto *frame = new QGroupBox(QStringLiteral("Värdera en lista av träd"), this);
    frame->setObjectName(QStringLiteral("frmTradlista"));

    lblFil = label(frame, "lblFil", QString());
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(TreeListModel::SortRole);
    flgTradlista = new QTableView(frame);
    flgTradlista->setObjectName(QStringLiteral("flgTradlista"));
    flgTradlista->setModel(m_sorted);
    flgTradlista->setSortingEnabled(true);
    flgTradlista->sortByColumn(-1, Qt::AscendingOrder);
    flgTradlista->setSelectionBehavior(QAbstractItemView::SelectItems);
    // A double-click or Return opens the tree; typing or F2 edits the cell.
    flgTradlista->setEditTriggers(QAbstractItemView::EditKeyPressed |
                                  QAbstractItemView::AnyKeyPressed);
    flgTradlista->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    flgTradlista->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    auto *delegate = new TreeListDelegate(flgTradlista);
    flgTradlista->setItemDelegate(delegate);
    // Every column as wide as its heading or its widest usual value, the reason for a tree
    // that could not be valued taking what is left.
    int tableWidth = 0;
    for (int c = 0; c < TreeListModel::ColumnCount; ++c) {
        const QString heading = m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const QString widest = c == TreeListModel::FirstSummaryColumn + Beslut
                                   ? QStringLiteral("Avverka nu")
                                   : QStringLiteral("00000");
        const int width = qMax(fontMetrics().horizontalAdvance(heading),
                               fontMetrics().horizontalAdvance(widest)) +
                          14;
        flgTradlista->setColumnWidth(c, width);
        tableWidth += width;
    }
    flgTradlista->horizontalHeader()->setStretchLastSection(true);
    const int felWidth = fontMetrics().horizontalAdvance(QString(16, u'x'));
    flgTradlista->setColumnWidth(TreeListModel::FirstSummaryColumn + Fel, felWidth);
    tableWidth += felWidth;
    // Why a tree was not valued stands next to the decision, not beyond the figures and the
    // list's own columns at the far right.
    flgTradlista->horizontalHeader()->moveSection(TreeListModel::FirstSummaryColumn + Fel,
                                                  TreeListModel::FirstSummaryColumn + Beslut + 1);

    lblSumma = label(frame, "lblSumma", QString());

    QPushButton *btnOppna = button(frame, "btnOppna", QStringLiteral("Öppna..."));
    QPushButton *btnSpara = button(frame, "btnSpara", QStringLiteral("Spara..."));
    QPushButton *btnLaggTill = button(frame, "btnLaggTill", QStringLiteral("Lägg till rad"));
    QPushButton *btnTaBort = button(frame, "btnTaBort", QStringLiteral("Ta bort rad"));
    QPushButton *btnVardera = button(frame, "btnVardera", QStringLiteral("Värdera"));
    QPushButton *btnAvbryt = button(frame, "btnAvbryt", QStringLiteral("Avbryt"));
    m_buttons = {btnOppna, btnSpara, btnLaggTill, btnTaBort, btnVardera, btnAvbryt};

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnOppna);
    buttons->addWidget(btnSpara);
    buttons->addSpacing(18);
    buttons->addWidget(btnLaggTill);
    buttons->addWidget(btnTaBort);
    buttons->addStretch(1);
    buttons->addWidget(btnVardera);
    buttons->addWidget(btnAvbryt);
    buttons->addWidget(helpButton());

    // The trees, and beside them the stand's harvest plan made from their figures.
    tabTradlista = new QTabWidget(frame);
    tabTradlista->setObjectName(QStringLiteral("tabTradlista"));
    tabTradlista->addTab(flgTradlista, QStringLiteral("T&räd"));
    m_plan = new HarvestPlanView(tabTradlista);
    tabTradlista->addTab(m_plan, QStringLiteral("Avv&erkningsplan"));

    auto *layout = new QVBoxLayout(frame);
    layout->addWidget(lblFil);
    layout->addWidget(tabTradlista, 1);
    layout->addWidget(lblSumma);
    layout->addLayout(buttons);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(frame);
    // As wide as the whole table where the screen allows; the table scrolls on a small screen.
    const QRect screenArea = screen()->availableGeometry();
    resize(qMin(tableWidth + 110, screenArea.width() - 32), qMin(600, screenArea.height() - 48));

    connect(btnOppna, &QPushButton::clicked, this, &TreeListWindow::chooseAndOpenList);
    connect(btnSpara, &QPushButton::clicked, this, [this] { saveList(); });
    connect(btnLaggTill, &QPushButton::clicked, this, &TreeListWindow::addTreeRow);
    connect(btnTaBort, &QPushButton::clicked, this, &TreeListWindow::removeSelectedTrees);
    connect(btnVardera, &QPushButton::clicked, this, &TreeListWindow::valueTrees);
    connect(btnAvbryt, &QPushButton::clicked, this, &TreeListWindow::leaveToMenu);
    connect(flgTradlista, &QTableView::activated, this,
            [this](const QModelIndex &index) { openRow(sourceRow(index.row())); });
    connect(delegate, &TreeListDelegate::valueFault, this, [this](const QString &message) {
        // After the editor has closed, so that the box does not end the edit a second time.
        QTimer::singleShot(
            0, this, [this, message] { showMessage(this, QStringLiteral("Error"), message); });
    });
    connect(m_model, &TreeListModel::totalsChanged, this, &TreeListWindow::writeFooter);
    // A plan made from figures the list no longer has would mislead: it waits for the next
    // valuation.
    connect(m_model, &TreeListModel::totalsChanged, m_plan, &HarvestPlanView::clear);
    connect(m_plan, &HarvestPlanView::exportCsvRequested, this, &TreeListWindow::exportPlanCsv);
    connect(m_plan, &HarvestPlanView::savePdfRequested, this, &TreeListWindow::savePlanPdf);
    connect(m_plan, &HarvestPlanView::printRequested, this, &TreeListWindow::printPlan);
    connect(&m_run, &ChunkedRun::finished, this, &TreeListWindow::valuationFinished);
    writeFooter();
}

TreeListWindow::~TreeListWindow() = default;

int TreeListWindow::sourceRow(int viewRow) const {
    return m_sorted->mapToSource(m_sorted->index(viewRow, 0)).row();
}

namespace {

// A path as the user knows it: on Linux one inside the user's own directory starts with "~".
QString shownPath(const QString &path) {
#ifndef Q_OS_WIN
    const QString home = QDir::homePath() + u'/';
    if (path.startsWith(home))
        return QStringLiteral("~/") + path.mid(home.size());
#endif
    return QDir::toNativeSeparators(path);
}

} // namespace

void TreeListWindow::writeFooter() {
    const TreeListModel::CutNow t = m_model->cutNow();
    const QChar mark = localeDecimalSeparator();
    int failed = 0;
    for (int r = 0; r < m_model->rowCount(); ++r)
        failed += m_model->summary(r) && !m_model->summary(r)->valued() ? 1 : 0;
    lblSumma->setText(
        QStringLiteral("Avverka nu: %1 av %2 träd, netto %3 kr, volym %4 m3")
            .arg(t.trees)
            .arg(m_model->rowCount())
            .arg(formatNumber(t.netValue, u"#0", mark), formatNumber(t.volume, u"#0.00", mark)) +
        (failed == 0
             ? QString()
             : QStringLiteral(". %1 träd kunde inte värderas (se kolumnen Fel).").arg(failed)));
    // The home directory shown as a directory, with its closing separator.
    const QString home = shownPath(m_directory.filePath(QString()));
    lblFil->setText(m_path.isEmpty()
                        ? QStringLiteral("Ny lista. Bestånd, ekonomi och priser från %1").arg(home)
                        : QStringLiteral("Lista: %1%2. Bestånd, ekonomi och priser från %3")
                              .arg(shownPath(m_path),
                                   m_model->isModified() ? QStringLiteral(" (ändrad)") : QString(),
                                   home));
}

bool TreeListWindow::openList(const QString &path) {
    std::array<QString, treeKeyCount> texts;
    if (const Outcome read = loadTreeKeyTexts(m_directory, texts); !read) {
        showKvistelMessage(this, read.message());
        return false;
    }
    if (const Outcome read = m_model->read(path, texts); !read) {
        showKvistelMessage(this, QStringLiteral("Listan kunde inte öppnas. ") + read.message());
        return false;
    }
    m_path = path;
    writeFooter();
    return true;
}

bool TreeListWindow::mayLeave() {
    if (!m_model->isModified())
        return true;
    switch (askToSaveChanges(this, QStringLiteral("Spara ändringarna i trädlistan?"),
                             "msgSparaTradlista")) {
    case QMessageBox::Yes:
        return saveList();
    case QMessageBox::No:
        // The edits are dropped: the list is read again as the file holds it.
        if (m_path.isEmpty() || !openList(m_path)) {
            m_path.clear();
            m_model->clear();
            writeFooter();
        }
        return true;
    default:
        return false;
    }
}

bool TreeListWindow::mayClose() {
    if (isValuing())
        return false;
    return mayLeave();
}

bool TreeListWindow::saveList(const QString &path) {
    if (const Outcome saved = replaceFileSafely(path, m_model->csvBytes()); !saved) {
        showKvistelMessage(this, saved.message());
        return false;
    }
    m_path = path;
    m_model->setModified(false);
    writeFooter();
    return true;
}

void TreeListWindow::chooseAndOpenList() {
    if (!mayLeave())
        return;
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Öppna trädlista"),
        m_path.isEmpty() ? m_directory.path() : QFileInfo(m_path).absolutePath(), csvFilter);
    if (!path.isEmpty())
        openList(path);
}

bool TreeListWindow::saveList() {
    const QString path = chooseSavePath(
        this, QStringLiteral("Spara trädlista"),
        m_path.isEmpty() ? m_directory.filePath(QStringLiteral("tradlista.csv")) : m_path,
        csvFilter, QStringLiteral("csv"));
    return !path.isEmpty() && saveList(path);
}

void TreeListWindow::addTreeRow() {
    std::array<QString, treeKeyCount> texts;
    if (const Outcome read = loadTreeKeyTexts(m_directory, texts); !read)
        showKvistelMessage(this,
                           read.message() + QStringLiteral(" Den nya raden får tomma värden."));
    const int row = m_model->addTree(texts);
    const QModelIndex cell = m_sorted->mapFromSource(m_model->index(row, TreeListModel::IdColumn));
    flgTradlista->setCurrentIndex(cell);
    flgTradlista->scrollTo(cell);
    flgTradlista->setFocus();
}

void TreeListWindow::removeSelectedTrees() {
    QList<int> rows;
    for (const QModelIndex &i : flgTradlista->selectionModel()->selectedIndexes())
        rows << m_sorted->mapToSource(i).row();
    if (rows.isEmpty() && flgTradlista->currentIndex().isValid())
        rows << m_sorted->mapToSource(flgTradlista->currentIndex()).row();
    m_model->removeTrees(rows);
}

void TreeListWindow::leaveToMenu() {
    if (!mayLeave())
        return;
    hide();
    m_hub.open(WindowHub::Window::MainMenu);
}

void TreeListWindow::closeBox() {
    if (isValuing())
        return;
    leaveToMenu();
}

bool TreeListWindow::isValuing() const {
    return m_run.isRunning();
}

void TreeListWindow::setBusy(bool busy) {
    for (QPushButton *b : m_buttons)
        b->setEnabled(!busy);
    flgTradlista->setEditTriggers(busy ? QAbstractItemView::NoEditTriggers
                                       : QAbstractItemView::EditKeyPressed |
                                             QAbstractItemView::AnyKeyPressed);
}

void TreeListWindow::valueTrees() {
    if (isValuing() || m_model->rowCount() == 0) {
        emit valuationDone();
        return;
    }
    // The parameters and prices as they are now, read once for the whole list.
    if (const Outcome loaded = loadTreeListHome(m_directory, m_home); !loaded) {
        showKvistelMessage(this, loaded.message() + QStringLiteral(" Listan värderades inte."));
        emit valuationDone();
        return;
    }
    m_model->setDefaults(m_home.texts);
    QList<TreeRow> trees;
    trees.reserve(m_model->rowCount());
    for (int r = 0; r < m_model->rowCount(); ++r)
        trees << m_model->tree(r);
    auto valuation = std::make_shared<Valuation>(m_home, std::move(trees));
    m_valuation = valuation;
    const qsizetype count = valuation->trees.size();
    setBusy(true);
    m_run.start(count, valuationChunk, [valuation](qsizetype, qsizetype begin, qsizetype end) {
        const TreeListHome &home = valuation->home;
        for (qsizetype i = begin; i < end; ++i) {
            const TreeRow &tree = valuation->trees[i];
            TreeSummary &s = valuation->summaries[std::size_t(i)];
            // A key neither the tree nor "trad.sty" has would be valued as 0.
            std::array<bool, treeKeyCount> has = tree.given;
            if (const Outcome columns = checkTreeKeyColumns(home, has); !columns)
                s.fault = columns.message();
            else
                s = valueTreeRow(home.base, tree, home.prices);
        }
    });
    if (count > progressFromTrees) {
        m_progress = new QProgressDialog(QStringLiteral("Värderar %1 träd ...").arg(count),
                                         QStringLiteral("Avbryt"), 0, int(count), this);
        m_progress->setObjectName(QStringLiteral("dlgVarderar"));
        m_progress->setWindowTitle(QStringLiteral("Kvistel"));
        m_progress->setWindowModality(Qt::WindowModal);
        m_progress->setMinimumDuration(0);
        connect(&m_run, &ChunkedRun::progress, m_progress,
                [progress = m_progress](qsizetype done) { progress->setValue(int(done)); });
        connect(m_progress, &QProgressDialog::canceled, &m_run, &ChunkedRun::stop);
    }
}

void TreeListWindow::valuationFinished() {
    if (m_progress) {
        m_progress->disconnect();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
    // A cancelled valuation leaves the list as it was: half a list of figures would be read
    // as the whole.
    if (!m_run.wasStopped() && m_valuation) {
        m_model->setSummaries(std::move(m_valuation->summaries));
        // The plan of a long list takes a while to sum: the window paints the figures first.
        // The trees valued are those the list holds: the window let nobody change them.
        QTimer::singleShot(0, this, [this, trees = m_valuation->trees] {
            showPlan(trees);
            setBusy(false);
            emit valuationDone();
        });
        m_valuation.reset();
        return;
    }
    m_valuation.reset();
    setBusy(false);
    emit valuationDone();
}

void TreeListWindow::showPlan(const QList<TreeRow> &trees) {
    QList<TreeSummary> summaries;
    summaries.reserve(m_model->rowCount());
    for (int r = 0; r < m_model->rowCount(); ++r) {
        // A row's own fault is looked for only where it has no figures: checking every row's
        // values again would hold the window for a second at 100 000 trees.
        if (const std::optional<TreeSummary> &s = m_model->summary(r)) {
            summaries << *s;
        } else {
            TreeSummary unvalued;
            unvalued.fault = m_model->rowFault(r);
            summaries << unvalued;
        }
    }
    m_plan->showPlan(m_home, trees, std::move(summaries));
}

MarkingList TreeListWindow::markingList() const {
    MarkingList list;
    const QChar mark = localeDecimalSeparator();
    list.date = QDate::currentDate().toString(Qt::ISODate);
    PriceList prices;
    if (readPriceList(m_directory.priceList(), prices))
        list.county = prices.lan;
    for (const Parameter *p : parametersOf(Parameter::Form::Stand)) {
        QString value;
        if (p->number) {
            const double v = m_home.base.*(p->number);
            value = rateText(p->conversion == Parameter::Conversion::Percent ? v * 100 : v, mark);
        } else if (p->text) {
            value = m_home.base.*(p->text);
        }
        list.parameters << QStringLiteral("%1: %2 %3")
                               .arg(p->caption.toString().trimmed(), value,
                                    p->unit.toString().trimmed())
                               .trimmed();
    }
    list.statement = m_plan->statement();
    list.assumption = planAssumption();
    const HarvestPlanModel *plan = m_plan->model();
    QStringList headings;
    for (int c = 0; c < plan->columnCount(); ++c)
        headings << plan->headerData(c, Qt::Horizontal).toString();
    list.plan << headings;
    for (int r = 0; r < plan->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < plan->columnCount(); ++c)
            cells << plan->index(r, c).data().toString();
        list.plan << cells;
    }
    list.chart = m_plan->chartImage();
    list.cutNow << QStringList{QStringLiteral("Id"), QStringLiteral("Trädslag"),
                               QStringLiteral("Diameter, cm"), QStringLiteral("Netto nu, kr")};
    list.leftStanding << QStringList{QStringLiteral("Id"), QStringLiteral("Bästa år")};
    for (int r = 0; r < m_model->rowCount(); ++r) {
        const std::optional<TreeSummary> &s = m_model->summary(r);
        if (!s || !s->valued())
            continue;
        const TreeRow &tree = m_model->tree(r);
        if (s->decision.cutNow())
            list.cutNow << QStringList{tree.id, speciesName(speciesLetter(tree.values[Art])),
                                       withDecimalMark(withDecimalPoint(tree.values[Bdm]), mark),
                                       summaryText(*s, NettoNu, mark)};
        else
            list.leftStanding << QStringList{tree.id, summaryText(*s, BastaAr, mark)};
    }
    return list;
}

QString TreeListWindow::suggestedPlanPath(const QString &extension) const {
    const QString base = m_path.isEmpty() ? m_directory.filePath(QStringLiteral("bestand"))
                                          : QFileInfo(m_path).absolutePath() + u'/' +
                                                QFileInfo(m_path).completeBaseName();
    return base + QStringLiteral("-plan.") + extension;
}

Outcome TreeListWindow::writePlanCsv(const QString &path) {
    return replaceFileSafely(path, m_model->csvBytes(&m_plan->model()->plan()));
}

Outcome TreeListWindow::writePlanPdf(const QString &path) {
    // Drawn into memory first, so that the file is only replaced by a whole document.
    return replaceFileSafely(path, markingList().pdf());
}

void TreeListWindow::exportPlanCsv() {
    const QString path = chooseSavePath(this, QStringLiteral("Exportera listan och planen"),
                                        suggestedPlanPath(QStringLiteral("csv")),
                                        QStringLiteral("CSV-filer (*.csv)"), QStringLiteral("csv"));
    if (path.isEmpty())
        return;
    if (const Outcome saved = writePlanCsv(path); !saved)
        showKvistelMessage(this, saved.message());
}

void TreeListWindow::savePlanPdf() {
    const QString path = chooseSavePath(
        this, QStringLiteral("Spara utsyningslistan"), suggestedPlanPath(QStringLiteral("pdf")),
        QStringLiteral("PDF-dokument (*.pdf)"), QStringLiteral("pdf"));
    if (path.isEmpty())
        return;
    if (const Outcome saved = writePlanPdf(path); !saved)
        showKvistelMessage(this, saved.message());
}

void TreeListWindow::printPlan() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QStringLiteral("Kvistel – avverkningsplan"));
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // Printing to a file goes through the safe save like Spara PDF.
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        const QString path =
            withEndingConfirmed(this, printer.outputFileName(), QStringLiteral("pdf"));
        if (!path.isEmpty())
            if (const Outcome saved = writePlanPdf(path); !saved)
                showKvistelMessage(this, saved.message());
        return;
    }
    if (const Outcome printed = markingList().print(printer); !printed)
        showKvistelMessage(this, printed.message());
}

void TreeListWindow::openRow(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    TreeListHome home;
    if (const Outcome loaded = loadTreeListHome(m_directory, home); !loaded) {
        showKvistelMessage(this, loaded.message());
        return;
    }
    TreeValuation valuation;
    TreeSummary summary;
    if (const Outcome columns = checkTreeKeyColumns(home, m_model->tree(row).given); !columns)
        summary.fault = columns.message();
    else
        summary = valueTreeRow(home.base, m_model->tree(row), home.prices, &valuation);
    TreeResultDialog dialog(m_model->tree(row).id, summary, valuation, this);
    dialog.exec();
}
