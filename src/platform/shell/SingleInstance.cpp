#include "SingleInstance.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>

#include "platform/base/Format.h"
#include "platform/base/Text.h"
#include "platform/fs/Device.h"
#include "platform/fs/UniqueFd.h"

namespace {

constexpr uint32_t kMagic = 0x4F4C4C51;  // "QLLO"
constexpr size_t kRequestSize = 12;      // magic, request, value
// A request to come forward is followed by `value` bytes: the activation token, a zero byte,
// the startup id. Tokens are short; a client that claims more is dropped.
constexpr uint32_t kMaxActivationBytes = 1024;
constexpr int kSilentClientMs = 2000;
constexpr int kReplyWaitMs = 60000;
// How long a start waits for the holder of the claim to show its window, and how often it
// looks.
constexpr int kStartingWaitMs = 30000;
constexpr int kStartingLookMs = 20;

std::optional<uid_t> gExpectedUid;

uid_t ExpectedUid() {
    return gExpectedUid.value_or(::getuid());
}

// The per-user directory for sockets: ours alone, or not used at all.
std::string SocketDirectory() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const std::string folder = runtime != nullptr && runtime[0] == '/'
                                   ? std::string(runtime) + "/quillo"
                                   : Format("/tmp/quillo-%u", static_cast<unsigned>(::getuid()));
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {};
    struct stat st {};
    if (::lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::getuid() ||
        (st.st_mode & 077) != 0) {
        return {};
    }
    return folder;
}

bool FillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path) return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool PeerIsExpected(int fd) {
    ucred credentials{};
    socklen_t length = sizeof credentials;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 &&
           credentials.uid == ExpectedUid();
}

UniqueFd Connect(const std::string& path) {
    sockaddr_un address{};
    if (!FillAddress(path, address)) return {};
    UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd.IsValid() ||
        ::connect(fd.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return {};
    }
    return fd;
}

void PutWord(uint8_t* out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetWord(const uint8_t* in) {
    return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
           static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
}

}  // namespace

namespace {

// The per-user path of the device's `title` with `suffix`; empty without a safe directory.
std::string InstancePath(std::string_view title, const char* suffix) {
    const std::string folder = SocketDirectory();
    if (folder.empty()) return {};
    const uint64_t key = Fnv1a(Device::HostDirectory() + "\n" + std::string(title));
    return Format("%s/window-%016llx.%s", folder.c_str(), static_cast<unsigned long long>(key),
                  suffix);
}

}  // namespace

std::string InstanceSocketPath(std::string_view title) {
    return InstancePath(title, "sock");
}

InstanceClaim::InstanceClaim(int lockFd) : m_lockFd(lockFd) {}

InstanceClaim::~InstanceClaim() {
    if (m_lockFd >= 0) ::close(m_lockFd);
}

