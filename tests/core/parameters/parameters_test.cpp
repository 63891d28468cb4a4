#include "core/parameters/parameters.h"

#include <QSet>

#include <cmath>

#include <gtest/gtest.h>

TEST(ParameterTable, DescribesEachOfTheTwentyKeysOnceWithOneFormAndOneEngineTarget) {
    QSet<QString> keys;
    int stand = 0, tree = 0;
    for (const Parameter &p : parameters()) {
        const QString key = p.keyText();
        EXPECT_TRUE(key.endsWith(u':')) << key.toStdString();
        EXPECT_EQ(key, key.toLower()) << key.toStdString();
        EXPECT_FALSE(keys.contains(key)) << key.toStdString();
        keys << key;
        (p.form == Parameter::Form::Stand ? stand : tree) += 1;

        const int targets = (p.number != nullptr) + (p.text != nullptr) + (p.qualityIndex != 0);
        EXPECT_EQ(targets, 1) << key.toStdString();
        EXPECT_EQ(p.text != nullptr, p.conversion == Parameter::Conversion::Text);
        EXPECT_EQ(p.qualityIndex != 0, p.conversion == Parameter::Conversion::Quality);
        EXPECT_LE(p.lower, p.upper) << key.toStdString();
        EXPECT_EQ(p.hasBounds(), p.conversion != Parameter::Conversion::Text);

        EXPECT_FALSE(p.caption.isEmpty()) << key.toStdString();
        EXPECT_TRUE(p.meaning.endsWith(u'.')) << key.toStdString();
        EXPECT_EQ(findParameter(p.key), &p);
    }
    EXPECT_EQ(keys.size(), 20);
    EXPECT_EQ(stand, 9);
    EXPECT_EQ(tree, 11);
    EXPECT_EQ(findParameter(u"Rant:"), nullptr);
    EXPECT_EQ(findParameter(u"rant"), nullptr);
    // No key begins with another, so at most one key matches a line.
    for (const QString &a : keys)
        for (const QString &b : keys)
            EXPECT_TRUE(a == b || !a.startsWith(b)) << a.toStdString() << " " << b.toStdString();
}

TEST(ParameterTable, OnlyASlipOfTheHandIsFarOutsideTheBounds) {
    const struct {
        const char *key;
        double value;
        bool far;
    } cases[] = {
        {"kronst:", -1e308, true}, {"ring5:", 1e308, true},   {"rant:", -250, false},
        {"rant:", -1001, true},    {"hojdjust:", -30, false}, {"bdm:", 1e6, true},
        {"bdm:", 999, false},      {"avvjust:", 1e308, true}, {"site:", 36, false},
        {"bkv:", 32767, false},    {"art:", 1e300, false},    {"dkvot:", HUGE_VAL, true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(isFarOutsideBounds(*findParameter(QString::fromLatin1(c.key)), c.value), c.far)
            << c.key << " " << c.value;
}
