// Preloaded into a Qt program (LD_PRELOAD), this library ends the program at its first
// frame: when the first expose event of a visible top-level window has been handled, that is
// painted and flushed to the display server, it writes
//   firstPaintMs <milliseconds since PG_START_NS>
// to standard error and exits. PG_START_NS is the CLOCK_MONOTONIC time, in nanoseconds, at
// which the launcher started the program, so that the dynamic linking and Qt's own start-up
// are counted. Any program, ours or a bare one, is measured the same way, and none of this
// is in the product.

#include <unistd.h>
#include <QCoreApplication>
#include <QEvent>
#include <QWindow>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long long nowNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000000000LL + t.tv_nsec;
}

class FirstFrame : public QObject {
 public:
  explicit FirstFrame(long long startNs) : m_startNs(startNs) {}

  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != QEvent::Expose || m_inside) return false;
    auto* window = qobject_cast<QWindow*>(object);
    if (window == nullptr || window->parent() != nullptr || !window->isVisible()) return false;
    // Deliver the event first: the frame is painted and flushed inside its handler.
    m_inside = true;
    static_cast<QObject*>(window)->event(event);
    m_inside = false;
    if (!window->isExposed()) return true;
    const double ms = static_cast<double>(nowNs() - m_startNs) / 1e6;
    std::fprintf(stderr, "firstPaintMs %.3f\n", ms);
    std::fflush(stderr);
    _exit(0);
  }

 private:
  long long m_startNs;
  bool m_inside = false;
};

void install() {
  const char* start = std::getenv("PG_START_NS");
  const long long startNs = start != nullptr ? std::atoll(start) : nowNs();
  QCoreApplication::instance()->installEventFilter(new FirstFrame(startNs));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(install)
