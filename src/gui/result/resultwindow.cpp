#include "gui/result/resultwindow.h"

#include "core/files/numberformat.h"
#include "core/parameters/parameters.h"

#include "core/results/resultmodel.h"
#include "gui/result/resultchart.h"
#include "gui/result/resultexport.h"
#include "gui/result/resultgrid.h"
#include "gui/shared/formlayout.h"
#include "gui/shared/groupframestyle.h"
#include "gui/shared/messages.h"

#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStyle>
#include <QTableWidget>
#include <QThreadPool>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <optional>

namespace {

using FormLayout::button;

// The parameter summary's boxes and their labels by key; the texts and where each stands are
// the summary's own (InputSummary).
const struct {
    QStringView key;
    const char *labelName;
    const char *boxName;
} summaryNames[] = {
    {Keys::sv, "lblSv", "txtSv"},
    {Keys::art, "lblArt", "txtArt"},
    {Keys::bdm, "lblDbh", "txtDbh"},
    {Keys::plantcost, "lblPlantkostnad", "txtPlantkostnad"},
    {Keys::rant, "lblRant", "txtRant"},
    {Keys::harvpr, "lblHarvpr", "txtHarvpr"},
    {Keys::site, "lblSite", "txtSite"},
    {Keys::plant, "lblPlant", "txtPlant"},
    {Keys::mt, "lblTallpris", "txtTallpris"},
    {Keys::mg, "lblGranpris", "txtGranpris"},
    {Keys::mb, "lblBjorkpris", "txtBjorkpris"},
    {Keys::bkv, "lblBkv", "txtBkv"},
    {Keys::akv, "lblAkv", "txtAkv"},
    {Keys::tkv, "lblTkv", "txtTkv"},
};

const struct {
    int column;
    const char *name;
} summaryHeadings[] = {
    {2, "lblMassapris"},
    {3, "lblKvalitet"},
};

// Widths of the grid's columns in twips, column 0 (the years) first.
const int columnWidths[] = {500,  1000, 1000, 1000, 1000, 1000, 1000, 1000, 1200,
                            1200, 1200, 1200, 1200, 1200, 1400, 1200, 1200, 1200};
const int resultCols = int(std::size(columnWidths));
const int whatIfRows = 5;
const int headerHeight = 500; // twips

// One thread of its own for saving reports, kept for the whole run: a list of trees being
// valued on every core must not hold up the report of the tree the user waits for.
QThreadPool &reportSaver() {
    static QThreadPool pool;
    static const bool configured = [] {
        pool.setMaxThreadCount(1);
        pool.setExpiryTimeout(-1);
        return true;
    }();
    Q_UNUSED(configured);
    return pool;
}

} // namespace

