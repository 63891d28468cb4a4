#pragma once

#include <QString>
#include <QStringView>

// The name a result file is offered under, made from the tree: species and breast-height
// diameter, such as "tall_32cm.csv". The species name is written in lower case without its
// diacritics ("Björk" gives "bjork"), so that the name travels unchanged through every file
// system, mail program and USB stick; a character that is neither a letter, a digit, "." nor "-"
// becomes "_". Without a species the name begins "resultat"; without a diameter it has none.
QString exportFileName(QStringView speciesName, QStringView diameter, QStringView extension);
