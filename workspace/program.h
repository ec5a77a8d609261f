#pragma once
// The program-level object: one plain struct per globals module, owned here and passed by
// reference. Tests make fresh instances. Each module adds its member with a one-line edit.

#include "engine/formula_engine.h"
#include "typeset/formula_typesetter.h"
#include "workspace/graph_window.h"

#include <QString>

namespace linoveta {

struct Program {
    FormulaEngine engine;           // formula tables, CurrentFunction, LastFunction, KeyMask
    GraphWindow graph;              // XMin..YMax, colours, read-out precision
    FormulaMessageSink formulaMessages; // the typesetter's error message; main() shows it in a box

    QString CommandFile;            // document named on the command line, "" once used
    bool AddingFromFile = false;    // the loader's new-line commands move no focus
    bool ShadeOn = false;           // area shading of the Calculate Area loop
    double ShadeFrom = 0, ShadeTo = 0; // the shaded x band
};

} // namespace linoveta
