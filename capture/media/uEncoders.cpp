#include "capture/media/uEncoders.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <tuple>

#include "astro/uExceptions.h"
#include "capture/media/uGstSupport.h"

namespace orbis {

namespace {

using gst::ObjectRef;

// Caps of avimux's video input, to offer only encoders whose output it takes.
GstCaps* aviVideoCaps() {
    ObjectRef<GstElementFactory> mux(gst_element_factory_find("avimux"));
    if (!mux.p) return nullptr;
    for (const GList* l = gst_element_factory_get_static_pad_templates(mux.p); l; l = l->next) {
        auto* t = static_cast<GstStaticPadTemplate*>(l->data);
        if (t->direction == GST_PAD_SINK && std::strncmp(t->name_template, "video", 5) == 0)
            return gst_static_pad_template_get_caps(t);
    }
    return nullptr;
}

struct EncoderEntry {
    std::string longName;
    std::string factory;
};

std::vector<EncoderEntry> encoders() {
    gst::ensureInitialized();
    GstCaps* avi = aviVideoCaps();
    std::vector<EncoderEntry> found;
    GList* features = gst_registry_get_feature_list(gst_registry_get(), GST_TYPE_ELEMENT_FACTORY);
    for (GList* l = features; l; l = l->next) {
        auto* factory = GST_ELEMENT_FACTORY(l->data);
        const char* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
        if (!klass) continue;
        // Still-image encoders count too: motion JPEG is the usual compressor of AVI clips.
        if (!std::strstr(klass, "Codec/Encoder/Video") && !std::strstr(klass, "Codec/Encoder/Image")) continue;
        if (avi && !gst_element_factory_can_src_any_caps(factory, avi)) continue;
        const char* longName = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_LONGNAME);
        found.push_back({longName ? longName : "", gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory))});
    }
    gst_plugin_feature_list_free(features);
    if (avi) gst_caps_unref(avi);
    std::sort(found.begin(), found.end(), [](const EncoderEntry& a, const EncoderEntry& b) {
        return std::tie(a.longName, a.factory) < std::tie(b.longName, b.factory);
    });
    return found;
}

// The value as a setting would write it; enums and flags by their nicknames.
std::string valueText(const GValue* v) {
    if (G_VALUE_HOLDS_STRING(v)) {
        const char* s = g_value_get_string(v);
        return s ? s : "";
    }
    if (G_VALUE_HOLDS_ENUM(v)) {
        auto* klass = static_cast<GEnumClass*>(g_type_class_ref(G_VALUE_TYPE(v)));
        const GEnumValue* e = g_enum_get_value(klass, g_value_get_enum(v));
        std::string text = e ? e->value_nick : std::to_string(g_value_get_enum(v));
        g_type_class_unref(klass);
        return text;
    }
    gchar* s = gst_value_serialize(v);
    std::string text = s ? s : "";
    g_free(s);
    return text;
}

template <typename ParamType, typename T>
void rangeOf(TEncoderProperty& p, GParamSpec* param, GType type, void (*set)(GValue*, T)) {
    auto* s = reinterpret_cast<ParamType*>(param);
    GValue v = G_VALUE_INIT;
    g_value_init(&v, type);
    set(&v, s->minimum);
    p.minimum = valueText(&v);
    set(&v, s->maximum);
    p.maximum = valueText(&v);
    g_value_unset(&v);
}

// The type name and range of a property the settings can edit; false for
// the kinds a text cannot set (objects, caps, boxed values).
bool describe(GParamSpec* param, TEncoderProperty& p) {
    const GType type = G_PARAM_SPEC_VALUE_TYPE(param);
    switch (G_TYPE_FUNDAMENTAL(type)) {
        case G_TYPE_INT:
            p.type = "int";
            rangeOf<GParamSpecInt, gint>(p, param, type, g_value_set_int);
            return true;
        case G_TYPE_UINT:
            p.type = "uint";
            rangeOf<GParamSpecUInt, guint>(p, param, type, g_value_set_uint);
            return true;
        case G_TYPE_INT64:
            p.type = "int64";
            rangeOf<GParamSpecInt64, gint64>(p, param, type, g_value_set_int64);
            return true;
        case G_TYPE_UINT64:
            p.type = "uint64";
            rangeOf<GParamSpecUInt64, guint64>(p, param, type, g_value_set_uint64);
            return true;
        case G_TYPE_FLOAT:
            p.type = "float";
            rangeOf<GParamSpecFloat, gfloat>(p, param, type, g_value_set_float);
            return true;
        case G_TYPE_DOUBLE:
            p.type = "double";
            rangeOf<GParamSpecDouble, gdouble>(p, param, type, g_value_set_double);
            return true;
        case G_TYPE_BOOLEAN:
            p.type = "boolean";
            return true;
        case G_TYPE_STRING:
            p.type = "string";
            return true;
        case G_TYPE_ENUM: {
            p.type = "enum";
            auto* klass = static_cast<GEnumClass*>(g_type_class_ref(type));
            for (guint i = 0; i < klass->n_values; ++i) p.choices.emplace_back(klass->values[i].value_nick);
            g_type_class_unref(klass);
            return true;
        }
        case G_TYPE_FLAGS: {
            p.type = "flags";
            auto* klass = static_cast<GFlagsClass*>(g_type_class_ref(type));
            for (guint i = 0; i < klass->n_values; ++i) p.choices.emplace_back(klass->values[i].value_nick);
            g_type_class_unref(klass);
            return true;
        }
        default:
            return false;
    }
}

