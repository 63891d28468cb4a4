#pragma once

#include <QStringView>

#include <span>

struct Parameter;

// The controls that show a parameter on its form, by their objectNames: the core's table of
// parameters knows the values, their bounds and their texts, this one where a window puts them.
struct ParameterFields {
    QStringView key;         // the parameter's control-file key, "rant:"
    QStringView control;     // the entry control ("txtRant"; the first option of a pair)
    QStringView otherOption; // the second option of a pair, or empty
    QStringView caption;     // the caption label
    QStringView unit;        // the unit label, or empty for a row without one
};

// The controls of every parameter, in the order of the table of parameters.
std::span<const ParameterFields> parameterFields();

// The controls of the parameter `p`.
const ParameterFields &fieldsOf(const Parameter &p);
