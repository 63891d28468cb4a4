// A whole calculation on a fuzzed control file and a fuzzed price list (the input split at a
// separator line). It either shows twelve rows of real numbers with a complete report, or stops
// with one message, leaves no row of an earlier tree and no half-truth in the grid, and never
// shows "NaN" or "Inf" as if it were a value of the tree.

#include "core/engine/resultrow.h"
#include "core/engine/treevaluation.h"
#include "core/files/pricelistfile.h"
#include "core/files/textfile.h"
#include "core/parameters/treeinputs.h"
#include "core/results/treecalculation.h"
#include "fuzzsupport.h"

#include <QLocale>
#include <QRegularExpression>

#include <limits>

namespace {

const QByteArray separator = "\n==PRISLISTA==\n";
const QByteArray earlierReport = "Rapport från en tidigare beräkning\r\n";
const QByteArray trailer = " -----------------------------------------------------\r\n"
                           "\r\n\r\n\r\n\r\n";

constexpr int firstRow = 1, lastRow = 12, firstCol = 1, lastCol = 17;

bool isFormattedNumber(const QString &text, QChar decimalSeparator) {
    static const QRegularExpression point(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    static const QRegularExpression comma(QStringLiteral("^-?[0-9]+(,[0-9]+)?$"));
    return (decimalSeparator == u',' ? comma : point).match(text).hasMatch();
}

// The text the result grid shows in row `r`, column `c` for a valuation: empty in a row the
// valuation did not reach.
QString cellText(const TreeValuation &shown, int r, int c, QChar decimalSeparator) {
    if (r - firstRow >= shown.yearsValued)
        return {};
    return resultText(shown.rows[std::size_t(r - firstRow)], c - firstCol, decimalSeparator);
}

enum class RowState { Numbers, Empty, Mixed };

RowState rowState(const TreeValuation &shown, int r, QChar decimalSeparator) {
    int numbers = 0, empty = 0;
    for (int c = firstCol; c <= lastCol; ++c) {
        const QString text = cellText(shown, r, c, decimalSeparator);
        // Harvest now has no growth rate and no present value: those two cells stay blank.
        if (r == firstRow && c <= 2 && text == u" ")
            ++numbers;
        else if (isFormattedNumber(text, decimalSeparator))
            ++numbers;
        else if (text.isEmpty())
            ++empty;
    }
    if (numbers == lastCol)
        return RowState::Numbers;
    return empty == lastCol ? RowState::Empty : RowState::Mixed;
}

QString describeRow(const TreeValuation &shown, int r, QChar decimalSeparator) {
    QStringList cells;
    for (int c = firstCol; c <= lastCol; ++c)
        cells << cellText(shown, r, c, decimalSeparator);
    return QStringLiteral("row %1: [%2]").arg(r).arg(cells.join(u'|'));
}

// "NaN", "Inf", "-inf", "infinity" as words of their own, as a number formatter or the C
// library would write them ("innan" is a Swedish word, not a number).
bool mentionsNonFinite(const QString &text) {
    static const QRegularExpression word(QStringLiteral("\\b(nan|inf|infinity)\\b"),
                                         QRegularExpression::CaseInsensitiveOption |
                                             QRegularExpression::UseUnicodePropertiesOption);
    return word.match(text).hasMatch();
}

void calculateAndCheck(TreeCalculation &engine, const HomeDirectory &home,
                       const QByteArray &input) {
    const QString reportPath = home.report();
    writeFileOrDie(reportPath, earlierReport);
    // An earlier tree's rows with no number in them: a row of it left standing shows blanks
    // where numbers belong, which no row of a calculation does.
    TreeValuation shown;
    shown.yearsValued = harvestYearCount;
    for (HarvestYear &year : shown.rows)
        year.values.fill(std::numeric_limits<double>::quiet_NaN());

    const QChar sep = QLocale().decimalPoint().at(0);
    const Expected<TreeInputs> read = loadTreeInputs(home, engine.inputs());
    const bool readable = read.ok();
    const TreeInputs inputs = readable ? *read : engine.inputs();
    const QString message = engine.calculateAndSave(shown).message();
    const QByteArray report = readFileOrEmpty(reportPath);
    // Texts of the input (a species named "Inf") may turn up in the report as they stand.
    const bool inputNamesNonFinite = mentionsNonFinite(decodeCp1252(input));

    if (message.isEmpty()) {
        for (int r = firstRow; r <= lastRow; ++r)
            FUZZ_CHECK(rowState(shown, r, sep) == RowState::Numbers, describeRow(shown, r, sep));
        FUZZ_CHECK(report.endsWith(trailer), QStringLiteral("the report has no trailer"));
        FUZZ_CHECK(
            report.count("AVVERKNING OM ") == 12,
            QStringLiteral("the report has %1 harvest years").arg(report.count("AVVERKNING OM ")));
        FUZZ_CHECK(!report.contains("avbröts"), QStringLiteral("a complete run says it stopped"));
    } else {
        FUZZ_CHECK(!message.trimmed().isEmpty(), QStringLiteral("blank message"));
        if (!inputNamesNonFinite)
            FUZZ_CHECK(!mentionsNonFinite(QString(message).remove(home.path())), message);
        // The rows that were reached show their numbers, the others are empty; nothing of the
        // earlier tree remains.
        bool emptySeen = false;
        for (int r = firstRow; r <= lastRow; ++r) {
            const RowState state = rowState(shown, r, sep);
            FUZZ_CHECK(state != RowState::Mixed, describeRow(shown, r, sep) + u' ' + message);
            FUZZ_CHECK(!(emptySeen && state == RowState::Numbers),
                       describeRow(shown, r, sep) + u' ' + message);
            emptySeen = emptySeen || state == RowState::Empty;
        }
        FUZZ_CHECK(emptySeen, QStringLiteral("a stopped run shows twelve rows: ") + message);
        // Either the run never began and the earlier report is untouched, or the report says
        // that it stopped.
        FUZZ_CHECK(report == earlierReport ||
                       (report.contains(encodeCp1252(QStringLiteral("Beräkningen avbröts: "))) &&
                        !report.endsWith(trailer)),
                   QStringLiteral("report after \"%1\" is neither the earlier nor a stopped one")
                       .arg(message));
    }
    if (!inputNamesNonFinite)
        FUZZ_CHECK(!mentionsNonFinite(QString(decodeCp1252(report)).remove(home.path())),
                   QStringLiteral("NaN or Inf in the report"));

    // The valuation alone, without a report, shows the same rows and stops for the same reason.
    if (readable && report != earlierReport) {
        const TreeValuation alone = valueTree(inputs, engine.prices());
        FUZZ_CHECK(alone.complete() == message.isEmpty(), message);
        FUZZ_CHECK(alone.complete() || message.contains(alone.stop.message()), message);
        for (int r = 0; r < alone.yearsValued; ++r)
            for (int c = firstCol; c <= lastCol; ++c)
                FUZZ_CHECK(resultText(alone.rows[std::size_t(r)], c - firstCol, sep) ==
                               cellText(shown, r + 1, c, sep),
                           describeRow(shown, r + 1, sep));
        FUZZ_CHECK(alone.yearsValued == lastRow ||
                       rowState(shown, alone.yearsValued + 1, sep) == RowState::Empty,
                   describeRow(shown, alone.yearsValued + 1, sep));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype at = input.indexOf(separator);
    const QByteArray controlFile = at < 0 ? input : input.left(at);
    const QByteArray priceList = at < 0 ? QByteArray() : input.mid(at + separator.size());

    const HomeDirectory home(fuzzHome());
    writeFileOrDie(home.controlFile(), controlFile);
    writeFileOrDie(home.priceList(), priceList);

    // Half the inputs run with a Swedish decimal comma.
    QLocale::setDefault(inputHash(data, size) & 1 ? QLocale(QLocale::Swedish, QLocale::Sweden)
                                                  : QLocale::c());

    // The result window keeps one engine for the whole program run: a second calculation
    // starts from the state that the first one left.
    TreeCalculation engine(home);
    (void)engine.loadPrices();
    calculateAndCheck(engine, home, input);
    calculateAndCheck(engine, home, input);
    return 0;
}
