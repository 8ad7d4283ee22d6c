// tolvar: randomized medoid search over the genes of a matrix. Reads the run files, asks for
// the number of clusters, searches the medoids in three restarts, assigns every gene and writes
// the result file and the listing, the genes in the final order of the mixed table.
#include <iostream>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/program_method.h"
#include "common/random.h"
#include "common/run_files.h"
#include "fast_sweep.h"
#include "literal_sweep.h"
#include "tolvar.h"

int main() {
  using namespace clustering;
  return runEngine("tolvar", [] {
    RunPaths paths = readPathsRunFile();
    // The result file is emptied here, before the prompt, and again after it; nothing is ever
    // written through this first stream.
    OutputFile emptiedResult = createResultFile(paths);
    const Dimensions counts = readDimensionsRunFile();
    requireUsableCounts(counts, ZeroGenes::Allow);

    Console console(std::cin, std::cout);
    const int clusterCount = console.askWholeNumber("Enter number of cluster\n");
    tolvar::requireDrawableClusterCount(counts.geneCount, clusterCount);

    OutputFile result = createResultFile(paths);
    OutputFile listing = createListing(paths);
    std::vector<GeneRow> rows =
        loadGeneRows<GeneRow>(*paths.matrixTokens, quoted(paths.matrixHostPath), counts.geneCount, counts.sampleCount);
    paths.matrix->close();

    ProgramStep<tolvar::LiteralSweep, tolvar::FastSweep> sweep;
    const std::vector<int> membership =
        tolvar::searchMedoids(rows, counts.sampleCount, clusterCount, processRandomSequence(), sweep);

    std::vector<std::vector<int>> members(static_cast<std::size_t>(clusterCount));
    if (clusterCount > 0) {  // with no slots every gene keeps slot 0 and none is written
      for (int q = 0; q < counts.geneCount; ++q) members[membership[q]].push_back(q);
    }
    ClusterWriter writer(result, &listing, HeadingStyle::NoBlank);
    for (int s = 0; s < clusterCount; ++s) {
      writer.heading(s);  // an empty cluster keeps its heading
      for (int q : members[s]) writer.member(rows[q], counts.sampleCount, s);
    }
    writer.finish();
  });
}
