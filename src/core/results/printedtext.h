#pragma once

#include <QString>

// A text from a file as a printed page shows it: on one line, at most `length` characters, the
// rest replaced by "…", so that no id, remark or file text can make a page (or a print) endless.
QString printedText(const QString &text, int length);

// The lengths the printed views cut at: an id or a short value, a remark, a sentence.
inline constexpr int printedIdLength = 24;
inline constexpr int printedRemarkLength = 80;
inline constexpr int printedSentenceLength = 2000;
