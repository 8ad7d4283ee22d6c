#include "ostrel/forms/fltk/file_dialog.h"

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_File_Chooser.H>
#include <FL/Fl_File_Input.H>
#include <FL/Fl_Group.H>
#include <FL/Fl_Return_Button.H>

#include <cstring>
#include <filesystem>
#include <vector>

namespace ostrel::forms::fltk {

namespace {

std::vector<std::string> splitAtBars(const std::string& filter) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  while (true) {
    const auto bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar == std::string::npos ? bar : bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return parts;
}

template <class W>
W* findWidget(Fl_Group& group) {
  for (int i = 0; i < group.children(); ++i) {
    Fl_Widget* child = group.child(i);
    if (auto* found = dynamic_cast<W*>(child)) return found;
    if (Fl_Group* inner = child->as_group()) {
      if (W* found = findWidget<W>(*inner)) return found;
    }
  }
  return nullptr;
}

// The chooser's own widgets are private; its window is reached through the one it makes public.
Fl_Group& chooserWindow(Fl_File_Chooser& chooser) { return *chooser.newButton->window(); }

std::filesystem::path fromFolder(const std::string& typed, const char* folder) {
  const std::filesystem::path path(typed);
  return path.is_absolute() || folder == nullptr ? path : std::filesystem::path(folder) / path;
}

// The file-name box takes what is typed as it is typed: the chooser's own completion, which
// rewrites the box under the user's fingers and then refuses the mangled name, is not used. Enter
// opens a folder, or takes anything else as the chosen file; "OK" can be pressed while the box
// holds a name.
struct NameBox {
  Fl_File_Chooser* chooser;
  Fl_Return_Button* ok;
};

void nameTyped(Fl_Widget* widget, void* data) {
  const NameBox& names = *static_cast<NameBox*>(data);
  auto* box = static_cast<Fl_File_Input*>(widget);
  const std::string typed = box->value();
  const bool enter = Fl::event() == FL_KEYBOARD && (Fl::event_key() == FL_Enter || Fl::event_key() == FL_KP_Enter);
  if (!enter) {
    if (names.ok == nullptr) return;
    if (typed.empty()) {
      names.ok->deactivate();
    } else {
      names.ok->activate();
    }
    return;
  }
  if (typed.empty()) return;
  std::error_code ignored;
  const std::filesystem::path path = fromFolder(typed, names.chooser->directory());
  if (std::filesystem::is_directory(path, ignored)) {
    names.chooser->directory(path.c_str());
    box->value("");
    return;
  }
  names.chooser->hide();
}

// The chooser always adds "All Files (*)" and "Custom Filter" after the filters it is given; the
// dialog offers the given filters alone.
void keepOnlyTheGivenFilters(Fl_File_Chooser& chooser) {
  Fl_Choice* filters = findWidget<Fl_Choice>(chooserWindow(chooser));
  if (filters == nullptr) return;
  for (int item = filters->size() - 2; item >= 0; --item) {
    const char* text = filters->text(item);
    if (text == nullptr) continue;
    if (std::strcmp(text, Fl_File_Chooser::all_files_label) == 0 ||
        std::strcmp(text, Fl_File_Chooser::custom_filter_label) == 0) {
      filters->remove(item);
    }
  }
  filters->value(0);
}

// "Text (*.txt)|*.txt" as the chooser's filter "Text (*.txt)": the description as it stands, with
// the pattern added in brackets where the description does not end in it. Entries are joined by tabs.
std::string chooserFilter(const std::string& filter) {
  const std::vector<std::string> parts = splitAtBars(filter);
  std::string converted;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
    const std::string& description = parts[i];
    const std::string& pattern = parts[i + 1];
    const std::string bracketed = "(" + pattern + ")";
    const bool showsPattern = description.size() >= bracketed.size() &&
                              description.compare(description.size() - bracketed.size(), bracketed.size(), bracketed) == 0;
    if (!converted.empty()) converted += '\t';
    converted += showsPattern ? description : description + " " + bracketed;
  }
  return converted;
}

}  // namespace

std::optional<std::string> runFileChooser(const FileDialogRequest& request) {
  std::error_code ignored;
  const std::string working = std::filesystem::current_path(ignored).string();
  const std::string filter = chooserFilter(request.filter);
  Fl_File_Chooser chooser(working.c_str(), filter.c_str(),
                          request.kind == DialogKind::Save ? Fl_File_Chooser::CREATE : Fl_File_Chooser::SINGLE,
                          request.title.c_str());
  if (!filter.empty()) keepOnlyTheGivenFilters(chooser);
  // The preview reads each file the user passes over and handles events while it does, so
  // that keys typed meanwhile are handled out of order: a typed path loses characters.
  chooser.preview(0);
  Fl_File_Input* nameBox = findWidget<Fl_File_Input>(chooserWindow(chooser));
  if (nameBox == nullptr) return std::nullopt;
  NameBox names{&chooser, findWidget<Fl_Return_Button>(chooserWindow(chooser))};
  nameBox->callback(nameTyped, &names);
  nameBox->when(FL_WHEN_CHANGED | FL_WHEN_ENTER_KEY_ALWAYS);
  if (!request.fileName.empty()) chooser.value(request.fileName.c_str());  // its folder, the file chosen in the list
  chooser.show();
  // The box holds the file it starts on, all of it marked, so that typing replaces it.
  nameBox->value(request.fileName.c_str());
  nameBox->position(nameBox->size(), 0);
  if (names.ok != nullptr && !request.fileName.empty()) names.ok->activate();
  while (chooser.shown()) Fl::wait();
  // A cancel, or a close by the title bar, empties the box.
  const std::string chosen = nameBox->value();
  if (chosen.empty()) return std::nullopt;
  return fromFolder(chosen, chooser.directory()).string();
}

}  // namespace ostrel::forms::fltk