std::unique_ptr<InstanceClaim> InstanceClaim::Take(std::string_view title) {
    const std::string path = InstancePath(title, "lock");
    // The lock file stays: removing it could let a third start lock a file of its own.
    UniqueFd lock(
        path.empty() ? -1 : ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (lock.IsValid() && ::flock(lock.Get(), LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) return nullptr;
        lock.Reset();
    }
    return std::unique_ptr<InstanceClaim>(new InstanceClaim(lock.Release()));
}

void SetExpectedPeerUidForTesting(std::optional<uid_t> uid) {
    gExpectedUid = uid;
}

// One connected client: its request is read without ever blocking the window, and a client
// that says too much or nothing at all is dropped.
class InstanceServer::Impl {
  public:
    Impl(UniqueFd listener, std::string path, Handler handler)
        : m_listener(std::move(listener)),
          m_path(std::move(path)),
          m_handler(std::move(handler)),
          m_accept(m_listener.Get(), QSocketNotifier::Read) {
        QObject::connect(&m_accept, &QSocketNotifier::activated, &m_accept, [this] { Accept(); });
    }
    ~Impl() {
        m_clients.clear();
        ::unlink(m_path.c_str());
    }

  private:
    struct Client {
        UniqueFd fd;
        std::unique_ptr<QSocketNotifier> notifier;
        std::unique_ptr<QTimer> deadline;
        std::string received;
    };

    void Accept() {
        UniqueFd fd(::accept4(m_listener.Get(), nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
        if (!fd.IsValid() || !PeerIsExpected(fd.Get())) return;
        const int key = fd.Get();
        auto client = std::make_unique<Client>();
        client->notifier = std::make_unique<QSocketNotifier>(key, QSocketNotifier::Read);
        client->deadline = std::make_unique<QTimer>();
        client->deadline->setSingleShot(true);
        QObject::connect(client->notifier.get(), &QSocketNotifier::activated,
                         client->notifier.get(), [this, key] { Read(key); });
        QObject::connect(client->deadline.get(), &QTimer::timeout, client->deadline.get(),
                         [this, key] { Drop(key); });
        client->deadline->start(kSilentClientMs);
        client->fd = std::move(fd);
        m_clients[key] = std::move(client);
    }

    void Read(int key) {
        const auto found = m_clients.find(key);
        if (found == m_clients.end()) return;
        Client& client = *found->second;
        char buffer[64];
        const ssize_t got = ::read(key, buffer, sizeof buffer);
        if (got <= 0) {
            if (got < 0 && (errno == EAGAIN || errno == EINTR)) return;
            Drop(key);
            return;
        }
        client.received.append(buffer, static_cast<size_t>(got));
        if (client.received.size() < kRequestSize) return;
        const auto* bytes = reinterpret_cast<const uint8_t*>(client.received.data());
        const uint32_t request = GetWord(bytes + 4);
        const uint32_t value = GetWord(bytes + 8);
        const bool front = request == static_cast<uint32_t>(InstanceRequest::BringToFront);
        const size_t expected = kRequestSize + (front ? value : 0);
        if (GetWord(bytes) != kMagic ||
            (!front && request != static_cast<uint32_t>(InstanceRequest::Command)) ||
            (front && value > kMaxActivationBytes) || client.received.size() > expected) {
            Drop(key);
            return;
        }
        if (client.received.size() < expected) return;
        client.notifier->setEnabled(false);
        client.deadline->stop();
        LaunchActivation activation;
        if (front) {
            const std::string_view payload = std::string_view(client.received).substr(kRequestSize);
            const size_t split = payload.find('\0');
            activation.xdgActivationToken = payload.substr(0, split);
            if (split != std::string_view::npos) activation.startupId = payload.substr(split + 1);
        }
        m_handler(static_cast<InstanceRequest>(request), value, activation);
        uint8_t reply[4];
        PutWord(reply, kMagic);
        // A second start that left before the reply has nothing more to be told.
        (void)!::send(key, reply, sizeof reply, MSG_NOSIGNAL);
        Drop(key);
    }

    void Drop(int key) {
        const auto found = m_clients.find(key);
        if (found == m_clients.end()) return;
        // The notifier and timer may be the callers: let them finish first.
        found->second->notifier->setEnabled(false);
        found->second->notifier.release()->deleteLater();
        found->second->deadline.release()->deleteLater();
        m_clients.erase(found);
    }

    UniqueFd m_listener;
    std::string m_path;
    Handler m_handler;
    QSocketNotifier m_accept;
    std::map<int, std::unique_ptr<Client>> m_clients;
};

InstanceServer::InstanceServer(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}
InstanceServer::~InstanceServer() = default;

std::unique_ptr<InstanceServer> InstanceServer::Publish(std::string_view title, Handler handler) {
    const std::string path = InstanceSocketPath(title);
    sockaddr_un address{};
    if (!FillAddress(path, address)) return nullptr;
    UniqueFd listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!listener.IsValid()) return nullptr;
    if (::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        if (errno != EADDRINUSE || Connect(path).IsValid()) return nullptr;  // a live instance
        // Nobody answers: the socket of an instance that died. Take it over.
        ::unlink(path.c_str());
        if (::bind(listener.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) !=
            0) {
            return nullptr;
        }
    }
    if (::listen(listener.Get(), 8) != 0) return nullptr;
    return std::unique_ptr<InstanceServer>(
        new InstanceServer(std::make_unique<Impl>(std::move(listener), path, std::move(handler))));
}

RunningInstance::RunningInstance(std::string path) : m_path(std::move(path)) {}

RunningInstance::~RunningInstance() = default;

std::unique_ptr<RunningInstance> RunningInstance::FindOrClaim(
    std::string_view title, std::unique_ptr<InstanceClaim>& claim) {
    claim.reset();
    for (int waited = 0; waited < kStartingWaitMs; waited += kStartingLookMs) {
        // A window that runs without holding the claim (an older program) is found first.
        if (auto running = Find(title)) return running;
        claim = InstanceClaim::Take(title);
        if (claim != nullptr) {
            // It may have shown its window and ended its start just now.
            if (auto running = Find(title)) {
                claim.reset();
                return running;
            }
            return nullptr;
        }
        // Held by a start that has not shown its window yet.
        ::usleep(kStartingLookMs * 1000);
    }
    return nullptr;
}

std::unique_ptr<RunningInstance> RunningInstance::Find(std::string_view title) {
    std::string path = InstanceSocketPath(title);
    const UniqueFd probe = Connect(path);
    if (!probe.IsValid() || !PeerIsExpected(probe.Get())) return nullptr;
    return std::unique_ptr<RunningInstance>(new RunningInstance(std::move(path)));
}

bool RunningInstance::Request(InstanceRequest request, uint32_t value, std::string_view payload) {
    // A connection per request: the instance answers one request and closes it.
    const UniqueFd fd = Connect(m_path);
    if (!fd.IsValid() || !PeerIsExpected(fd.Get())) return false;
    std::string bytes(kRequestSize, '\0');
    auto* header = reinterpret_cast<uint8_t*>(bytes.data());
    PutWord(header, kMagic);
    PutWord(header + 4, static_cast<uint32_t>(request));
    PutWord(header + 8, value);
    bytes += payload;
    if (::send(fd.Get(), bytes.data(), bytes.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(bytes.size())) {
        return false;
    }
    uint8_t reply[4];
    size_t got = 0;
    while (got < sizeof reply) {
        pollfd waiting{fd.Get(), POLLIN, 0};
        if (::poll(&waiting, 1, kReplyWaitMs) <= 0) break;
        const ssize_t part = ::read(fd.Get(), reply + got, sizeof reply - got);
        if (part <= 0) break;
        got += static_cast<size_t>(part);
    }
    return got == sizeof reply && GetWord(reply) == kMagic;
}

bool RunningInstance::BringToFront() {
    const LaunchActivation activation = LaunchActivation::FromEnvironment();
    std::string payload;
    if (!activation.xdgActivationToken.empty() || !activation.startupId.empty()) {
        payload = activation.xdgActivationToken + '\0' + activation.startupId;
    }
    // A token too long to pass is left out: the window then asks for attention instead.
    if (payload.size() > kMaxActivationBytes) payload.clear();
    return Request(InstanceRequest::BringToFront, static_cast<uint32_t>(payload.size()), payload);
}

LaunchActivation LaunchActivation::FromEnvironment() {
    const char* token = std::getenv("XDG_ACTIVATION_TOKEN");
    const char* startup = std::getenv("DESKTOP_STARTUP_ID");
    return {token != nullptr ? token : "", startup != nullptr ? startup : ""};
}

bool RunningInstance::SendCommand(uint32_t command) {
    return Request(InstanceRequest::Command, command);
}
