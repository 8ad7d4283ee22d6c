// Writing the clusters: the result file gets one line "name\tname\tcluster" per gene (cluster
// numbered from 0), the listing "outputcluster.txt" a heading per cluster (numbered from 1)
// and one line per member: the name and each value, each followed by a tab. Values print in
// fixed notation with six decimals, as "%f" and "%lf" both print a double. Each engine decides
// which clusters are written and in which order; this writes what it is given.
#pragma once

#include <string>

#include "console.h"
#include "run_files.h"

namespace clustering {

enum class HeadingStyle {
  WithBlank,  // "Cluster 1" (varnek)
  NoBlank,    // "Cluster1" (the others)
};

class ClusterWriter {
 public:
  // `listing` may be null (korrin writes the result file alone).
  ClusterWriter(OutputFile& result, OutputFile* listing, HeadingStyle style)
      : result_(result), listing_(listing), style_(style) {}

  // The listing heading of the cluster numbered `cluster` from 0.
  void heading(int cluster);

  template <typename Row>
  void member(const Row& row, int sampleCount, int cluster) {
    resultLine(row.name, cluster);
    if (listing_ == nullptr) return;
    listing_->write(row.name);
    listing_->write("\t");
    for (int s = 0; s < sampleCount; ++s) listingValue(static_cast<double>(row.values[static_cast<std::size_t>(s)]));
    listing_->endLine();
  }

  // Writes out both files; a failed write is refused.
  void finish();

 private:
  void resultLine(const std::string& name, int cluster);
  void listingValue(double value);

  OutputFile& result_;
  OutputFile* listing_;
  HeadingStyle style_;
};

}  // namespace clustering
