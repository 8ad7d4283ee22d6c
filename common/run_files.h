// The run files an engine reads: the paths run file "c:\outinfo.txt" (matrix path, result path)
// and the dimensions run file "c:\doutinfo.txt" (gene count, sample count). Every engine goes
// through them in one sequence, at the point of its run order: the paths run file is read and
// the matrix file opened as soon as its path is read; the result file is emptied, before a
// single row is read; then the first two whole numbers of the dimensions run file are read.
// A file that cannot be opened or created, one that is no regular file, a missing path, a
// result file that is the matrix itself or a run file, and unusable counts are refused with an
// EngineError that says what to fix. Every input is checked to be a regular file before the
// result file is emptied.
#pragma once

#include <filesystem>
#include <istream>
#include <optional>
#include <string>

#include "common/matrix_file.h"
#include "common/output_file.h"
#include "common/tokens.h"

namespace clustering {

// One path from the paths run file: white-space separated tokens joined with single blanks,
// ending with the first token that holds a '.', or at the end of the file. No token where a
// path begins gives nothing. A token cut at MaxTokenLength is kept cut: no such path can name
// a file, and opening it says so.
struct RunPath {
  std::string text;
  int pieces = 1;  // the tokens joined into it
};
std::optional<RunPath> readRunPath(TokenReader& runFile);

struct RunPaths {
  MatrixFile matrix;  // opened as soon as its path was read
  std::filesystem::path resultHostPath;
};

struct Dimensions {
  int geneCount = 0;
  int sampleCount = 0;
};

// The first two whole numbers of the dimensions run file; lines after them are not read.
Dimensions parseDimensions(std::istream& text, const std::string& label);

enum class ZeroGenes { Refuse, Allow };
// Refuses negative counts, a sample count above MaxSamples and, unless allowed, no genes at all.
void requireUsableCounts(const Dimensions& counts, ZeroGenes zeroGenes);

struct RunFiles {
  RunPaths paths;
  OutputFile result;  // emptied, and locked for this engine
  Dimensions counts;  // usable, as requireUsableCounts says
};

// The run-file sequence.
RunFiles readRunFiles(ZeroGenes zeroGenes);

}  // namespace clustering
