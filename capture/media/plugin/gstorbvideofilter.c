/* orbvideofilter: burns the local time (%H:%M:%S) into every frame.
 *
 * A bin around "videoconvert ! clockoverlay" with ghost pads, so it takes any
 * raw video and hands on whatever format clockoverlay settles on with the
 * element downstream (avimux or an encoder).
 *
 * Properties:
 *   flag       TRUE draws the stamp; FALSE passes frames unchanged
 *   value      an integer kept for the caller, read back as set
 *   font-size  point size of the stamp ("Sans <n>")
 */

#include <gst/gst.h>

#define ORB_TYPE_VIDEO_FILTER (orb_video_filter_get_type())
#define ORB_VIDEO_FILTER(obj) ((OrbVideoFilter*)(obj))

typedef struct {
    GstBin parent;
    GstElement* convert;
    GstElement* overlay;
    gboolean flag;
    gint value;
    gint font_size;
} OrbVideoFilter;

typedef struct {
    GstBinClass parent_class;
} OrbVideoFilterClass;

enum { PROP_0, PROP_FLAG, PROP_VALUE, PROP_FONT_SIZE };

#define DEFAULT_FLAG TRUE
#define DEFAULT_VALUE 0
#define DEFAULT_FONT_SIZE 12

static GType orb_video_filter_get_type(void);
static gpointer parent_class = NULL;

static void apply_font(OrbVideoFilter* self) {
    if (!self->overlay) return;
    gchar* desc = g_strdup_printf("Sans %d", self->font_size);
    g_object_set(self->overlay, "font-desc", desc, NULL);
    g_free(desc);
}

static void orb_video_filter_set_property(GObject* object, guint id, const GValue* value, GParamSpec* pspec) {
    OrbVideoFilter* self = ORB_VIDEO_FILTER(object);
    switch (id) {
        case PROP_FLAG:
            self->flag = g_value_get_boolean(value);
            if (self->overlay) g_object_set(self->overlay, "silent", !self->flag, NULL);
            break;
        case PROP_VALUE:
            self->value = g_value_get_int(value);
            break;
        case PROP_FONT_SIZE:
            self->font_size = g_value_get_int(value);
            apply_font(self);
            break;
        default:
            G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
            break;
    }
}

static void orb_video_filter_get_property(GObject* object, guint id, GValue* value, GParamSpec* pspec) {
    OrbVideoFilter* self = ORB_VIDEO_FILTER(object);
    switch (id) {
        case PROP_FLAG:
            g_value_set_boolean(value, self->flag);
            break;
        case PROP_VALUE:
            g_value_set_int(value, self->value);
            break;
        case PROP_FONT_SIZE:
            g_value_set_int(value, self->font_size);
            break;
        default:
            G_OBJECT_WARN_INVALID_PROPERTY_ID(object, id, pspec);
            break;
    }
}

static GstStaticPadTemplate sink_template =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-raw"));
static GstStaticPadTemplate src_template =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS("video/x-raw"));

/* Without the elements it wraps the filter has nothing to pass frames
 * through: it says so when asked to start, instead of failing to link. */
static GstStateChangeReturn orb_video_filter_change_state(GstElement* element, GstStateChange transition) {
    OrbVideoFilter* self = ORB_VIDEO_FILTER(element);
    if (transition == GST_STATE_CHANGE_NULL_TO_READY && !self->overlay) {
        GST_ELEMENT_ERROR(element, CORE, MISSING_PLUGIN,
                          ("orbvideofilter needs the videoconvert and clockoverlay elements"), (NULL));
        return GST_STATE_CHANGE_FAILURE;
    }
    return GST_ELEMENT_CLASS(parent_class)->change_state(element, transition);
}

