// The accessibility tree of the desktop through libatspi. Every call has
// the bus's short time-out, and a whole capture a time of its own; all
// calls happen on one thread.
#include <atspi/atspi.h>
#include <sys/stat.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>

#include "BrowserAccessibility.h"
#include "NetAntiFreeze.h"

namespace {

using TClock = std::chrono::steady_clock;

struct TDeadline {
  TClock::time_point end;
  bool Over() const { return TClock::now() >= end; }
};

std::string TakeString(gchar* s, GError* error) {
  if (error) g_error_free(error);
  std::string text = s ? s : "";
  g_free(s);
  return text;
}

class TAtSpiAccessible : public TAccessible {
 public:
  TAtSpiAccessible(AtspiAccessible* a, std::shared_ptr<const TDeadline> deadline)
      : a_(a), deadline_(std::move(deadline)) {}
  ~TAtSpiAccessible() override { g_object_unref(a_); }

  std::string Name() override {
    if (deadline_->Over()) return {};
    GError* e = nullptr;
    gchar* s = atspi_accessible_get_name(a_, &e);
    return TakeString(s, e);
  }
  std::string RoleName() override {
    if (deadline_->Over()) return {};
    GError* e = nullptr;
    gchar* s = atspi_accessible_get_role_name(a_, &e);
    return TakeString(s, e);
  }
  std::string Attribute(const std::string& name) override {
    if (deadline_->Over()) return {};
    GError* e = nullptr;
    GHashTable* attributes = atspi_accessible_get_attributes(a_, &e);
    if (e) g_error_free(e);
    if (!attributes) return {};
    const auto* value = static_cast<const char*>(g_hash_table_lookup(attributes, name.c_str()));
    std::string text = value ? value : "";
    g_hash_table_unref(attributes);
    return text;
  }
  int ChildCount() override {
    if (deadline_->Over()) return 0;
    GError* e = nullptr;
    const gint n = atspi_accessible_get_child_count(a_, &e);
    if (e) {
      g_error_free(e);
      return 0;
    }
    return n;
  }
  std::unique_ptr<TAccessible> Child(int index) override {
    if (deadline_->Over()) return nullptr;
    GError* e = nullptr;
    AtspiAccessible* child = atspi_accessible_get_child_at_index(a_, index, &e);
    if (e) g_error_free(e);
    if (!child) return nullptr;
    return std::make_unique<TAtSpiAccessible>(child, deadline_);
  }
  bool Text(size_t maxChars, std::string& text) override {
    if (deadline_->Over()) return false;
    AtspiText* iface = atspi_accessible_get_text_iface(a_);
    if (!iface) return false;
    GError* e = nullptr;
    const gint count = atspi_text_get_character_count(iface, &e);
    bool ok = !e;
    if (e) g_error_free(e);
    if (ok) {
      e = nullptr;
      const gint end =
          static_cast<gint>(std::min<size_t>(static_cast<size_t>(std::max(count, 0)), maxChars));
      gchar* s = atspi_text_get_text(iface, 0, end, &e);
      ok = !e;
      text = TakeString(s, e);
    }
    g_object_unref(iface);
    return ok;
  }
  std::string DocumentAttribute(const std::string& name) override {
    if (deadline_->Over()) return {};
    AtspiDocument* document = atspi_accessible_get_document_iface(a_);
    if (!document) return {};
    GError* e = nullptr;
    std::string key = name;
    gchar* s = atspi_document_get_document_attribute_value(document, key.data(), &e);
    g_object_unref(document);
    return TakeString(s, e);
  }
  int ProcessId() override {
    if (deadline_->Over()) return 0;
    GError* e = nullptr;
    const guint pid = atspi_accessible_get_process_id(a_, &e);
    if (e) {
      g_error_free(e);
      return 0;
    }
    return static_cast<int>(pid);
  }

 private:
  AtspiAccessible* a_;
  std::shared_ptr<const TDeadline> deadline_;
};

class TAtSpiDesktop : public TAccessibilityDesktop {
 public:
  TAtSpiDesktop(AtspiAccessible* desktop, std::shared_ptr<const TDeadline> deadline)
      : desktop_(desktop, deadline), deadline_(std::move(deadline)) {}
  std::vector<std::unique_ptr<TAccessible>> Applications() override {
    std::vector<std::unique_ptr<TAccessible>> apps;
    const int n = desktop_.ChildCount();
    for (int i = 0; i < n && !TimeIsUp(); ++i)
      if (auto app = desktop_.Child(i)) apps.push_back(std::move(app));
    return apps;
  }
  bool TimeIsUp() override { return deadline_->Over(); }

 private:
  TAtSpiAccessible desktop_;
  std::shared_ptr<const TDeadline> deadline_;
};

// A session bus to ask for the accessibility bus: without one, libdbus
// would start a bus of its own.
bool SessionBusThere() {
  const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
  if (address && *address) return true;
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  struct stat st {};
  return runtime && *runtime && ::stat((std::string(runtime) + "/bus").c_str(), &st) == 0;
}

// The thread that talks to the bus, for the whole run of the program.
struct TJob {
  std::function<void()> work;
  std::mutex mutex;
  std::condition_variable done_cv;
  bool done = false;
  std::exception_ptr error;
};

class TAccessibilityThread {
 public:
  TAccessibilityThread() {
    std::thread([this] { Loop(); }).detach();
  }
  void Post(std::shared_ptr<TJob> job) {
    {
      std::lock_guard lock(mutex_);
      jobs_.push_back(std::move(job));
    }
    cv_.notify_one();
  }

 private:
  void Loop() {
    for (;;) {
      std::shared_ptr<TJob> job;
      {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return !jobs_.empty(); });
        job = std::move(jobs_.front());
        jobs_.pop_front();
      }
      try {
        job->work();
      } catch (...) {
        job->error = std::current_exception();
      }
      {
        std::lock_guard lock(job->mutex);
        job->done = true;
      }
      job->done_cv.notify_all();
    }
  }
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::shared_ptr<TJob>> jobs_;
};

}  // namespace

std::unique_ptr<TAccessibilityDesktop> OpenAccessibilityDesktop(std::string& why) {
  if (!SessionBusThere()) {
    why = "no session bus";
    return nullptr;
  }
  static bool initialised = false;
  if (!initialised) {
    if (atspi_init() > 1) {
      why = "no accessibility bus";
      return nullptr;
    }
    atspi_set_timeout(kAccessibilityCallTimeout, kAccessibilityCallTimeout);
    initialised = true;
  }
  auto deadline = std::make_shared<TDeadline>(
      TDeadline{TClock::now() + std::chrono::milliseconds(kAccessibilityCaptureTimeout)});
  AtspiAccessible* desktop = atspi_get_desktop(0);
  if (!desktop) {
    why = "no accessibility bus";
    return nullptr;
  }
  // A bus that does not answer the desktop's first question is not there.
  GError* e = nullptr;
  atspi_accessible_get_child_count(desktop, &e);
  if (e) {
    g_error_free(e);
    g_object_unref(desktop);
    why = "the accessibility bus does not answer";
    return nullptr;
  }
  return std::make_unique<TAtSpiDesktop>(desktop, std::move(deadline));
}

void RunOnAccessibilityThread(std::function<void()> work) {
  static auto* thread = new TAccessibilityThread;  // lives until the process ends
  auto job = std::make_shared<TJob>();
  job->work = std::move(work);
  thread->Post(job);
  WaitForWorker(job->mutex, job->done_cv, job->done);
  if (job->error) std::rethrow_exception(job->error);
}
