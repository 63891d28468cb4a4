#include "core/treelist/harvestentries.h"

#include "core/files/numberformat.h"
#include "core/treelist/harvestplan.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>

namespace {

constexpr unsigned allRows = (1u << harvestYearCount) - 1;

int rowCount(unsigned mask) {
    return std::popcount(mask);
}

// The share of a cost paid `years` from now that it is worth today, as the valuation discounts.
double discount(int years, double rate) {
    return 1 / std::exp(years * std::log(1 + rate));
}

// Whether `volume` reaches `least`, forgiving the last bits that sums in another order differ by.
bool reaches(double volume, double least) {
    return volume >= least - 1e-9 * std::max(1.0, least);
}

void addTo(HarvestEntry &e, const TreeYears &tree, int row) {
    const std::size_t r = std::size_t(row);
    ++e.trees;
    e.volume += tree.volume[r];
    e.netValue += tree.netValue[r];
    e.presentValue += tree.presentValue[r];
}

const char16_t *const numberWords[] = {u"Ingen", u"En",   u"Två", u"Tre", u"Fyra", u"Fem", u"Sex",
                                       u"Sju",   u"Åtta", u"Nio", u"Tio", u"Elva", u"Tolv"};

// "nu", "om 30 år", "nu och om 30 år", "nu, om 30 och 60 år", "om 20, 40 och 70 år".
QString whenText(const QList<int> &years) {
    QStringList later;
    bool now = false;
    for (const int y : years) {
        if (y == 0)
            now = true;
        else
            later << QString::number(y);
    }
    QString laterText;
    if (!later.isEmpty()) {
        const QString last = later.takeLast();
        laterText = QStringLiteral("om %1 år")
                        .arg(later.isEmpty() ? last
                                             : later.join(QStringLiteral(", ")) +
                                                   QStringLiteral(" och ") + last);
    }
    if (!now)
        return laterText;
    if (laterText.isEmpty())
        return QStringLiteral("nu");
    return (years.size() == 2 ? QStringLiteral("nu och ") : QStringLiteral("nu, ")) + laterText;
}

} // namespace

std::optional<TreeMark> treeMarkNamed(QStringView text) {
    // Most trees carry no mark: read without a copy of the text.
    if (text.trimmed().isEmpty())
        return TreeMark::None;
    const QString t = text.trimmed().toString().toLower();
    if (t == u"lämnas")
        return TreeMark::Leave;
    if (t == u"avverkas")
        return TreeMark::Cut;
    return std::nullopt;
}

QString treeMarkText(TreeMark mark) {
    switch (mark) {
    case TreeMark::Leave:
        return QStringLiteral("lämnas");
    case TreeMark::Cut:
        return QStringLiteral("avverkas");
    case TreeMark::None:
        break;
    }
    return {};
}

int TreeYears::bestRow() const {
    return bestRowAmong(allRows);
}

int TreeYears::bestRowAmong(unsigned rowMask) const {
    int best = -1;
    for (int r = 0; r < harvestYearCount; ++r)
        if ((rowMask >> r & 1u) &&
            (best < 0 || presentValue[std::size_t(r)] > presentValue[std::size_t(best)]))
            best = r;
    return best;
}

int EntryPlan::entryYearsOf(const TreeYears &tree, TreeMark mark) const {
    if (mark == TreeMark::Leave || !possible)
        return -1;
    if (mark == TreeMark::Cut)
        return 0;
    const int row = tree.bestRowAmong(yearMask);
    return row < 0 ? -1 : 10 * row;
}

HarvestEntry EntryPlan::total() const {
    HarvestEntry t;
    for (const HarvestEntry &e : entries) {
        t.trees += e.trees;
        t.markedTrees += e.markedTrees;
        t.volume += e.volume;
        t.netValue += e.netValue;
        t.presentValue += e.presentValue;
        t.cost += e.cost;
        t.costPresent += e.costPresent;
    }
    return t;
}

