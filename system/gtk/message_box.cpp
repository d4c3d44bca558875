// SPDX-License-Identifier: MIT
// Message boxes on a Linux desktop: a modal GTK dialog when the process has a
// display that GTK can open, the terminal's framed box otherwise. The choice
// is made once, at the first box, so a program that never shows one never
// starts GTK.

#include "../posix/terminal_box.h"
#include "../system.h"

#include <gtk/gtk.h>

#include <cstdlib>

namespace bignum::platform {

namespace {

[[nodiscard]] bool is_set(const char* variable) noexcept
{
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

// Without a display GTK would fail anyway, after loading its modules and
// allocating for nothing.
[[nodiscard]] bool desktop_available()
{
    return (is_set("DISPLAY") || is_set("WAYLAND_DISPLAY")) && gtk_init_check(nullptr, nullptr) != FALSE;
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

// No title: GTK's message dialogs have none unless given one. The window's
// close button, Escape and Enter all close it, as OK does.
void dialog_box(const char* text)
{
    GtkWidget* dialog =
        gtk_message_dialog_new(nullptr, GTK_DIALOG_MODAL, GTK_MESSAGE_OTHER, GTK_BUTTONS_OK, "%s", text);
    make_labels_selectable(GTK_MESSAGE_DIALOG(dialog));
    gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
    // A selectable label would take the focus and show its text selected;
    // the focus starts on OK, as in a Windows box.
    gtk_dialog_set_default_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK);
    gtk_widget_grab_focus(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_OK));
    gtk_dialog_run(GTK_DIALOG(dialog));
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
