#include "common/run_files.h"

#include <utility>

#include "common/failure.h"
#include "common/gene_row.h"
#include "common/host_path.h"
#include "common/input_file.h"
#include "common/printable.h"
#include "common/regular_file.h"

namespace clustering {

std::optional<RunPath> readRunPath(TokenReader& runFile) {
  std::string token;
  if (runFile.next(token) == TokenRead::End) return std::nullopt;
  RunPath path{token};
  while (token.find('.') == std::string::npos) {
    if (runFile.next(token) == TokenRead::End) break;  // a path also ends at the end of the file
    path.text += ' ';
    path.text += token;
    ++path.pieces;
  }
  return path;
}

namespace {

constexpr std::string_view PathsRunFileHint =
    "; choose the input and result files in the front end, or write the file by hand";
constexpr std::string_view DimensionsRunFileHint =
    "; enter the number of genes and samples in the front end, or write the file by hand";

// "the paths run file c:\outinfo.txt (/home/.../outinfo.txt)"
std::string runFileLabel(std::string_view kind, std::string_view name) {
  return "the " + std::string(kind) + " run file " + std::string(name) + " (" +
         printable(resolveHostPath(name).native()) + ")";
}

std::string cannotOpen(const std::string& label, const std::string& reason, std::string_view hint) {
  return "cannot open " + label + ": " + reason + std::string(hint);
}

InputFile openRunFile(std::string_view name, const std::string& label, std::string_view hint) {
  InputFile file = InputFile::open(resolveHostPath(name));
  if (!file.isOpen()) throw EngineError(cannotOpen(label, file.failure(), hint));
  return file;
}

// Said when the matrix path that cannot be opened was joined from several tokens: a matrix path
// without a '.' swallows the result path, which the user seldom means.
std::string joinedNote(int pieces) {
  if (pieces < 2) return "";
  return "; this path was joined from " + std::to_string(pieces) + " blank-separated pieces of " +
         std::string(PathsRunFile) + ": a path ends with its first piece that holds a '.'";
}

MatrixFile openMatrix(const RunPath& path) {
  std::filesystem::path host = resolveHostPath(path.text);
  InputFile file = InputFile::open(host);
  if (!file.isOpen()) {
    throw EngineError("cannot open the matrix file " + quotedPath(host) + ": " + file.failure() +
                      joinedNote(path.pieces));
  }
  return MatrixFile(std::move(file), std::move(host));
}

// Emptying the matrix would lose the user's data; emptying a run file would lose the counts
// before they are read, or the paths of the next run.
void refuseResultOverAnInput(const RunPaths& paths) {
  const std::string result = "the result file " + quotedPath(paths.resultHostPath);
  if (sameFile(paths.matrix.hostPath(), paths.resultHostPath)) {
    throw EngineError(result + " is the matrix file itself; choose another result file so that the matrix is not emptied");
  }
  for (std::string_view runFileName : {PathsRunFile, DimensionsRunFile}) {
    if (sameFile(resolveHostPath(runFileName), paths.resultHostPath)) {
      throw EngineError(result + " is the run file " + std::string(runFileName) + "; choose another result file");
    }
  }
}

RunPaths readPathsRunFile() {
  const std::string label = runFileLabel("paths", PathsRunFile);
  InputFile runFile = openRunFile(PathsRunFile, label, PathsRunFileHint);
  TokenReader runTokens(runFile.stream());
  const std::optional<RunPath> matrixPath = readRunPath(runTokens);
  if (!matrixPath) throw EngineError(label + " holds no matrix path; line 1 must name the matrix file");
  MatrixFile matrix = openMatrix(*matrixPath);
  const std::optional<RunPath> resultPath = readRunPath(runTokens);
  if (!resultPath) throw EngineError(label + " holds no result path; line 2 must name the result file");
  RunPaths paths{std::move(matrix), resolveHostPath(resultPath->text)};
  refuseResultOverAnInput(paths);
  // The dimensions run file is read only after the result file is emptied; one that can never
  // be read (a pipe, a device, a folder) is refused before that.
  if (const std::optional<std::string> reason = nonRegularReason(resolveHostPath(DimensionsRunFile))) {
    throw EngineError(cannotOpen(runFileLabel("dimensions", DimensionsRunFile), *reason, DimensionsRunFileHint));
  }
  return paths;
}

Dimensions readDimensionsRunFile() {
  const std::string label = runFileLabel("dimensions", DimensionsRunFile);
  InputFile runFile = openRunFile(DimensionsRunFile, label, DimensionsRunFileHint);
  return parseDimensions(runFile.stream(), label);
}

}  // namespace

Dimensions parseDimensions(std::istream& text, const std::string& label) {
  TokenReader tokens(text);
  Dimensions counts;
  const char* what[2] = {"gene count (line 1)", "sample count (line 2)"};
  int* targets[2] = {&counts.geneCount, &counts.sampleCount};
  for (int k = 0; k < 2; ++k) {
    std::string token;
    const TokenRead read = tokens.next(token);
    if (read == TokenRead::End) {
      throw EngineError(label + " holds no " + what[k] +
                        "; it must hold the number of genes and the number of samples, one whole number per line");
    }
    const NumberParse parsed = read == TokenRead::Token ? parseWholeNumber(token, *targets[k]) : NumberParse::NotANumber;
    if (parsed == NumberParse::OutOfRange) {
      throw EngineError(label + ": the " + what[k] + " " + quotedToken(token) + " is too large");
    }
    if (parsed != NumberParse::Ok) {
      throw EngineError(label + ": the " + what[k] + " " + quotedToken(token) + " is not a whole number");
    }
  }
  return counts;
}

void requireUsableCounts(const Dimensions& counts, ZeroGenes zeroGenes) {
  const std::string label = "the dimensions run file " + std::string(DimensionsRunFile);
  if (counts.geneCount < 0) {
    throw EngineError(label + " gives a negative gene count (" + std::to_string(counts.geneCount) + ")");
  }
  if (counts.sampleCount < 0) {
    throw EngineError(label + " gives a negative sample count (" + std::to_string(counts.sampleCount) + ")");
  }
  if (counts.sampleCount > MaxSamples) {
    throw EngineError(label + " gives " + std::to_string(counts.sampleCount) + " samples; at most " +
                      std::to_string(MaxSamples) + " samples per gene are supported");
  }
  if (counts.geneCount == 0 && zeroGenes == ZeroGenes::Refuse) {
    throw EngineError(label + " gives 0 genes; there is nothing to cluster");
  }
}

RunFiles readRunFiles(ZeroGenes zeroGenes) {
  RunPaths paths = readPathsRunFile();  // closes the paths run file before the result file is emptied
  OutputFile result(paths.resultHostPath, "result file");
  const Dimensions counts = readDimensionsRunFile();
  requireUsableCounts(counts, zeroGenes);
  return RunFiles{std::move(paths), std::move(result), counts};
}

}  // namespace clustering
