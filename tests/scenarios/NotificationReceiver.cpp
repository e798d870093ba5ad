// Stands in for the desktop's notification service on a private session bus.
//   notification_receiver LOG
// Owns org.freedesktop.Notifications on $DBUS_SESSION_BUS_ADDRESS, prints "ready", and
// appends "summary|body" to LOG for every notification; it runs until killed.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

class Receiver : public QDBusVirtualObject {
  public:
    explicit Receiver(std::string log) : m_log(std::move(log)) {}

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.member() != "Notify" || message.arguments().size() < 5) return false;
        std::ofstream(m_log, std::ios::app)
            << message.arguments().at(3).toString().toStdString() << "|"
            << message.arguments().at(4).toString().toStdString() << "\n";
        connection.send(message.createReply(QVariant::fromValue(++m_id)));
        return true;
    }
    QString introspect(const QString&) const override { return {}; }

  private:
    std::string m_log;
    uint m_id = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    Receiver receiver(argv[1]);
    if (!bus.isConnected() ||
        !bus.registerVirtualObject("/org/freedesktop/Notifications", &receiver) ||
        !bus.registerService("org.freedesktop.Notifications")) {
        std::puts("no bus");
        return 3;
    }
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
