// The configuration dialog on a real display (Xvfb): what Start, Quit, the
// close box, Escape and About do, driven through the dialog's own widgets.
#include "shell/config_dialog.h"
#include "shell/settings.h"

#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

void Collect(GtkWidget* widget, std::vector<GtkWidget*>* out) {
    out->push_back(widget);
    if (GTK_IS_CONTAINER(widget))
        gtk_container_foreach(
            GTK_CONTAINER(widget),
            [](GtkWidget* child, gpointer data) { Collect(child, (std::vector<GtkWidget*>*)data); },
            out);
}

GtkWidget* FindButton(ConfigDialog* d, const char* label) {
    std::vector<GtkWidget*> all;
    Collect((GtkWidget*)ConfigDialogWindow(d), &all);
    for (GtkWidget* w : all)
        if (GTK_IS_BUTTON(w) && !GTK_IS_TOGGLE_BUTTON(w) && gtk_button_get_label(GTK_BUTTON(w)) &&
            std::string(gtk_button_get_label(GTK_BUTTON(w))) == label)
            return w;
    return nullptr;
}

// Runs the dialog while `act` is called once from its loop.
int RunWith(ConfigDialog* d, std::function<void()> act) {
    static std::function<void()> pending;
    pending = std::move(act);
    g_timeout_add(
        50,
        [](gpointer) -> gboolean {
            pending();
            return G_SOURCE_REMOVE;
        },
        nullptr);
    return WaitConfigDialog(d);
}

void Poison() {
    g_settings.soundEnabled = 7;
    g_settings.fullscreen = 7;
    g_settings.modeIndex = 7;
    g_settings.mixingRate = 7;
}

TEST(ConfigDialog, StartUntouchedLeavesTheDefaults) {
    ConfigDialog* d = CreateConfigDialog();
    ASSERT_NE(d, nullptr);
    // The list holds the mode table's entries, line 1 selected when it exists.
    std::vector<GtkWidget*> all;
    Collect((GtkWidget*)ConfigDialogWindow(d), &all);
    int combos = 0;
    for (GtkWidget* w : all) {
        if (!GTK_IS_COMBO_BOX_TEXT(w)) continue;
        EXPECT_FALSE(gtk_widget_get_sensitive(w));
        if (combos++ == 0) {
            EXPECT_EQ(gtk_combo_box_get_active(GTK_COMBO_BOX(w)), ModeCount() >= 2 ? 1 : -1);
            gtk_combo_box_set_active(GTK_COMBO_BOX(w), 0);
            char want[64];
            snprintf(want, sizeof want, "%ux%ux%u", modeTable[0].width, modeTable[0].height,
                     modeTable[0].bitsPerPixel);
            gchar* text = gtk_combo_box_text_get_active_text(GTK_COMBO_BOX_TEXT(w));
            EXPECT_STREQ(text, want);
            g_free(text);
            gtk_combo_box_set_active(GTK_COMBO_BOX(w), ModeCount() >= 2 ? 1 : -1);
        }
    }
    EXPECT_EQ(combos, 2);
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(ConfigDialogWindow(d))), "ZELKOR config");
    ASSERT_GE(ModeCount(), 1);

    Poison();
    int result = RunWith(d, [d] { gtk_button_clicked(GTK_BUTTON(FindButton(d, "_Start"))); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(g_settings.soundEnabled, 1);
    EXPECT_EQ(g_settings.fullscreen, 1);
    // Line 1 with two modes or more; with a single mode nothing is selected
    // and the first is taken.
    EXPECT_EQ(g_settings.modeIndex, ModeCount() >= 2 ? 1 : 0);
    EXPECT_EQ(g_settings.mixingRate, 44100);
}

TEST(ConfigDialog, QuitAndTheCloseBoxEndWithMinusOneAndChangeNothing) {
    ConfigDialog* d = CreateConfigDialog();
    ASSERT_NE(d, nullptr);
    Poison();
    EXPECT_EQ(RunWith(d, [d] { gtk_button_clicked(GTK_BUTTON(FindButton(d, "_Quit"))); }), -1);
    EXPECT_EQ(g_settings.modeIndex, 7);

    d = CreateConfigDialog();
    ASSERT_NE(d, nullptr);
    EXPECT_EQ(RunWith(d, [d] { gtk_window_close(GTK_WINDOW(ConfigDialogWindow(d))); }), -1);
    EXPECT_EQ(g_settings.soundEnabled, 7);
    EXPECT_EQ(g_settings.mixingRate, 7);
}

TEST(ConfigDialog, EscapeOnlyRepaintsAndAboutNamesTheEngineAndVersion) {
    ConfigDialog* d = CreateConfigDialog();
    ASSERT_NE(d, nullptr);
    static ConfigDialog* dialog;
    static std::string aboutTitle, aboutText;
    static int openAfterEscape;
    dialog = d;
    int result = RunWith(d, [] {
        GtkWidget* window = (GtkWidget*)ConfigDialogWindow(dialog);
        GdkEvent* key = gdk_event_new(GDK_KEY_PRESS);
        key->key.window = (GdkWindow*)g_object_ref(gtk_widget_get_window(window));
        key->key.keyval = GDK_KEY_Escape;
        gtk_widget_event(window, key);
        gdk_event_free(key);
        openAfterEscape = gtk_widget_get_visible(window);

        gtk_button_clicked(GTK_BUTTON(FindButton(dialog, "_About")));
        GList* tops = gtk_window_list_toplevels();
        for (GList* l = tops; l; l = l->next) {
            if (!GTK_IS_MESSAGE_DIALOG(l->data)) continue;
            aboutTitle = gtk_window_get_title(GTK_WINDOW(l->data));
            gchar* text = nullptr;
            g_object_get(l->data, "text", &text, nullptr);
            aboutText = text ? text : "";
            g_free(text);
            gtk_dialog_response(GTK_DIALOG(l->data), GTK_RESPONSE_OK);
        }
        g_list_free(tops);
        gtk_button_clicked(GTK_BUTTON(FindButton(dialog, "_Quit")));
    });
    EXPECT_EQ(result, -1);
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(aboutTitle, "About");
    EXPECT_NE(aboutText.find("ZELKOR"), std::string::npos);
    EXPECT_NE(aboutText.find("Version 0.99"), std::string::npos);
}

} // namespace
