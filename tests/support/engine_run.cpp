#include "engine_run.h"

#include <unistd.h>

#include <stdexcept>

namespace testsupport {

EngineRun::EngineRun() {
  char folderTemplate[] = "/tmp/engine_run_XXXXXX";
  if (::mkdtemp(folderTemplate) == nullptr) throw std::runtime_error("mkdtemp failed");
  root_ = folderTemplate;
  driveC_ = root_ / "drive_c";
  work_ = root_ / "work";
  std::filesystem::create_directories(driveC_ / "data");
  std::filesystem::create_directories(work_);
}

EngineRun::~EngineRun() {
  std::error_code ignored;
  std::filesystem::remove_all(root_, ignored);
}

void EngineRun::prepare(std::string_view matrix, int geneCount, int sampleCount) {
  writeFile(matrixFile(), matrix);
  writePathsRunFile(crlf("C:\\data\\matrix.txt\nC:\\data\\result.txt\n"));
  writeDimensionsRunFile(crlf(std::to_string(geneCount) + "\n" + std::to_string(sampleCount) + "\n"));
}

void EngineRun::writePathsRunFile(std::string_view bytes) { writeFile(driveC_ / "outinfo.txt", bytes); }
void EngineRun::writeDimensionsRunFile(std::string_view bytes) { writeFile(driveC_ / "doutinfo.txt", bytes); }
void EngineRun::writeDriveCFile(std::string_view relative, std::string_view bytes) {
  writeFile(driveC_ / std::filesystem::path(std::string(relative)), bytes);
}

ProgramResult EngineRun::run(const std::string& program, const std::string& input,
                             const std::vector<int>& closedDescriptors) const {
  return runProgram(program, input, work_, environment(), closedDescriptors);
}

std::string EngineRun::pathsRunFileLabel() const {
  return "the paths run file c:\\outinfo.txt (" + (driveC_ / "outinfo.txt").string() + ")";
}

std::string EngineRun::dimensionsRunFileLabel() const {
  return "the dimensions run file c:\\doutinfo.txt (" + (driveC_ / "doutinfo.txt").string() + ")";
}

std::string quotedHost(const std::filesystem::path& path) { return "\"" + path.string() + "\""; }

}  // namespace testsupport
