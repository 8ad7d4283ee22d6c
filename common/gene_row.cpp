#include "common/gene_row.h"

#include "common/printable.h"

namespace clustering {

namespace {

constexpr std::string_view RowHint = "; every row must be a gene name followed by one number per sample";

std::string rowPlace(const std::string& matrixLabel, int row) {
  return "matrix file " + matrixLabel + ": row " + std::to_string(row);
}

std::string valuePlace(const std::string& matrixLabel, int row, const std::string& name, int sample) {
  return rowPlace(matrixLabel, row) + " (gene " + quotedToken(name) + "), sample " + std::to_string(sample) + ": ";
}

}  // namespace

std::string badValueMessage(const std::string& matrixLabel, int row, const std::string& name, int sample,
                            const std::string& token, NumberParse problem, bool singlePrecision) {
  std::string message = valuePlace(matrixLabel, row, name, sample) + quotedToken(token) + " ";
  if (problem == NumberParse::OutOfRange) {
    message += singlePrecision ? "does not fit a single-precision number" : "does not fit a double";
  } else {
    message += "is not a number";
  }
  return message + std::string(RowHint);
}

std::string longTokenMessage(const std::string& matrixLabel, int row, const std::string& name, int sample,
                             const std::string& token) {
  const std::string place =
      sample == 0 ? rowPlace(matrixLabel, row) + ": the gene name " : valuePlace(matrixLabel, row, name, sample);
  return place + quotedToken(token) + " is longer than " + std::to_string(MaxTokenLength) + " characters" +
         std::string(RowHint);
}

std::string shortMatrixMessage(const std::string& matrixLabel, int completeRows, int geneCount) {
  return "matrix file " + matrixLabel + " ends after " + std::to_string(completeRows) + " complete row" +
         (completeRows == 1 ? "" : "s") + ", but the dimensions run file gives " + std::to_string(geneCount) +
         " genes; correct the gene count or the matrix";
}

}  // namespace clustering
