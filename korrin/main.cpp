// korrin: centroid iteration over the genes of a matrix, in single precision. Reads the run
// files, asks for the number of clusters, iterates from a random partition and writes the
// result file alone; no listing is written.
#include <iostream>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/program_method.h"
#include "common/random.h"
#include "common/run_files.h"
#include "fast_reassign.h"
#include "korrin.h"
#include "literal_reassign.h"

int main() {
  using namespace clustering;
  return runEngine("korrin", [] {
    RunPaths paths = readPathsRunFile();  // the matrix stays open until the engine ends
    OutputFile result = createResultFile(paths);
    const Dimensions counts = readDimensionsRunFile();
    requireUsableCounts(counts, ZeroGenes::Allow);

    Console console(std::cin, std::cout);
    const int clusterCount = console.askWholeNumber("Enter number of cluster\n");
    korrin::requireClusterCount(clusterCount);

    const std::vector<korrin::GeneRow> rows = loadGeneRows<korrin::GeneRow>(
        *paths.matrixTokens, quoted(paths.matrixHostPath), counts.geneCount, counts.sampleCount);
    const std::vector<int> membership =
        korrin::clusterGenes(rows, counts.sampleCount, clusterCount, processRandomSequence(),
                             ProgramStep<korrin::LiteralReassignStep, korrin::FastReassignStep>{});

    std::vector<std::vector<int>> members(static_cast<std::size_t>(clusterCount));
    for (int i = 0; i < counts.geneCount; ++i) members[membership[i]].push_back(i);
    ClusterWriter writer(result, nullptr, HeadingStyle::NoBlank);
    for (int c = 0; c < clusterCount; ++c) {
      for (int i : members[c]) writer.member(rows[i], counts.sampleCount, c);
    }
    writer.finish();
  });
}
