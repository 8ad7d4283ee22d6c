// cure: representative-point clustering of the genes of a matrix. Asks for the number of
// representatives, alpha and the distance threshold, reads the run files, merges the clusters
// with the closest representative points, then writes the result file and the listing.
#include <iostream>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/program_method.h"
#include "common/run_files.h"
#include "cure/cure.h"

int main() {
  using namespace clustering;
  return runEngine("cure", [] {
    Console console(std::cin, std::cout);
    int representativeCount = 0;  // asked for, but every cluster keeps exactly one point
    double alpha = 0.0;
    double distanceThreshold = 0.0;
    console.ask("Enter number of representative, alpha and distance threshold\n",
                {&representativeCount, &alpha, &distanceThreshold});

    auto [paths, result, counts] = readRunFiles(ZeroGenes::Allow);  // no genes: both files are written empty
    ClusterListing listing = createListing(paths, HeadingStyle::NoBlank);

    const std::vector<GeneRow> rows = paths.matrix.loadRows<GeneRow>(counts.geneCount, counts.sampleCount);

    cure::ClusterTables tables = cure::startClusters(rows);
    ProgramStep<cure::LiteralClosestPairs, cure::KeptClosestPairs> search;
    cure::mergeClusters(rows, counts.sampleCount, alpha, distanceThreshold, search, tables);

    writeClusters(result, &listing, rows, counts.sampleCount, cure::clustersByLowestRow(tables.clusterHead));
  });
}
