// Any bytes as "priser_ac.txt": the editor's and the engine's readers either read a whole price
// list or say why not and leave their tables as they were; when both read it, they agree on every
// price; what the editor read, it writes so that it reads back exactly, every price to the last
// bit and every block it does not edit word for word, and the engine reads the same prices.

#include "core/files/pricelistfile.h"
#include "core/files/textfile.h"
#include "fuzzsupport.h"

#include <algorithm>
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

// A list of just the pine and the spruce block is written in the layout of 14 lines.
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
    const QString path = HomeDirectory(fuzzHome()).priceList();
    writeFileOrDie(path, input);

    // The editor's reader.
    const PriceTable pineBefore = marked(1000), spruceBefore = marked(5000);
    PriceList before;
    before.county = QStringLiteral("förra länet");
    before.pine = pineBefore;
    before.spruce = spruceBefore;
    const Expected<PriceList> editorRead = readPriceList(path);
    const PriceList list = editorRead ? *editorRead : before;
    if (!editorRead) {
        FUZZ_CHECK(list.county == before.county && samePrices(list.pine, pineBefore, false) &&
                       samePrices(list.spruce, spruceBefore, false) && list.blocks.isEmpty(),
                   QStringLiteral("a failed read changed the editor's list: ") +
                       editorRead.message());
    } else {
        FUZZ_CHECK(allFinite(list.pine) && allFinite(list.spruce),
                   QStringLiteral("a price is not finite"));
        FUZZ_CHECK(outsideCellsKept(list.pine, PriceTable{}) &&
                       outsideCellsKept(list.spruce, PriceTable{}),
                   QStringLiteral("the editor's reader wrote outside the file's cells"));
        int edited = 0;
        for (const PriceList::Block &block : list.blocks)
            edited += block.edited ? 1 : 0;
        FUZZ_CHECK(edited == 2, QStringLiteral("%1 blocks to edit").arg(edited));
    }

    // The engine's reader.
    const Expected<PriceTables> engineRead = readTimberPrices(path, {pineBefore, spruceBefore});
    const PriceTable enginePine = engineRead ? engineRead->pine : pineBefore;
    const PriceTable engineSpruce = engineRead ? engineRead->spruce : spruceBefore;
    if (!engineRead)
        FUZZ_CHECK(samePrices(enginePine, pineBefore, false) &&
                       samePrices(engineSpruce, spruceBefore, false),
                   QStringLiteral("a failed read changed the engine's tables: ") +
                       engineRead.message());
    else
        FUZZ_CHECK(allFinite(enginePine) && allFinite(engineSpruce) &&
                       outsideCellsKept(enginePine, pineBefore) &&
                       outsideCellsKept(engineSpruce, spruceBefore),
                   QStringLiteral("the engine's reader stored a bad price or a stray cell"));
    // What the user edits is what the calculation prices with.
    if (editorRead && engineRead)
        FUZZ_CHECK(samePrices(enginePine, list.pine, true) &&
                       samePrices(engineSpruce, list.spruce, true),
                   QStringLiteral("the editor shows other prices than the engine reads"));

    FUZZ_CHECK(readFileOrEmpty(path) == input, QStringLiteral("a reader changed the file"));
    if (!editorRead)
        return 0;

    // What the editor read, written and read back, is the same price list.
    const QString copy = fuzzHome() + QStringLiteral("kopia.txt");
    const Outcome written = writePriceList(copy, list);
    // Text read from a UTF-8 file may hold a letter Windows-1252 lacks: refused too.
    auto holds = [](const QString &t) { return decodeCp1252(encodeCp1252(t)) == t; };
    const bool writable =
        !list.county.contains(u'"') && !list.county.contains(u'\r') &&
        !list.county.contains(u'\n') && holds(list.county) &&
        std::all_of(list.blocks.cbegin(), list.blocks.cend(),
                    [&](const PriceList::Block &b) { return b.edited || holds(b.keptText); });
    FUZZ_CHECK(written.ok() == writable, written.message());
    if (!writable)
        return 0;
    const bool plainList =
        list.blocks.size() == 2 && list.blocks[0].tag == u"t" && list.blocks[1].tag == u"g";
    if (plainList)
        checkWrittenLayout(readFileOrEmpty(copy));

    const Expected<PriceList> readAgain = readPriceList(copy);
    FUZZ_CHECK(readAgain.ok(), readAgain.message());
    const PriceList again = readAgain ? *readAgain : PriceList();
    FUZZ_CHECK(
        again.county == list.county,
        QStringLiteral("county text \"%1\" read back as \"%2\"").arg(list.county, again.county));
    FUZZ_CHECK(samePrices(again.pine, list.pine, true) &&
                   samePrices(again.spruce, list.spruce, true),
               QStringLiteral("a price read back differently"));
    FUZZ_CHECK(again.blocks.size() == list.blocks.size(),
               QStringLiteral("%1 blocks read back as %2")
                   .arg(list.blocks.size())
                   .arg(again.blocks.size()));
    for (qsizetype b = 0; b < qMin(again.blocks.size(), list.blocks.size()); ++b)
        FUZZ_CHECK(again.blocks[b].tag == list.blocks[b].tag &&
                       again.blocks[b].edited == list.blocks[b].edited &&
                       (again.blocks[b].edited ||
                        again.blocks[b].keptText == list.blocks[b].keptText ||
                        again.blocks[b].keptText == list.blocks[b].keptText + "\r\n"),
                   QStringLiteral("block %1 (\"%2\") was not kept").arg(b).arg(list.blocks[b].tag));

    const Expected<PriceTables> engineAgain = readTimberPrices(copy, {marked(9000), marked(9000)});
    FUZZ_CHECK(engineAgain.ok(), engineAgain.message());
    const PriceTable enginePineAgain = engineAgain ? engineAgain->pine : marked(9000);
    const PriceTable engineSpruceAgain = engineAgain ? engineAgain->spruce : marked(9000);
    FUZZ_CHECK(samePrices(enginePineAgain, list.pine, true) &&
                   samePrices(engineSpruceAgain, list.spruce, true),
               QStringLiteral("the engine reads the editor's file differently"));
    return 0;
}
