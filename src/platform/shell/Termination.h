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
