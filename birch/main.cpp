// birch: clustering-feature clustering of the genes of a matrix. Reads the run files, creates
// the listing, asks for the threshold distance and the minimum number of clusters, absorbs the
// rows into features, merges the closest features, then writes the result file and the listing.
#include <iostream>
#include <string>

#include "birch.h"
#include "common/cluster_output.h"
#include "common/console.h"
#include "common/engine_main.h"
#include "common/program_method.h"
#include "common/run_files.h"

namespace {

// Fewer than one cluster would write no gene at all, so such an answer is asked again.
int askMinClusterCount(clustering::Console& console) {
  const char* const prompt = "Enter minimum number of cluster\n";
  int minClusterCount = console.askWholeNumber(prompt);
  while (minClusterCount < 1) {
    std::string hint = "\"";
    hint += std::to_string(minClusterCount);
    hint += "\" is too few; the minimum number of clusters is 1 or more; please answer again.";
    console.hint(hint);
    minClusterCount = console.askWholeNumber(prompt);
  }
  return minClusterCount;
}

}  // namespace

int main() {
  using namespace clustering;
  return runEngine("birch", [] {
    RunPaths paths = readPathsRunFile();
    OutputFile result = createResultFile(paths);
    const Dimensions counts = readDimensionsRunFile();
    requireUsableCounts(counts, ZeroGenes::Refuse);
    OutputFile listing = createListing(paths);

    Console console(std::cin, std::cout);
    const double thresholdDistance = console.askNumber("Enter threshold distance \n");
    const int minClusterCount = askMinClusterCount(console);

    const std::vector<GeneRow> rows =
        loadGeneRows<GeneRow>(*paths.matrixTokens, quoted(paths.matrixHostPath), counts.geneCount, counts.sampleCount);
    paths.matrix->close();

    ProgramStep<birch::LiteralNearestFeature, birch::PrunedNearestFeature> nearestFeature;
    birch::FeatureTable table = birch::absorbRows(rows, counts.sampleCount, thresholdDistance, nearestFeature);
    std::cout << "Clustering started\n" << std::flush;
    ProgramStep<birch::LiteralClosestFeatures, birch::KeptClosestFeatures> closestFeatures;
    const birch::MergeOutcome merged =
        birch::mergeClosestFeatures(table, counts.sampleCount, minClusterCount, closestFeatures);

    const int headings = birch::headingCount(minClusterCount, merged);
    const std::vector<std::vector<int>> clusters = birch::clustersByLowestRow(table.subclusterOfRow, headings);
    ClusterWriter writer(result, &listing, HeadingStyle::NoBlank);
    for (int t = 0; t < headings; ++t) {
      writer.heading(t);
      if (t >= static_cast<int>(clusters.size())) continue;
      for (int row : clusters[t]) writer.member(rows[row], counts.sampleCount, t);
    }
    writer.finish();
  });
}
