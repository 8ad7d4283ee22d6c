// A front end on the scripted backend with a drive C of its own: Form1 shown as at program
// start, every program start recorded, and the steps of the workflow as one-line helpers.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "support/engine_run.h"
#include "ostrel/form1.h"
#include "ostrel/forms/runtime.h"
#include "ostrel/forms/scripted/scripted_backend.h"

namespace ostreltest {

class DriveCVariable {
 public:
  explicit DriveCVariable(const std::filesystem::path& folder) { ::setenv("CLUSTERING_DRIVE_C", folder.c_str(), 1); }
  ~DriveCVariable() { ::unsetenv("CLUSTERING_DRIVE_C"); }
};

class FrontEnd : public ::testing::Test {
 protected:
  FrontEnd() : driveVariable(sandbox.driveC()), runtime(backend) {
    runtime.setProgramStarter(backend.starter());
    runtime.start(runtime.instance<ostrel::Form1>());
  }

  // The workflow steps; each dialog is answered with `path`.
  void selectInputFile(const std::string& path) {
    backend.answerNextFileDialog(path);
    backend.click("Form1", "Open");
  }
  void enterInputDescription(const std::string& genes, const std::string& samples) {
    backend.click("Form1", "Command4");
    backend.type("Form2", "Text1", genes);
    backend.type("Form2", "Text2", samples);
    backend.click("Form2", "Command1");
  }
  void enterOutputFileName(const std::string& path) {
    backend.answerNextFileDialog(path);
    backend.click("Form1", "Command1");
  }
  void startClustering() { backend.click("Form1", "Command2"); }

  std::filesystem::path pathsRunFilePath() const { return sandbox.driveC() / "outinfo.txt"; }
  std::filesystem::path dimensionsRunFilePath() const { return sandbox.driveC() / "doutinfo.txt"; }
  std::string pathsRunFile() const { return testsupport::readFile(pathsRunFilePath()); }
  std::string dimensionsRunFile() const { return testsupport::readFile(dimensionsRunFilePath()); }
  std::string status() const { return backend.text("Form1", "Text1"); }

  testsupport::EngineRun sandbox;
  DriveCVariable driveVariable;
  ostrel::forms::scripted::ScriptedBackend backend;
  ostrel::forms::Runtime runtime;
};

using Visible = std::vector<std::string>;

}  // namespace ostreltest
