// One engine run in a sandbox: a fresh temporary folder holding drive C and the working folder,
// with helpers to write the run files and the matrix and to read what the engine wrote.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "program_run.h"

namespace testsupport {

class EngineRun {
 public:
  EngineRun();
  ~EngineRun();
  EngineRun(const EngineRun&) = delete;
  EngineRun& operator=(const EngineRun&) = delete;

  const std::filesystem::path& driveC() const { return driveC_; }
  const std::filesystem::path& work() const { return work_; }

  // The matrix as drive C's data\matrix.txt, the result as data\result.txt, both run files
  // written as the front end writes them (CR LF line ends).
  void prepare(std::string_view matrix, int geneCount, int sampleCount);
  void writePathsRunFile(std::string_view bytes);
  void writeDimensionsRunFile(std::string_view bytes);
  void writeDriveCFile(std::string_view relative, std::string_view bytes);

  // The environment the engines of this run start with: drive C at driveC().
  Environment environment() const { return {{"CLUSTERING_DRIVE_C", driveC_.string()}}; }
  ProgramResult run(const std::string& program, const std::string& input,
                    const std::vector<int>& closedDescriptors = {}) const;

  std::filesystem::path matrixFile() const { return driveC_ / "data" / "matrix.txt"; }
  std::filesystem::path resultFile() const { return driveC_ / "data" / "result.txt"; }
  std::filesystem::path listingFile() const { return work_ / "outputcluster.txt"; }
  std::string result() const { return readFile(resultFile()); }
  std::string listing() const { return readFile(listingFile()); }

  // The run files as the engines' messages name them: "the paths run file c:\outinfo.txt (<host>)".
  std::string pathsRunFileLabel() const;
  std::string dimensionsRunFileLabel() const;

 private:
  std::filesystem::path root_;
  std::filesystem::path driveC_;
  std::filesystem::path work_;
};

// A host path quoted as the engines' messages quote it.
std::string quotedHost(const std::filesystem::path& path);

}  // namespace testsupport
