#include "gui/treelist/treelistwindow.h"

#include "core/files/diskaccess.h"
#include "core/files/numberformat.h"
#include "core/files/textfile.h"
#include "core/parameters/fieldcheck.h"
#include "core/parameters/parameters.h"
#include "core/parameters/species.h"
#include "core/results/verdict.h"
#include "core/treelist/harvestplanmodel.h"
#include "core/treelist/treelistresults.h"
#include "gui/shared/changedfile.h"
#include "gui/shared/formlayout.h"
#include "gui/shared/messages.h"
#include "gui/shared/savepath.h"
#include "gui/treelist/harvestentriespanel.h"
#include "gui/treelist/harvestplanview.h"
#include "gui/treelist/markinglist.h"
#include "gui/treelist/rownumberheader.h"
#include "gui/treelist/treelistdelegate.h"
#include "gui/treelist/treelistmodel.h"
#include "gui/treelist/treeresultdialog.h"

#include <QDate>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
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
    Valuation(const TreeListHome &home, const TreeListDocument &list)
        : home(home), list(list), summaries(list.rowCount()), out(summaries.data()),
          trees(list.rowCount()), treesOut(trees.data()) {}

    const TreeListHome home;
    // The list as it was when the valuation began, whatever the window does meanwhile: its rows
    // share the text read, so the copy is quickly made, and the trees are valued where their
    // texts lie.
    const TreeListDocument list;
    QList<TreeSummary> summaries;
    TreeSummary *const out; // where the cores write the figures, each tree's its own
    // The trees with texts of their own, for the plan's what-if afterwards: made by the cores
    // beside the valuation, not in the window's thread, which would otherwise not answer
    // meanwhile.
    QList<TreeRow> trees;
    TreeRow *const treesOut;
};
TreeListWindow::TreeListWindow(WindowHub &hub, HomeDirectory home, QWidget *parent)
    : WorkWindow(parent), m_hub(hub), m_directory(std::move(home)),
      m_model(new TreeListModel(this)), m_sorted(new TreeListSortModel(this)) {
    setObjectName(QStringLiteral("forTradlista"));

    auto *frame = new QGroupBox(QStringLiteral("Värdera en lista av träd"), this);
    frame->setObjectName(QStringLiteral("frmTradlista"));

    lblFil = label(frame, "lblFil", QString());
    lblFranTradSty = label(frame, "lblFranTradSty", QString());

    // The stand's name, for the marking list's heading; saved on the list's first lines.
    auto *standRow = new QHBoxLayout;
    const struct {
        const char *label, *field;
        QString caption, tip;
        QLineEdit **edit;
    } standFields[] = {
        {"lblFastighet", "txtFastighet", QStringLiteral("&Fastighet:"),
         QStringLiteral("Fastighetens beteckning, till exempel Storskogen 1:4."), &txtFastighet},
        {"lblAvdelning", "txtAvdelning", QStringLiteral("Avdel&ning:"),
         QStringLiteral("Avdelningen i skogsbruksplanen."), &txtAvdelning},
        {"lblAgare", "txtAgare", QStringLiteral("Ä&gare:"), QStringLiteral("Skogsägarens namn."),
         &txtAgare},
    };
    for (const auto &f : standFields) {
        QLabel *caption = label(frame, f.label, f.caption);
        auto *edit = new QLineEdit(frame);
        edit->setObjectName(QString::fromLatin1(f.field));
        edit->setToolTip(f.tip + QStringLiteral(" Står överst i utsyningslistan och sparas på "
                                                "listans första rader."));
        edit->setMaxLength(200);
        caption->setBuddy(edit);
        standRow->addWidget(caption);
        standRow->addWidget(edit, 1);
        *f.edit = edit;
        connect(edit, &QLineEdit::textEdited, this, [this] {
            m_model->setStand({txtFastighet->text(), txtAvdelning->text(), txtAgare->text()});
            writeFooter();
        });
    }
    m_sorted->setSourceModel(m_model);
    m_sorted->setSortRole(TreeListModel::SortRole);
    flgTradlista = new QTableView(frame);
    flgTradlista->setObjectName(QStringLiteral("flgTradlista"));
    flgTradlista->setVerticalHeader(new RowNumberHeader(flgTradlista));
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
    // A decision the owner's mark made is in bold, the widest of them.
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics boldMetrics(bold);
    for (int c = 0; c < TreeListModel::ColumnCount; ++c) {
        const QString heading = m_model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        const bool decision = c == TreeListModel::FirstSummaryColumn + CutOrWait;
        const int widest = decision
                               ? boldMetrics.horizontalAdvance(QStringLiteral("Avverkas (märkt)"))
                               : fontMetrics().horizontalAdvance(QStringLiteral("00000"));
        const int width = qMax(fontMetrics().horizontalAdvance(heading), widest) + 14;
        flgTradlista->setColumnWidth(c, width);
        tableWidth += width;
    }
    flgTradlista->horizontalHeader()->setStretchLastSection(true);
    const int felWidth = fontMetrics().horizontalAdvance(QString(16, u'x'));
    flgTradlista->setColumnWidth(TreeListModel::FirstSummaryColumn + FaultText, felWidth);
    tableWidth += felWidth;
    // What the user values the list for, the decision and the best year, stands right after
    // the tree's id, in view on a laptop at 150 % too; why a tree was not valued stands next to
    // them, not beyond the figures and the list's own columns at the far right.
    QHeaderView *columns = flgTradlista->horizontalHeader();
    for (int summary : {CutOrWait, BestYear, FaultText})
        columns->moveSection(columns->visualIndex(TreeListModel::FirstSummaryColumn + summary),
                             columns->visualIndex(TreeListModel::FirstKeyColumn));

    lblSumma = label(frame, "lblSumma", QString());
    // With the owner's marks counted apart it is long: on a small screen it wraps.
    lblSumma->setWordWrap(true);

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
    // Where the list comes from and which of its values "trad.sty" gives, on one line.
    auto *source = new QHBoxLayout;
    source->addWidget(lblFil, 1);
    source->addWidget(lblFranTradSty);
    layout->addLayout(source);
    layout->addLayout(standRow);
    layout->addWidget(tabTradlista, 1);
    layout->addWidget(lblSumma);
    layout->addLayout(buttons);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(12, 12, 12, 12);
    outer->addWidget(frame);
    // As wide as the whole table where the screen allows; the table scrolls on a small screen.
    const QRect screenArea = screen()->availableGeometry();
    resize(qMin(tableWidth + 110, screenArea.width() - 32), qMin(600, screenArea.height() - 48));

    // The table first: the stand's name is filled in once, the trees every time.
    setTabOrder(flgTradlista, txtFastighet);
    setTabOrder(txtFastighet, txtAvdelning);
    setTabOrder(txtAvdelning, txtAgare);
    flgTradlista->setFocus();

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

void TreeListWindow::writeFooter() {
    const TreeListModel::CutNow t = m_model->cutNow();
    const QChar mark = localeDecimalSeparator();
    // The owner's marks counted apart: those cut are among the trees cut now, those left not.
    QStringList marked;
    if (t.markedCut > 0)
        marked << QStringLiteral("%1 avverkas (netto %2 kr, volym %3 m3)")
                      .arg(t.markedCut)
                      .arg(formatNumber(t.markedCutNet, u"#0", mark),
                           formatNumber(t.markedCutVolume, u"#0.00", mark));
    if (t.markedLeft > 0)
        marked << QStringLiteral("%1 lämnas (netto %2 kr, volym %3 m3)")
                      .arg(t.markedLeft)
                      .arg(formatNumber(t.markedLeftNet, u"#0", mark),
                           formatNumber(t.markedLeftVolume, u"#0.00", mark));
    lblSumma->setText(
        QStringLiteral("Avverka nu: %1 av %2 träd, netto %3 kr, volym %4 m3")
            .arg(t.trees)
            .arg(m_model->rowCount())
            .arg(formatNumber(t.netValue, u"#0", mark), formatNumber(t.volume, u"#0.00", mark)) +
        (marked.isEmpty() ? QString()
                          : QStringLiteral(". Märkta: %1").arg(marked.join(QStringLiteral(", ")))) +
        (t.failed == 0
             ? QString()
             : QStringLiteral(". %1 träd kunde inte värderas (se kolumnen Fel).").arg(t.failed)));
    showStand();
    lblFranTradSty->setText(fromControlFile());
    lblFranTradSty->setVisible(!lblFranTradSty->text().isEmpty());
    // The home directory shown as a directory, with its closing separator.
    const QString home = pathAsUserKnowsIt(m_directory.filePath(QString()));
    lblFil->setText(listPath().isEmpty()
                        ? QStringLiteral("Ny lista. Bestånd, ekonomi och priser från %1").arg(home)
                        : QStringLiteral("Lista: %1%2. Bestånd, ekonomi och priser från %3")
                              .arg(pathAsUserKnowsIt(listPath()),
                                   m_model->isModified() ? QStringLiteral(" (ändrad)") : QString(),
                                   home));
}

void TreeListWindow::showStand() {
    // Only text that differs is set, so that the cursor of a field being typed in stays.
    const StandName &stand = m_model->stand();
    for (auto [edit, text] :
         {std::pair{txtFastighet, &stand.property}, std::pair{txtAvdelning, &stand.compartment},
          std::pair{txtAgare, &stand.owner}})
        if (edit->text() != *text)
            edit->setText(*text);
}

QString TreeListWindow::fromControlFile() const {
    return m_model->document().fromControlFile();
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
    // The footer was written as the model told of its new totals.
    return true;
}

const QString &TreeListWindow::listPath() const {
    return m_model->path();
}

bool TreeListWindow::restoreUnsavedList(const QString &kept, const QString &path) {
    if (!openList(kept))
        return false;
    m_model->setPath(path);
    m_model->setModified(true);
    writeFooter();
    // The trees, not the stand's name, are what one works on next.
    flgTradlista->setFocus();
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
        if (listPath().isEmpty() || !openList(QString(listPath()))) {
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
    // The list another copy of the program or a spreadsheet saved since this one read it is
    // never overwritten without asking; "Läs om" shows the file as it is now.
    const bool saved = saveAskingIfChanged(
        this, [&](IfChangedSinceRead ifChanged) { return m_model->save(path, ifChanged); },
        [this] { openList(QString(listPath())); });
    if (!saved)
        return false;
    writeFooter();
    return true;
}

void TreeListWindow::chooseAndOpenList() {
    if (!mayLeave())
        return;
    const QString path = QFileDialog::getOpenFileName(
        this, QStringLiteral("Öppna trädlista"),
        listPath().isEmpty() ? m_directory.path() : QFileInfo(listPath()).absolutePath(),
        csvFilter);
    if (!path.isEmpty())
        openList(path);
}

bool TreeListWindow::saveList() {
    const QString path = chooseSavePath(
        this, QStringLiteral("Spara trädlista"),
        listPath().isEmpty() ? m_directory.filePath(QStringLiteral("tradlista.csv")) : listPath(),
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
    Expected<TreeListHome> loaded = loadTreeListHome(m_directory);
    if (!loaded) {
        showKvistelMessage(this, loaded.message() + QStringLiteral(" Listan värderades inte."));
        emit valuationDone();
        return;
    }
    m_home = std::move(loaded).value();
    m_model->setDefaults(m_home.texts);
    auto valuation = std::make_shared<Valuation>(m_home, m_model->document());
    m_valuation = valuation;
    const qsizetype count = valuation->list.rowCount();
    setBusy(true);
    m_run.start(count, valuationChunk, [valuation](qsizetype, qsizetype begin, qsizetype end) {
        const TreeListHome &home = valuation->home;
        valuation->list.trees(int(begin), int(end), valuation->treesOut);
        for (qsizetype i = begin; i < end; ++i) {
            const TreeTexts tree = valuation->list.texts(int(i));
            TreeSummary &s = valuation->out[i];
            // A key neither the tree nor "trad.sty" has would be valued as 0.
            std::array<bool, treeKeyCount> has = tree.given;
            if (const Outcome columns = checkTreeKeyColumns(home, has); !columns)
                s.fault = columns;
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
    // A row's own fault is looked for only where it has no figures: checking every row's values
    // again would hold the window for a second at 100 000 trees.
    m_plan->showPlan(m_home, trees, m_model->document().summaries());
}

StandSheet TreeListWindow::standSheet() const {
    StandSheet sheet;
    const QChar mark = localeDecimalSeparator();
    sheet.decimalMark = mark;
    sheet.takeList(m_model->document());
    sheet.date = QDate::currentDate().toString(Qt::ISODate);
    sheet.county = m_home.county;
    sheet.parameters = standParameterLines(m_home.base, mark);
    sheet.plan = m_plan->model()->plan();
    sheet.entries = m_plan->chosenEntries();
    sheet.entrySettings = m_plan->entries()->settings();
    return sheet;
}

MarkingList TreeListWindow::markingList() const {
    return {standSheet(), m_plan->chartImage()};
}

QString TreeListWindow::suggestedPlanPath(const QString &extension) const {
    const QString base = listPath().isEmpty() ? m_directory.filePath(QStringLiteral("bestand"))
                                              : QFileInfo(listPath()).absolutePath() + u'/' +
                                                    QFileInfo(listPath()).completeBaseName();
    return base + QStringLiteral("-plan.") + extension;
}

Outcome TreeListWindow::writePlanCsv(const QString &path) {
    // Every CSV file the windows write is for a spreadsheet: UTF-8 with a byte order mark, ";"
    // and decimal commas, whatever the list's own dialect.
    const CsvDialect spreadsheet{u';', u',', CsvDialect::Encoding::Utf8Bom, true};
    const HarvestPlan &plan = m_plan->model()->plan();
    const std::optional<EntryPlan> entries = m_plan->chosenEntries();
    const QList<QStringList> lines =
        entries
            ? entryPlanLines(*entries, m_plan->entries()->settings(), plan, spreadsheet.decimalMark)
            : planLines(plan, spreadsheet.decimalMark);
    // Each tree's year in the plan shown, the owner's marks counted.
    const QStringList plannedYears = standSheet().plannedYearTexts();
    return replaceFileSafely(
        path, m_model->document().resultBytes(spreadsheet, plan, lines, &plannedYears));
}

namespace {

// A long marking list shows how far it has come and may be stopped.
class PrintProgress {
public:
    explicit PrintProgress(QWidget *parent)
        : m_dialog(QStringLiteral("Skriver utsyningslistan ..."), QStringLiteral("Avbryt"), 0, 0,
                   parent) {
        m_dialog.setObjectName(QStringLiteral("dlgSkriverUt"));
        m_dialog.setWindowTitle(QStringLiteral("Kvistel"));
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(400);
    }
    MarkingList::Progress callback() {
        return [this](int page, int pages) {
            m_dialog.setMaximum(pages);
            m_dialog.setLabelText(QStringLiteral("Skriver sida %1 av %2 ...").arg(page).arg(pages));
            m_dialog.setValue(page - 1);
            return !m_dialog.wasCanceled();
        };
    }

private:
    QProgressDialog m_dialog;
};

} // namespace

Outcome TreeListWindow::writePlanPdf(const QString &path) {
    // Drawn into memory first, so that the file is only replaced by a whole document.
    PrintProgress progress(this);
    const QByteArray pdf = markingList().pdf(progress.callback());
    if (pdf.isEmpty())
        return Outcome::failure(printStoppedMessage() + QStringLiteral(" Ingen fil sparades."));
    return replaceFileSafely(path, pdf);
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
    PrintProgress progress(this);
    if (const Outcome printed = markingList().print(printer, progress.callback()); !printed)
        showKvistelMessage(this, printed.message());
}

void TreeListWindow::openRow(int row) {
    if (row < 0 || row >= m_model->rowCount())
        return;
    const Expected<TreeListHome> loaded = loadTreeListHome(m_directory);
    if (!loaded) {
        showKvistelMessage(this, loaded.message());
        return;
    }
    const TreeListHome &home = *loaded;
    TreeValuation valuation;
    TreeSummary summary;
    if (const Outcome columns = checkTreeKeyColumns(home, m_model->tree(row).given); !columns)
        summary.fault = columns;
    else
        summary = valueTreeRow(home.base, m_model->tree(row), home.prices, &valuation);
    TreeResultDialog dialog(m_model->tree(row).id, summary, valuation, this);
    dialog.exec();
}
