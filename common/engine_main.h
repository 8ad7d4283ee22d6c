// Program start of an engine: makes sure descriptors 0, 1 and 2 are open, runs its steps and
// turns a refusal into "<engine>: <message>" on the error stream and exit status 1.
//
// A launcher may start the engine with standard output (or input, or error) closed; the first
// file the engine opened would then take that descriptor, and the prompts or the messages would
// land in the result file. So every missing one is opened on /dev/null before anything else.
#pragma once

#include <functional>

namespace clustering {

int runEngine(const char* engineName, const std::function<void()>& steps);

}  // namespace clustering