EntryPlanner::EntryPlanner() : m_table(std::size_t(quantityCount) * harvestYearCount * masks, 0.0) {
    for (int r = 0; r < harvestYearCount; ++r)
        m_best[std::size_t(r)].years = 10 * r;
}

void EntryPlanner::add(const TreeYears &tree, TreeMark mark) {
    if (mark == TreeMark::Leave) {
        ++m_left;
        addTo(m_leftNow, tree, 0);
        return;
    }
    m_allNow += tree.presentValue[0];
    if (mark == TreeMark::Cut) {
        addTo(m_forced, tree, 0);
        ++m_forced.markedTrees;
        return;
    }
    addTo(m_best[std::size_t(tree.bestRow())], tree, tree.bestRow());
    // For each year, the years the tree would rather be cut in: in any set of entries the tree
    // goes to the year of the set that no year of the set beats.
    for (int y = 0; y < harvestYearCount; ++y) {
        const double value = tree.presentValue[std::size_t(y)];
        unsigned better = 0;
        for (int z = 0; z < harvestYearCount; ++z) {
            const double other = tree.presentValue[std::size_t(z)];
            if (other > value || (other == value && z < y))
                better |= 1u << z;
        }
        const std::size_t r = std::size_t(y);
        cell(Count, y, better) += 1;
        cell(Volume, y, better) += tree.volume[r];
        cell(Net, y, better) += tree.netValue[r];
        cell(Present, y, better) += value;
    }
}

void EntryPlanner::add(const EntryPlanner &other) {
    for (std::size_t i = 0; i < m_table.size(); ++i)
        m_table[i] += other.m_table[i];
    for (std::size_t r = 0; r < m_best.size(); ++r) {
        HarvestEntry &e = m_best[r];
        const HarvestEntry &o = other.m_best[r];
        e.trees += o.trees;
        e.volume += o.volume;
        e.netValue += o.netValue;
        e.presentValue += o.presentValue;
    }
    m_forced.trees += other.m_forced.trees;
    m_forced.markedTrees += other.m_forced.markedTrees;
    m_forced.volume += other.m_forced.volume;
    m_forced.netValue += other.m_forced.netValue;
    m_forced.presentValue += other.m_forced.presentValue;
    m_leftNow.trees += other.m_leftNow.trees;
    m_leftNow.volume += other.m_leftNow.volume;
    m_leftNow.netValue += other.m_leftNow.netValue;
    m_leftNow.presentValue += other.m_leftNow.presentValue;
    m_allNow += other.m_allNow;
    m_left += other.m_left;
}

