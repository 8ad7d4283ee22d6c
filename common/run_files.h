// The files an engine meets: the paths run file "c:\outinfo.txt" (matrix path, result path),
// the dimensions run file "c:\doutinfo.txt" (gene count, sample count), the matrix, the result
// file and the cluster listing. Every engine goes through them in the same sequence:
//   readPathsRunFile      the matrix file is opened as soon as its path is read
//   createResultFile      empties the result file, before a single row is read
//   readDimensionsRunFile the first two whole numbers of the file
// A file that cannot be opened or created, a missing path, a result file that is the matrix
// itself and unusable counts are refused with an EngineError that says what to fix.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "tokens.h"

namespace clustering {

// One path from the paths run file: white-space separated tokens joined with single blanks,
// ending with the first token that holds a '.', or at the end of the file. No token where a
// path begins gives nothing.
std::optional<std::string> readRunPath(TokenReader& runFile);

struct RunPaths {
  std::string matrixPath;  // as the run file spells them
  std::string resultPath;
  std::filesystem::path matrixHostPath;
  std::filesystem::path resultHostPath;
  std::unique_ptr<std::ifstream> matrix;  // opened as soon as its path was read
  std::unique_ptr<TokenReader> matrixTokens;
};

RunPaths readPathsRunFile();

// A text file the engine writes: every line end is stored as CR LF.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(std::filesystem::path hostPath, std::string label);
  OutputFile(OutputFile&&) = default;
  OutputFile& operator=(OutputFile&&) = default;

  void write(std::string_view text) { out_->write(text.data(), static_cast<std::streamsize>(text.size())); }
  void endLine() { out_->write("\r\n", 2); }
  // Writes out what is buffered; a write that failed (a full disk) is refused, never passed over.
  void finish();
  const std::filesystem::path& hostPath() const { return hostPath_; }

 private:
  std::filesystem::path hostPath_;
  std::string label_;
  std::unique_ptr<std::ofstream> out_;
};

// Creates (empties) the result file; the paths were checked against each other before.
OutputFile createResultFile(const RunPaths& paths);

// Creates (empties) "outputcluster.txt" in the working folder, refusing when that name is the
// matrix file or the result file, which it would empty.
OutputFile createListing(const RunPaths& paths);

struct Dimensions {
  int geneCount = 0;
  int sampleCount = 0;
};

// The first two whole numbers of the dimensions run file; lines after them are not read.
Dimensions parseDimensions(std::string_view text, const std::string& label);
Dimensions readDimensionsRunFile();

enum class ZeroGenes { Refuse, Allow };
// Refuses negative counts, a sample count above MaxSamples and, unless allowed, no genes at all.
void requireUsableCounts(const Dimensions& counts, ZeroGenes zeroGenes);

std::string quoted(const std::filesystem::path& path);

}  // namespace clustering
