#include "gui/treelist/harvestentriespanel.h"

#include "core/files/numberformat.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The choices of the number of entries: tree by tree, one to four, or the owner's years.
constexpr int namedYearsChoice = mostEntries + 1;

} // namespace

HarvestEntriesPanel::HarvestEntriesPanel(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlTillfallen"));
    cmbTillfallen = new QComboBox(this);
    cmbTillfallen->setObjectName(QStringLiteral("cmbTillfallen"));
    cmbTillfallen->addItem(QStringLiteral("Trädvis, så många som lönar sig"));
    for (int n = 1; n <= mostEntries; ++n)
        cmbTillfallen->addItem(QStringLiteral("Högst %1").arg(n));
    cmbTillfallen->addItem(QStringLiteral("De angivna åren"));
    cmbTillfallen->setToolTip(QStringLiteral("Kvistel väljer de år som ger beståndet högst "
                                             "nuvärde efter kostnaderna, bland 0, 10, ..., 110."));
    txtTillfallesAr = new QLineEdit(QStringLiteral("0, 30"), this);
    txtTillfallesAr->setObjectName(QStringLiteral("txtTillfallesAr"));
    txtTillfallesAr->setToolTip(QStringLiteral("Avverkningsåren åtskilda med komma, till exempel "
                                               "0, 30."));
    txtTillfallesKostnad = new QLineEdit(QStringLiteral("0"), this);
    txtTillfallesKostnad->setObjectName(QStringLiteral("txtTillfallesKostnad"));
    txtMinstaVolym = new QLineEdit(QStringLiteral("0"), this);
    txtMinstaVolym->setObjectName(QStringLiteral("txtMinstaVolym"));
    txtMinstaVolym->setToolTip(QStringLiteral("Ett avverkningstillfälle under denna volym görs "
                                              "inte; dess träd går till sitt näst bästa "
                                              "tillfälle."));

    auto *count = new QHBoxLayout;
    count->addWidget(cmbTillfallen);
    count->addWidget(txtTillfallesAr, 1);
    auto *form = new QFormLayout;
    auto addRow = [this, form](const QString &text, QWidget *field, QLayout *row = nullptr) {
        auto *l = new QLabel(text, this);
        l->setBuddy(field);
        if (row)
            form->addRow(l, row);
        else
            form->addRow(l, field);
    };
    addRow(QStringLiteral("Ti&llfällen:"), cmbTillfallen, count);
    addRow(QStringLiteral("&Kostnad per avverkningstillfälle, kr:"), txtTillfallesKostnad);
    addRow(QStringLiteral("&Minsta volym per tillfälle, m3:"), txtMinstaVolym);

    lblTillfallenSlutsats = new QLabel(this);
    lblTillfallenSlutsats->setObjectName(QStringLiteral("lblTillfallenSlutsats"));
    lblTillfallenSlutsats->setTextFormat(Qt::PlainText);
    lblTillfallenSlutsats->setWordWrap(true);

    flgTillfallen = new QTableWidget(this);
    flgTillfallen->setObjectName(QStringLiteral("flgTillfallen"));
    flgTillfallen->verticalHeader()->hide();
    flgTillfallen->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    flgTillfallen->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    flgTillfallen->setEditTriggers(QAbstractItemView::NoEditTriggers);
    flgTillfallen->setToolTip(QStringLiteral("Netto är värdet vid avverkningen före kostnaden; "
                                             "nuvärdet är räknat till i dag efter kostnaden. Varav "
                                             "märkta: träden märkta \"avverkas\", som ingår i "
                                             "totalen. Märkta lämnas: träden märkta \"lämnas\", "
                                             "som inte ingår; volym och netto i dag."));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(form);
    layout->addWidget(lblTillfallenSlutsats);
    layout->addWidget(flgTillfallen, 1);

    connect(cmbTillfallen, &QComboBox::currentIndexChanged, this, [this](int choice) {
        txtTillfallesAr->setEnabled(choice == namedYearsChoice);
        replan();
    });
    for (QLineEdit *e : {txtTillfallesAr, txtTillfallesKostnad, txtMinstaVolym})
        connect(e, &QLineEdit::editingFinished, this, &HarvestEntriesPanel::replan);
    txtTillfallesAr->setEnabled(false);
    clear();
}

void HarvestEntriesPanel::clear() {
    m_planner.reset();
    m_plan.reset();
    m_fault.clear();
    lblTillfallenSlutsats->clear();
    lblTillfallenSlutsats->hide();
    flgTillfallen->clear();
    flgTillfallen->setRowCount(0);
    flgTillfallen->setColumnCount(0);
}

void HarvestEntriesPanel::setTrees(const QList<TreeRow> &trees, const QList<TreeSummary> &asGiven,
                                   double rate) {
    m_planner.emplace();
    for (qsizetype i = 0; i < trees.size(); ++i)
        if (const TreeSummary &s = summaryAt(asGiven, i); s.valued())
            m_planner->add(s.years, trees[i].mark);
    m_settings.rate = rate;
    replan();
}

void HarvestEntriesPanel::replan() {
    if (!m_planner)
        return;
    EntrySettings s;
    s.rate = m_settings.rate;
    const int choice = cmbTillfallen->currentIndex();
    // The first setting that cannot be read is the one named.
    Outcome read;
    const auto settle = [&read](auto got, auto &into) {
        if (!read)
            return;
        if (got)
            into = std::move(got).value();
        else
            read = got.outcome();
    };
    if (choice == namedYearsChoice)
        settle(readEntryYears(txtTillfallesAr->text()), s.years);
    else
        s.maxEntries = choice;
    settle(readEntryCost(txtTillfallesKostnad->text()), s.costPerEntry);
    settle(readMinVolume(txtMinstaVolym->text()), s.minVolume);
    m_fault = read ? QString() : read.message();
    lblTillfallenSlutsats->setText(m_fault);
    lblTillfallenSlutsats->setVisible(!m_fault.isEmpty());
    if (!read) {
        // The plan made before stays out of sight until the setting is right.
        m_plan.reset();
        flgTillfallen->setRowCount(0);
        emit planChanged();
        return;
    }
    m_settings = s;
    m_plan = m_planner->plan(s);
    const QList<QStringList> lines = entryLines(*m_plan, localeDecimalSeparator());
    flgTillfallen->setColumnCount(int(lines.first().size()));
    flgTillfallen->setHorizontalHeaderLabels(lines.first());
    // The first column names the lines below the total ("varav märkta") in full.
    flgTillfallen->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    flgTillfallen->setRowCount(int(lines.size() - 1));
    for (int r = 1; r < lines.size(); ++r)
        for (int c = 0; c < lines[r].size(); ++c) {
            auto *item = new QTableWidgetItem(lines[r][c]);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            flgTillfallen->setItem(r - 1, c, item);
        }
    // Every line in view, the total and the marked trees below the entries too: on a small
    // screen the panel scrolls as a whole rather than hiding them in the table.
    flgTillfallen->setMinimumHeight(flgTillfallen->horizontalHeader()->sizeHint().height() +
                                    flgTillfallen->rowCount() *
                                        flgTillfallen->verticalHeader()->defaultSectionSize() +
                                    2 * flgTillfallen->frameWidth());
    emit planChanged();
}