EntryPlan EntryPlanner::plan(const EntrySettings &settings) const {
    EntryPlan plan;
    plan.leftTrees = m_left;
    plan.forcedTrees = m_forced.trees;
    plan.markedCut = m_forced;
    plan.markedLeft = m_leftNow;
    plan.allNowValue = m_allNow;
    unsigned bestYears = 0;
    plan.treeByTreeValue = 0;
    for (int r = 0; r < harvestYearCount; ++r) {
        const HarvestEntry &e = m_best[std::size_t(r)];
        if (e.trees > 0)
            bestYears |= 1u << r;
        plan.treeByTreeValue += e.presentValue;
    }
    plan.treeByTreeValue += m_forced.presentValue;
    const unsigned required = m_forced.trees > 0 ? 1u : 0u;
    plan.treeByTreeHarvests = rowCount(bestYears | required);
    if ((bestYears | required) == 0)
        return plan; // nothing to cut

    // Every tree summed over the sets of years it prefers: sums[q][row][M] holds the trees whose
    // preferred years all lie in M, so that the trees a set S gives to `row` are those of M = not
    // S.
    std::vector<double> sums = m_table;
    for (int row = 0; row < harvestYearCount; ++row) {
        double *f = sums.data() + at(0, row, 0);
        for (int b = 0; b < harvestYearCount; ++b)
            for (unsigned m = 0; m < unsigned(masks); ++m)
                if (m >> b & 1u)
                    for (std::size_t q = 0; q < std::size_t(quantityCount); ++q)
                        f[m * quantityCount + q] += f[(m ^ (1u << b)) * quantityCount + q];
    }
    auto sum = [&sums](int q, int row, unsigned set) { return sums[at(q, row, allRows & ~set)]; };
    const double rate = settings.rate;
    auto allowed = [&](unsigned set) {
        for (int r = 0; r < harvestYearCount; ++r) {
            if (!(set >> r & 1u))
                continue;
            if (r == 0 && m_forced.trees > 0)
                continue; // the owner's marks make this entry
            if (sum(Count, r, set) < 0.5 || !reaches(sum(Volume, r, set), settings.minVolume))
                return false;
        }
        return true;
    };
    auto value = [&](unsigned set) {
        double v = m_forced.presentValue;
        for (int r = 0; r < harvestYearCount; ++r)
            if (set >> r & 1u)
                v += sum(Present, r, set) - settings.costPerEntry * discount(10 * r, rate);
        return v;
    };

    unsigned candidates = allRows;
    int most = settings.maxEntries > 0 ? settings.maxEntries : harvestYearCount;
    if (!settings.years.isEmpty()) {
        candidates = required;
        for (const int y : settings.years)
            if (y >= 0 && y % 10 == 0 && y / 10 < harvestYearCount)
                candidates |= 1u << (y / 10);
        most = harvestYearCount;
    }
    std::optional<unsigned> chosen;
    if (settings.years.isEmpty() && settings.maxEntries <= 0 && settings.costPerEntry == 0 &&
        settings.minVolume <= 0) {
        // Every tree in its own best year: no set of years does better.
        chosen = bestYears | required;
    } else if (!settings.years.isEmpty() && allowed(candidates)) {
        chosen = candidates;
    } else {
        plan.namedYearsKept = settings.years.isEmpty();
        double best = 0;
        // Fewer entries first, then earlier years, so that a set only wins by a higher value.
        for (int size = 1; size <= most; ++size)
            for (unsigned set = 1; set <= allRows; ++set) {
                if (rowCount(set) != size || (set & ~candidates) || (set & required) != required ||
                    !allowed(set))
                    continue;
                const double v = value(set);
                if (!chosen || v > best + 1e-9 * std::max(1.0, std::abs(best))) {
                    chosen = set;
                    best = v;
                }
            }
    }
    if (!chosen) {
        plan.possible = false;
        return plan;
    }
    plan.yearMask = *chosen;
    // A set that holds every tree's own best year cuts each tree then: its figures are the
    // tree-by-tree plan's, summed in the order of the trees.
    const bool asTreeByTree = (plan.yearMask & bestYears) == bestYears;
    for (int r = 0; r < harvestYearCount; ++r) {
        if (!(plan.yearMask >> r & 1u))
            continue;
        HarvestEntry e;
        if (asTreeByTree) {
            e = m_best[std::size_t(r)];
        } else {
            e.trees = int(std::lround(sum(Count, r, plan.yearMask)));
            e.volume = sum(Volume, r, plan.yearMask);
            e.netValue = sum(Net, r, plan.yearMask);
            e.presentValue = sum(Present, r, plan.yearMask);
        }
        e.years = 10 * r;
        if (r == 0) {
            e.trees += m_forced.trees;
            e.markedTrees = m_forced.markedTrees;
            e.volume += m_forced.volume;
            e.netValue += m_forced.netValue;
            e.presentValue += m_forced.presentValue;
        }
        e.cost = settings.costPerEntry;
        e.costPresent = settings.costPerEntry * discount(e.years, rate);
        plan.entries << e;
        plan.cutTrees += e.trees;
        plan.presentValue += e.presentValue - e.costPresent;
    }
    return plan;
}

