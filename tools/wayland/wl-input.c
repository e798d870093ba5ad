// Pointer input and activation tokens for the Wayland system test, asked of the compositor
// the way a remote-desktop tool or a launcher asks: a virtual pointer
// (zwlr_virtual_pointer_manager_v1) and xdg_activation_v1 tokens.
//
//   wl-input COMMAND...
//     extent W H      the size of the output layout that `move` positions are in (1024 768)
//     move X Y        moves the pointer to X, Y of the layout
//     press, release  the left button
//     wait MS         pauses
//     token           prints a fresh activation token on a line of its own
//
// Each command reaches the compositor before the next one starts. Exits 1, saying why, when
// the compositor lacks a protocol or a command is not understood.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>
#include <wayland-client.h>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include "xdg-activation-v1-client-protocol.h"

enum { kLeftButton = 0x110 };  // BTN_LEFT

static struct zwlr_virtual_pointer_manager_v1* pointer_manager;
static struct xdg_activation_v1* activation;

static void global_added(void* data, struct wl_registry* registry, uint32_t name,
                         const char* interface, uint32_t version) {
    (void)data;
    (void)version;
    if (strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        pointer_manager =
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1);
    else if (strcmp(interface, xdg_activation_v1_interface.name) == 0)
        activation = wl_registry_bind(registry, name, &xdg_activation_v1_interface, 1);
}

static void global_removed(void* data, struct wl_registry* registry, uint32_t name) {
    (void)data;
    (void)registry;
    (void)name;
}

static const struct wl_registry_listener registry_listener = {global_added, global_removed};

static void token_done(void* data, struct xdg_activation_token_v1* token, const char* text) {
    (void)token;
    *(char**)data = strdup(text);
}

static const struct xdg_activation_token_v1_listener token_listener = {token_done};

static uint32_t now_ms(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint32_t)(now.tv_sec * 1000 + now.tv_nsec / 1000000);
}

static int fail(const char* what) {
    fprintf(stderr, "wl-input: %s\n", what);
    return 1;
}

static int print_token(struct wl_display* display) {
    if (!activation) return fail("the compositor offers no xdg_activation_v1");
    char* text = NULL;
    struct xdg_activation_token_v1* token = xdg_activation_v1_get_activation_token(activation);
    xdg_activation_token_v1_add_listener(token, &token_listener, &text);
    xdg_activation_token_v1_commit(token);
    while (!text)
        if (wl_display_roundtrip(display) < 0) return fail("the compositor went away");
    printf("%s\n", text);
    fflush(stdout);
    free(text);
    xdg_activation_token_v1_destroy(token);
    return 0;
}

int main(int argc, char** argv) {
    struct wl_display* display = wl_display_connect(NULL);
    if (!display) return fail("no Wayland display to connect to");
    struct wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registry_listener, NULL);
    wl_display_roundtrip(display);

    struct zwlr_virtual_pointer_v1* pointer = NULL;
    uint32_t width = 1024, height = 768;
    for (int i = 1; i < argc; ++i) {
        const char* command = argv[i];
        int needs = strcmp(command, "extent") == 0 || strcmp(command, "move") == 0 ? 2
                    : strcmp(command, "wait") == 0                                 ? 1
                                                                                   : 0;
        if (i + needs >= argc) return fail("a command lacks its numbers");
        if (strcmp(command, "token") == 0) {
            if (print_token(display) != 0) return 1;
            continue;
        }
        if (strcmp(command, "wait") == 0) {
            long ms = atol(argv[++i]);
            struct timespec pause = {ms / 1000, (ms % 1000) * 1000000L};
            nanosleep(&pause, NULL);
            continue;
        }
        if (strcmp(command, "extent") == 0) {
            width = (uint32_t)atol(argv[i + 1]);
            height = (uint32_t)atol(argv[i + 2]);
            i += 2;
            continue;
        }
        if (!pointer_manager)
            return fail("the compositor offers no zwlr_virtual_pointer_manager_v1");
        if (!pointer)
            pointer = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(pointer_manager, NULL);
        if (strcmp(command, "move") == 0) {
            long x = atol(argv[i + 1]), y = atol(argv[i + 2]);
            i += 2;
            if (x < 0 || y < 0 || x >= width || y >= height) return fail("a position lies outside");
            zwlr_virtual_pointer_v1_motion_absolute(pointer, now_ms(), (uint32_t)x, (uint32_t)y,
                                                    width, height);
        } else if (strcmp(command, "press") == 0 || strcmp(command, "release") == 0) {
            zwlr_virtual_pointer_v1_button(pointer, now_ms(), kLeftButton,
                                           command[0] == 'p' ? WL_POINTER_BUTTON_STATE_PRESSED
                                                             : WL_POINTER_BUTTON_STATE_RELEASED);
        } else {
            fprintf(stderr, "wl-input: unknown command %s\n", command);
            return 1;
        }
        zwlr_virtual_pointer_v1_frame(pointer);
        if (wl_display_roundtrip(display) < 0) return fail("the compositor went away");
    }
    if (pointer) zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
