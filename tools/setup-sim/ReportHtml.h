// Reports people look at in a browser: one page that needs nothing but itself (no script, no
// request to anywhere: its pictures are in it), for one run, or for a matrix, whose table links
// every row to the whole report of its run. Each dialog is drawn as the simulation laid it out;
// the registry changes, files, profile-file entries and programs follow. A long list (thousands
// of registry keys or files) starts folded, with its count, so that the page stays quick to read.
#pragma once

#include <string>
#include <vector>

#include "platform/sim/Resources.h"
#include "tools/setup-sim/Matrix.h"
#include "tools/setup-sim/RunReport.h"

namespace lab {

// `resources` gives the pictures the dialogs show.
std::string RunHtml(const RunReport& report, const sim::Resources& resources);
// Each row links to its run's whole report (a row without one has no link).
std::string MatrixHtml(const std::string& disc, const std::vector<MatrixRow>& rows,
                       const sim::Resources& resources);

}  // namespace lab