QList<QStringList> entryLines(const EntryPlan &plan, QChar mark) {
    auto cells = [mark](const QString &first, const HarvestEntry &e) {
        return QStringList{first,
                           QString::number(e.trees),
                           formatNumber(e.volume, u"#0.00", mark),
                           formatNumber(e.netValue, u"#0", mark),
                           formatNumber(e.cost, u"#0", mark),
                           formatNumber(e.presentValue - e.costPresent, u"#0", mark)};
    };
    QList<QStringList> lines{{QStringLiteral("år"), QStringLiteral("träd"),
                              QStringLiteral("volym m3"), QStringLiteral("netto kr"),
                              QStringLiteral("kostnad kr"), QStringLiteral("nuvärde kr")}};
    for (const HarvestEntry &e : plan.entries)
        lines << cells(QString::number(e.years), e);
    lines << cells(QStringLiteral("totalt"), plan.total());
    if (plan.markedCut.trees > 0 && plan.possible) {
        // Their share of the entry now, before its cost.
        lines << cells(markedCutHeading(), plan.markedCut);
        lines.last()[4].clear();
    }
    if (plan.markedLeft.trees > 0) {
        // Left out of the plan: what they hold now, with no cost or present value in it.
        lines << cells(markedLeftHeading(), plan.markedLeft);
        lines.last()[4].clear();
        lines.last()[5].clear();
    }
    return lines;
}

QString entryStatement(const EntryPlan &plan) {
    QStringList sentences;
    const QString byTree = groupedKronor(plan.treeByTreeValue);
    if (plan.treeByTreeHarvests == 0) {
        sentences << QStringLiteral("Inget träd att avverka.");
    } else if (!plan.possible) {
        sentences << QStringLiteral("Inget avverkningstillfälle når minsta volymen, så ingen "
                                    "avverkning planeras; trädvis avverkning hade gett %1 kr.")
                         .arg(byTree);
    } else {
        QList<int> years;
        double costs = 0;
        for (const HarvestEntry &e : plan.entries) {
            years << e.years;
            costs += e.costPresent;
        }
        const int n = int(plan.entries.size());
        const QString count = QString::fromUtf16(numberWords[std::min(n, 12)]);
        QString text =
            QStringLiteral("%1 %2, %3, ger nuvärdet %4 kr")
                .arg(count, n == 1 ? QStringLiteral("avverkning") : QStringLiteral("avverkningar"),
                     whenText(years), groupedKronor(plan.presentValue));
        if (costs != 0)
            text +=
                n == 1 ? QStringLiteral(" efter kostnaden") : QStringLiteral(" efter kostnaderna");
        const double grouping = plan.treeByTreeValue - plan.presentValue;
        text += QStringLiteral("; trädvis avverkning hade gett %1 kr").arg(byTree);
        if (costs != 0)
            text += n == 1 ? QStringLiteral(" utan den") : QStringLiteral(" utan dem");
        text +=
            QStringLiteral("; att samla avverkningarna kostar %1 kr").arg(groupedKronor(grouping));
        if (plan.treeByTreeValue > 0)
            text += QStringLiteral(" (%1 %)").arg(
                formatNumber(grouping / plan.treeByTreeValue * 100, u"#0", u'.'));
        sentences << text + u'.';
        sentences << QStringLiteral("Att avverka allt nu hade gett %1 kr.")
                         .arg(groupedKronor(plan.allNowValue));
        if (!plan.namedYearsKept)
            sentences << QStringLiteral("Alla angivna år kunde inte bli avverkningstillfällen, "
                                        "eftersom något av dem inte nådde minsta volymen.");
    }
    if (const QString marked = markedSentence(plan.leftTrees, plan.forcedTrees); !marked.isEmpty())
        sentences << marked;
    return sentences.join(u' ');
}

