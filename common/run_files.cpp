#include "run_files.h"

#include <cerrno>
#include <sstream>

#include "failure.h"
#include "gene_row.h"
#include "host_path.h"

namespace clustering {

// Built by appending: GCC 12 at -O3 takes `"\"" + string` for an overlapping copy and warns.
std::string quoted(const std::filesystem::path& path) {
  std::string text = "\"";
  text += path.string();
  text += '"';
  return text;
}

std::optional<std::string> readRunPath(TokenReader& runFile) {
  std::string token;
  if (!runFile.next(token)) return std::nullopt;
  std::string path = token;
  while (token.find('.') == std::string::npos) {
    if (!runFile.next(token)) break;  // a path also ends at the end of the file
    path += ' ';
    path += token;
  }
  return path;
}

namespace {

std::string describeRunFile(std::string_view name, const std::filesystem::path& host) {
  return std::string(name) + " (" + host.string() + ")";
}

// A folder opens for reading on this host and fails only at the first read, with a message that
// names no file; it is refused at the open instead, with the reason the read would give.
void openForReading(std::ifstream& in, const std::filesystem::path& host) {
  std::error_code ignored;
  if (std::filesystem::is_directory(host, ignored)) {
    errno = EISDIR;
    return;
  }
  errno = 0;
  in.open(host, std::ios::binary);
}

}  // namespace

RunPaths readPathsRunFile() {
  const std::filesystem::path runHost = resolveHostPath(PathsRunFile);
  const std::string runLabel = "the paths run file " + describeRunFile(PathsRunFile, runHost);
  std::ifstream runFile;
  openForReading(runFile, runHost);
  if (!runFile.is_open()) {
    throw EngineError("cannot open " + runLabel + ": " + systemReason() +
                      "; choose the input and result files in the front end, or write the file by hand");
  }
  TokenReader runTokens(runFile);
  RunPaths paths;
  std::optional<std::string> matrixPath = readRunPath(runTokens);
  if (!matrixPath) throw EngineError(runLabel + " holds no matrix path; line 1 must name the matrix file");
  paths.matrixPath = *matrixPath;
  paths.matrixHostPath = resolveHostPath(paths.matrixPath);
  paths.matrix = std::make_unique<std::ifstream>();
  openForReading(*paths.matrix, paths.matrixHostPath);
  if (!paths.matrix->is_open()) {
    throw EngineError("cannot open the matrix file " + quoted(paths.matrixHostPath) + ": " + systemReason());
  }
  paths.matrixTokens = std::make_unique<TokenReader>(*paths.matrix);
  std::optional<std::string> resultPath = readRunPath(runTokens);
  if (!resultPath) throw EngineError(runLabel + " holds no result path; line 2 must name the result file");
  paths.resultPath = *resultPath;
  paths.resultHostPath = resolveHostPath(paths.resultPath);
  if (sameFile(paths.matrixHostPath, paths.resultHostPath)) {
    throw EngineError("the result file " + quoted(paths.resultHostPath) +
                      " is the matrix file itself; choose another result file so that the matrix is not emptied");
  }
  // Emptying a run file would lose the counts before they are read, or the paths of the next run.
  for (std::string_view runFileName : {PathsRunFile, DimensionsRunFile}) {
    if (sameFile(resolveHostPath(runFileName), paths.resultHostPath)) {
      throw EngineError("the result file " + quoted(paths.resultHostPath) + " is the run file " +
                        std::string(runFileName) + "; choose another result file");
    }
  }
  return paths;
}

OutputFile::OutputFile(std::filesystem::path hostPath, std::string label)
    : hostPath_(std::move(hostPath)), label_(std::move(label)) {
  errno = 0;
  out_ = std::make_unique<std::ofstream>(hostPath_, std::ios::binary | std::ios::trunc);
  if (!*out_) throw EngineError("cannot create the " + label_ + " " + quoted(hostPath_) + ": " + systemReason());
}

void OutputFile::finish() {
  if (!out_) return;
  errno = 0;
  out_->flush();
  if (!*out_) throw EngineError("cannot write the " + label_ + " " + quoted(hostPath_) + ": " + systemReason());
}

OutputFile createResultFile(const RunPaths& paths) { return OutputFile(paths.resultHostPath, "result file"); }

OutputFile createListing(const RunPaths& paths) {
  const std::filesystem::path listing{std::string(ListingFile)};
  if (sameFile(listing, paths.matrixHostPath)) {
    throw EngineError("the matrix file " + quoted(paths.matrixHostPath) +
                      " is the cluster listing outputcluster.txt of the working folder, which would be emptied; "
                      "rename the matrix or start the engine in another folder");
  }
  if (sameFile(listing, paths.resultHostPath)) {
    throw EngineError("the result file " + quoted(paths.resultHostPath) +
                      " is the cluster listing outputcluster.txt of the working folder; choose another result file");
  }
  return OutputFile(listing, "cluster listing");
}

Dimensions parseDimensions(std::string_view text, const std::string& label) {
  std::string content(text);
  std::istringstream in(content);
  TokenReader tokens(in);
  Dimensions counts;
  const char* what[2] = {"gene count (line 1)", "sample count (line 2)"};
  int* targets[2] = {&counts.geneCount, &counts.sampleCount};
  for (int k = 0; k < 2; ++k) {
    std::string token;
    if (!tokens.next(token)) {
      throw EngineError(label + " holds no " + what[k] +
                        "; it must hold the number of genes and the number of samples, one whole number per line");
    }
    const NumberParse parsed = parseWholeNumber(token, *targets[k]);
    if (parsed == NumberParse::OutOfRange) {
      throw EngineError(label + ": the " + what[k] + " \"" + token + "\" is too large");
    }
    if (parsed != NumberParse::Ok) {
      throw EngineError(label + ": the " + what[k] + " \"" + token + "\" is not a whole number");
    }
  }
  return counts;
}

Dimensions readDimensionsRunFile() {
  const std::filesystem::path host = resolveHostPath(DimensionsRunFile);
  const std::string label = "the dimensions run file " + describeRunFile(DimensionsRunFile, host);
  std::ifstream in;
  openForReading(in, host);
  if (!in.is_open()) {
    throw EngineError("cannot open " + label + ": " + systemReason() +
                      "; enter the number of genes and samples in the front end, or write the file by hand");
  }
  std::ostringstream content;
  content << in.rdbuf();
  return parseDimensions(content.str(), label);
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

}  // namespace clustering
