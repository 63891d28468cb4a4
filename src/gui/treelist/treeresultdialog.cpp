#include "gui/treelist/treeresultdialog.h"

#include "core/engine/resultrow.h"
#include "core/files/numberformat.h"
#include "gui/shared/formlayout.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The grid's headings are laid out for wrapping in a narrow column: two lines at the space
// nearest the middle.
QString twoLines(const QString &heading) {
    const QString text = heading.simplified();
    qsizetype best = -1;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u' ' &&
            (best < 0 || qAbs(i - text.size() / 2) < qAbs(best - text.size() / 2)))
            best = i;
    if (best < 0)
        return text;
    QString wrapped = text;
    wrapped[best] = u'\n';
    return wrapped;
}

QString verdict(const QString &id, const TreeSummary &s) {
    if (!s.valued())
        return QStringLiteral("Träd %1 kunde inte värderas. %2").arg(id, s.fault.message());
    const QChar mark = localeDecimalSeparator();
    if (s.decision.cutNow())
        return QStringLiteral("Träd %1: Avverka nu. Nettot i dag är %2 kr.")
            .arg(id, summaryText(s, NetNow, mark));
    return QStringLiteral("Träd %1: Låt stå. Bästa avverkningsår är om %2 år med nuvärdet %3 kr "
                          "mot %4 kr i dag.")
        .arg(id, summaryText(s, BestYear, mark), summaryText(s, BestPresentValue, mark),
             summaryText(s, NetNow, mark));
}

} // namespace

TreeResultDialog::TreeResultDialog(const QString &id, const TreeSummary &summary,
                                   const TreeValuation &valuation, QWidget *parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("dlgTradresultat"));
    setWindowTitle(QStringLiteral("Kvistel"));

    auto *lblSlutsats = FormLayout::label(this, "lblTradslutsats", verdict(id, summary));
    lblSlutsats->setWordWrap(true);

    auto *table = new QTableWidget(valuation.yearsValued, resultColumnCount, this);
    table->setObjectName(QStringLiteral("flgTradresultat"));
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList headings;
    for (int c = 0; c < resultColumnCount; ++c)
        headings << twoLines(resultHeading(c));
    table->setHorizontalHeaderLabels(headings);
    const QChar mark = localeDecimalSeparator();
    QStringList years;
    for (int r = 0; r < valuation.yearsValued; ++r) {
        const HarvestYear &year = valuation.rows[std::size_t(r)];
        years << QString::number(year.years);
        for (int c = 0; c < resultColumnCount; ++c) {
            auto *item = new QTableWidgetItem(harvestYearText(year, c, mark));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            table->setItem(r, c, item);
        }
    }
    table->setVerticalHeaderLabels(years);
    table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    table->resizeColumnsToContents();
    // The best year stands out, as the owner looks for it first.
    if (summary.valued())
        table->selectRow(summary.decision.bestRow);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *close = FormLayout::button(this, "btnStang", QStringLiteral("Stäng"));
    buttons->addButton(close, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(lblSlutsats);
    layout->addWidget(table, 1);
    layout->addWidget(buttons);
    // Wide enough for every column where the screen allows; the table scrolls on a small one.
    const int tableWidth = table->verticalHeader()->sizeHint().width() +
                           table->horizontalHeader()->length() + 2 * table->frameWidth() +
                           table->verticalScrollBar()->sizeHint().width();
    const int tableHeight = table->horizontalHeader()->sizeHint().height() +
                            table->verticalHeader()->length() + 2 * table->frameWidth() +
                            table->horizontalScrollBar()->sizeHint().height();
    const QRect area = (parent ? parent->screen() : screen())->availableGeometry();
    resize(qMin(tableWidth + 40, area.width() - 32),
           qMin(tableHeight + lblSlutsats->sizeHint().height() + 100, area.height() - 48));
}
