#pragma once

#include "core/files/outcome.h"
#include "core/treelist/harvestplan.h"
#include "core/treelist/treelist.h"

#include <QString>

#include <optional>

class QIODevice;

// A whole list file valued without a window: each tree on its own, on every core, a chunk of
// lines at a time so that memory stays the same for ten trees or a million.

struct TreeListBatch {
    QString input;     // the list file
    bool full = false; // every harvest year of every tree instead of one line a tree
    bool plan = false; // the stand's harvest plan instead of the trees
    // The plan in a few harvest entries; without settings a list whose trees the owner marked
    // is planned tree by tree with its marks.
    std::optional<EntrySettings> entries;
    int trees = 0;  // trees read
    int faulty = 0; // trees that could not be valued
};

// Writes to `out`, in the input's separator, decimal mark and encoding:
// - one line a tree: the input's cells as read, then "beslut", "bästa år", "netto nu",
//   "nuvärde bästa", "ränta 10 år" and "fel";
// - with `full`: "id", "år" and the result grid's seventeen columns for each harvest year of
//   each tree, then "fel"; a tree that could not be valued (further) ends with a line that holds
//   its id and why.
// - with `plan`: "år", "träd", "volym m3", "netto kr" and "nuvärde kr" for each harvest year in
//   which trees are cut, each tree in its best year; a line "totalt"; then the stand's present
//   value against cutting every valued tree now, as one sentence.
// - with `plan` and entries (or marks in the list's column "åtgärd"): "år", "träd", "volym m3",
//   "netto kr", "kostnad kr" and "nuvärde kr" for each harvest entry, a line "totalt", the
//   settings and what the grouping costs, each as one sentence.
// Fails, with a Swedish message, only when the list cannot be read or the output not written;
// a stand or economy parameter missing from "trad.sty", or a tree key missing from both it and
// the list, stops the list before anything is written.
// A list in Windows-1252 whose first chunk's reasons hold a character that encoding lacks is
// answered in UTF-8 with a byte order mark.
Outcome valueTreeListFile(TreeListBatch &batch, const TreeListHome &home, QIODevice &out);

// The message for a result that could not be written whole, from the errno of the write.
QString writeFailure(int error);