static void orb_video_filter_class_init(gpointer klass, gpointer data) {
    GObjectClass* object_class = G_OBJECT_CLASS(klass);
    GstElementClass* element_class = GST_ELEMENT_CLASS(klass);
    (void)data;
    parent_class = g_type_class_peek_parent(klass);

    object_class->set_property = orb_video_filter_set_property;
    object_class->get_property = orb_video_filter_get_property;
    element_class->change_state = orb_video_filter_change_state;
    const GParamFlags flags = (GParamFlags)(G_PARAM_READWRITE | G_PARAM_STATIC_STRINGS);
    g_object_class_install_property(
        object_class, PROP_FLAG,
        g_param_spec_boolean("flag", "Flag", "Draw the time stamp (FALSE: frames pass unchanged)", DEFAULT_FLAG, flags));
    g_object_class_install_property(
        object_class, PROP_VALUE,
        g_param_spec_int("value", "Value", "An integer kept for the caller", G_MININT, G_MAXINT, DEFAULT_VALUE, flags));
    g_object_class_install_property(
        object_class, PROP_FONT_SIZE,
        g_param_spec_int("font-size", "Font size", "Point size of the time stamp", 1, 1000, DEFAULT_FONT_SIZE, flags));

    gst_element_class_add_static_pad_template(element_class, &sink_template);
    gst_element_class_add_static_pad_template(element_class, &src_template);
    gst_element_class_set_static_metadata(element_class, "ORBVideoFilter", "Filter/Effect/Video",
                                          "Burns the local time into the frames", "Orbisight");
}

static void orb_video_filter_init(GTypeInstance* instance, gpointer klass) {
    OrbVideoFilter* self = ORB_VIDEO_FILTER(instance);
    GstElementClass* element_class = GST_ELEMENT_CLASS(klass);
    self->flag = DEFAULT_FLAG;
    self->value = DEFAULT_VALUE;
    self->font_size = DEFAULT_FONT_SIZE;

    self->convert = gst_element_factory_make("videoconvert", "convert");
    self->overlay = gst_element_factory_make("clockoverlay", "clock");
    if (!self->convert || !self->overlay) {
        /* Without the base or good plugins there is nothing to wrap: the
         * element stays empty and refuses to start (change_state). */
        if (self->convert) gst_object_unref(gst_object_ref_sink(self->convert));
        if (self->overlay) gst_object_unref(gst_object_ref_sink(self->overlay));
        self->convert = self->overlay = NULL;
        return;
    }
    /* The font size is in points on the frame itself, not scaled with the
     * frame width as clockoverlay would by default. */
    g_object_set(self->overlay, "time-format", "%H:%M:%S", "silent", FALSE, "auto-resize", FALSE, NULL);
    apply_font(self);
    gst_bin_add_many(GST_BIN(self), self->convert, self->overlay, NULL);
    gst_element_link(self->convert, self->overlay);

    GstPad* sink = gst_element_get_static_pad(self->convert, "sink");
    GstPad* src = gst_element_get_static_pad(self->overlay, "src");
    gst_element_add_pad(GST_ELEMENT(self), gst_ghost_pad_new_from_template(
                                               "sink", sink, gst_element_class_get_pad_template(element_class, "sink")));
    gst_element_add_pad(GST_ELEMENT(self), gst_ghost_pad_new_from_template(
                                               "src", src, gst_element_class_get_pad_template(element_class, "src")));
    gst_object_unref(sink);
    gst_object_unref(src);
}

/* Written out rather than G_DEFINE_TYPE: a second copy of this library (the
 * same plugin scanned from another directory) must reuse the type the first
 * copy registered instead of failing to register it again. */
static GType orb_video_filter_get_type(void) {
    static gsize type_id = 0;
    if (g_once_init_enter(&type_id)) {
        GType type = g_type_from_name("OrbVideoFilter");
        if (type == 0) {
            const GTypeInfo info = {sizeof(OrbVideoFilterClass), NULL, NULL, orb_video_filter_class_init, NULL, NULL,
                                    sizeof(OrbVideoFilter), 0, orb_video_filter_init, NULL};
            type = g_type_register_static(GST_TYPE_BIN, "OrbVideoFilter", &info, (GTypeFlags)0);
        }
        g_once_init_leave(&type_id, type);
    }
    return (GType)type_id;
}

static gboolean plugin_init(GstPlugin* plugin) {
    return gst_element_register(plugin, "orbvideofilter", GST_RANK_NONE, ORB_TYPE_VIDEO_FILTER);
}

#define PACKAGE "orbisight"
GST_PLUGIN_DEFINE(GST_VERSION_MAJOR, GST_VERSION_MINOR, orbvideofilter, "Orbisight time stamp on video frames",
                  plugin_init, ORBIS_VERSION, "LGPL", "Orbisight", "https://orbisight.invalid/")
