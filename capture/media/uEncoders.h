#pragma once
// The video encoders a plain recording can compress with: the installed
// GStreamer encoders whose output the AVI multiplexer takes, listed by long
// name in a stable order, and the settings of one encoder as its settings
// dialog edits them.
//
// Settings are GStreamer property assignments ("quality=90"), applied in
// order to the encoder the recording creates by name, so what the dialog set
// is what records.
//
// GStreamer stays inside the .cpp: this header is plain C++.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "astro/uDiagnostic.h"

namespace orbis {

// The failure of an encoder that cannot be created or linked (CodecAddFailed,
// naming the encoder).
TDiagnostic codecAddFailed(const std::string& encoder);

// Long names of the installed video encoders, sorted.
std::vector<std::string> videoEncoderNames();
// True when an encoder of that long name (or element name) can be created.
bool createEncoder(const std::string& name);
// The element name of an encoder given by long name (the first in list
// order) or by element name.
std::optional<std::string> encoderElementName(const std::string& name);

// Property and value text, in the order they are applied.
using TEncoderSettings = std::vector<std::pair<std::string, std::string>>;

// "quality=90 idct-method=float": words separated by white space, each
// property=value. Raises EConvertError for a word without a property or '='.
TEncoderSettings parseEncoderSettings(std::string_view text);
std::string encoderSettingsText(const TEncoderSettings& settings);

// One editable property of an encoder.
struct TEncoderProperty {
    std::string name;
    std::string description;
    std::string type;  // "int", "uint", "int64", "uint64", "float", "double", "boolean", "enum", "flags", "string"
    std::string value;  // with the settings applied
    std::string defaultValue;
    std::string minimum, maximum;   // numeric types
    std::vector<std::string> choices;  // enum and flags: the value names
};

// Every property of the encoder a dialog can edit, with the settings
// applied. Raises Exception(codecAddFailed(name)) for an encoder that is
// not installed, and EConvertError for a setting it refuses (no such
// property, not writable, a malformed value, a value out of range).
std::vector<TEncoderProperty> encoderProperties(const std::string& name, const TEncoderSettings& settings = {});

}  // namespace orbis
