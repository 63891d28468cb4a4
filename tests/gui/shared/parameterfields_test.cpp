#include "core/parameters/parameters.h"
#include "gui/shared/parameterfields.h"

#include <QSet>

#include <gtest/gtest.h>

TEST(ParameterFields, NameOneControlOfItsOwnForEachParameterInTableOrder) {
    const std::span<const Parameter> table = parameters();
    const std::span<const ParameterFields> fields = parameterFields();
    ASSERT_EQ(fields.size(), table.size());
    QSet<QString> controls;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Parameter &p = table[i];
        const std::string key = p.keyText().toStdString();
        EXPECT_EQ(fields[i].key, p.key) << key;
        EXPECT_EQ(&fieldsOf(p), &fields[i]) << key;
        const QString control = fields[i].control.toString();
        EXPECT_FALSE(control.isEmpty()) << key;
        EXPECT_FALSE(controls.contains(control)) << key;
        controls << control;
        EXPECT_FALSE(fields[i].caption.isEmpty()) << key;
        // A pair of options only for the two yes-or-no codes; a unit label only with a unit.
        EXPECT_EQ(!fields[i].otherOption.isEmpty(), key == "sv:" || key == "plant:");
        EXPECT_EQ(fields[i].unit.isEmpty(), p.unit.isEmpty()) << key;
    }
}
