// The bar's window and its dialogs as their templates draw them: each
// control's ID, kind, text, place and size in dialog units, in template (tab)
// order. The Qt bar lays its windows out from this table; the Windows
// resource script draws the same templates (its tests compare the two).
// A text that names something only Windows has is the template's in the
// table and each platform's own on screen (`controlText`, `captionText`).
#pragma once

#include <span>
#include <string>

#include "text/PlatformRules.h"

namespace kestro {

enum class ControlKind { Text, Icon, Button, DefaultButton, CheckBox, RadioButton, Edit, ComboBox };

struct TemplateControl {
    int id;  // -1: a static control without ID
    ControlKind kind;
    const char* text;  // the template's; "" where the control shows none
    int left, top, width, height;
    // The platform's own text in place of the template's; none: the same.
    const char* PlatformTexts::*platformText = nullptr;
};

struct DialogTemplate {
    int id;
    const char* caption;
    int left, top, width, height;  // the bar's place on the screen; 0, 0 for the dialogs
    std::span<const TemplateControl> controls;
    const char* PlatformTexts::*platformCaption = nullptr;
};

inline constexpr int kBarTemplate = 146;
inline constexpr int kAboutTemplate = 100;
inline constexpr int kSettingsTemplate = 137;
inline constexpr int kPaperSizeTemplate = 173;
inline constexpr int kIndexOptionsTemplate = 198;

// The five templates, the bar's first.
std::span<const DialogTemplate> dialogTemplates();
const DialogTemplate& dialogTemplate(int templateId);
// The control of that ID (not -1) in the template.
const TemplateControl& templateControl(const DialogTemplate& form, int controlId);

// What a control or a window's title shows under a platform's rules.
const char* controlText(const PlatformRules& rules, const TemplateControl& control);
const char* captionText(const PlatformRules& rules, const DialogTemplate& form);

}  // namespace kestro
