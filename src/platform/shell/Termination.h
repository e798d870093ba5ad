#pragma once

#include <functional>
#include <memory>

// While it lives, a request to end the process (SIGTERM, as a logout sends it, or SIGHUP)
// first runs `beforeEnd` on the user-interface thread; the process then hands its pending
// timed-launch requests to the system and ends.
class ScopedTerminationHandler {
  public:
    explicit ScopedTerminationHandler(std::function<void()> beforeEnd);
    ~ScopedTerminationHandler();
    ScopedTerminationHandler(const ScopedTerminationHandler&) = delete;
    ScopedTerminationHandler& operator=(const ScopedTerminationHandler&) = delete;

  private:
    struct State;
    std::unique_ptr<State> m_state;
};

// For the life of the process: a request to end it (SIGTERM, SIGINT, SIGHUP) runs
// `handler` on the user-interface thread, which then ends the program in its own way.
// A ScopedTerminationHandler takes precedence while it lives. Null returns the signals to
// their default.
void SetTerminationRequestHandler(std::function<void()> handler);
