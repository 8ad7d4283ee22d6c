// korrin: centroid iteration over the genes of a matrix, in single precision. Reads the run
// files, asks for the number of clusters, iterates from a random partition and writes the
// result file alone; no listing is written.
#include <iostream>
#include <vector>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/program_method.h"
#include "common/random.h"
#include "common/run_files.h"
#include "korrin/fast_reassign.h"
#include "korrin/korrin.h"
#include "korrin/literal_reassign.h"

int main() {
  using namespace clustering;
  return runEngine("korrin", [] {
    auto [paths, result, counts] = readRunFiles(ZeroGenes::Allow);

    Console console(std::cin, std::cout);
    const int clusterCount =
        console.askWholeNumberWithin("Enter number of cluster\n", "the number of clusters", 1,
                                     mostClusters(counts.geneCount), Console::BelowFewest::HandBack);
    korrin::requireClusterCount(clusterCount);

    const std::vector<korrin::GeneRow> rows = paths.matrix.loadRows<korrin::GeneRow>(
        counts.geneCount, counts.sampleCount, MatrixFile::AfterLoading::StaysOpen);
    const std::vector<int> membership =
        korrin::clusterGenes(rows, counts.sampleCount, clusterCount, processRandomSequence(),
                             ProgramStep<korrin::LiteralReassignStep, korrin::FastReassignStep>{});

    writeClusters(result, nullptr, rows, counts.sampleCount, groupByCluster(membership, clusterCount));
  });
}
