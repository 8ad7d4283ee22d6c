// tolvar: randomized medoid search over the genes of a matrix. Reads the run files, asks for
// the number of clusters, searches the medoids in three restarts, assigns every gene and writes
// the result file and the listing, the genes in the final order of the mixed table.
#include <iostream>
#include <vector>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/program_method.h"
#include "common/random.h"
#include "common/run_files.h"
#include "tolvar/fast_sweep.h"
#include "tolvar/literal_sweep.h"
#include "tolvar/tolvar.h"

int main() {
  using namespace clustering;
  return runEngine("tolvar", [] {
    // The result file is emptied here, before the prompt, and again after it; nothing is ever
    // written through this first one, which holds the file's lock until the end. No genes pass
    // here on purpose: tolvar refuses them only after its prompt (requireDrawableClusterCount).
    auto [paths, emptiedResult, counts] = readRunFiles(ZeroGenes::Allow);

    Console console(std::cin, std::cout);
    const int clusterCount = console.askWholeNumber("Enter number of cluster\n");
    tolvar::requireDrawableClusterCount(counts.geneCount, clusterCount);  // refuses no genes, too

    OutputFile result = emptiedResult.createAgain();
    ClusterListing listing = createListing(paths, HeadingStyle::NoBlank);
    std::vector<GeneRow> rows = paths.matrix.loadRows<GeneRow>(counts.geneCount, counts.sampleCount);

    ProgramStep<tolvar::LiteralSweep, tolvar::FastSweep> sweep;
    const std::vector<int> membership =
        tolvar::searchMedoids(rows, counts.sampleCount, clusterCount, processRandomSequence(), sweep);

    // Every cluster keeps its heading, empty ones too; with no clusters nothing is written.
    writeClusters(result, &listing, rows, counts.sampleCount, groupByCluster(membership, clusterCount));
  });
}
