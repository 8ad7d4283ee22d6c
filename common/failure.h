// The one error type of the engines. Its message tells the user what to fix: the file and the
// system's reason, or the row, gene, sample and token of a matrix value. `runEngine` prints it
// as "<engine>: <message>" on the error stream and ends the engine with status 1.
#pragma once

#include <stdexcept>
#include <string>

namespace clustering {

class EngineError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace clustering
