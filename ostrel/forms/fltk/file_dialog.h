// The open and save dialogs on real windows: FLTK's own file chooser. The desktop's GTK chooser,
// which FLTK would otherwise use, is left alone: it cannot be started on a chosen file, its
// completion drops typed characters, and it prints its warnings to the terminal.
//
// Invariants: the dialog shows the one filter entry of the request, described as the request
// describes it and matching its pattern; it starts on the request's file, chosen in its folder,
// or in the working folder when there is none; it returns the chosen full path, or nothing when
// the user cancelled or closed it.
#pragma once

#include <optional>
#include <string>

#include "ostrel/forms/backend.h"

namespace ostrel::forms::fltk {

// Modal: runs the dialog until the user confirms a file or cancels.
std::optional<std::string> runFileChooser(const FileDialogRequest& request);

}  // namespace ostrel::forms::fltk
