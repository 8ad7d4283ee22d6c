#include "engine_main.h"

#include <iostream>
#include <new>

#include "failure.h"

namespace clustering {

int runEngine(const char* engineName, const std::function<void()>& steps) {
  try {
    steps();
    std::cout.flush();
    return 0;
  } catch (const EngineError& error) {
    std::cout.flush();
    std::cerr << engineName << ": " << error.what() << std::endl;
  } catch (const std::bad_alloc&) {
    std::cout.flush();
    std::cerr << engineName << ": not enough memory for the tables of this matrix; try fewer genes" << std::endl;
  } catch (const std::exception& error) {
    std::cout.flush();
    std::cerr << engineName << ": " << error.what() << std::endl;
  }
  return 1;
}

}  // namespace clustering