ResultWindow::ResultWindow(WindowHub &hub, const HomeDirectory &home, QWidget *parent)
    : WorkWindow(parent), m_hub(hub), m_controlFile(home), m_engine(home) {
    setObjectName(QStringLiteral("forResultat"));

    auto *frame = new QGroupBox(QStringLiteral("Resultat"), this);
    frame->setObjectName(QStringLiteral("frmResult1"));
    GroupFrameStyle::applyTo(frame);

    // The parameter summary: label, box and unit in each of four columns.
    auto *summary = new QGridLayout;
    summary->setHorizontalSpacing(6);
    summary->setVerticalSpacing(4);
    const int boxWidth = fontMetrics().horizontalAdvance(QStringLiteral("00000.00")) + 14;
    for (const auto &h : summaryHeadings) {
        auto *l = new QLabel(InputSummary::heading(h.column), frame);
        l->setObjectName(QLatin1String(h.name));
        QFont bold = l->font();
        bold.setBold(true);
        l->setFont(bold);
        summary->addWidget(l, 0, h.column * 4, 1, 3);
    }
    for (const InputSummary::Line &s : InputSummary::lines()) {
        const auto *names = std::find_if(std::begin(summaryNames), std::end(summaryNames),
                                         [&](const auto &n) { return n.key == s.key; });
        auto *l = new QLabel(s.label.toString(), frame);
        l->setObjectName(QLatin1String(names->labelName));
        auto *box = new QLineEdit(frame);
        box->setObjectName(QLatin1String(names->boxName));
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setFixedWidth(boxWidth);
        // The log qualities are single digits, shown in the middle of their boxes.
        box->setAlignment(s.column == 3 ? Qt::AlignCenter : Qt::AlignRight);
        l->setBuddy(box);
        const int c = s.column * 4;
        summary->addWidget(l, s.line, c);
        summary->addWidget(box, s.line, c + 1);
        if (const QString unitText = InputSummary::unit(s); !unitText.isEmpty()) {
            auto *unit = new QLabel(unitText, frame);
            unit->setObjectName(QStringLiteral("lblUnit") +
                                QString::fromLatin1(names->boxName + 3));
            summary->addWidget(unit, s.line, c + 2);
        }
        m_summaryBoxes.insert(s.key.toString(), box);
    }
    for (int column = 0; column < 4; ++column) {
        summary->setColumnMinimumWidth(column * 4 + 2, fontMetrics().horizontalAdvance(u'%') + 8);
        if (column < 3)
            summary->setColumnMinimumWidth(column * 4 + 3, 28);
    }
    summary->setColumnStretch(4 * 4 - 1, 1);

    // The result grid in its own untitled frame.
    auto *gridFrame = new QGroupBox(frame);
    gridFrame->setObjectName(QStringLiteral("frmResult2"));
    GroupFrameStyle::applyTo(gridFrame);
    m_model = new ResultModel(this);
    flgResult = new ResultGrid(gridFrame);
    flgResult->setObjectName(QStringLiteral("flgResult"));
    flgResult->setResultModel(m_model);
    auto *gridBox = new QVBoxLayout(gridFrame);
    gridBox->setContentsMargins(3, 3, 3, 3);
    gridBox->addWidget(flgResult);
    flgResult->viewport()->installEventFilter(this);

    // The advice in words above the grid.
    lblSlutsats = new QLabel(frame);
    lblSlutsats->setObjectName(QStringLiteral("lblSlutsats"));
    lblSlutsats->setWordWrap(true);
    lblSlutsats->setTextFormat(Qt::PlainText);
    QFont verdictFont = lblSlutsats->font();
    verdictFont.setBold(true);
    lblSlutsats->setFont(verdictFont);
    // Room for two lines whatever the advice: a short one must not pull the grid up and a
    // longer one push it down again from one tree to the next.
    lblSlutsats->setMinimumHeight(2 * QFontMetrics(verdictFont).lineSpacing());

    // Below the grid the chart, which gives up height first, and the what-if table beside it.
    chtResultat = new ResultChart(m_model, frame);
    chtResultat->setObjectName(QStringLiteral("chtResultat"));
    chtResultat->setMinimumHeight(std::max(100, chtResultat->minimumSizeHint().height()));
    chtResultat->setToolTip(
        QStringLiteral("Netto och nuvärde i kr per träd (vänster axel), värdetillväxten och ditt "
                       "räntekrav i % per år (höger axel), för avverkning nu och om 10 till 110 "
                       "år. Punkten är det bästa året."));
    flgKanslighet = new QTableWidget(whatIfRows, 2, frame);
    flgKanslighet->setObjectName(QStringLiteral("flgKanslighet"));
    flgKanslighet->setHorizontalHeaderLabels(
        {QStringLiteral("Bästa år"), QStringLiteral("Nuvärde kr/träd")});
    flgKanslighet->setEditTriggers(QAbstractItemView::NoEditTriggers);
    flgKanslighet->setSelectionMode(QAbstractItemView::NoSelection);
    flgKanslighet->setFocusPolicy(Qt::NoFocus);
    flgKanslighet->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Rows as tight as their text allows: every one of them must be read without scrolling,
    // on a small screen too.
    flgKanslighet->verticalHeader()->setMinimumSectionSize(0);
    flgKanslighet->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    flgKanslighet->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContents);
    flgKanslighet->setToolTip(
        QStringLiteral("Samma träd beräknat med ändrat räntekrav eller ändrade priser"));
    auto *below = new QWidget(frame);
    auto *belowBox = new QHBoxLayout(below);
    belowBox->setContentsMargins(0, 0, 0, 0);
    belowBox->addWidget(chtResultat, 1);
    belowBox->addWidget(flgKanslighet, 0, Qt::AlignTop);

    m_split = new QSplitter(Qt::Vertical, frame);
    m_split->setObjectName(QStringLiteral("splResultat"));
    m_split->setChildrenCollapsible(false);
    m_split->addWidget(gridFrame);
    m_split->addWidget(below);
    m_split->setStretchFactor(0, 0);
    m_split->setStretchFactor(1, 1);

    btnAvbryt = button(frame, "btnAvbryt", QStringLiteral("Avbryt"));
    btnAterga = button(frame, "btnAterga", QStringLiteral("Återgå"));
    // What takes the result out of the program, left of the buttons that leave the window.
    m_export = new ResultExport(this, home,
                                {.grid = flgResult,
                                 .rowHeading = ResultModel::yearHeading(),
                                 .markedRowRole = ResultModel::BestYearRole,
                                 .sheet = &m_sheet});
    const struct {
        const char *name;
        const char *caption;
        void (ResultExport::*action)();
    } exportButtons[] = {
        {"btnKopiera", "&Kopiera", &ResultExport::copyAll},
        {"btnCsv", "Exportera &CSV...", &ResultExport::exportCsv},
        {"btnPdf", "Spara &PDF...", &ResultExport::savePdf},
        {"btnSkrivUt", "Skri&v ut...", &ResultExport::print},
        {"btnVisaRapport", "Visa &rapport", &ResultExport::showReport},
    };
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    for (const auto &e : exportButtons) {
        QPushButton *b = button(frame, e.name, QString::fromUtf8(e.caption));
        b->setMinimumWidth(0);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, m_export, e.action);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    buttons->addWidget(btnAvbryt);
    buttons->addWidget(btnAterga);
    buttons->addWidget(helpButton());

    auto *inner = new QVBoxLayout(frame);
    inner->setContentsMargins(4, 8, 4, 6);
    inner->setSpacing(10);
    inner->addLayout(summary);
    inner->addWidget(lblSlutsats);
    inner->addWidget(m_split, 1);
    inner->addLayout(buttons);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(frame);

    // Where the grid is not painted at all (a window kept off screen) the chart and the
    // what-if table still follow. One timer for every calculation: an earlier calculation's
    // must not bring the next one's forward, ahead of its grid.
    m_followUpTimer = new QTimer(this);
    m_followUpTimer->setSingleShot(true);
    m_followUpTimer->setInterval(100);
    connect(m_followUpTimer, &QTimer::timeout, this, &ResultWindow::showFollowUps);

    // Return takes the user back to the tree form for the next tree.
    setDefaultButton(btnAterga);
    connect(btnAvbryt, &QPushButton::clicked, this, &ResultWindow::returnToMenu);
    connect(btnAterga, &QPushButton::clicked, this, &ResultWindow::returnToTreeForm);
}

