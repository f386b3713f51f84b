#include "FormBuilder.h"

#include "CaptionFrame.h"
#include "ClickableLabel.h"
#include "Commands.h"
#include "ControlTable.h"
#include "NamedLists.h"
#include "Vocabulary.h"
#include "WrappingButtons.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace ControlTable;

namespace {

constexpr int kTwipsPerPixel = 15;

int Pixels(int twips)
{
    return static_cast<int>(std::lround(double(twips) / kTwipsPerPixel));
}

QFont FontFor(Face face)
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                      QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setWeight(face == Face::Bold ? QFont::Bold : QFont::Normal);
    switch (face) {
    case Face::Default:
    case Face::Bold:
        font.setPointSizeF(8.25);
        break;
    case Face::Points9_75:
        font.setPointSizeF(9.75);
        break;
    case Face::Points12:
        font.setPointSizeF(12);
        break;
    case Face::Points18:
        font.setPointSizeF(18);
        break;
    }
    return font;
}

// Pick-only units list, with nothing chosen until the start values are set.
QComboBox* UnitsList(const QStringList& units, QWidget* container)
{
    auto* list = new QComboBox(container);
    NameByAccessibleName(list);
    list->addItems(units);
    list->setCurrentIndex(-1);
    return list;
}

// The row's caption; the version label names the build's own version, so the
// window, About and --version never differ.
QString CaptionOf(const Row& row)
{
    if (qstrcmp(row.name, "Label1") == 0)
        return u"Version " % Commands::VersionNumber();
    return QString::fromUtf8(row.text);
}

QWidget* CreateControl(const Row& row, QWidget* container)
{
    const QString text = CaptionOf(row);
    const bool centred = (row.look & Centred) != 0;
    switch (row.kind) {
    case Kind::Button: {
        auto* button = new WrappingPushButton(text, container);
        button->setAutoDefault(false);
        button->setDefault(false);
        return button;
    }
    case Kind::CheckBox:
        return new QCheckBox(text, container);
    case Kind::Text: {
        auto* field = new QLineEdit(text, container);
        // The fields take text of any length.
        field->setMaxLength(std::numeric_limits<int>::max());
        if (centred)
            field->setAlignment(Qt::AlignCenter);
        return field;
    }
    case Kind::Label:
    case Kind::ClickLabel: {
        QLabel* label = row.kind == Kind::ClickLabel ? new ClickableLabel(text, container)
                                                     : new QLabel(text, container);
        // Captions are text, never markup or mnemonics.
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap((row.look & Wraps) != 0);
        label->setAlignment(Qt::AlignTop | (centred ? Qt::AlignHCenter : Qt::AlignLeft));
        if (row.look & InfoStrip) {
            label->setAutoFillBackground(true);
            label->setBackgroundRole(QPalette::ToolTipBase);
            label->setForegroundRole(QPalette::ToolTipText);
        }
        // A role, not a colour, so that a dark palette gets its own link colour.
        if (row.look & Link)
            label->setForegroundRole(QPalette::Link);
        if (row.look & SeeThrough) {
            label->setAutoFillBackground(false);
            label->setAttribute(Qt::WA_TranslucentBackground);
        }
        return label;
    }
    case Kind::Frame:
        return new CaptionFrame(text, container);
    case Kind::Option: {
        return new WrappingRadioButton(text, container);
    }
    case Kind::SizeList: {
        auto* list = new QComboBox(container);
        NameByAccessibleName(list);
        list->setEditable(true);
        // A typed text stays text: it is never added to the items, never
        // completed into an item, and may be of any length.
        list->setInsertPolicy(QComboBox::NoInsert);
        list->setCompleter(nullptr);
        list->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
        list->addItems(Vocabulary::kSizeWords);
        return list;
    }
    case Kind::PointUnits:
        return UnitsList(Vocabulary::kPointUnits, container);
    case Kind::SizeUnits:
        return UnitsList(Vocabulary::kSizeUnits, container);
    case Kind::Slider: {
        auto* slider = new QSlider(Qt::Horizontal, container);
        slider->setRange(0, 100);
        slider->setTickPosition(QSlider::TicksBelow);
        slider->setTickInterval(10);
        slider->setSingleStep(1);
        slider->setPageStep(5);
        return slider;
    }
    }
    return nullptr;
}

// A one-line caption a little wider than its label, in the fonts at hand, is
// drawn slightly condensed rather than cut off; the label keeps its place.
void CondenseToFit(QLabel* label)
{
    const int available = label->contentsRect().width();
    const int needed = QFontMetrics(label->font()).horizontalAdvance(label->text());
    if (label->wordWrap() || needed <= available)
        return;
    QFont font = label->font();
    font.setStretch(std::max(80, available * 100 / needed));
    label->setFont(font);
}

// The control of that name and kind; the layout table and the window agree.
template <class T> T* Found(const QHash<QString, QWidget*>& controls, const char* name)
{
    auto* control = qobject_cast<T*>(controls.value(QString::fromLatin1(name)));
    Q_ASSERT_X(control, "BuildForm", name);
    return control;
}

} // namespace

