// The windows of the desktop's browsers as their accessibility tree shows
// them (AT-SPI, the desktop's accessibility bus): applications, their
// frames, and the controls in them. The capture reads only through this
// interface, so its logic is tested over a tree of the test's own.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

// One node of the tree. A call to a program that does not answer ends
// after the bus's time-out with an empty result.
class TAccessible {
 public:
  virtual ~TAccessible() = default;
  virtual std::string Name() = 0;
  // "application", "frame", "entry", "combo box", "document web", ...
  virtual std::string RoleName() = 0;
  // An object attribute ("class", "id"); empty when there is none.
  virtual std::string Attribute(const std::string& name) = 0;
  virtual int ChildCount() = 0;
  // nullptr when the child cannot be had.
  virtual std::unique_ptr<TAccessible> Child(int index) = 0;
  // The text of a node with the text interface, at most maxChars
  // characters (UTF-8); false when it has no text.
  virtual bool Text(size_t maxChars, std::string& text) = 0;
  // A document's attribute ("URI"); empty when there is none.
  virtual std::string DocumentAttribute(const std::string& name) = 0;
  // The process of the node's application; 0 when unknown.
  virtual int ProcessId() = 0;
};

class TAccessibilityDesktop {
 public:
  virtual ~TAccessibilityDesktop() = default;
  // The applications on the bus, in the bus's order.
  virtual std::vector<std::unique_ptr<TAccessible>> Applications() = 0;
  // True once the time allowed for one capture is over; the walk then
  // stops where it is.
  virtual bool TimeIsUp() { return false; }
};

// The time every call over the bus may take, and one capture as a whole.
inline constexpr int kAccessibilityCallTimeout = 500;
inline constexpr int kAccessibilityCaptureTimeout = 3000;

// The desktop's accessibility bus; nullptr (and why, in one sentence) when
// it is not running or cannot be reached.
std::unique_ptr<TAccessibilityDesktop> OpenAccessibilityDesktop(std::string& why);

// Runs job on the one thread that talks to the bus, while this thread
// waits in steps of 125 ms with the window's messages processed after each
// (so the window stays alive, and closing it abandons the wait: the job
// then ends on its own).
void RunOnAccessibilityThread(std::function<void()> job);
