// sting: grid-cell clustering of the genes of a matrix. Asks for the distance threshold, reads
// the run files, cuts every sample's range into intervals, gathers genes into grid cells, joins
// close cells into clusters, then writes the result file and the listing.
#include <iostream>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/program_method.h"
#include "common/run_files.h"
#include "sting/fast_cells.h"
#include "sting/literal_cells.h"
#include "sting/sting.h"

int main() {
  using namespace clustering;
  return runEngine("sting", [] {
    Console console(std::cin, std::cout);
    const double distanceThreshold = console.askNumber("Enter distance threshold\n");

    auto [paths, result, counts] = readRunFiles(ZeroGenes::Allow);  // no genes: both files are written empty
    ClusterListing listing = createListing(paths, HeadingStyle::NoBlank);

    std::vector<sting::GeneRow> rows = paths.matrix.loadRows<sting::GeneRow>(counts.geneCount, counts.sampleCount);
    const sting::GridClustering grid = sting::clusterGenes(
        rows, counts.sampleCount, distanceThreshold, ProgramStep<sting::LiteralCellSteps, sting::FastCellSteps>{});

    writeClusters(result, &listing, rows, counts.sampleCount, sting::clusterMembers(grid.cells, grid.clusterCount));
  });
}
