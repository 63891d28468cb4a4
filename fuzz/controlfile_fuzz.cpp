// Any bytes as "trad.sty": both kinds of reader and a save must neither crash nor touch a line
// that is not theirs, and a save adds only the lines of keys the readers would not find. A forest
// owner's control file may have been edited by hand for years; a save that drops or mangles one of
// its lines loses the owner's parameters.

#include "core/files/textfile.h"
#include "core/parameters/controlfile.h"
#include "core/parameters/parameters.h"
#include "fuzzsupport.h"

#include <QDir>
#include <QHash>

#include <utility>

namespace {

const QStringList standKeys{
    "sv:", "plantcost:", "rant:", "harvpr:", "avvandel:", "avvjust:", "mt:", "mg:", "mb:"};
const QStringList treeKeys{"art:",      "bdm:",   "site:", "plant:", "ring5:", "kronst:",
                           "hojdjust:", "dkvot:", "bkv:",  "akv:",   "tkv:"};

// Values a form may write: whatever the user left in a field, a slash excepted.
const QStringList fieldTexts{"",  "3", "12,5", "Västra Götaland", "  4.5  ", "1e308", "-0",
                             "y", "n", "N"};

// The value field of a raw line: the bytes between its first and second slash.
bool valueField(const QByteArray &line, qsizetype *first, qsizetype *second) {
    *first = line.indexOf('/');
    if (*first < 0)
        return false;
    *second = line.indexOf('/', *first + 1);
    return *second >= 0;
}

bool startsWithKey(const QByteArray &line, const QString &key) {
    return line.startsWith(key.toLatin1());
}

// What a reader of `keys` over lines [begin, end) must hand to its action.
QList<std::pair<QString, QString>> expectedReads(const QList<QByteArray> &lines, qsizetype begin,
                                                 qsizetype end, const QStringList &keys) {
    QList<std::pair<QString, QString>> reads;
    for (qsizetype n = begin; n < end; ++n) {
        qsizetype i, j;
        if (!valueField(lines[n], &i, &j))
            continue;
        for (const QString &key : keys)
            if (startsWithKey(lines[n], key))
                reads.append({key, decodeCp1252(lines[n].mid(i + 1, j - i - 1))});
    }
    return reads;
}

void checkReader(const ControlFile &file, const QList<QByteArray> &lines,
                 ControlFile::Lines which) {
    const QStringList keys = standKeys + treeKeys;
    QList<std::pair<QString, QString>> seen;
    const Outcome read = file.read(keys, which, [&](const QString &key, const QString &value) {
        seen.append({key, value});
    });
    FUZZ_CHECK(read.ok(), read.message());
    const qsizetype begin = which == ControlFile::Lines::AllButFirst ? 1 : 0;
    const qsizetype end =
        which == ControlFile::Lines::AllButFirst ? lines.size() : lines.size() - 1;
    FUZZ_CHECK(seen == expectedReads(lines, begin, qMax(begin, end), keys),
               QStringLiteral("reader handed %1 values").arg(seen.size()));
}

// The file a save must produce: the same lines with the value of every key line replaced,
// a line for each key that no line between the first and the last carries added before the
// last line (in the order of the parameter table), every line ended by CR LF.
QByteArray expectedSave(QList<QByteArray> lines, const QHash<QString, QString> &values) {
    QStringList missing;
    for (const QString &key : parameterKeys())
        if (values.contains(key))
            missing << key;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QByteArray &line = lines[n];
        qsizetype i, j;
        if (valueField(line, &i, &j))
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                if (startsWithKey(line, it.key())) {
                    line = line.left(i + 1) + encodeCp1252(it.value()) + line.mid(j);
                    if (n > 0 && n + 1 < lines.size())
                        missing.removeAll(it.key());
                    break;
                }
    }
    if (!missing.isEmpty()) {
        while (lines.size() < 2)
            lines.append(QByteArray());
        for (const QString &key : std::as_const(missing))
            lines.insert(lines.size() - 1, encodeCp1252(key + '/' + values.value(key) + '/'));
    }
    QByteArray out;
    for (const QByteArray &line : std::as_const(lines))
        out += line + "\r\n";
    return out;
}

// A save's temporary file is named after the file with ".tmp" at the end.
bool leftTemporaryFile() {
    return !QDir(fuzzHome())
                .entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden)
                .isEmpty();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const QByteArray original(reinterpret_cast<const char *>(data), qsizetype(size));
    const ControlFile file{HomeDirectory(fuzzHome())};
    writeFileOrDie(file.path(), original);
    const QList<QByteArray> lines = byteLines(original);

    // The checks below are on the bytes of a Windows-1252 file. A file that is no text at all is
    // refused and never rewritten; one in UTF-8 is read as UTF-8 and saved in Windows-1252.
    const Expected<DecodedText> decoded = decodeFileText(original, file.path());
    if (!decoded) {
        FUZZ_CHECK(!file.save({{standKeys[0], QStringLiteral("N")}}).ok(),
                   QStringLiteral("a file that is no text was saved"));
        FUZZ_CHECK(readFileOrEmpty(file.path()) == original,
                   QStringLiteral("a file that is no text was rewritten"));
        return 0;
    }
    if (decoded->encoding != TextEncoding::Windows1252)
        return 0;

    checkReader(file, lines, ControlFile::Lines::AllButLast);
    checkReader(file, lines, ControlFile::Lines::AllButFirst);

    // One form's keys, each with a field text chosen by the input.
    const std::uint32_t h = inputHash(data, size);
    const QStringList &keys = (h & 1) ? standKeys : treeKeys;
    QHash<QString, QString> values;
    for (qsizetype k = 0; k < keys.size(); ++k)
        values.insert(keys[k], fieldTexts[(qsizetype(h >> 1) + k) % fieldTexts.size()]);

    Outcome outcome = file.save(values);
    FUZZ_CHECK(outcome.ok(), outcome.message());
    const QByteArray saved = readFileOrEmpty(file.path());
    FUZZ_CHECK(!leftTemporaryFile(), QStringLiteral("a temporary file left behind"));
    FUZZ_CHECK(allLinesEndCrLf(saved), QStringLiteral("a line without CR LF"));
    FUZZ_CHECK(saved == expectedSave(lines, values),
               QStringLiteral("a line changed that the save had no business with"));

    // Saving the same values again changes nothing.
    outcome = file.save(values);
    FUZZ_CHECK(outcome.ok(), outcome.message());
    FUZZ_CHECK(readFileOrEmpty(file.path()) == saved, QStringLiteral("a second save differs"));
    return 0;
}
