#include "ostrel/front_end.h"

#include "ostrel/form1.h"
#include "ostrel/forms/runtime.h"

namespace ostrel {

int runFrontEnd(forms::Backend& backend, forms::ProgramStarter starter) {
  forms::Runtime runtime(backend);
  runtime.setProgramStarter(std::move(starter));
  return runtime.run(runtime.instance<Form1>());
}

}  // namespace ostrel