bool editable(const GParamSpec* param) {
    const GParamFlags f = param->flags;
    if (!(f & G_PARAM_READABLE) || !(f & G_PARAM_WRITABLE) || (f & G_PARAM_CONSTRUCT_ONLY)) return false;
    // GstObject's own name and parent are not encoder settings.
    return param->owner_type != GST_TYPE_OBJECT;
}

ObjectRef<GstElement> makeEncoder(const std::string& name) {
    const auto factory = encoderElementName(name);
    GstElement* element = factory ? gst_element_factory_make(factory->c_str(), nullptr) : nullptr;
    if (!element) throw Exception(codecAddFailed(name));
    return ObjectRef<GstElement>(GST_ELEMENT(gst_object_ref_sink(element)));
}

}  // namespace

TDiagnostic codecAddFailed(const std::string& encoder) {
    return TDiagnostic(Code::CodecAddFailed).with("encoder", encoder);
}

std::vector<std::string> videoEncoderNames() {
    std::vector<std::string> names;
    for (auto& e : encoders()) names.push_back(std::move(e.longName));
    return names;
}

std::optional<std::string> encoderElementName(const std::string& name) {
    const auto list = encoders();
    for (const auto& e : list)
        if (e.longName == name) return e.factory;
    for (const auto& e : list)
        if (e.factory == name) return e.factory;
    return std::nullopt;
}

bool createEncoder(const std::string& name) {
    try {
        makeEncoder(name);
        return true;
    } catch (const Exception&) {
        return false;
    }
}

TEncoderSettings parseEncoderSettings(std::string_view text) {
    TEncoderSettings settings;
    std::size_t i = 0;
    while (i < text.size()) {
        if (std::isspace(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
        const std::string_view word = text.substr(i, end - i);
        const std::size_t eq = word.find('=');
        if (eq == std::string_view::npos || eq == 0)
            throw EConvertError(TDiagnostic(Code::EncoderSettingMalformed).with("text", std::string(word)));
        settings.emplace_back(std::string(word.substr(0, eq)), std::string(word.substr(eq + 1)));
        i = end;
    }
    return settings;
}

std::string encoderSettingsText(const TEncoderSettings& settings) {
    std::string text;
    for (const auto& [property, value] : settings) {
        if (!text.empty()) text += ' ';
        text += property + "=" + value;
    }
    return text;
}

void gst::applyEncoderSettings(GstElement* encoder, const std::vector<std::pair<std::string, std::string>>& settings) {
    for (const auto& [property, text] : settings) {
        GParamSpec* param = g_object_class_find_property(G_OBJECT_GET_CLASS(encoder), property.c_str());
        TEncoderProperty described;
        if (!param || !editable(param) || !describe(param, described))
            throw EConvertError(TDiagnostic(Code::EncoderSettingUnknown).with("property", property));
        GValue v = G_VALUE_INIT;
        g_value_init(&v, G_PARAM_SPEC_VALUE_TYPE(param));
        bool ok = false;
        if (G_VALUE_HOLDS_STRING(&v)) {
            g_value_set_string(&v, text.c_str());
            ok = true;
        } else {
            ok = gst_value_deserialize(&v, text.c_str());
        }
        // validate returns true when it had to change the value to fit.
        const bool inRange = ok && !g_param_value_validate(param, &v);
        if (inRange) g_object_set_property(G_OBJECT(encoder), property.c_str(), &v);
        g_value_unset(&v);
        if (!ok) throw EConvertError(TDiagnostic(Code::EncoderSettingInvalid).with("property", property).with("value", text));
        if (!inRange) {
            throw EConvertError(TDiagnostic(Code::EncoderSettingOutOfRange)
                                    .with("property", property)
                                    .with("value", text)
                                    .with("minimum", described.minimum)
                                    .with("maximum", described.maximum));
        }
    }
}

std::vector<TEncoderProperty> encoderProperties(const std::string& name, const TEncoderSettings& settings) {
    ObjectRef<GstElement> encoder = makeEncoder(name);
    gst::applyEncoderSettings(encoder.p, settings);
    guint count = 0;
    GParamSpec** params = g_object_class_list_properties(G_OBJECT_GET_CLASS(encoder.p), &count);
    std::vector<TEncoderProperty> list;
    for (guint i = 0; i < count; ++i) {
        GParamSpec* param = params[i];
        TEncoderProperty p;
        if (!editable(param) || !describe(param, p)) continue;
        p.name = g_param_spec_get_name(param);
        const char* blurb = g_param_spec_get_blurb(param);
        p.description = blurb ? blurb : "";
        GValue v = G_VALUE_INIT;
        g_value_init(&v, G_PARAM_SPEC_VALUE_TYPE(param));
        g_object_get_property(G_OBJECT(encoder.p), p.name.c_str(), &v);
        p.value = valueText(&v);
        g_value_unset(&v);
        p.defaultValue = valueText(g_param_spec_get_default_value(param));
        list.push_back(std::move(p));
    }
    g_free(params);
    return list;
}

}  // namespace orbis
