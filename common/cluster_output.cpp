#include "cluster_output.h"

#include <cstdio>

namespace clustering {

void ClusterWriter::heading(int cluster) {
  if (listing_ == nullptr) return;
  listing_->write(style_ == HeadingStyle::WithBlank ? "Cluster " : "Cluster");
  listing_->write(std::to_string(cluster + 1));
  listing_->endLine();
}

void ClusterWriter::resultLine(const std::string& name, int cluster) {
  result_.write(name);
  result_.write("\t");
  result_.write(name);
  result_.write("\t");
  result_.write(std::to_string(cluster));
  result_.endLine();
}

void ClusterWriter::listingValue(double value) {
  char buffer[512];
  const int length = std::snprintf(buffer, sizeof buffer, "%f\t", value);
  listing_->write(std::string_view(buffer, static_cast<std::size_t>(length)));
}

void ClusterWriter::finish() {
  result_.finish();
  if (listing_ != nullptr) listing_->finish();
}

}  // namespace clustering
