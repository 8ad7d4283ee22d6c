#include "ostrel/run_files.h"

#include "common/host_path.h"

namespace ostrel {

bool writeDimensionsRunFile(forms::Runtime& runtime, const std::vector<std::string>& lines) {
  const int fileNumber = runtime.freeFileNumber();
  try {
    runtime.openForOutput(fileNumber, std::string(clustering::DimensionsRunFile));
    for (const std::string& line : lines) runtime.printLine(fileNumber, line);
    runtime.close(fileNumber);
  } catch (const forms::FileError& error) {
    runtime.close(fileNumber);
    reportRunFileError(runtime, error);
    return false;
  }
  return true;
}

void reportRunFileError(forms::Runtime& runtime, const forms::FileError& error) {
  runtime.messageBox("Cannot write the run file " + error.path() + ": " + error.reason());
}

}  // namespace ostrel
