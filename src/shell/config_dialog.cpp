#include "shell/config_dialog.h"

#include "shell/settings.h"

#include <gtk/gtk.h>

#include <cmath>
#include <cstdio>
#include <initializer_list>
#include <string>

// The layout is given in dialog units of an 8-point Courier New; on our
// screens one unit is about 1.75 pixels either way.
static const double pixelsPerUnit = 1.75;

struct ConfigDialog {
    GtkWidget* window = nullptr;
    GtkWidget* resolution = nullptr; // 1000
    GtkWidget* fullscreen = nullptr; // 1001
    GtkWidget* mixingRate = nullptr; // 1002
    GtkWidget* sound = nullptr;      // 1003
    int done = 0;
    int result = -1;
    std::string listed; // every mode the display listed, for saying why none would do
};

static int Px(double units) {
    return (int)lround(units * pixelsPerUnit);
}

static GtkWidget* Place(GtkWidget* fixed, GtkWidget* widget, int x, int y, int w, int h) {
    gtk_widget_set_size_request(widget, Px(w), Px(h));
    gtk_fixed_put(GTK_FIXED(fixed), widget, Px(x), Px(y));
    return widget;
}

// Fills modeTable from the display's modes and the list with one line per
// entry, "WIDTHxHEIGHTxBITS", then selects line 1, the second entry.
static void FillModeList(ConfigDialog* d, GtkWidget* list) {
    int count = FillModeTable(&d->listed);
    for (int i = 0; i < count; i++) {
        char line[64];
        snprintf(line, sizeof line, "%ux%ux%u", modeTable[i].width, modeTable[i].height,
                 modeTable[i].bitsPerPixel);
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(list), line);
    }
    gtk_combo_box_set_active(GTK_COMBO_BOX(list), 1); // no selection with fewer than two
}

static void EndDialog(ConfigDialog* d, int result) {
    d->result = result;
    d->done = 1;
}

static void ShowAbout(ConfigDialog* d) {
    GtkWidget* box = gtk_message_dialog_new(
        GTK_WINDOW(d->window), GTK_DIALOG_MODAL, GTK_MESSAGE_INFO, GTK_BUTTONS_OK, "%s",
        "ZELKOR demo engine\nVersion 0.99\n\ntarnis - Marovy: code, graphics and music made by "
        "the engine's own tools.");
    gtk_window_set_title(GTK_WINDOW(box), "About");
    g_signal_connect(box, "response", G_CALLBACK(gtk_widget_destroy), nullptr);
    gtk_widget_show_all(box);
}

static void EndAfterBox(GtkDialog* box, gint, gpointer data) {
    gtk_widget_destroy(GTK_WIDGET(box));
    EndDialog((ConfigDialog*)data, -1);
}

// No display mode qualifies: name the ones there are and the way out, on
// stderr and in a box; the dialog ends with -1 once the box is dismissed.
static void RefuseStart(ConfigDialog* d) {
    char text[1024];
    snprintf(text, sizeof text,
             "no display mode of at least 640x480 with more than 8 bits per pixel (the display "
             "has %s); use a larger screen, or run marovy --desktop or --window=WxH",
             d->listed.empty() ? "none" : d->listed.c_str());
    fprintf(stderr, "marovy: %s\n", text);
    GtkWidget* box = gtk_message_dialog_new(GTK_WINDOW(d->window), GTK_DIALOG_MODAL,
                                            GTK_MESSAGE_ERROR, GTK_BUTTONS_OK, "%s", text);
    gtk_window_set_title(GTK_WINDOW(box), "Marovy");
    g_signal_connect(box, "response", G_CALLBACK(EndAfterBox), d);
    gtk_widget_show_all(box);
}

