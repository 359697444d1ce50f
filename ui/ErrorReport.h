#pragma once

#include <exception>
#include <utility>

class QWidget;

namespace kestrum {

// The program's report of an error that ended a user action: a message box with the error's text.
void ShowErrorReport(QWidget* AParent, const std::exception& AError);

// Runs a handler of a user action and reports an error that escapes it, so the window keeps
// running. Errors are caught here rather than left to unwind through the toolkit's event dispatch.
template <typename THandler>
void ReportingErrors(QWidget* AParent, THandler&& AHandler) {
  try {
    std::forward<THandler>(AHandler)();
  } catch (const std::exception& error) {
    ShowErrorReport(AParent, error);
  }
}

}  // namespace kestrum
