#include "gene_row.h"

namespace clustering {

std::string badValueMessage(const std::string& matrixLabel, int row, const std::string& name, int sample,
                            const std::string& token, NumberParse problem, bool singlePrecision) {
  std::string message = "matrix file " + matrixLabel + ": row " + std::to_string(row) + " (gene \"" + name +
                        "\"), sample " + std::to_string(sample) + ": \"" + token + "\" ";
  if (problem == NumberParse::OutOfRange) {
    message += singlePrecision ? "does not fit a single-precision number" : "does not fit a double";
  } else {
    message += "is not a number";
  }
  return message + "; every row must be a gene name followed by one number per sample";
}

std::string shortMatrixMessage(const std::string& matrixLabel, int completeRows, int geneCount) {
  return "matrix file " + matrixLabel + " ends after " + std::to_string(completeRows) + " complete row" +
         (completeRows == 1 ? "" : "s") + ", but the dimensions run file gives " + std::to_string(geneCount) +
         " genes; correct the gene count or the matrix";
}

}  // namespace clustering
