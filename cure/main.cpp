// cure: representative-point clustering of the genes of a matrix. Asks for the number of
// representatives, alpha and the distance threshold, reads the run files, merges the clusters
// with the closest representative points, then writes the result file and the listing.
#include <iostream>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/program_method.h"
#include "common/run_files.h"
#include "cure.h"

int main() {
  using namespace clustering;
  return runEngine("cure", [] {
    Console console(std::cin, std::cout);
    int representativeCount = 0;  // asked for, but every cluster keeps exactly one point
    double alpha = 0.0;
    double distanceThreshold = 0.0;
    console.ask("Enter number of representative, alpha and distance threshold\n",
                {&representativeCount, &alpha, &distanceThreshold});

    RunPaths paths = readPathsRunFile();
    OutputFile result = createResultFile(paths);
    const Dimensions counts = readDimensionsRunFile();
    requireUsableCounts(counts, ZeroGenes::Allow);  // no genes: both files are written empty
    OutputFile listing = createListing(paths);

    const std::vector<GeneRow> rows =
        loadGeneRows<GeneRow>(*paths.matrixTokens, quoted(paths.matrixHostPath), counts.geneCount, counts.sampleCount);
    paths.matrix->close();

    cure::ClusterTables tables = cure::startClusters(rows);
    ProgramStep<cure::LiteralClosestPairs, cure::KeptClosestPairs> search;
    cure::mergeClusters(rows, counts.sampleCount, alpha, distanceThreshold, search, tables);

    ClusterWriter writer(result, &listing, HeadingStyle::NoBlank);
    const std::vector<std::vector<int>> clusters = cure::clustersByLowestRow(tables.clusterHead);
    for (int k = 0; k < static_cast<int>(clusters.size()); ++k) {
      writer.heading(k);
      for (int member : clusters[k]) writer.member(rows[member], counts.sampleCount, k);
    }
    writer.finish();
  });
}
