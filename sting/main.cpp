// sting: grid-cell clustering of the genes of a matrix. Asks for the distance threshold, reads
// the run files, cuts every sample's range into intervals, gathers genes into grid cells, joins
// close cells into clusters, then writes the result file and the listing.
#include <iostream>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/program_method.h"
#include "common/run_files.h"
#include "fast_cells.h"
#include "literal_cells.h"
#include "sting.h"

int main() {
  using namespace clustering;
  return runEngine("sting", [] {
    Console console(std::cin, std::cout);
    const double distanceThreshold = console.askNumber("Enter distance threshold\n");

    RunPaths paths = readPathsRunFile();
    OutputFile result = createResultFile(paths);
    const Dimensions counts = readDimensionsRunFile();
    // No genes is no fault here: both files are written empty.
    requireUsableCounts(counts, ZeroGenes::Allow);
    OutputFile listing = createListing(paths);

    std::vector<sting::GeneRow> rows = loadGeneRows<sting::GeneRow>(
        *paths.matrixTokens, quoted(paths.matrixHostPath), counts.geneCount, counts.sampleCount);
    paths.matrix->close();
    const sting::GridClustering grid = sting::clusterGenes(
        rows, counts.sampleCount, distanceThreshold, ProgramStep<sting::LiteralCellSteps, sting::FastCellSteps>{});

    ClusterWriter writer(result, &listing, HeadingStyle::NoBlank);
    const std::vector<std::vector<int>> clusters = sting::clusterMembers(grid.cells, grid.clusterCount);
    for (int c = 0; c < grid.clusterCount; ++c) {
      writer.heading(c);
      for (int row : clusters[static_cast<std::size_t>(c)]) {
        writer.member(rows[static_cast<std::size_t>(row)], counts.sampleCount, c);
      }
    }
    writer.finish();
  });
}
