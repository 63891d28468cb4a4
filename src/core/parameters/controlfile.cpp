#include "core/parameters/controlfile.h"

#include "core/files/textfile.h"
#include "core/parameters/fieldcheck.h"
#include "core/parameters/parameters.h"

#include <algorithm>

namespace {

// Positions of the first two slashes, or false when the line has fewer than two.
bool slashes(QStringView record, qsizetype *first, qsizetype *second) {
    *first = record.indexOf(u'/');
    if (*first < 0)
        return false;
    *second = record.indexOf(u'/', *first + 1);
    return *second >= 0;
}

} // namespace

bool hasValueField(QStringView record) {
    qsizetype i, j;
    return slashes(record, &i, &j);
}

QString valueOfLine(const QString &record) {
    qsizetype i, j;
    if (!slashes(record, &i, &j))
        return {};
    return record.mid(i + 1, j - i - 1);
}

QString withValue(const QString &record, const QString &str) {
    qsizetype i, j;
    if (!slashes(record, &i, &j))
        return record;
    return record.left(i + 1) + str + record.mid(j);
}

bool carriesKey(QStringView line, QStringView key) {
    return line.startsWith(key);
}

ControlFile::ControlFile(HomeDirectory home) : m_home(std::move(home)) {}

QString ControlFile::path() const {
    return m_home.controlFile();
}

Expected<QStringList> ControlFile::readLines() const {
    const Expected<FileText> read = readTextFile(path());
    if (!read)
        return read.outcome();
    return splitLines(read->text);
}

FileStamp ControlFile::stampOf(const QStringList &lines) const {
    const bool skipFirst = m_readWhich == Lines::AllButFirst;
    QStringList seen;
    for (qsizetype n = skipFirst ? 1 : 0; n < (skipFirst ? lines.size() : lines.size() - 1); ++n)
        for (const QString &key : m_readKeys)
            if (hasValueField(lines.at(n)) && carriesKey(lines.at(n), key))
                seen << key + u'/' + valueOfLine(lines.at(n));
    return FileStamp::of(seen.join(u'\n').toUtf8());
}

Outcome ControlFile::read(const QStringList &keys, Lines which, const KeyAction &action) const {
    m_readKeys = keys;
    m_readWhich = which;
    const Expected<QStringList> read = readLines();
    if (!read) {
        m_readStamp = FileStamp::ofFailedRead();
        return read.outcome();
    }
    const QStringList &lines = *read;
    m_readStamp = stampOf(lines);
    const qsizetype begin = which == Lines::AllButFirst ? 1 : 0;
    const qsizetype end = which == Lines::AllButFirst ? lines.size() : lines.size() - 1;
    for (qsizetype n = begin; n < end; ++n) {
        const QString &line = lines.at(n);
        if (!hasValueField(line))
            continue;
        for (const QString &key : keys)
            if (carriesKey(line, key))
                action(key, valueOfLine(line));
    }
    return {};
}

namespace {

// Keys in the order of the parameter table, any other key after them in alphabetical order.
QStringList inTableOrder(QStringList keys) {
    const QStringList table = parameterKeys();
    std::sort(keys.begin(), keys.end(), [&](const QString &a, const QString &b) {
        const qsizetype ia = table.indexOf(a), ib = table.indexOf(b);
        if (ia != ib)
            return ia < 0 ? false : ib < 0 ? true : ia < ib;
        return a < b;
    });
    return keys;
}

// Whether `value` can stand between the two slashes of the key's line, and why not.
Outcome storable(const QString &key, const QString &value) {
    if (const QString c = firstCharacterOutsideCp1252(value); !c.isEmpty())
        return Outcome::failure(
            QStringLiteral("Värdet för %1 innehåller tecknet \"%2\", som styrfilen inte kan "
                           "lagra. Ta bort tecknet och spara igen.")
                .arg(key, c));
    if (value.contains(u'/') || value.contains(u'\r') || value.contains(u'\n'))
        return Outcome::failure(
            QStringLiteral("Värdet för %1 får inte innehålla snedstreck eller radbrytningar. "
                           "Rätta värdet och spara igen.")
                .arg(key));
    return {};
}

} // namespace

Outcome ControlFile::save(const QHash<QString, QString> &newValues) const {
    return save(newValues, IfChangedSinceRead::Overwrite).outcome();
}

SaveOutcome ControlFile::save(const QHash<QString, QString> &newValues,
                              IfChangedSinceRead ifChanged) const {
    for (auto it = newValues.cbegin(); it != newValues.cend(); ++it)
        if (const Outcome problem = storable(it.key(), it.value()); !problem)
            return Outcome::failure(problem.message() +
                                    QStringLiteral(" Styrfilen \"%1\" är oförändrad.").arg(path()));
    // Read, compare and write under the home directory's lock, so that no other copy's save
    // can come in between.
    FileStamp written;
    const SaveOutcome saved =
        rewriteFileSafely(path(), [&](const QString &current, QByteArray *bytes) -> SaveOutcome {
            QStringList lines = splitLines(current);
            if (ifChanged == IfChangedSinceRead::Stop && !m_readStamp.matches(stampOf(lines)))
                return SaveOutcome::changedOnDisk(path());
            if (Outcome edited = editLines(lines, newValues); !edited)
                return edited;
            QString text;
            for (const QString &line : lines)
                text += line + QStringLiteral("\r\n");
            Expected<QByteArray> encoded = encodeForFile(text, path());
            if (!encoded)
                return encoded.outcome();
            *bytes = std::move(encoded).value();
            written = stampOf(lines);
            return {};
        });
    // What the form holds now is what it wrote.
    if (saved)
        m_readStamp = written;
    return saved;
}

Outcome ControlFile::editLines(QStringList &lines, const QHash<QString, QString> &newValues) const {
    QStringList missing = newValues.keys();
    // Every line that carries a key gets its value, the first and the last one too: the stand
    // form reads the last line and the engine the first, and neither may see a stale value.
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString &line = lines[n];
        if (!hasValueField(line))
            continue;
        for (auto it = newValues.cbegin(); it != newValues.cend(); ++it)
            if (carriesKey(line, it.key())) {
                line = withValue(line, it.value());
                // The stand form never reads the first line, the other readers never the last.
                if (n > 0 && n + 1 < lines.size())
                    missing.removeAll(it.key());
            }
    }
    if (!missing.isEmpty()) {
        // A file too short to have a first and a last line around its parameters gets them,
        // empty, so that every reader reads the added lines.
        if (lines.isEmpty())
            lines << QString();
        if (lines.size() < 2)
            lines << QString();
        QStringList added;
        for (const QString &key : inTableOrder(missing))
            added << key + u'/' + newValues.value(key) + u'/';
        for (qsizetype i = 0; i < added.size(); ++i)
            lines.insert(lines.size() - 1, added.at(i));
    }
    return {};
}