QString entryAssumption() {
    return QStringLiteral("Varje träd är värderat för sig och avverkas vid det "
                          "avverkningstillfälle där dess nuvärde är störst, som om grannarna inte "
                          "påverkade dess tillväxt. Nuvärdena och kostnaderna är räknade med "
                          "räntekravet i trad.sty.");
}

QString entrySettingsText(const EntrySettings &settings, QChar mark) {
    QString entries;
    if (!settings.years.isEmpty()) {
        QStringList years;
        for (const int y : settings.years)
            years << QString::number(y);
        entries =
            QStringLiteral("Avverkningstillfällen år %1").arg(years.join(QStringLiteral(", ")));
    } else if (settings.maxEntries > 0) {
        entries = QStringLiteral("Högst %1 %2")
                      .arg(settings.maxEntries)
                      .arg(settings.maxEntries == 1 ? QStringLiteral("avverkningstillfälle")
                                                    : QStringLiteral("avverkningstillfällen"));
    } else {
        entries = QStringLiteral("Avverkningstillfällen utan begränsning");
    }
    return QStringLiteral("%1; kostnad per avverkningstillfälle %2 kr; minsta volym per "
                          "tillfälle %3 m3.")
        .arg(entries, groupedKronor(settings.costPerEntry),
             formatNumber(settings.minVolume, u"#0.0", mark));
}

namespace {

// A number as typed: digits with one decimal comma or point, nothing else.
std::optional<double> typedNumber(QStringView text) {
    const QByteArray bytes = text.trimmed().toString().replace(u',', u'.').toLatin1();
    if (bytes.isEmpty() || bytes.front() == '+')
        return std::nullopt;
    double value = 0;
    const auto [end, error] =
        std::from_chars(bytes.data(), bytes.data() + bytes.size(), value, std::chars_format::fixed);
    if (error != std::errc() || end != bytes.data() + bytes.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace

Expected<int> readEntryCount(QStringView text) {
    const std::optional<double> n = typedNumber(text);
    if (!n || *n != std::floor(*n) || *n < 1 || *n > mostEntries)
        return Outcome::failure(QStringLiteral("Antalet avverkningstillfällen ska vara ett heltal "
                                               "från 1 till %1, inte \"%2\".")
                                    .arg(mostEntries)
                                    .arg(text.trimmed()));
    return int(*n);
}

Expected<QList<int>> readEntryYears(QStringView text) {
    QList<int> read;
    for (const QStringView part : text.split(u',')) {
        const std::optional<double> y = typedNumber(part);
        const int row = y ? int(*y) / 10 : -1;
        if (!y || *y != std::floor(*y) || *y < 0 || *y > 10 * (harvestYearCount - 1) ||
            int(*y) % 10 != 0 || read.contains(int(*y)))
            return Outcome::failure(
                QStringLiteral("Avverkningsåren ska vara olika år bland 0, 10, 20 och så vidare "
                               "till 110, åtskilda med komma (till exempel 0,30), inte \"%1\".")
                    .arg(text.trimmed()));
        read << 10 * row;
    }
    std::sort(read.begin(), read.end());
    return read;
}

Expected<double> readEntryCost(QStringView text) {
    const std::optional<double> v = typedNumber(text);
    if (!v || *v < 0 || *v > mostEntryCost)
        return Outcome::failure(QStringLiteral("Kostnaden per avverkningstillfälle ska vara ett "
                                               "belopp i kronor från 0 till %1, inte \"%2\".")
                                    .arg(groupedKronor(mostEntryCost))
                                    .arg(text.trimmed()));
    return *v;
}

Expected<double> readMinVolume(QStringView text) {
    const std::optional<double> v = typedNumber(text);
    if (!v || *v < 0 || *v > mostMinVolume)
        return Outcome::failure(QStringLiteral("Minsta volym per tillfälle ska vara en volym i "
                                               "m3 från 0 till %1, inte \"%2\".")
                                    .arg(groupedKronor(mostMinVolume))
                                    .arg(text.trimmed()));
    return *v;
}
