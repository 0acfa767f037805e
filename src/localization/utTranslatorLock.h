// The load lock of the translator: an advisory marker between running
// instances that one of them is reading language files. It is a per-user
// lock file in $XDG_RUNTIME_DIR ("utTranslator_LanguageLoadLock") listing
// the processes that hold it, one line each. Taking it waits while another
// live process holds it, at most 10 times 50 ms, and then goes on anyway;
// entries of processes that have ended are dropped, so a lock left by a
// killed instance never delays a start.
#pragma once

#include <string>

class TLanguageLoadLock {
 public:
  // Takes the lock (waiting as above) when take is true.
  explicit TLanguageLoadLock(bool take);
  ~TLanguageLoadLock();
  TLanguageLoadLock(const TLanguageLoadLock&) = delete;
  TLanguageLoadLock& operator=(const TLanguageLoadLock&) = delete;

  // The lock file of this user.
  static std::string LockFile();
  // Whether a live process other than this one holds the lock.
  static bool HeldByOthers();

 private:
  bool held_ = false;
};
