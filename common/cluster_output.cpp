#include "cluster_output.h"

#include <charconv>

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
  // Fixed notation with six decimals is defined as "%f" prints it, and is written a few times
  // faster than printf formats it; the listing holds every value of the matrix.
  char buffer[512];
  char* end = std::to_chars(buffer, buffer + sizeof buffer - 1, value, std::chars_format::fixed, 6).ptr;
  *end++ = '\t';
  listing_->write(std::string_view(buffer, static_cast<std::size_t>(end - buffer)));
}

void ClusterWriter::finish() {
  result_.finish();
  if (listing_ != nullptr) listing_->finish();
}

}  // namespace clustering
