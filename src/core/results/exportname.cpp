#include "core/results/exportname.h"

namespace {

// Lower case ASCII: "Björk" to "bjork". Letters are split into base letter and accents, the
// accents dropped; what is left outside a-z, 0-9, "." and "-" becomes "_".
QString plainName(QStringView text) {
    const QString decomposed =
        text.toString().trimmed().toLower().normalized(QString::NormalizationForm_KD);
    QString plain;
    for (QChar c : decomposed) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if ((c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'.' || c == u'-')
            plain += c;
        else
            plain += u'_';
    }
    // A name never starts with a dot (a hidden file) and stays short.
    while (plain.startsWith(u'.'))
        plain.remove(0, 1);
    return plain.left(40);
}

} // namespace

QString exportFileName(QStringView speciesName, QStringView diameter, QStringView extension) {
    QString name = plainName(speciesName);
    if (name.isEmpty())
        name = QStringLiteral("resultat");
    const QString cm = plainName(diameter);
    if (!cm.isEmpty())
        name += u'_' + cm + QStringLiteral("cm");
    return name + u'.' + extension.toString();
}
