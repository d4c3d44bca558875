// SPDX-License-Identifier: MIT
// Message boxes on a Linux desktop: a modal GTK dialog when the process has a
// display that GTK can open, the terminal's framed box otherwise. The choice
// is made once, at the first box, so a program that never shows one never
// starts GTK.

#include "../posix/terminal_box.h"
#include "../system.h"

#include <gdk/gdkx.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace bignum::platform {

namespace {

// The X window of the dialog on the screen; 0 while none is.
Window shown_window = 0;

[[noreturn]] void end_box_lost(const char* why) noexcept
{
    std::fprintf(stderr, "%s: %s\n", program_name(), why);
    exit_process(program_name(), box_lost_status);
}

// Replaces GDK's handler, which would end the process with status 1 and
// only a GDK message. Never returns: Xlib would end the process then.
int end_on_lost_connection(Display* /*display*/) { end_box_lost("the display connection was lost"); }

// Sees the X events before GDK does, so that a dialog destroyed from outside
// ends the program before GDK and GTK warn about a window that went away
// under them.
GdkFilterReturn end_on_outside_destroy(GdkXEvent* native, GdkEvent* /*event*/, gpointer /*data*/)
{
    const auto* event = static_cast<const XEvent*>(native);
    if (event->type == DestroyNotify && shown_window != 0 && event->xdestroywindow.window == shown_window) {
        end_box_lost("the message box's window was destroyed from outside");
    }
    return GDK_FILTER_CONTINUE;
}

[[nodiscard]] const char* variable(const char* name) noexcept
{
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0' ? value : nullptr;
}

// "DISPLAY=:99", "WAYLAND_DISPLAY=wayland-0" or both: what GTK tried.
[[nodiscard]] std::string display_names()
{
    std::string names;
    for (const char* name : {"WAYLAND_DISPLAY", "DISPLAY"}) {
        if (const char* value = variable(name)) {
            names += (names.empty() ? "" : ", ") + std::string(name) + "=" + value;
        }
    }
    return names;
}

// Without a display GTK would fail anyway, after loading its modules and
// allocating for nothing. A display that is named but does not open is
// said, since the boxes then go elsewhere than the user expects.
[[nodiscard]] bool desktop_available()
{
    const std::string names = display_names();
    if (names.empty()) {
        return false;
    }
    g_set_prgname(program_name());
    if (gtk_init_check(nullptr, nullptr) == FALSE) {
        std::fprintf(stderr, "%s: cannot open the display (%s); the boxes go to the terminal\n", program_name(),
                     names.c_str());
        return false;
    }
    // The windows' class, both halves, for window managers and tools such
    // as wmctrl; GTK's start would have given the class a capital.
    gdk_set_program_class(program_name());
    if (GDK_IS_X11_DISPLAY(gdk_display_get_default())) {
        XSetIOErrorHandler(end_on_lost_connection);
        gdk_window_add_filter(nullptr, end_on_outside_destroy, nullptr);
    }
    return true;
}

// The text can be selected and copied, as from a Windows box (Ctrl+C).
void make_labels_selectable(GtkMessageDialog* dialog)
{
    GList* children = gtk_container_get_children(GTK_CONTAINER(gtk_message_dialog_get_message_area(dialog)));
    for (GList* child = children; child != nullptr; child = child->next) {
        if (GTK_IS_LABEL(child->data)) {
            gtk_label_set_selectable(GTK_LABEL(child->data), TRUE);
        }
    }
    g_list_free(children);
}

// Lets GTK finish what closing the dialog started, so that its window is off
// the screen before the program goes on.
void flush_events()
{
    while (gtk_events_pending() != FALSE) {
        gtk_main_iteration();
    }
}

[[nodiscard]] Window x_window(GtkWidget* widget)
{
    GdkWindow* window = gtk_widget_get_window(widget);
    return GDK_IS_X11_WINDOW(window) ? gdk_x11_window_get_xid(window) : 0;
}

// Titled as the Windows box is. The window's close button, Escape and Enter
// all close it, as OK does.
void dialog_box(const char* text)
{
    GtkWidget* dialog =
        gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s", text);
    gtk_window_set_title(GTK_WINDOW(dialog), "Error");
    make_labels_selectable(GTK_MESSAGE_DIALOG(dialog));
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    // A selectable label would take the focus and show its text selected;
    // the focus starts on OK, as in a Windows box.
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    gtk_widget_grab_focus(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK));
    gtk_widget_realize(dialog);
    shown_window = x_window(dialog);
    gtk_dialog_run(GTK_DIALOG(dialog));
    shown_window = 0; // from here on its destruction is the program's own
    gtk_widget_destroy(dialog);
    flush_events();
}

} // namespace

void message_box(const char* text)
{
    static const bool on_desktop = desktop_available();
    if (on_desktop) {
        dialog_box(text);
    } else {
        terminal_message_box(text);
    }
}

} // namespace bignum::platform