void ResultWindow::formLoad() {
    // The window is only ever loaded on the way to a calculation, which reads the price list
    // itself and says what is wrong with it: reading it here as well would only slow the first
    // calculation down.
    setUpGrid();
}

void ResultWindow::setUpGrid() {
    for (int c = 0; c < resultCols; ++c)
        flgResult->setColWidth(c, columnWidths[c]);
    flgResult->setRowHeight(0, headerHeight);
    fitHeaderHeight();
    fitWindowToGrid();
}

namespace {

// Lines a heading takes when its words are wrapped at spaces into `width` pixels, and whether
// every word fits on a line of its own. Worked out from the widths of the words alone: laying
// out seventeen wrapped texts, in several font sizes, would cost more than showing the window.
struct Wrapped {
    int lines = 1;
    bool wordsFit = true;
};

// A word's width as the sum of its letters' advances: no text shaping for each heading, and
// rounded up once, since drawn letters only come closer through kerning.
qreal wordWidth(const QFontMetricsF &metrics, const QString &word) {
    qreal width = 0;
    for (const QChar c : word)
        width += metrics.horizontalAdvance(c);
    return width;
}

Wrapped wrapHeading(const QFontMetricsF &metrics, const QString &heading, int width) {
    Wrapped w;
    const qreal space = metrics.horizontalAdvance(QChar(u' '));
    qreal used = 0;
    int spaces = 0;
    for (const QString &word : heading.split(u' ')) {
        if (word.isEmpty()) {
            ++spaces;
            continue;
        }
        const qreal advance = std::ceil(wordWidth(metrics, word));
        w.wordsFit = w.wordsFit && advance <= width;
        if (used > 0 && used + (spaces + 1) * space + advance > width) {
            ++w.lines;
            used = advance;
        } else {
            used += (used > 0 ? (spaces + 1) * space : 0) + advance;
        }
        spaces = 0;
    }
    return w;
}

} // namespace

