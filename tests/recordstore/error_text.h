// The message of the store error an action raises.
#pragma once

#include <functional>
#include <string>

#include "platform/errors.h"

// "" when the action raises nothing.
inline std::string errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const platform::EDatabaseError& e) {
    return e.what();
  }
  return "";
}