FormControls BuildForm(QWidget* window)
{
    auto* presets = new QButtonGroup(window);
    presets->setExclusive(true);
    // The client area of 6195 by 11115 twips.
    window->setFont(FontFor(Face::Default));
    window->setFixedSize(Pixels(6195), Pixels(11115));
    QHash<QString, QWidget*> controls;
    int presetIndex = 0;
    for (const Row& row : kRows) {
        QWidget* container =
            row.container ? controls.value(QString::fromLatin1(row.container)) : window;
        Q_ASSERT(container);
        QWidget* control = CreateControl(row, container);
        const QString name = QString::fromLatin1(row.name);
        control->setObjectName(name);
        control->setGeometry(Pixels(row.left), Pixels(row.top), Pixels(row.width),
                             Pixels(row.height));
        control->setFont(FontFor(row.face));
        if (auto* label = qobject_cast<QLabel*>(control))
            CondenseToFit(label);
        if (row.kind == Kind::Option)
            presets->addButton(static_cast<QAbstractButton*>(control), presetIndex++);
        controls.insert(name, control);
    }
    for (const Tooltip& tip : kTooltips)
        controls.value(QString::fromLatin1(tip.name))->setToolTip(QString::fromUtf8(tip.text));
    for (const AccessibleName& named : kAccessibleNames)
        controls.value(QString::fromLatin1(named.name))
            ->setAccessibleName(QString::fromUtf8(named.text));
    for (const LabelFor& tie : kLabels)
        Found<QLabel>(controls, tie.label)
            ->setBuddy(controls.value(QString::fromLatin1(tie.field)));
    for (std::size_t i = 1; i < std::size(kTabOrder); ++i)
        QWidget::setTabOrder(controls.value(QString::fromLatin1(kTabOrder[i - 1])),
                             controls.value(QString::fromLatin1(kTabOrder[i])));

    // The presets are one stop of the tab order, through the chosen button,
    // as a group of options is; the arrow keys move between them.
    const auto oneTabStop = [presets] {
        for (QAbstractButton* option : presets->buttons())
            option->setFocusPolicy(option->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
    };
    QObject::connect(presets, &QButtonGroup::buttonToggled, presets, oneTabStop);
    oneTabStop();

    FormControls form;
    form.optPreset = presets;
    form.lblOpen_graphic_file = Found<QLabel>(controls, "lblOpen_graphic_file");
    form.lblOutput_file = Found<QLabel>(controls, "lblOutput_file");
    form.lblTarnwell = Found<ClickableLabel>(controls, "lblTarnwell");
    form.cmdOpen_graphic_file = Found<QPushButton>(controls, "cmdOpen_graphic_file");
    form.cmdSave_As = Found<QPushButton>(controls, "cmdSave_As");
    form.cmdSave_Refresh = Found<QPushButton>(controls, "cmdSave_Refresh");
    form.cmdCreate_Network_Link = Found<QPushButton>(controls, "cmdCreate_Network_Link");
    form.cmdHelp = Found<QPushButton>(controls, "cmdHelp");
    form.cmdExit = Found<QPushButton>(controls, "cmdExit");
    form.cmdNew_Program = Found<QPushButton>(controls, "cmdNew_Program");
    form.cmdPreview = Found<QPushButton>(controls, "cmdPreview");
    form.chkAuto_Refresh = Found<QCheckBox>(controls, "chkAuto_Refresh");
    form.sliderTransparency = Found<QSlider>(controls, "sliderTransparency");
    form.txtOverlay_title = Found<QLineEdit>(controls, "txtOverlay_title");
    form.txtOverlay_x = Found<QLineEdit>(controls, "txtOverlay_x");
    form.txtOverlay_y = Found<QLineEdit>(controls, "txtOverlay_y");
    form.txtScreen_x = Found<QLineEdit>(controls, "txtScreen_x");
    form.txtScreen_y = Found<QLineEdit>(controls, "txtScreen_y");
    form.txtRotation_x = Found<QLineEdit>(controls, "txtRotation_x");
    form.txtRotation_y = Found<QLineEdit>(controls, "txtRotation_y");
    form.txtRotation = Found<QLineEdit>(controls, "txtRotation");
    form.txtDraw_order = Found<QLineEdit>(controls, "txtDraw_order");
    form.txtWidth = Found<QLineEdit>(controls, "txtWidth");
    form.txtHeight = Found<QLineEdit>(controls, "txtHeight");
    form.comboOverlay_x_units = Found<QComboBox>(controls, "comboOverlay_x_units");
    form.comboOverlay_y_units = Found<QComboBox>(controls, "comboOverlay_y_units");
    form.comboScreen_x_units = Found<QComboBox>(controls, "comboScreen_x_units");
    form.comboScreen_y_units = Found<QComboBox>(controls, "comboScreen_y_units");
    form.comboRotation_x_units = Found<QComboBox>(controls, "comboRotation_x_units");
    form.comboRotation_y_units = Found<QComboBox>(controls, "comboRotation_y_units");
    form.comboSize_x_units = Found<QComboBox>(controls, "comboSize_x_units");
    form.comboSize_y_units = Found<QComboBox>(controls, "comboSize_y_units");
    form.comboSize_x = Found<QComboBox>(controls, "comboSize_x");
    form.comboSize_y = Found<QComboBox>(controls, "comboSize_y");
    return form;
}
