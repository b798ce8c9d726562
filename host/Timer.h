// Owns the host's timer: a call delayed by whole seconds, made on the game thread.
#pragma once

#include <functional>
#include <utility>

#include "host/Export.h"

namespace API {

class Timer {
 public:
  HERALDIX_HOST_API static Timer& Get();

  // Calls callback once, delaySeconds later, never at the same time as another callback of the plug-in.
  // There is no cancel: a plug-in must not leave a call pending that would run its code after unload;
  // the host drops a plug-in's pending calls when it unloads the plug-in.
  virtual void DelayExecuteInternal(std::function<void()> callback, int delaySeconds) = 0;

  template <class F>
  void DelayExecute(F&& callback, int delaySeconds) {
    DelayExecuteInternal(std::function<void()>(std::forward<F>(callback)), delaySeconds);
  }

 protected:
  ~Timer() = default;
};

}  // namespace API