void ResultWindow::fitHeaderHeight() {
    // The header row is 500 twips, two lines of the small font the grid was drawn for. With a
    // larger screen font a heading such as "Avverknings-" is wider than its column and the
    // wrapped headings need a third line: the headings get a slightly smaller font where a
    // word would be cut, and the row grows rather than clip a line.
    QHeaderView *header = flgResult->horizontalHeader();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    auto linesFor = [&](const QFont &font, bool *wordsFit) {
        const QFontMetricsF metrics(font);
        int lines = 1;
        *wordsFit = true;
        for (int c = 1; c < resultCols; ++c) {
            const int width = flgResult->twipsToPixels(columnWidths[c]) - 2 * margin;
            const Wrapped w = wrapHeading(metrics, ResultModel::columnHeading(c - 1), width);
            lines = qMax(lines, w.lines);
            *wordsFit = *wordsFit && w.wordsFit;
        }
        return lines;
    };
    QFont font = header->font();
    const qreal smallest = font.pointSizeF() - 1.5;
    bool wordsFit = false;
    int lines = linesFor(font, &wordsFit);
    while (font.pointSizeF() > 0 && !wordsFit && font.pointSizeF() - 0.5 >= smallest) {
        font.setPointSizeF(font.pointSizeF() - 0.5);
        lines = linesFor(font, &wordsFit);
    }
    header->setFont(font);

    // The height of that many lines as the header lays them out, from one short text.
    const QString rows = QString(lines - 1, u'\n').prepend(u'X');
    const int needed =
        QFontMetrics(font).boundingRect(QRect(0, 0, 1000, 1000), Qt::AlignCenter, rows).height() +
        2 * margin;
    if (needed > flgResult->twipsToPixels(headerHeight))
        header->setFixedHeight(needed);
}

void ResultWindow::fitWindowToGrid() {
    // Open with the whole table in view where the screen allows it. On a small screen the window
    // keeps to the screen: the grid scrolls and the chart gives up height, down to the height of
    // the what-if table beside it, whose rows are all read.
    const QScreen *s = screen();
    compactFor(s ? s->availableSize().height() : 0);
    const QSize table = flgResult->fullTableSize();
    const QSize missing = (table - flgResult->sizeHint()).expandedTo(QSize(0, 0));
    QSize size = sizeHint() + missing;
    const int gridHeight = flgResult->parentWidget()->sizeHint().height() + missing.height();
    // The headings and six harvest years at least, the horizontal scroll bar below them.
    const int sixYears = flgResult->horizontalHeader()->height() +
                         6 * flgResult->verticalHeader()->defaultSectionSize() +
                         style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                         2 * flgResult->frameWidth();
    flgResult->setMinimumHeight(qMin(table.height(), sixYears));
    flgKanslighet->setMinimumHeight(flgKanslighet->sizeHint().height());
    if (s)
        size = size.boundedTo(s->availableSize());
    resize(size);
    m_split->setSizes({gridHeight, chtResultat->sizeHint().height()});
}

void ResultWindow::compactFor(int screenHeight) {
    // On a short screen (a laptop at 125 or 150 %) every line of height goes to the grid, the
    // chart and the what-if table rather than to the space between them.
    const bool compact = screenHeight > 0 && screenHeight < 700;
    auto *frame = findChild<QGroupBox *>(QStringLiteral("frmResult1"));
    if (auto *inner = qobject_cast<QVBoxLayout *>(frame->layout())) {
        inner->setSpacing(compact ? 3 : 10);
        inner->setContentsMargins(4, compact ? 1 : 8, 4, compact ? 1 : 6);
    }
    if (auto *summary = qobject_cast<QGridLayout *>(frame->layout()->itemAt(0)->layout()))
        summary->setVerticalSpacing(compact ? 1 : 4);
    // The summary's boxes and the what-if rows as tight as their text allows.
    const int tight = fontMetrics().height() + 4;
    for (QLineEdit *box : std::as_const(m_summaryBoxes)) {
        box->setMinimumHeight(compact ? tight : 0);
        box->setMaximumHeight(compact ? tight : QWIDGETSIZE_MAX);
    }
    flgKanslighet->verticalHeader()->setDefaultSectionSize(compact ? tight - 2 : tight + 1);
    m_split->setHandleWidth(compact ? 2 : -1);
    if (QLayout *gridBox = flgResult->parentWidget()->layout())
        gridBox->setContentsMargins(compact ? 1 : 3, compact ? 1 : 3, compact ? 1 : 3,
                                    compact ? 1 : 3);
    layout()->setContentsMargins(compact ? 2 : 4, compact ? 2 : 4, compact ? 2 : 4,
                                 compact ? 2 : 4);
}

