// birch: clustering-feature clustering of the genes of a matrix. Reads the run files, creates
// the listing, asks for the threshold distance and the minimum number of clusters, absorbs the
// rows into features, merges the closest features, then writes the result file and the listing.
#include <iostream>
#include <vector>

#include "birch/birch.h"
#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/program_method.h"
#include "common/run_files.h"

int main() {
  using namespace clustering;
  return runEngine("birch", [] {
    auto [paths, result, counts] = readRunFiles(ZeroGenes::Refuse);
    ClusterListing listing = createListing(paths, HeadingStyle::NoBlank);

    Console console(std::cin, std::cout);
    const double thresholdDistance = console.askNumber("Enter threshold distance \n");
    // Fewer than one cluster would write no gene at all, so such an answer is asked again.
    const int minClusterCount =
        console.askWholeNumberWithin("Enter minimum number of cluster\n", "the minimum number of clusters", 1,
                                     mostClusters(counts.geneCount), Console::BelowFewest::AskAgain);

    const std::vector<GeneRow> rows = paths.matrix.loadRows<GeneRow>(counts.geneCount, counts.sampleCount);

    ProgramStep<birch::LiteralNearestFeature, birch::PrunedNearestFeature> nearestFeature;
    birch::FeatureTable table = birch::absorbRows(rows, counts.sampleCount, thresholdDistance, nearestFeature);
    std::cout << "Clustering started\n" << std::flush;
    ProgramStep<birch::LiteralClosestFeatures, birch::KeptClosestFeatures> closestFeatures;
    const birch::MergeOutcome merged =
        birch::mergeClosestFeatures(table, counts.sampleCount, minClusterCount, closestFeatures);

    const int headings = birch::headingCount(minClusterCount, merged);
    std::vector<std::vector<int>> clusters = birch::clustersByLowestRow(table.subclusterOfRow, headings);
    clusters.resize(static_cast<std::size_t>(headings));  // headings beyond the clusters stay bare
    writeClusters(result, &listing, rows, counts.sampleCount, clusters);
  });
}
