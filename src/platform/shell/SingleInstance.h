#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// One running instance per device and window title. The instance that shows a window
// publishes its title as a Unix socket in a per-user directory; a later launch finds it by
// connecting. Both sides check that the other runs under the same user.

enum class InstanceRequest : uint32_t { BringToFront = 1, Command = 2 };

// What the desktop gave a launch to let its window take the keyboard: an activation token
// (Wayland) or a startup notification id (X11). A later launch hands it to the running
// window, which comes forward with it instead of only asking for attention.
struct LaunchActivation {
    std::string xdgActivationToken;
    std::string startupId;

    // This process's own, from `XDG_ACTIVATION_TOKEN` and `DESKTOP_STARTUP_ID`.
    static LaunchActivation FromEnvironment();
    friend bool operator==(const LaunchActivation&, const LaunchActivation&) = default;
};

class InstanceServer {
  public:
    // Answers a request; for a command, only after it has been carried out. A request to
    // come forward carries the launch's activation.
    using Handler = std::function<void(InstanceRequest request, uint32_t value,
                                       const LaunchActivation& activation)>;

    // Publishes `title` for the mounted device. Null when a live instance holds it already
    // or the socket directory is not safe; the socket of a dead instance is taken over.
    [[nodiscard]] static std::unique_ptr<InstanceServer> Publish(std::string_view title,
                                                                 Handler handler);
    ~InstanceServer();

    class Impl;

  private:
    explicit InstanceServer(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

// The right to be the running instance of `title` for the mounted device, taken at the
// very start and held until destroyed (or the process ends), so that of two starts at the
// same instant exactly one goes on to show a window.
class InstanceClaim {
  public:
    // Null while another process holds it. Where no lock can be had (no safe directory)
    // there is nothing to hold: the claim is given.
    [[nodiscard]] static std::unique_ptr<InstanceClaim> Take(std::string_view title);
    ~InstanceClaim();

  private:
    explicit InstanceClaim(int lockFd);
    int m_lockFd;
};

class RunningInstance {
  public:
    // The instance that published `title` for the mounted device, or null.
    [[nodiscard]] static std::unique_ptr<RunningInstance> Find(std::string_view title);
    // Who runs the window of `title`: this process, when it could take the claim (`claim`
    // is set and null comes back), or the instance that holds it, once that one answers (it
    // may be starting still). One that never answers leaves both null.
    [[nodiscard]] static std::unique_ptr<RunningInstance> FindOrClaim(
        std::string_view title, std::unique_ptr<InstanceClaim>& claim);
    ~RunningInstance();

    // Passes this launch's activation on, so that the window may take the keyboard.
    [[nodiscard]] bool BringToFront();
    // Returns once the running instance has handled the command; false when it refused
    // or went away.
    [[nodiscard]] bool SendCommand(uint32_t command);

  private:
    explicit RunningInstance(std::string path);
    [[nodiscard]] bool Request(InstanceRequest request, uint32_t value,
                               std::string_view payload = {});
    std::string m_path;
};

// Where the socket for `title` lives; empty when there is no safe directory.
std::string InstanceSocketPath(std::string_view title);

// Test seam: the user id a server expects its clients to run under (null: our own).
void SetExpectedPeerUidForTesting(std::optional<uid_t> uid);
