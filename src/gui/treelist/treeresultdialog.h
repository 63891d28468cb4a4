#pragma once

#include "core/treelist/treelist.h"

#include <QDialog>

// One tree of the list with all twelve harvest years, under the result grid's headings and in
// its number patterns. Read only: looking at a tree changes no file.
class TreeResultDialog : public QDialog {
    Q_OBJECT
public:
    TreeResultDialog(const QString &id, const TreeSummary &summary, const TreeValuation &valuation,
                     QWidget *parent = nullptr);
};
