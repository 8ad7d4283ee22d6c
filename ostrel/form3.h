// Form3, "Algorithms": a picture of the family tree of clustering methods above twenty buttons,
// one column per family. Sixteen buttons start a program at once (the six engines of this
// system, ten outside programs); four open a parameter form (Form4 to Form7) instead.
#pragma once

#include "ostrel/forms/runtime.h"

namespace ostrel {

class Form3 : public forms::Form {
 public:
  explicit Form3(forms::Runtime& runtime);
  void closedByTitleBar() override;  // shows the main window again
};

}  // namespace ostrel
