#include "gui/shared/fieldtips.h"

#include "core/files/numberformat.h"
#include "core/parameters/fieldcheck.h"
#include "core/parameters/parameters.h"
#include "gui/shared/parameterfields.h"

#include <QWidget>

namespace FieldTips {

QString tipFor(const Parameter &p, QChar decimalSeparator) {
    QString tip = p.meaning.toString();
    QStringList facts;
    if (!p.unit.isEmpty())
        facts << QStringLiteral("Enhet: %1.").arg(p.unit.trimmed());
    if (p.hasBounds()) {
        const QString lower = boundText(p.lower, decimalSeparator);
        const QString upper = boundText(p.upper, decimalSeparator);
        facts << (p.conversion == Parameter::Conversion::Quality
                      ? QStringLiteral("Klass %1 till %2.").arg(lower, upper)
                      : QStringLiteral("Tillåtet: %1 till %2.").arg(lower, upper));
    }
    if (!facts.isEmpty())
        tip += QLatin1Char('\n') + facts.join(QLatin1Char(' '));
    return tip;
}

void explainFields(QWidget *window) {
    const QString form = window->objectName();
    for (const Parameter &p : parameters()) {
        const bool owns =
            (p.form == Parameter::Form::Stand && form == QLatin1String("forParam1")) ||
            (p.form == Parameter::Form::Tree && form == QLatin1String("forParam2"));
        if (!owns)
            continue;
        // The bounds are written as the field shows its value: with the regional settings'
        // decimal separator.
        const QString tip = tipFor(p, localeDecimalSeparator());
        const ParameterFields &fields = fieldsOf(p);
        for (QStringView name : {fields.control, fields.otherOption, fields.caption})
            if (!name.isEmpty())
                if (auto *w = window->findChild<QWidget *>(name.toString());
                    w && w->toolTip().isEmpty())
                    w->setToolTip(tip);
    }
}

} // namespace FieldTips