void ConfigDialogProc(ConfigDialog* d, int command) {
    switch (command) {
    case CONFIG_START: {
        g_settings.soundEnabled = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(d->sound)) ? 1 : 0;
        g_settings.fullscreen =
            gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(d->fullscreen)) ? 1 : 0;
        int line = gtk_combo_box_get_active(GTK_COMBO_BOX(d->resolution));
        if (line < 0) {
            // Fewer than two modes: nothing is selected, so take the first;
            // with none there is no mode to start in, which is said while the
            // dialog is still up.
            if (ModeCount() == 0) {
                RefuseStart(d);
                return;
            }
            line = 0;
        }
        g_settings.modeIndex = line;
        int rate = gtk_combo_box_get_active(GTK_COMBO_BOX(d->mixingRate));
        if (rate == 0) g_settings.mixingRate = 22050;
        if (rate == 1) g_settings.mixingRate = 44100;
        EndDialog(d, 0);
        return;
    }
    case CONFIG_ABOUT:
        ShowAbout(d);
        return;
    case CONFIG_QUIT:
        EndDialog(d, -1);
        return;
    case CONFIG_CLOSE:
        EndDialog(d, -1);
        return;
    default:
        gtk_widget_queue_draw(d->window);
        return; // only repaints the title
    }
}

// The production's title, painted over the client area in a large font.
static gboolean PaintTitle(GtkWidget* widget, cairo_t* cr, gpointer) {
    GtkStyleContext* style = gtk_widget_get_style_context(widget);
    GdkRGBA colour;
    gtk_style_context_get_color(style, gtk_style_context_get_state(style), &colour);
    PangoLayout* layout = gtk_widget_create_pango_layout(widget, "tarnis - Marovy");
    PangoFontDescription* font = pango_font_description_from_string("Lucida Console, monospace");
    pango_font_description_set_weight(font, PANGO_WEIGHT_BOLD);
    pango_font_description_set_absolute_size(font, 24 * PANGO_SCALE);
    pango_layout_set_font_description(layout, font);
    cairo_save(cr);
    cairo_rectangle(cr, 10, 10, 390, 90);
    cairo_clip(cr);
    cairo_move_to(cr, 10, 10);
    gdk_cairo_set_source_rgba(cr, &colour);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    pango_font_description_free(font);
    g_object_unref(layout);
    return FALSE;
}

// The program icon: a 32 x 32 glow in the show's blue.
static GdkPixbuf* MakeIcon() {
    GdkPixbuf* icon = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, 32, 32);
    if (!icon) return nullptr;
    int stride = gdk_pixbuf_get_rowstride(icon);
    guchar* px = gdk_pixbuf_get_pixels(icon);
    for (int y = 0; y < 32; y++)
        for (int x = 0; x < 32; x++) {
            double d = std::hypot(x - 15.5, y - 15.5) / 15.5;
            double v = d >= 1.0 ? 0.0 : std::pow(1.0 - d, 1.5);
            guchar* p = px + y * stride + x * 4;
            p[0] = (guchar)(90 + 165 * v * v);
            p[1] = (guchar)(110 + 145 * v * v);
            p[2] = 255;
            p[3] = (guchar)(255 * v);
        }
    return icon;
}

static void OnButton(GtkWidget* button, gpointer data) {
    ConfigDialog* d = (ConfigDialog*)data;
    ConfigDialogProc(d, GPOINTER_TO_INT(g_object_get_data(G_OBJECT(button), "command")));
}

static gboolean OnDelete(GtkWidget*, GdkEvent*, gpointer data) {
    ConfigDialogProc((ConfigDialog*)data, CONFIG_CLOSE);
    return TRUE; // the dialog is destroyed once the loop ends
}

static gboolean OnKey(GtkWidget*, GdkEventKey* event, gpointer data) {
    // Escape is a command of its own (cancel) that only repaints.
    if (event->keyval != GDK_KEY_Escape) return FALSE;
    ConfigDialogProc((ConfigDialog*)data, 2);
    return TRUE;
}

static GtkWidget* Button(ConfigDialog* d, GtkWidget* fixed, const char* text, int command, int x,
                         int w) {
    GtkWidget* button = gtk_button_new_with_mnemonic(text);
    g_object_set_data(G_OBJECT(button), "command", GINT_TO_POINTER(command));
    g_signal_connect(button, "clicked", G_CALLBACK(OnButton), d);
    return Place(fixed, button, x, 141, w, 13);
}

