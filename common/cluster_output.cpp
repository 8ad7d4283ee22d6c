#include "common/cluster_output.h"

#include "common/failure.h"
#include "common/host_path.h"
#include "common/printable.h"

namespace clustering {

ClusterListing createListing(const RunPaths& paths, HeadingStyle style) {
  const std::filesystem::path listing{std::string(ListingFile)};
  if (sameFile(listing, paths.matrix.hostPath())) {
    throw EngineError("the matrix file " + quotedPath(paths.matrix.hostPath()) +
                      " is the cluster listing outputcluster.txt of the working folder, which would be emptied; "
                      "rename the matrix or start the engine in another folder");
  }
  if (sameFile(listing, paths.resultHostPath)) {
    throw EngineError("the result file " + quotedPath(paths.resultHostPath) +
                      " is the cluster listing outputcluster.txt of the working folder; choose another result file");
  }
  return ClusterListing{OutputFile(listing, "cluster listing"), style};
}

std::vector<std::vector<int>> groupByCluster(const std::vector<int>& membership, int clusterCount) {
  std::vector<std::vector<int>> members(static_cast<std::size_t>(clusterCount));
  if (clusterCount == 0) return members;
  for (int gene = 0; gene < static_cast<int>(membership.size()); ++gene) {
    members[static_cast<std::size_t>(membership[static_cast<std::size_t>(gene)])].push_back(gene);
  }
  return members;
}

void writeHeading(ClusterListing& listing, int cluster) {
  listing.file.write(listing.style == HeadingStyle::WithBlank ? "Cluster " : "Cluster");
  listing.file.write(std::to_string(cluster + 1));
  listing.file.endLine();
}

void writeResultLine(OutputFile& result, const std::string& name, int cluster) {
  result.write(name);
  result.write("\t");
  result.write(name);
  result.write("\t");
  result.write(std::to_string(cluster));
  result.endLine();
}

}  // namespace clustering
