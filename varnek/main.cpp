// varnek: chain-merging clustering of the genes of a matrix. Asks for the merge threshold,
// reads the run files, links, chains and merges, then writes the result file and the listing.
#include <iostream>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/program_method.h"
#include "common/run_files.h"
#include "fast_linking.h"
#include "fast_merging.h"
#include "literal_method.h"
#include "varnek.h"

int main() {
  using namespace clustering;
  return runEngine("varnek", [] {
    Console console(std::cin, std::cout);
    const double mergeThreshold = console.askNumber("Enter distance threshold\n");

    RunPaths paths = readPathsRunFile();
    OutputFile result = createResultFile(paths);
    const Dimensions counts = readDimensionsRunFile();
    requireUsableCounts(counts, ZeroGenes::Refuse);
    OutputFile listing = createListing(paths);

    const std::vector<GeneRow> rows =
        loadGeneRows<GeneRow>(*paths.matrixTokens, quoted(paths.matrixHostPath), counts.geneCount, counts.sampleCount);
    paths.matrix->close();

    const ProgramStep<varnek::LiteralLinking, varnek::FastLinking> linking;
    std::vector<varnek::NeighbourLink> links = linking.link(rows, counts.sampleCount);
    std::vector<varnek::ClusterSlot> slots = varnek::buildChains(links);
    std::cout << "Clustering started\n" << std::flush;
    ProgramStep<varnek::LiteralMerging, varnek::FastMerging> merging;
    varnek::mergeClusters(rows, counts.sampleCount, slots, mergeThreshold, merging, [](const varnek::MergePass& pass) {
      std::cout << "mini=" << pass.a << "\tminj=" << pass.b << "\tval=" << formatFixed(pass.score) << "\n"
                << std::flush;
    });

    ClusterWriter writer(result, &listing, HeadingStyle::WithBlank);
    for (int k = 0; k < static_cast<int>(slots.size()); ++k) {
      writer.heading(k);
      for (int member : slots[k].members) writer.member(rows[member], counts.sampleCount, k);
    }
    writer.finish();
  });
}