ConfigDialog* CreateConfigDialog() {
    // The show keeps the C locale: numbers are read and written the same way
    // everywhere.
    gtk_disable_setlocale();
    if (!gtk_init_check(nullptr, nullptr)) return nullptr;
    ConfigDialog* d = new ConfigDialog();

    // Compact controls in the dialog's 8-point monospaced font.
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css,
                                    "* { font-family: \"Courier New\", monospace; font-size: 8pt; }"
                                    " button { min-height: 0; padding: 1px 4px; }"
                                    " combobox button { padding: 0 4px; }"
                                    " checkbutton { padding: 0; }",
                                    -1, nullptr);
    gtk_style_context_add_provider_for_screen(gdk_screen_get_default(), GTK_STYLE_PROVIDER(css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);

    GtkWidget* window = d->window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window), "ZELKOR config");
    gtk_window_set_modal(GTK_WINDOW(window), TRUE);
    gtk_window_set_resizable(GTK_WINDOW(window), FALSE);
    gtk_window_set_position(GTK_WINDOW(window), GTK_WIN_POS_CENTER);
    gtk_window_set_type_hint(GTK_WINDOW(window), GDK_WINDOW_TYPE_HINT_DIALOG);
    GdkPixbuf* icon = MakeIcon();
    if (icon) gtk_window_set_icon(GTK_WINDOW(window), icon);

    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, Px(182), Px(160));
    gtk_container_add(GTK_CONTAINER(window), fixed);
    g_signal_connect_after(fixed, "draw", G_CALLBACK(PaintTitle), nullptr);

    // In the order of the dialog's control table (also the tab order).
    d->resolution = Place(fixed, gtk_combo_box_text_new(), 13, 42, 154, 12);
    Place(fixed, gtk_label_new("Resolution"), 13, 33, 41, 8);
    Place(fixed, gtk_frame_new("Video"), 6, 22, 169, 55);
    if (icon) Place(fixed, gtk_image_new_from_pixbuf(icon), 154, 2, 20, 20);
    d->fullscreen = Place(fixed, gtk_check_button_new_with_label("Fullscreen"), 13, 61, 56, 10);
    Place(fixed, gtk_frame_new("Audio"), 6, 80, 169, 55);
    d->mixingRate = Place(fixed, gtk_combo_box_text_new(), 13, 100, 154, 12);
    Place(fixed, gtk_label_new("Mixing Rate"), 13, 91, 45, 8);
    d->sound = Place(fixed, gtk_check_button_new_with_label("Sound"), 13, 119, 36, 10);
    Button(d, fixed, "_Start", CONFIG_START, 6, 53);
    Button(d, fixed, "_About", CONFIG_ABOUT, 65, 51);
    Button(d, fixed, "_Quit", CONFIG_QUIT, 122, 53);
    if (icon) g_object_unref(icon);

    // The options are shown but cannot be changed.
    FillModeList(d, d->resolution);
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(d->mixingRate), "22050");
    gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(d->mixingRate), "44100");
    gtk_combo_box_set_active(GTK_COMBO_BOX(d->mixingRate), 1);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d->sound), TRUE);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(d->fullscreen), TRUE);
    for (GtkWidget* w : {d->resolution, d->fullscreen, d->mixingRate, d->sound})
        gtk_widget_set_sensitive(w, FALSE);

    g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), d);
    g_signal_connect(window, "key-press-event", G_CALLBACK(OnKey), d);
    gtk_widget_show_all(window);
    return d;
}

int WaitConfigDialog(ConfigDialog* d) {
    while (!d->done) gtk_main_iteration();
    gtk_widget_destroy(d->window);
    // Let the window go from the screen before the show's own window opens.
    while (gtk_events_pending()) gtk_main_iteration();
    int result = d->result;
    delete d;
    return result;
}

void* ConfigDialogWindow(ConfigDialog* d) {
    return d->window;
}

int RunConfigDialog() {
    ConfigDialog* d = CreateConfigDialog();
    if (!d) {
        fprintf(stderr, "marovy: cannot show the configuration dialog: no display\n");
        return -1;
    }
    return WaitConfigDialog(d);
}
