#pragma once

// The window's controls as data: one row per control, places and sizes in
// twips (15 to a pixel), relative to the container. frmOrvinel builds the
// window from this table in one loop.

#include "OverlaySettings.h"
#include "Presets.h"

namespace ControlTable {

enum class Kind {
    Button,
    CheckBox,
    Text,
    Label,
    ClickLabel,
    Frame,
    Option,
    SizeList,   // editable: a size word or a typed number
    PointUnits, // pick only: fraction, pixels, insetPixels
    SizeUnits,  // pick only: fraction, pixels
    Slider,
};

enum class Face { Default, Bold, Points9_75, Points12, Points18 };

// Looks, combined with |.
enum Look : unsigned {
    Plain = 0,
    Centred = 1,
    InfoStrip = 2,  // the system's tooltip background, a message strip
    SeeThrough = 4, // transparent background
    Link = 8,       // the palette's link colour
    Wraps = 16,     // caption wraps at word boundaries
};

struct Row
{
    const char* name;
    Kind kind;
    const char* container; // nullptr: the window itself
    const char* text;      // fixed caption; values the user can change come from the document
    int left;
    int top;
    int width;
    int height;
    Face face;
    unsigned look;
};

// clang-format off
inline constexpr Row kRows[] = {
    {"lblOpen_graphic_file", Kind::Label, nullptr, "", 120, 120, 4455, 615, Face::Default, Centred | InfoStrip | Wraps},
    {"cmdOpen_graphic_file", Kind::Button, nullptr, "Select Overlay &Graphic File", 4680, 180, 1455, 495, Face::Bold, Wraps},
    {"txtOverlay_title", Kind::Text, nullptr, "", 120, 840, 4455, 405, Face::Points9_75, Centred},
    {"lblOverlaytitle", Kind::Label, nullptr, "Overlay Title", 4800, 915, 1215, 255, Face::Bold, Centred},
    {"framePresets", Kind::Frame, nullptr, "Preset Positions", 120, 1320, 3375, 1935, Face::Bold, Plain},
    {"frameGraphicdimensions", Kind::Frame, nullptr, "Overlay Dimensions", 3600, 1560, 2415, 1455, Face::Bold, Plain},
    {"frameScreen", Kind::Frame, nullptr, "Screen Parameters", 90, 3360, 2895, 1455, Face::Bold, Plain},
    {"frameOverlay", Kind::Frame, nullptr, "Overlay Parameters", 3090, 3360, 3015, 1455, Face::Bold, Plain},
    {"frameRotation", Kind::Frame, nullptr, "Rotation", 1650, 5040, 4455, 1455, Face::Bold, Plain},
    {"frameDraw_Order", Kind::Frame, nullptr, "Draw Order", 120, 5280, 1335, 975, Face::Bold, Plain},
    {"cmdPreview", Kind::Button, nullptr, "Pre&view", 120, 6330, 1335, 495, Face::Bold, Wraps},
    {"frameSize", Kind::Frame, nullptr, "Overlay Size", 1800, 6600, 4215, 1335, Face::Bold, Plain},
    {"chkAuto_Refresh", Kind::CheckBox, nullptr, "A&uto-Refresh", 120, 6960, 1575, 255, Face::Bold, Plain},
    {"Label1", Kind::Label, nullptr, "Version 0.4", 360, 7440, 855, 255, Face::Default, Plain},
    {"lblTransparent", Kind::Label, nullptr, "Transparent", 120, 8040, 975, 255, Face::Default, SeeThrough},
    {"lblSettransparency", Kind::Label, nullptr, "Set Transparency", 240, 8040, 5775, 255, Face::Bold, Centred | SeeThrough},
    {"lblOpaque", Kind::Label, nullptr, "Opaque", 5400, 8040, 615, 375, Face::Default, SeeThrough},
    {"sliderTransparency", Kind::Slider, nullptr, "", 90, 8280, 6015, 495, Face::Default, Plain},
    {"lblOutput_file", Kind::Label, nullptr, "", 90, 8880, 6015, 495, Face::Default, InfoStrip | Wraps},
    {"cmdSave_As", Kind::Button, nullptr, "Save &As", 120, 9480, 1335, 735, Face::Bold, Wraps},
    {"cmdSave_Refresh", Kind::Button, nullptr, "Save/&Refresh", 1640, 9480, 1335, 735, Face::Bold, Wraps},
    {"cmdHelp", Kind::Button, nullptr, "He&lp", 3160, 9480, 1335, 735, Face::Bold, Wraps},
    {"cmdExit", Kind::Button, nullptr, "E&xit", 4680, 9480, 1335, 735, Face::Bold, Wraps},
    {"cmdCreate_Network_Link", Kind::Button, nullptr, "Create &Network Link And Open In Google Earth", 120, 10320, 1695, 735, Face::Bold, Wraps},
    {"cmdNew_Program", Kind::Button, nullptr, "New &Program Window", 2040, 10320, 1695, 735, Face::Bold, Wraps},
    {"lblTarnwell", Kind::ClickLabel, nullptr, "Created by Tarnwell Click here to visit the site", 3840, 10380, 2355, 615, Face::Bold, Centred | Link | Wraps},

    {"optPreset_0", Kind::Option, "framePresets", Overlay::kPresets[0].name, 120, 240, 855, 495, Face::Default, Wraps},
    {"optPreset_1", Kind::Option, "framePresets", Overlay::kPresets[1].name, 1260, 240, 855, 495, Face::Default, Wraps},
    {"optPreset_2", Kind::Option, "framePresets", Overlay::kPresets[2].name, 2400, 240, 855, 495, Face::Default, Wraps},
    {"optPreset_3", Kind::Option, "framePresets", Overlay::kPresets[3].name, 120, 780, 855, 495, Face::Default, Wraps},
    {"optPreset_4", Kind::Option, "framePresets", Overlay::kPresets[4].name, 1260, 780, 855, 495, Face::Default, Wraps},
    {"optPreset_5", Kind::Option, "framePresets", Overlay::kPresets[5].name, 2400, 780, 855, 495, Face::Default, Wraps},
    {"optPreset_6", Kind::Option, "framePresets", Overlay::kPresets[6].name, 120, 1320, 855, 495, Face::Default, Wraps},
    {"optPreset_7", Kind::Option, "framePresets", Overlay::kPresets[7].name, 1260, 1320, 855, 495, Face::Default, Wraps},
    {"optPreset_8", Kind::Option, "framePresets", Overlay::kPresets[8].name, 2400, 1320, 855, 495, Face::Default, Wraps},

    {"lblWidth_label", Kind::Label, "frameGraphicdimensions", "Width (pixels)", 120, 495, 975, 255, Face::Default, Plain},
    {"txtWidth", Kind::Text, "frameGraphicdimensions", "", 1320, 480, 735, 285, Face::Points9_75, Centred},
    {"lblHeight_label", Kind::Label, "frameGraphicdimensions", "Height (pixels)", 120, 975, 1215, 255, Face::Default, Plain},
    {"txtHeight", Kind::Text, "frameGraphicdimensions", "", 1320, 960, 735, 285, Face::Points9_75, Centred},

    {"lblScreenx", Kind::Label, "frameScreen", "x", 660, 240, 135, 255, Face::Default, Centred},
    {"lblScreeny", Kind::Label, "frameScreen", "y", 2100, 240, 135, 255, Face::Default, Centred},
    {"comboScreen_x_units", Kind::PointUnits, "frameScreen", "", 120, 480, 1215, 315, Face::Default, Plain},
    {"comboScreen_y_units", Kind::PointUnits, "frameScreen", "", 1560, 480, 1215, 315, Face::Default, Plain},
    {"txtScreen_x", Kind::Text, "frameScreen", "", 120, 960, 1215, 375, Face::Points9_75, Plain},
    {"txtScreen_y", Kind::Text, "frameScreen", "", 1560, 960, 1215, 375, Face::Points9_75, Plain},

    {"lbloverlayx", Kind::Label, "frameOverlay", "x", 660, 240, 135, 255, Face::Default, Centred},
    {"lbloverlayy", Kind::Label, "frameOverlay", "y", 2160, 240, 135, 255, Face::Default, Centred},
    {"comboOverlay_x_units", Kind::PointUnits, "frameOverlay", "", 120, 480, 1215, 315, Face::Default, Plain},
    {"comboOverlay_y_units", Kind::PointUnits, "frameOverlay", "", 1620, 480, 1215, 315, Face::Default, Plain},
    {"txtOverlay_x", Kind::Text, "frameOverlay", "", 120, 960, 1215, 375, Face::Points9_75, Centred},
    {"txtOverlay_y", Kind::Text, "frameOverlay", "", 1620, 960, 1215, 375, Face::Points9_75, Centred},

    {"lblRotation_angle", Kind::Label, "frameRotation", "Angle (+/-180)", 240, 480, 1095, 255, Face::Default, Plain},
    {"txtRotation", Kind::Text, "frameRotation", "", 240, 780, 1095, 555, Face::Points18, Centred},
    {"lblrotationx", Kind::Label, "frameRotation", "x", 2220, 240, 135, 255, Face::Default, Centred},
    {"lblrotationy", Kind::Label, "frameRotation", "y", 3660, 240, 135, 255, Face::Default, Centred},
    {"comboRotation_x_units", Kind::PointUnits, "frameRotation", "", 1680, 480, 1215, 315, Face::Default, Plain},
    {"comboRotation_y_units", Kind::PointUnits, "frameRotation", "", 3120, 480, 1215, 315, Face::Default, Plain},
    {"txtRotation_x", Kind::Text, "frameRotation", "", 1680, 960, 1215, 375, Face::Default, Plain},
    {"txtRotation_y", Kind::Text, "frameRotation", "", 3120, 960, 1215, 375, Face::Default, Plain},

    {"txtDraw_order", Kind::Text, "frameDraw_Order", "", 240, 360, 855, 375, Face::Points12, Centred},

    {"lblsizex", Kind::Label, "frameSize", "x", 1080, 240, 135, 255, Face::Default, Centred},
    {"lblsizey", Kind::Label, "frameSize", "y", 3120, 240, 135, 255, Face::Default, Centred},
    {"comboSize_x_units", Kind::SizeUnits, "frameSize", "", 720, 480, 975, 315, Face::Default, Plain},
    {"comboSize_y_units", Kind::SizeUnits, "frameSize", "", 2700, 480, 975, 315, Face::Default, Plain},
    {"comboSize_x", Kind::SizeList, "frameSize", "", 360, 840, 1815, 315, Face::Default, Plain},
    {"comboSize_y", Kind::SizeList, "frameSize", "", 2280, 840, 1815, 315, Face::Default, Plain},
};

// Every control that takes the focus, in tab order: the window as it is read,
// top to bottom and left to right, a group at a time, each x or y column of a
// group its units then its value. The presets are one stop together, through
// the chosen one.
inline constexpr const char* kTabOrder[] = {
    "cmdOpen_graphic_file", "txtOverlay_title", "optPreset_0", "optPreset_1", "optPreset_2",
    "optPreset_3", "optPreset_4", "optPreset_5", "optPreset_6", "optPreset_7", "optPreset_8",
    "txtWidth", "txtHeight", "comboScreen_x_units", "txtScreen_x", "comboScreen_y_units",
    "txtScreen_y", "comboOverlay_x_units", "txtOverlay_x", "comboOverlay_y_units", "txtOverlay_y",
    "txtDraw_order", "txtRotation", "comboRotation_x_units", "txtRotation_x",
    "comboRotation_y_units", "txtRotation_y", "cmdPreview", "chkAuto_Refresh", "comboSize_x_units",
    "comboSize_x", "comboSize_y_units", "comboSize_y", "sliderTransparency", "cmdSave_As",
    "cmdSave_Refresh", "cmdHelp", "cmdExit", "cmdCreate_Network_Link", "cmdNew_Program",
};

// What a screen reader calls each control that has no caption of its own (a
// group's title alone would name several).
struct AccessibleName
{
    const char* name;
    const char* text;
};
inline constexpr AccessibleName kAccessibleNames[] = {
    {"txtOverlay_title", "Overlay title"},
    {"txtWidth", "Overlay width in pixels"},
    {"txtHeight", "Overlay height in pixels"},
    {"comboScreen_x_units", "Screen x units"},
    {"txtScreen_x", "Screen x"},
    {"comboScreen_y_units", "Screen y units"},
    {"txtScreen_y", "Screen y"},
    {"comboOverlay_x_units", "Overlay x units"},
    {"txtOverlay_x", "Overlay x"},
    {"comboOverlay_y_units", "Overlay y units"},
    {"txtOverlay_y", "Overlay y"},
    {"txtDraw_order", "Draw order"},
    {"txtRotation", "Rotation angle"},
    {"comboRotation_x_units", "Rotation x units"},
    {"txtRotation_x", "Rotation x"},
    {"comboRotation_y_units", "Rotation y units"},
    {"txtRotation_y", "Rotation y"},
    {"comboSize_x_units", "Size x units"},
    {"comboSize_x", "Size x"},
    {"comboSize_y_units", "Size y units"},
    {"comboSize_y", "Size y"},
    {"sliderTransparency", "Transparency"},
};

// Labels that name a field beside them.
struct LabelFor
{
    const char* label;
    const char* field;
};
inline constexpr LabelFor kLabels[] = {
    {"lblOverlaytitle", "txtOverlay_title"}, {"lblWidth_label", "txtWidth"},
    {"lblHeight_label", "txtHeight"},         {"lblRotation_angle", "txtRotation"},
    {"lblSettransparency", "sliderTransparency"},
};

struct Tooltip
{
    const char* name;
    const char* text;
};

inline constexpr Tooltip kTooltips[] = {
    {"cmdOpen_graphic_file", "Choose graphic file to use as overlay"},
    {"txtOverlay_title", "Enter overlay title here"},
    {"framePresets", "Presets that position overlay at specified location (native dimension)"},
    {"frameGraphicdimensions", "Overlay dimension in pixels (for reference purposes only). Automatically calculated for GIF, JPG and BMP files; for other files, you can manually enter the dimensions here."},
    {"comboScreen_x_units", "Set units for x screen parameter"},
    {"comboScreen_y_units", "Set units for y screen parameter"},
    {"txtScreen_x", "x-position of the point on the screen where the overlay point is placed"},
    {"txtScreen_y", "y-position of the point on the screen where the overlay point is placed"},
    {"comboOverlay_x_units", "Set units for x overlay parameter"},
    {"comboOverlay_y_units", "Set units for y overlay parameter"},
    {"txtOverlay_x", "x-position of the point on the overlay that is placed on the screen point"},
    {"txtOverlay_y", "y-position of the point on the overlay that is placed on the screen point"},
    {"txtRotation", "Up to +180 degrees for counter-clockwise rotation, up to -180 for clockwise."},
    {"txtRotation_x", "x-position for rotation axis (blank defaults to center of overlay)"},
    {"txtRotation_y", "y-position for rotation axis (blank defaults to center of overlay)"},
    {"frameDraw_Order", "Integer that defines order in which overlays are drawn. Overlays with higher draw order numbers are placed on top of overlays with lower numbers."},
    {"sliderTransparency", "Sets transparency of overlay (left for completely transparent, right for completely opaque)"},
    {"cmdSave_As", "Save overlay file under a new name"},
    {"cmdSave_Refresh", "Save overlay data file under current name; refresh data for network link"},
    {"cmdHelp", "Opens the user guide, which explains the use of this program"},
    {"cmdExit", "Exits program"},
    {"cmdPreview", "Shows where the overlay lands on the screen, updated with every change"},
    {"cmdCreate_Network_Link", "Creates a network link to the main overlay data file which refreshes once a second, and opens it in Google Earth. Change any of the parameters, click \"Save/Refresh\", and the overlay will be modified in Google Earth."},
};
// clang-format on

// Which control shows which field of the overlay, for the window's binding in
// both directions.
struct Binding
{
    const char* control;
    OverlayField field;
};
inline constexpr Binding kBindings[] = {
    {"txtOverlay_title", &OverlaySettings::title},
    {"txtDraw_order", &OverlaySettings::drawOrder},
    {"txtOverlay_x", &OverlaySettings::overlayX},
    {"txtOverlay_y", &OverlaySettings::overlayY},
    {"comboOverlay_x_units", &OverlaySettings::overlayXUnits},
    {"comboOverlay_y_units", &OverlaySettings::overlayYUnits},
    {"txtScreen_x", &OverlaySettings::screenX},
    {"txtScreen_y", &OverlaySettings::screenY},
    {"comboScreen_x_units", &OverlaySettings::screenXUnits},
    {"comboScreen_y_units", &OverlaySettings::screenYUnits},
    {"txtRotation_x", &OverlaySettings::rotationX},
    {"txtRotation_y", &OverlaySettings::rotationY},
    {"comboRotation_x_units", &OverlaySettings::rotationXUnits},
    {"comboRotation_y_units", &OverlaySettings::rotationYUnits},
    {"txtRotation", &OverlaySettings::rotation},
    {"comboSize_x", &OverlaySettings::sizeX},
    {"comboSize_y", &OverlaySettings::sizeY},
    {"comboSize_x_units", &OverlaySettings::sizeXUnits},
    {"comboSize_y_units", &OverlaySettings::sizeYUnits},
};

} // namespace ControlTable
