// The matrix file of a run: opened as soon as its path has been read from the paths run file,
// then read once, when the engine loads its rows. Loading closes the file (korrin alone keeps
// it open until it ends), so no main handles the stream itself.
#pragma once

#include <filesystem>
#include <vector>

#include "common/gene_row.h"
#include "common/input_file.h"
#include "common/printable.h"
#include "common/tokens.h"

namespace clustering {

class MatrixFile {
 public:
  // `file` is open; `host` is where it lives, for the messages.
  MatrixFile(InputFile file, std::filesystem::path host)
      : file_(std::move(file)), host_(std::move(host)), tokens_(file_.stream()) {}
  MatrixFile(MatrixFile&&) = default;

  const std::filesystem::path& hostPath() const { return host_; }

  enum class AfterLoading { Close, StaysOpen };
  // The rows of the matrix as loadGeneRows reads them.
  template <typename Row>
  std::vector<Row> loadRows(int geneCount, int sampleCount, AfterLoading after = AfterLoading::Close) {
    std::vector<Row> rows = loadGeneRows<Row>(tokens_, quotedPath(host_), geneCount, sampleCount);
    if (after == AfterLoading::Close) file_.close();
    return rows;
  }

 private:
  InputFile file_;
  std::filesystem::path host_;
  TokenReader tokens_;  // reads file_, whose stream keeps its place when the file is moved
};

}  // namespace clustering
