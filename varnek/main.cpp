// varnek: chain-merging clustering of the genes of a matrix. Asks for the merge threshold,
// reads the run files, links, chains and merges, then writes the result file and the listing.
#include <iostream>
#include <ranges>

#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/fixed_notation.h"
#include "common/program_method.h"
#include "common/run_files.h"
#include "varnek/fast_linking.h"
#include "varnek/fast_merging.h"
#include "varnek/literal_method.h"
#include "varnek/varnek.h"

int main() {
  using namespace clustering;
  return runEngine("varnek", [] {
    Console console(std::cin, std::cout);
    const double mergeThreshold = console.askNumber("Enter distance threshold\n");

    auto [paths, result, counts] = readRunFiles(ZeroGenes::Refuse);
    ClusterListing listing = createListing(paths, HeadingStyle::WithBlank);

    const std::vector<GeneRow> rows = paths.matrix.loadRows<GeneRow>(counts.geneCount, counts.sampleCount);

    const ProgramStep<varnek::LiteralLinking, varnek::FastLinking> linking;
    std::vector<varnek::NeighbourLink> links = linking.link(rows, counts.sampleCount);
    std::vector<varnek::ClusterSlot> slots = varnek::buildChains(links);
    std::cout << "Clustering started\n" << std::flush;
    ProgramStep<varnek::LiteralMerging, varnek::FastMerging> merging;
    varnek::mergeClusters(rows, counts.sampleCount, slots, mergeThreshold, merging, [](const varnek::MergePass& pass) {
      std::cout << "mini=" << pass.a << "\tminj=" << pass.b << "\tval=" << formatFixed(pass.score) << "\n"
                << std::flush;
    });

    writeClusters(result, &listing, rows, counts.sampleCount, slots | std::views::transform(&varnek::ClusterSlot::members));
  });
}
