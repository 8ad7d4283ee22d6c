// Writing the clusters, the last step of every engine: the result file gets one line
// "name\tname\tcluster" per gene (cluster numbered from 0), the listing "outputcluster.txt" a
// heading per cluster (numbered from 1) and one line per member: the name and each value in
// fixed notation with six decimals, each followed by a tab. Each engine decides which clusters
// are written and in which order, empty ones included; this writes what it is given, the
// result line and the listing line of one member before the next member's.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/fixed_notation.h"
#include "common/output_file.h"
#include "common/run_files.h"

namespace clustering {

enum class HeadingStyle {
  WithBlank,  // "Cluster 1" (varnek)
  NoBlank,    // "Cluster1" (the others)
};

struct ClusterListing {
  OutputFile file;
  HeadingStyle style;
};

// Creates (empties) "outputcluster.txt" in the working folder, refusing when that name is the
// matrix file or the result file, which it would empty.
ClusterListing createListing(const RunPaths& paths, HeadingStyle style);

// Per cluster, its members in the order of the membership: gene i is a member of cluster
// membership[i]. With no clusters no gene is a member of one.
std::vector<std::vector<int>> groupByCluster(const std::vector<int>& membership, int clusterCount);

void writeHeading(ClusterListing& listing, int cluster);
void writeResultLine(OutputFile& result, const std::string& name, int cluster);

// Writes `clusters` (each a range of row numbers) in their order, and then writes out both
// files, refusing a failed write. `listing` is null for korrin, which writes no listing.
template <typename Row, typename Clusters>
void writeClusters(OutputFile& result, ClusterListing* listing, const std::vector<Row>& rows, int sampleCount,
                   const Clusters& clusters) {
  int cluster = 0;
  for (const auto& members : clusters) {
    if (listing != nullptr) writeHeading(*listing, cluster);
    for (const int member : members) {
      const Row& row = rows[static_cast<std::size_t>(member)];
      writeResultLine(result, row.name, cluster);
      if (listing == nullptr) continue;
      listing->file.write(row.name);
      listing->file.write("\t");
      for (int s = 0; s < sampleCount; ++s) {
        char text[FixedTextSize + 1];
        char* end = writeFixed(text, static_cast<double>(row.values[static_cast<std::size_t>(s)]));
        *end++ = '\t';
        listing->file.write(std::string_view(text, static_cast<std::size_t>(end - text)));
      }
      listing->file.endLine();
    }
    ++cluster;
  }
  result.finish();
  if (listing != nullptr) listing->file.finish();
}

}  // namespace clustering
