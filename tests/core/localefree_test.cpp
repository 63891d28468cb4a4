// Numbers must read and write alike on every computer. The C library's conversions follow the
// locale the program runs in, and on a Swedish computer read "0.8" as 0: none of them may come
// back into the program's sources.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

// The source without its comments and string literals, which may name what they like.
QString codeOnly(QString text) {
    static const QRegularExpression commentsAndStrings(
        QStringLiteral(R"(//[^\n]*|/\*.*?\*/|"(?:\\.|[^"\\\n])*"|'(?:\\.|[^'\\\n])*')"),
        QRegularExpression::DotMatchesEverythingOption);
    return text.replace(commentsAndStrings, QStringLiteral(" "));
}

TEST(LocaleFreeNumbers, NoSourceCallsAConversionThatFollowsTheCLibrarysLocale) {
    static const QRegularExpression localeBound(QStringLiteral(
        R"(\b(strto[dfl]|strtold|ato[fil]|std::sto(?:d|f|ld|i|l)|[fsv]?scanf|v?s?n?printf|)"
        R"(fprintf|std::to_string|std::(?:o|i)?stringstream|std::(?:cout|cerr|clog)|)"
        R"(std::put_money|std::get_money|localeconv|setlocale)\b|)"
        R"(#\s*include\s*<(?:sstream|iostream|fstream)>)"));
    int files = 0;
    QDirIterator it(QStringLiteral(KVISTEL_SOURCE_DIR "/src"), {"*.cpp", "*.h"}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << f.fileName().toStdString();
        ++files;
        const QString code = codeOnly(QString::fromUtf8(f.readAll()));
        for (auto m = localeBound.globalMatch(code); m.hasNext();) {
            const QRegularExpressionMatch hit = m.next();
            const int line = int(code.left(hit.capturedStart()).count(u'\n')) + 1;
            ADD_FAILURE() << f.fileName().toStdString() << ":" << line << ": "
                          << hit.captured().toStdString()
                          << " follows the C library's locale; use std::from_chars, "
                             "std::to_chars or QLocale::c()";
        }
    }
    EXPECT_GT(files, 50);
}

} // namespace