namespace {

// Most parameters stay the same from one tree to the next: a box that already shows its value
// is left alone rather than laid out and drawn anew.
void showInBox(QLineEdit *box, const QString &text) {
    if (box->text() != text)
        box->setText(text);
}

} // namespace

Outcome ResultWindow::showInputSummary() {
    const Outcome read = m_sheet.summary.readOver(m_controlFile, localeDecimalSeparator());
    showSummary();
    return read;
}

void ResultWindow::showSummary() {
    for (auto box = m_summaryBoxes.cbegin(); box != m_summaryBoxes.cend(); ++box)
        showInBox(box.value(), m_sheet.summary.text(box.key()));
}

void ResultWindow::calculateAndSave() {
    // The summary is read first, then the files the calculation needs. A calculation that could
    // not start shows no rows: an earlier tree's must not stand beside the parameters now shown.
    ShownCalculation shown =
        calculateSheet(m_engine, m_controlFile, m_sheet.summary, localeDecimalSeparator());
    // Saving the report safely waits for the disk: it is done on another thread while the
    // window shows the result, and the message waits for it.
    QFuture<Outcome> saved;
    if (shown.report)
        saved = QtConcurrent::run(
            &reportSaver(), [this, bytes = *shown.report] { return m_engine.saveReport(bytes); });
    m_sheet = std::move(shown.sheet);
    showSummary();
    m_model->setValuation(m_sheet.valuation, m_sheet.decimalSeparator);
    lblSlutsats->setText(m_sheet.verdict);
    // The grid and the verdict are what the user waits for. The chart (costly to lay out and
    // paint) and the what-if table (five more valuations) follow once the grid is on screen,
    // or shortly after where it is not painted at all.
    if (!m_followUpPending) {
        m_followUpPending = true;
        chtResultat->waitForRedraw();
        m_followUpTimer->start();
    }
    showWindow();
    showBestYear();
    Outcome outcome = shown.outcome;
    if (shown.report)
        outcome = TreeCalculation::withSaveOutcome(outcome, saved.result());
    m_export->reportChanged();
    if (!outcome)
        showKvistelMessage(this, outcome.message());
}

bool ResultWindow::eventFilter(QObject *watched, QEvent *event) {
    if (m_followUpPending && event->type() == QEvent::Paint)
        QMetaObject::invokeMethod(this, &ResultWindow::showFollowUps, Qt::QueuedConnection);
    return WorkWindow::eventFilter(watched, event);
}

void ResultWindow::showFollowUps() {
    if (!m_followUpPending)
        return;
    m_followUpPending = false;
    m_followUpTimer->stop();
    chtResultat->redraw();
    showBestYear(); // again, now that the window has its final size
    m_sheet.valueWhatIfs();
    showWhatIfs(m_sheet.whatIfs);
}

void ResultWindow::showBestYear() {
    // The best year in view, whole, however few rows the screen leaves the grid.
    if (const int best = m_model->bestRow(); best >= 0)
        flgResult->scrollTo(m_model->index(best, 0), QAbstractItemView::EnsureVisible);
}

void ResultWindow::showWhatIfs(const QList<WhatIf> &all) {
    for (int r = 0; r < whatIfRows; ++r) {
        const WhatIf w = all.value(r);
        auto cell = [&](int c, const QString &text) {
            auto *item = new QTableWidgetItem(text);
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            flgKanslighet->setItem(r, c, item);
        };
        flgKanslighet->setVerticalHeaderItem(r, new QTableWidgetItem(w.change));
        if (!w.valued) {
            cell(0, w.change.isEmpty() ? QString() : QStringLiteral("–"));
            cell(1, QString());
            continue;
        }
        cell(0,
             w.bestYears == 0 ? QStringLiteral("nu") : QStringLiteral("om %1 år").arg(w.bestYears));
        cell(1, formatNumber(w.bestValue, u"#0"));
    }
}

void ResultWindow::returnToMenu() {
    hide();
    m_hub.open(WindowHub::Window::MainMenu);
}

void ResultWindow::returnToTreeForm() {
    hide();
    m_hub.open(WindowHub::Window::TreeParameters);
}

void ResultWindow::closeBox() {
    returnToMenu();
}
