#include "core/treelist/columnheadings.h"

#include "core/treelist/treelist.h"

#include <QStringList>

namespace {

// Words that begin the name of a tree value: a heading that begins with one but matches no
// name is a value the program cannot place ("Höjd, m" is the height itself, not its deviation
// from the normal height; "Kvalitet" does not say which log).
constexpr QStringView treeValueStems[] = {
    u"diam", u"bdm",      u"dbh",  u"brösthöjd", u"höjd",     u"hojd",    u"ring", u"årsring",
    u"kvot", u"dkvot",    u"kron", u"kval",      u"bkv",      u"akv",     u"tkv",  u"bonitet",
    u"site", u"ståndort", u"si",   u"plant",     u"trädslag", u"trädart", u"art"};

} // namespace

const QList<HeadingName> &headingNames() {
    static const QList<HeadingName> names = {
        {u"id", idColumn},
        {u"Nr", idColumn},
        {u"Trädnr", idColumn},
        {u"Nummer", idColumn},
        {u"art", TreeSpecies},
        {u"Trädart:", TreeSpecies},
        {u"Trädslag", TreeSpecies},
        {u"bdm", BreastDiameter},
        {u"Diam, cm", BreastDiameter},
        {u"Brösthöjdsdiameter:", BreastDiameter},
        {u"Diameter", BreastDiameter},
        {u"Dbh", BreastDiameter},
        {u"hojdjust", HeightDeviation},
        {u"Höjdavv, m", HeightDeviation},
        {u"Avvikelse från normalhöjden", HeightDeviation},
        {u"Höjdavvikelse", HeightDeviation},
        {u"site", Site},
        {u"Bonitet, m", Site},
        {u"Ståndortsindex vid 100 års ålder", Site},
        {u"Ståndortsindex", Site},
        {u"SI", Site},
        {u"plant", Plant},
        {u"Plantering", Plant},
        {u"Plantering efter avverkning av trädet?", Plant},
        {u"ring5", RingWidth},
        {u"Årsring, mm", RingWidth},
        {u"Årsring efter 5 år", RingWidth},
        {u"Årsringsbredd", RingWidth},
        {u"dkvot", DiameterQuotient},
        {u"Diameterkvot", DiameterQuotient},
        {u"kronst", CrownShare},
        {u"Krona, %", CrownShare},
        {u"Andel av fullt utvecklad krona hos ett friväxande träd av denna storlek", CrownShare},
        {u"Kronandel", CrownShare},
        {u"Kronstorlek", CrownShare},
        {u"bkv", ButtLogQuality},
        {u"Kval 1", ButtLogQuality},
        {u"Förstastocken", ButtLogQuality},
        {u"Kvalitet 1", ButtLogQuality},
        {u"akv", SecondLogQuality},
        {u"Kval 2", SecondLogQuality},
        {u"Andrastocken", SecondLogQuality},
        {u"Kvalitet 2", SecondLogQuality},
        {u"tkv", ThirdLogQuality},
        {u"Kval 3", ThirdLogQuality},
        {u"Tredjestocken", ThirdLogQuality},
        {u"Kvalitet 3", ThirdLogQuality},
        {u"Anmärkning", remarkColumn},
        {u"Anm", remarkColumn},
        {u"Kommentar", remarkColumn},
        {u"Notering", remarkColumn},
        {u"åtgärd", markColumn},
        {u"Atgard", markColumn},
    };
    return names;
}

QString comparableHeading(QStringView heading) {
    QString h = heading.toString().toLower();
    // A unit in parentheses: "Diameter (cm)".
    if (const qsizetype open = h.indexOf(u'('); open > 0 && h.trimmed().endsWith(u')'))
        h.truncate(open);
    // A unit after the last comma: "Diam, cm".
    if (const qsizetype comma = h.lastIndexOf(u','); comma > 0)
        h.truncate(comma);
    h.remove(u' ');
    h.remove(QChar(0x00A0));
    h.remove(u'\t');
    while (!h.isEmpty() && (h.endsWith(u'.') || h.endsWith(u':') || h.endsWith(u'?')))
        h.chop(1);
    return h;
}

int columnNamed(QStringView heading) {
    const QString h = comparableHeading(heading);
    if (h.isEmpty())
        return otherColumn;
    for (const HeadingName &n : headingNames())
        if (comparableHeading(n.name) == h)
            return n.column;
    for (QStringView stem : treeValueStems)
        if (h.startsWith(stem) && (stem.size() > 2 || h.size() == stem.size()))
            return unknownTreeValue;
    return otherColumn;
}

QString columnDescription(int column) {
    if (column == idColumn)
        return QStringLiteral("trädets id");
    if (column == remarkColumn)
        return QStringLiteral("anmärkningen");
    if (column == markColumn)
        return QStringLiteral("åtgärden");
    if (column >= 0 && column < treeKeyCount)
        return QStringLiteral("värdet \"%1\"").arg(QString::fromUtf16(treeKeyInfo(column).title));
    return {};
}

QString keysFromControlFile(const std::array<bool, 11> &hasColumn) {
    QStringList names;
    for (int k = 0; k < treeKeyCount; ++k)
        if (!hasColumn[std::size_t(k)])
            names << QString::fromUtf16(treeKeyInfo(k).title).section(u',', 0, 0);
    return names.join(QStringLiteral(", "));
}
static_assert(treeKeyCount == 11 && idColumn == treeKeyCount);
