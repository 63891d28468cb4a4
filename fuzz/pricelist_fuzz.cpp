// Any bytes as "priser_ac.txt": the editor's and the engine's readers either read a whole price
// list or say why not and leave their tables as they were; what the editor read, it writes so
// that it reads back exactly, every price to the last bit.

#include "fuzzsupport.h"
#include "pricelistfile.h"
#include "textfile.h"

#include <cmath>
#include <cstring>

namespace {

// Tables with a recognisable price in every cell, so that a reader that writes where it should
// not (or a failed read that changes anything) is seen.
PriceTable marked(double base) {
    PriceTable t{};
    for (int q = 0; q < 6; ++q)
        for (int j = 0; j < 16; ++j)
            t[q][j] = base + q * 100 + j + 0.25;
    return t;
}

bool sameBits(double a, double b) {
    // A price of -0 is written as 0; every other price must come back bit for bit.
    if (a == 0 && b == 0)
        return true;
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool samePrices(const PriceTable &a, const PriceTable &b, bool fileCellsOnly) {
    for (int q = 0; q < 6; ++q)
        for (int j = 0; j < 16; ++j) {
            const bool fileCell = q >= 1 && q <= 5 && j >= 1 && j <= 10;
            if ((fileCell || !fileCellsOnly) && !sameBits(a[q][j], b[q][j]))
                return false;
        }
    return true;
}

// The cells outside quality 1..5 and diameter class 1..10 are never read from a file.
bool outsideCellsKept(const PriceTable &now, const PriceTable &before) {
    for (int q = 0; q < 6; ++q)
        for (int j = 0; j < 16; ++j) {
            const bool fileCell = q >= 1 && q <= 5 && j >= 1 && j <= 10;
            if (!fileCell && !sameBits(now[q][j], before[q][j]))
                return false;
        }
    return true;
}

bool allFinite(const PriceTable &t) {
    for (const auto &row : t)
        for (double p : row)
            if (!std::isfinite(p))
                return false;
    return true;
}

void checkWrittenLayout(const QByteArray &bytes) {
    FUZZ_CHECK(allLinesEndCrLf(bytes), QStringLiteral("a written line without CR LF"));
    const QList<QByteArray> lines = byteLines(bytes);
    FUZZ_CHECK(lines.size() == 14, QStringLiteral("%1 lines written").arg(lines.size()));
    FUZZ_CHECK(lines[1] == "\"t\"" && lines[7] == "\"g\"" && lines[13].isEmpty(),
               QStringLiteral("tags or final empty line misplaced"));
    for (int n : {2, 3, 4, 5, 6, 8, 9, 10, 11, 12})
        FUZZ_CHECK(lines[n].count(',') == 9 && !lines[n].contains(' '),
                   QString::fromLatin1(lines[n]));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = priceListPath(fuzzHome());
    writeFileOrDie(path, input);

    // The editor's reader.
    const PriceTable pineBefore = marked(1000), spruceBefore = marked(5000);
    const QString lanBefore = QStringLiteral("förra länet");
    QString lan = lanBefore;
    PriceTable pine = pineBefore, spruce = spruceBefore;
    const QString editorProblem = las_prislista(path, lan, pine, spruce);
    if (!editorProblem.isEmpty()) {
        FUZZ_CHECK(lan == lanBefore && samePrices(pine, pineBefore, false) &&
                       samePrices(spruce, spruceBefore, false),
                   QStringLiteral("a failed read changed the editor's tables: ") + editorProblem);
    } else {
        FUZZ_CHECK(allFinite(pine) && allFinite(spruce), QStringLiteral("a price is not finite"));
        FUZZ_CHECK(outsideCellsKept(pine, pineBefore) && outsideCellsKept(spruce, spruceBefore),
                   QStringLiteral("the editor's reader wrote outside the file's cells"));
    }

    // The engine's reader.
    PriceTable enginePine = pineBefore, engineSpruce = spruceBefore;
    const QString engineProblem = read_pricelist(path, enginePine, engineSpruce);
    if (!engineProblem.isEmpty())
        FUZZ_CHECK(samePrices(enginePine, pineBefore, false) &&
                       samePrices(engineSpruce, spruceBefore, false),
                   QStringLiteral("a failed read changed the engine's tables: ") + engineProblem);
    else
        FUZZ_CHECK(allFinite(enginePine) && allFinite(engineSpruce) &&
                       outsideCellsKept(enginePine, pineBefore) &&
                       outsideCellsKept(engineSpruce, spruceBefore),
                   QStringLiteral("the engine's reader stored a bad price or a stray cell"));

    FUZZ_CHECK(readFileOrEmpty(path) == input, QStringLiteral("a reader changed the file"));
    if (!editorProblem.isEmpty())
        return 0;

    // What the editor read, written and read back, is the same price list.
    const QString copy = fuzzHome() + QStringLiteral("kopia.txt");
    const QString writeProblem = skriv_prislista(copy, lan, pine, spruce);
    const bool writable = !lan.contains(u'"') && !lan.contains(u'\r') && !lan.contains(u'\n');
    FUZZ_CHECK(writeProblem.isEmpty() == writable, writeProblem);
    if (!writable)
        return 0;
    checkWrittenLayout(readFileOrEmpty(copy));

    QString lanAgain;
    PriceTable pineAgain = marked(9000), spruceAgain = marked(9000);
    const QString againProblem = las_prislista(copy, lanAgain, pineAgain, spruceAgain);
    FUZZ_CHECK(againProblem.isEmpty(), againProblem);
    FUZZ_CHECK(lanAgain == lan,
               QStringLiteral("county text \"%1\" read back as \"%2\"").arg(lan, lanAgain));
    FUZZ_CHECK(samePrices(pineAgain, pine, true) && samePrices(spruceAgain, spruce, true),
               QStringLiteral("a price read back differently"));

    PriceTable enginePineAgain = marked(9000), engineSpruceAgain = marked(9000);
    const QString engineAgain = read_pricelist(copy, enginePineAgain, engineSpruceAgain);
    FUZZ_CHECK(engineAgain.isEmpty(), engineAgain);
    FUZZ_CHECK(samePrices(enginePineAgain, pine, true) &&
                   samePrices(engineSpruceAgain, spruce, true),
               QStringLiteral("the engine reads the editor's file differently"));
    return 0;
}
