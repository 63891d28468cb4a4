#include "core/results/inputsummary.h"

#include "core/parameters/controlfile.h"
#include "core/parameters/fieldcheck.h"
#include "core/parameters/parameters.h"
#include "core/parameters/species.h"

const QList<InputSummary::Line> &InputSummary::lines() {
    static const QList<Line> all{
        {0, 0, Keys::sv, u"Landsdel"},
        {0, 1, Keys::art, u"Art"},
        {0, 2, Keys::bdm, u"Diam bh", true},
        {0, 3, Keys::plantcost, u"Plantkostnad", true},
        {1, 0, Keys::rant, u"Räntekrav", true},
        {1, 1, Keys::harvpr, u"Avv.intens.vol", true},
        {1, 2, Keys::site, u"Bonitet, 100 år", true},
        {1, 3, Keys::plant, u"Plantering"},
        {2, 1, Keys::mt, u"Tall"},
        {2, 2, Keys::mg, u"Gran"},
        {2, 3, Keys::mb, u"Björk"},
        {3, 1, Keys::bkv, u"Förstastock"},
        {3, 2, Keys::akv, u"Andrastock"},
        {3, 3, Keys::tkv, u"Tredjestock"},
    };
    return all;
}

QString InputSummary::heading(int column) {
    switch (column) {
    case 2:
        return QStringLiteral("Massapris");
    case 3:
        return QStringLiteral("Potent. kvalitet");
    default:
        return {};
    }
}

QString InputSummary::unit(const Line &line) {
    return line.showsUnit ? findParameter(line.key)->unit.toString() : QString();
}

Outcome InputSummary::readOver(const ControlFile &file, QChar decimalSeparator) {
    QStringList keys;
    for (const Line &l : lines())
        keys << l.key.toString();
    return file.read(
        keys, ControlFile::Lines::AllButLast,
        [this, decimalSeparator](const QString &key, const QString &value) {
            if (key == Keys::art) {
                // A code the program does not know names no species: the last name stays.
                if (const QString name = speciesName(value); !name.isEmpty())
                    m_texts.insert(key, name);
            } else if (key == Keys::plant) {
                m_texts.insert(key, value == QLatin1String("y") ? QStringLiteral("Ja")
                                                                : QStringLiteral("Nej"));
            } else if (key == Keys::sv) {
                m_texts.insert(key, value == QLatin1String("N")   ? QStringLiteral("Norra")
                                    : value == QLatin1String("S") ? QStringLiteral("Södra")
                                                                  : value);
            } else {
                // A number as the user reads it, with the decimal separator of the rest; under
                // a point the file's text stands as it is.
                m_texts.insert(key, decimalSeparator == u'.'
                                        ? value
                                        : withDecimalSeparator(value, decimalSeparator));
            }
        });
}

QList<SummaryItem> InputSummary::items() const {
    QList<SummaryItem> all;
    for (const Line &l : lines())
        all.append({l.column, heading(l.column), l.label.toString(), text(l.key), unit(l)});
    return all;
}
