#pragma once
// Event handlers raise their errors; the form layer's dispatch shows them in the default
// error box and goes on, so that the window stays open.
#include <exception>

#include "ui/application.h"

namespace ui {

template <typename Fn>
void RunHandler(Fn&& fn) noexcept {
  try {
    fn();
  } catch (const std::exception& error) {
    try {
      TheApplication().ShowException(error);
    } catch (...) {
    }
  } catch (...) {
    try {
      TheApplication().ShowError(L"Unexpected error");
    } catch (...) {
    }
  }
}

}  // namespace ui
