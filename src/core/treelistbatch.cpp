#include "treelistbatch.h"

#include "numberformat.h"
#include "resultrow.h"
#include "treelistcsv.h"

#include <QIODevice>
#include <QtConcurrent/QtConcurrentMap>

namespace {

// Enough lines to keep both cores busy between the reads and writes of one thread.
constexpr int chunkLines = 4096;

struct ValuedLine {
    QString text; // the output lines of the tree, CR LF ended
    bool faulty = false;
    HarvestPlan plan; // the tree alone, when the list is planned
};

QStringList fullHeadings() {
    QStringList h{QStringLiteral("id"), QStringLiteral("år")};
    for (int c = 0; c < resultColumnCount; ++c)
        h << resultHeading(c);
    h << summaryHeading(Fel);
    return h;
}

QStringList planHeadings() {
    return {QStringLiteral("år"), QStringLiteral("träd"), QStringLiteral("volym m3"),
            QStringLiteral("netto kr"), QStringLiteral("nuvärde kr")};
}

QStringList planCells(const QString &first, const PlanYear &y, QChar mark) {
    return {first, QString::number(y.trees), formatNumber(y.volume, u"#0.00", mark),
            formatNumber(y.netValue, u"#0", mark), formatNumber(y.presentValue, u"#0", mark)};
}

void writePlan(CsvWriter &writer, const HarvestPlan &plan, QChar mark) {
    for (const PlanYear &y : plan.yearsWithTrees())
        writer.writeLine(planCells(QString::number(y.years), y, mark));
    writer.writeLine(planCells(QStringLiteral("totalt"), plan.total(), mark));
    writer.writeLine({planComparison(plan)});
}

} // namespace

Outcome valueTreeListFile(TreeListBatch &batch, const TreeListHome &home, QIODevice &out) {
    TreeListReader reader;
    if (const Outcome opened = reader.open(batch.input); !opened)
        return opened;

    QList<TreeListLine> lines;
    reader.read(chunkLines, lines);
    const CsvDialect dialect = reader.dialect();
    CsvWriter writer(out, dialect);
    if (batch.plan) {
        writer.writeLine(planHeadings());
    } else if (batch.full) {
        writer.writeLine(fullHeadings());
    } else {
        QStringList h = reader.headings();
        for (int c = 0; c < summaryColumnCount; ++c)
            h << summaryHeading(c);
        writer.writeLine(h);
    }

    const bool full = batch.full && !batch.plan;
    const bool plan = batch.plan;
    auto value = [&home, &dialect, full, plan](const TreeListLine &line) {
        ValuedLine v;
        const QChar mark = dialect.decimalMark;
        TreeValuation valuation;
        TreeSummary summary;
        if (!line.fault.isEmpty())
            summary.fault = line.fault;
        else
            summary = valueTreeRow(home.base, line.tree, home.prices, full ? &valuation : nullptr);
        v.faulty = !summary.valued();
        if (plan) {
            v.plan.add(line.tree.id, summary);
            return v;
        }
        QStringList cells;
        auto endLine = [&] {
            v.text += joinCsvLine(cells, dialect.separator);
            v.text += QStringLiteral("\r\n");
            cells.clear();
        };
        if (!full) {
            cells = line.cells;
            for (int c = 0; c < summaryColumnCount; ++c)
                cells << summaryText(summary, c, mark);
            endLine();
            return v;
        }
        for (int r = 0; r < valuation.yearsValued; ++r) {
            const HarvestYear &year = valuation.rows[std::size_t(r)];
            cells << line.tree.id << QString::number(year.years);
            for (int c = 0; c < resultColumnCount; ++c)
                cells << harvestYearText(year, c, mark);
            cells << QString();
            endLine();
        }
        if (v.faulty) {
            cells << line.tree.id << QString();
            for (int c = 0; c < resultColumnCount; ++c)
                cells << QString();
            cells << summary.fault;
            endLine();
        }
        return v;
    };

    // The next chunk is read while the cores value this one.
    HarvestPlan standPlan;
    QFuture<ValuedLine> valuing = QtConcurrent::mapped(lines, value);
    for (;;) {
        const qsizetype count = lines.size();
        const bool more = reader.read(chunkLines, lines);
        for (const ValuedLine &v : valuing.results()) {
            writer.writeText(v.text);
            if (plan)
                standPlan.add(v.plan);
            batch.faulty += v.faulty ? 1 : 0;
        }
        batch.trees += int(count);
        if (!writer.flush())
            return Outcome::failure(QStringLiteral("Resultatet kunde inte skrivas, eftersom "
                                                   "katalogen inte går att skriva i eller "
                                                   "disken är full."));
        if (!more)
            break;
        valuing = QtConcurrent::mapped(lines, value);
    }
    if (const Outcome read = reader.status(); !read || !plan)
        return read;
    writePlan(writer, standPlan, dialect.decimalMark);
    if (!writer.flush())
        return Outcome::failure(QStringLiteral("Resultatet kunde inte skrivas, eftersom "
                                               "katalogen inte går att skriva i eller "
                                               "disken är full."));
    return {};
}
