#include "LaunchActivation.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name),
        nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

xcb_window_t RootOf(xcb_connection_t* connection) {
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    return screens.rem > 0 ? screens.data->root : xcb_window_t{XCB_WINDOW_NONE};
}

// The moment the user started the launch, as the launcher wrote it into the id ("..._TIME123").
xcb_timestamp_t TimeOfStartupId(const std::string& id) {
    const size_t at = id.rfind("_TIME");
    if (at == std::string::npos) return XCB_CURRENT_TIME;
    return static_cast<xcb_timestamp_t>(std::strtoul(id.c_str() + at + 5, nullptr, 10));
}

// The launcher shows a busy pointer until the launched program says it has come up.
void EndStartupNotification(xcb_connection_t* connection, xcb_window_t root,
                            const std::string& id) {
    const std::string message = "remove: ID=" + id;
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 8;
    event.window = root;
    event.type = Atom(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = Atom(connection, "_NET_STARTUP_INFO");
    // Sent in pieces of 20 bytes, the last one ending with the text's zero byte.
    for (size_t sent = 0; sent <= message.size(); sent += 20) {
        std::memset(event.data.data8, 0, sizeof event.data.data8);
        const size_t piece = std::min<size_t>(20, message.size() + 1 - sent);
        std::memcpy(event.data.data8, message.c_str() + sent, piece);
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char*>(&event));
        event.type = more;
    }
}

void ActivateAt(xcb_connection_t* connection, xcb_window_t root, xcb_window_t window,
                xcb_timestamp_t time) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = Atom(connection, "_NET_ACTIVE_WINDOW");
    event.data.data32[0] = 1;  // a request of the program itself
    event.data.data32[1] = time;
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY | XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT,
                   reinterpret_cast<const char*>(&event));
}

}  // namespace

void UseLaunchActivation(const LaunchActivation& activation, QWidget* window) {
    if (!activation.xdgActivationToken.empty() &&
        QGuiApplication::platformName().startsWith(QStringLiteral("wayland"))) {
        qputenv("XDG_ACTIVATION_TOKEN", QByteArray::fromStdString(activation.xdgActivationToken));
        return;
    }
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || activation.startupId.empty() || window == nullptr) return;
    xcb_connection_t* connection = x11->connection();
    const xcb_window_t root = RootOf(connection);
    if (root == XCB_WINDOW_NONE) return;
    EndStartupNotification(connection, root, activation.startupId);
    ActivateAt(connection, root, static_cast<xcb_window_t>(window->window()->winId()),
               TimeOfStartupId(activation.startupId));
    xcb_flush(connection);
}
