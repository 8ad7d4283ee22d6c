// sting: grid-cell clustering of the genes of a matrix. Asks for the distance threshold, reads
// the run files, cuts every sample's range into intervals, gathers genes into grid cells, joins
// close cells into clusters, then writes the result file and the listing.
#include <iostream>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/run_files.h"
#include "sting/sting.h"

int main() {
  using namespace clustering;
  return runEngine("sting", [] {
    Console console(std::cin, std::cout);
    const double distanceThreshold = console.askNumber("Enter distance threshold\n");

    auto [paths, result, counts] = readRunFiles(ZeroGenes::Allow);  // no genes: both files are written empty
    ClusterListing listing = createListing(paths, HeadingStyle::NoBlank);

    std::vector<sting::GeneRow> rows = paths.matrix.loadRows<sting::GeneRow>(counts.geneCount, counts.sampleCount);
    const sting::ColumnRanges ranges = sting::findColumnRanges(rows, counts.sampleCount);

    sting::assignIntervals(rows, counts.sampleCount, ranges);
    std::vector<sting::GridCell> cells = sting::buildGridCells(rows, counts.sampleCount);
    const int clusterCount = sting::groupCells(cells, counts.sampleCount, distanceThreshold);

    writeClusters(result, &listing, rows, counts.sampleCount, sting::clusterMembers(cells, clusterCount));
  });
}
