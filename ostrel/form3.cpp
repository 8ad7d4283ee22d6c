#include "ostrel/form3.h"

#include <functional>
#include <type_traits>

#include "ostrel/launch.h"
#include "ostrel/parameter_form.h"
#include "ostrel/programs.h"

namespace ostrel {

using forms::Bounds;

namespace {

constexpr int ButtonHeight = 375;

}  // namespace

Form3::Form3(forms::Runtime& runtime) : Form(runtime) {
  forms::FormModel& form = design();
  form.name = "Form3";
  form.caption = "Algorithms";
  form.clientWidth = 10395;
  form.clientHeight = 8760;
  form.controls.push_back(
      forms::pictureBox("Picture1", Bounds{360, 120, 9615, 5055}, 20, forms::PictureResource{"algorithms", 634, 338}));

  auto starts = [this](const char* program) {
    return [this, program] { launchProgram(this->runtime(), *this, program); };
  };
  auto opens = [this](auto formType) {
    return [this, formType] {
      using ParameterFormType = typename decltype(formType)::type;
      hide();
      this->runtime().instance<ParameterFormType>().showFrom(*this);
    };
  };
  struct ButtonDesign {
    const char* name;
    const char* caption;
    int left, top, width, tabIndex;
    std::function<void()> onClick;
  };
  const ButtonDesign buttons[] = {
      // Partitioning
      {"Command4", "Kmeans", 480, 5280, 1335, 3, starts(programs::Kmeans)},
      {"Command5", "PAM", 480, 5760, 1335, 4, starts(programs::Pam)},
      {"Command6", "TOLVAR", 480, 6240, 1335, 5, starts(programs::Tolvar)},
      {"Command7", "TOLVARS", 480, 6720, 1335, 6, starts(programs::Tolvars)},
      {"Command11", "korrin", 480, 7200, 1335, 10, starts(programs::Korrin)},
      // Hierarchical
      {"Command1", "Single linkage", 2400, 5400, 1335, 0, opens(std::type_identity<Form4>{})},
      {"Command2", "Complete linkage", 2400, 5880, 1335, 1, opens(std::type_identity<Form5>{})},
      {"Command3", "Average linkage", 2400, 6360, 1335, 2, opens(std::type_identity<Form6>{})},
      {"Command9", "DIANA", 2400, 6840, 1335, 8, opens(std::type_identity<Form7>{})},
      {"Command8", "BIRCH", 2400, 7320, 1335, 7, starts(programs::Birch)},
      {"Command10", "CURE", 2400, 7800, 1335, 9, starts(programs::Cure)},
      {"Command12", "VARNEK", 2400, 8280, 1335, 11, starts(programs::Varnek)},
      // Density-based
      {"Command13", "DBSCAN", 4320, 5400, 1095, 12, starts(programs::Dbscan)},
      {"Command14", "OPTICS", 4320, 5880, 1095, 13, starts(programs::Optics)},
      {"Command15", "DENCLUE", 4320, 6360, 1095, 14, starts(programs::Denclue)},
      // Grid-based
      {"Command17", "STING", 5640, 5400, 1095, 16, starts(programs::Sting)},
      // Subspace
      {"Command16", "CLIQUE", 6960, 5400, 1095, 15, starts(programs::Clique)},
      // Soft computing
      {"Command18", "FCM", 8520, 5400, 1095, 17, starts(programs::Fcm)},
      {"Command19", "GK", 8520, 5880, 1095, 18, starts(programs::Gk)},
      {"Command20", "GA Clustering", 8520, 6360, 1095, 19, starts(programs::GaClustering)},
  };
  for (const ButtonDesign& button : buttons) {
    form.controls.push_back(forms::button(button.name, button.caption,
                                          Bounds{button.left, button.top, button.width, ButtonHeight},
                                          button.tabIndex, button.onClick));
  }
}

void Form3::closedByTitleBar() { runtime().mainForm().show(); }

}  // namespace ostrel
