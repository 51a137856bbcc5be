// Follows a calculation from the outside (the desktop program shows it in a
// window). A calculation with no observer runs silently.
#pragma once

namespace orlendo {

class ProgressObserver {
 public:
  virtual ~ProgressObserver() = default;
  // The calculation starts; `year` is the start date's year.
  virtual void started(int year) = 0;
  // The walk has reached January 1 of `year` (reported for every year the range crosses).
  virtual void yearReached(int year) = 0;
  // One of the few points at which the caller may process pending window messages.
  virtual void processMessages() = 0;
  // The calculation ended; `succeeded` is false when it failed.
  virtual void finished(bool succeeded) = 0;
};

}  // namespace orlendo
