// Program start of an engine: runs its steps and turns a refusal into
// "<engine>: <message>" on the error stream and exit status 1.
#pragma once

#include <functional>

namespace clustering {

int runEngine(const char* engineName, const std::function<void()>& steps);

}  // namespace clustering
