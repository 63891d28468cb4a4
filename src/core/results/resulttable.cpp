#include "core/results/resulttable.h"

#include <QAbstractItemModel>
#include <QSet>

#include <algorithm>
#include <limits>

namespace {

QString cellText(const QVariant &value) {
    return value.toString().trimmed();
}

QVariant cellData(const QModelIndex &index, int role) {
    const QVariant value = index.data(role);
    return value.isValid() ? value : index.data(Qt::DisplayRole);
}

QString quotedForTabs(const QString &text) {
    if (!text.contains(u'\t') && !text.contains(u'\n') && !text.contains(u'\r') &&
        !text.contains(u'"'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

} // namespace

ResultTable resultTableOf(const QAbstractItemModel &model, const QString &rowHeading,
                          const QModelIndexList &selection, int role) {
    int top = 0, left = 0;
    int bottom = model.rowCount() - 1, right = model.columnCount() - 1;
    QSet<QPair<int, int>> chosen;
    if (!selection.isEmpty()) {
        top = left = std::numeric_limits<int>::max();
        bottom = right = -1;
        for (const QModelIndex &i : selection) {
            if (!i.isValid() || i.model() != &model)
                continue;
            top = std::min(top, i.row());
            bottom = std::max(bottom, i.row());
            left = std::min(left, i.column());
            right = std::max(right, i.column());
            chosen.insert({i.row(), i.column()});
        }
    }

    ResultTable table;
    const bool labelled = !rowHeading.isNull();
    if (labelled)
        table.headings.append(rowHeading.simplified());
    for (int c = left; c <= right; ++c)
        table.headings.append(model.headerData(c, Qt::Horizontal).toString().simplified());
    for (int r = top; r <= bottom; ++r) {
        QStringList row;
        if (labelled)
            row.append(cellText(model.headerData(r, Qt::Vertical)));
        for (int c = left; c <= right; ++c)
            row.append(chosen.isEmpty() || chosen.contains({r, c})
                           ? cellText(cellData(model.index(r, c), role))
                           : QString());
        table.rows.append(row);
    }
    return table;
}

QString tabSeparatedText(const ResultTable &table) {
    QString text;
    auto addLine = [&text](const QStringList &cells) {
        QStringList quoted;
        for (const QString &cell : cells)
            quoted.append(quotedForTabs(cell));
        text += quoted.join(u'\t') + u'\n';
    };
    addLine(table.headings);
    for (const QStringList &row : table.rows)
        addLine(row);
    return text;
}
