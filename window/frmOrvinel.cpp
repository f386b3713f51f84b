#include "frmOrvinel.h"

#include "AlphaColor.h"
#include "ClickableLabel.h"
#include "Commands.h"
#include "CommonDialog.h"
#include "FocusValidation.h"
#include "FormBuilder.h"
#include "OverlaySaver.h"
#include "OverlaySettings.h"
#include "PlatformProfile.h"
#include "PreviewWindow.h"
#include "Services.h"
#include "ValueRules.h"
#include "Vocabulary.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

#include <utility>

frmOrvinel::frmOrvinel(Services& services, QWidget* parent) : QWidget(parent), services_(services)
{
    setWindowTitle(QStringLiteral("KML Orvinel"));
    CreateControls();
    ConnectHandlers();
    RegisterValidators();
    dialog_ = std::make_unique<CommonDialog>(services_, this);
    saver_ = std::make_unique<OverlaySaver>(services_, this);
    saver_->written = [this](const QString& sizeX, const QString& sizeY) {
        sizeXValue_ = sizeX;
        sizeYValue_ = sizeY;
    };
}

frmOrvinel::~frmOrvinel() = default;

template <class T> T* frmOrvinel::Control(const char* name) const
{
    T* control = findChild<T*>(QString::fromLatin1(name));
    Q_ASSERT_X(control, "frmOrvinel::Control", name);
    return control;
}

void frmOrvinel::CreateControls()
{
    static_cast<FormControls&>(*this) = BuildForm(this);
    for (const NamedField& named : kOverlayFields) {
        if (named.control)
            fieldControls_.emplace_back(named.field, Control<QWidget>(named.name));
    }
}

void frmOrvinel::ConnectHandlers()
{
    // Click: what the user does (clicked, activated); Change: every change of
    // the text, the program's own included (textChanged, editTextChanged).
    connect(cmdOpen_graphic_file, &QPushButton::clicked, this,
            &frmOrvinel::cmdOpen_graphic_file_Click);
    connect(cmdSave_As, &QPushButton::clicked, this, &frmOrvinel::cmdSave_As_Click);
    connect(cmdSave_Refresh, &QPushButton::clicked, this, &frmOrvinel::cmdSave_Refresh_Click);
    connect(cmdCreate_Network_Link, &QPushButton::clicked, this,
            &frmOrvinel::cmdCreate_Network_Link_Click);
    connect(cmdHelp, &QPushButton::clicked, this, &frmOrvinel::cmdHelp_Click);
    connect(cmdExit, &QPushButton::clicked, this, &frmOrvinel::cmdExit_Click);
    connect(cmdNew_Program, &QPushButton::clicked, this, &frmOrvinel::cmdNew_Program_Click);
    connect(cmdPreview, &QPushButton::clicked, this, &frmOrvinel::cmdPreview_Click);
    connect(lblTarnwell, &ClickableLabel::clicked, this, &frmOrvinel::lblTarnwell_Click);

    connect(optPreset, &QButtonGroup::idClicked, this, &frmOrvinel::optPreset_Click);
    connect(chkAuto_Refresh, &QCheckBox::clicked, this, &frmOrvinel::chkAuto_Refresh_Click);
    connect(sliderTransparency, &QSlider::valueChanged, this,
            &frmOrvinel::sliderTransparency_Change);

    connect(comboSize_x, &QComboBox::activated, this, &frmOrvinel::comboSize_x_Click);
    connect(comboSize_y, &QComboBox::activated, this, &frmOrvinel::comboSize_y_Click);
    connect(comboSize_x, &QComboBox::editTextChanged, this, &frmOrvinel::comboSize_x_Change);
    connect(comboSize_y, &QComboBox::editTextChanged, this, &frmOrvinel::comboSize_y_Change);

    const std::pair<QComboBox*, void (frmOrvinel::*)()> unitPicks[] = {
        {comboOverlay_x_units, &frmOrvinel::comboOverlay_x_units_Click},
        {comboOverlay_y_units, &frmOrvinel::comboOverlay_y_units_Click},
        {comboScreen_x_units, &frmOrvinel::comboScreen_x_units_Click},
        {comboScreen_y_units, &frmOrvinel::comboScreen_y_units_Click},
        {comboRotation_x_units, &frmOrvinel::comboRotation_x_units_Click},
        {comboRotation_y_units, &frmOrvinel::comboRotation_y_units_Click},
        {comboSize_x_units, &frmOrvinel::comboSize_x_units_Click},
        {comboSize_y_units, &frmOrvinel::comboSize_y_units_Click},
    };
    for (const auto& [list, handler] : unitPicks)
        connect(list, &QComboBox::activated, this, handler);

    const std::pair<QLineEdit*, void (frmOrvinel::*)()> changes[] = {
        {txtOverlay_x, &frmOrvinel::txtOverlay_x_Change},
        {txtOverlay_y, &frmOrvinel::txtOverlay_y_Change},
        {txtScreen_x, &frmOrvinel::txtScreen_x_Change},
        {txtScreen_y, &frmOrvinel::txtScreen_y_Change},
        {txtRotation_x, &frmOrvinel::txtRotation_x_Change},
        {txtRotation_y, &frmOrvinel::txtRotation_y_Change},
        {txtRotation, &frmOrvinel::txtRotation_Change},
        {txtDraw_order, &frmOrvinel::txtDraw_order_Change},
        {txtOverlay_title, &frmOrvinel::txtOverlay_title_Change},
    };
    for (const auto& [field, handler] : changes)
        connect(field, &QLineEdit::textChanged, this, handler);
}

void frmOrvinel::RegisterValidators()
{
    validation_ = new FocusValidation(this);
    const std::pair<QWidget*, void (frmOrvinel::*)(bool&)> checks[] = {
        {txtOverlay_x, &frmOrvinel::txtOverlay_x_Validate},
        {txtOverlay_y, &frmOrvinel::txtOverlay_y_Validate},
        {txtScreen_x, &frmOrvinel::txtScreen_x_Validate},
        {txtScreen_y, &frmOrvinel::txtScreen_y_Validate},
        {txtRotation_x, &frmOrvinel::txtRotation_x_Validate},
        {txtRotation_y, &frmOrvinel::txtRotation_y_Validate},
        {txtRotation, &frmOrvinel::txtRotation_Validate},
        {txtDraw_order, &frmOrvinel::txtDraw_order_Validate},
        {comboSize_x, &frmOrvinel::comboSize_x_Validate},
        {comboSize_y, &frmOrvinel::comboSize_y_Validate},
    };
    for (const auto& [control, check] : checks)
        validation_->Add(control, [this, check = check](bool& cancel) { (this->*check)(cancel); });
}

// ---- Start-up ---------------------------------------------------------------

void frmOrvinel::Form_Load()
{
    CentreOnScreen(this);
    ResetToDefaults();
    // First in the tab order, so it holds the focus when the window opens.
    cmdExit->setFocus();
}

void frmOrvinel::ResetToDefaults()
{
    txtDraw_order->setText(QStringLiteral("99"));
    txtWidth->setText(QStringLiteral("?"));
    txtHeight->setText(QStringLiteral("?"));
    optPreset->button(4)->setChecked(true); // "Center"
    sliderTransparency->setValue(100);
    lblOutput_file->setText(QString());
    outputFilePath_.clear();
    graphicFilePath_.clear();
    lblOpen_graphic_file->setText(
        QStringLiteral("Click on button at right to open graphic file to use as overlay"));
    for (QComboBox* units :
         {comboOverlay_x_units, comboOverlay_y_units, comboScreen_x_units, comboScreen_y_units,
          comboRotation_x_units, comboRotation_y_units, comboSize_x_units, comboSize_y_units})
        units->setCurrentText(Vocabulary::kFraction);
    comboSize_x->setEditText(QString());
    comboSize_y->setEditText(QString());
    networkLink_.NetworkLinkFilePath.clear();
    networkLink_.GoogleEarthPath = PlatformProfile::Current().defaultViewerPath;
    overlayColor_ = Vocabulary::kOpaqueWhite;
    UpdateCommandStates();
}

void frmOrvinel::UpdateCommandStates()
{
    cmdSave_As->setEnabled(!graphicFilePath_.isEmpty());
    cmdSave_Refresh->setEnabled(!outputFilePath_.isEmpty());
    cmdCreate_Network_Link->setEnabled(!outputFilePath_.isEmpty());
    chkAuto_Refresh->setEnabled(!networkLink_.NetworkLinkFilePath.isEmpty());
}

// ---- Writing ----------------------------------------------------------------

OverlaySettings frmOrvinel::Snapshot() const
{
    OverlaySettings settings;
    for (const auto& [field, control] : fieldControls_) {
        const auto* list = qobject_cast<const QComboBox*>(control);
        settings.*field =
            list ? list->currentText() : static_cast<const QLineEdit*>(control)->text();
    }
    settings.OutputFilePath = outputFilePath_;
    settings.GraphicFilePath = graphicFilePath_;
    settings.OverlayColor = overlayColor_;
    return settings;
}

bool frmOrvinel::SaveOverlayFile()
{
    return saver_->Save(Snapshot());
}

void frmOrvinel::WaitForWrites()
{
    saver_->WaitForWrites();
}

void frmOrvinel::AutoRefreshStep()
{
    const bool previewShown = preview_ != nullptr && preview_->isVisible();
    const bool writes = chkAuto_Refresh->checkState() == Qt::Checked;
    if (!previewShown && !writes)
        return;
    // One snapshot for both, so the preview shows what the file holds.
    const OverlaySettings settings = Snapshot();
    if (previewShown)
        preview_->ShowSettings(settings);
    if (writes)
        saver_->Queue(settings);
}

// ---- Presets ----------------------------------------------------------------

void frmOrvinel::optPreset_Click(int /*index*/)
{
    for (QComboBox* units :
         {comboOverlay_x_units, comboOverlay_y_units, comboScreen_x_units, comboScreen_y_units})
        units->setCurrentText(Vocabulary::kFraction);

    // Index = row * 3 + column; the column gives x, the row gives y. The
    // texts are fixed, so the file holds "0.5" in every locale.
    const int chosen = optPreset->checkedId();
    if (chosen >= 0) {
        static const QString kColumnX[] = {QStringLiteral("0"), QStringLiteral("0.5"),
                                           QStringLiteral("1")};
        static const QString kRowY[] = {QStringLiteral("1"), QStringLiteral("0.5"),
                                        QStringLiteral("0")};
        const QString& x = kColumnX[chosen % 3];
        const QString& y = kRowY[chosen / 3];
        txtOverlay_x->setText(x);
        txtOverlay_y->setText(y);
        txtScreen_x->setText(x);
        txtScreen_y->setText(y);
    }
    AutoRefreshStep();
}

// ---- Transparency -----------------------------------------------------------

void frmOrvinel::sliderTransparency_Change()
{
    const double percent = sliderTransparency->value();
    overlayColor_ = Vocabulary::OverlayColorFromAlpha(Overlay::PercentToAlphaHex(percent));
    AutoRefreshStep();
}

// ---- Size lists -------------------------------------------------------------

void frmOrvinel::SizeListPicked(QComboBox* sizeList, QString& sizeValue)
{
    sizeValue = Vocabulary::SizeWordRule(sizeList->currentText());
    AutoRefreshStep();
}

void frmOrvinel::comboSize_x_Click()
{
    SizeListPicked(comboSize_x, sizeXValue_);
}

void frmOrvinel::comboSize_y_Click()
{
    SizeListPicked(comboSize_y, sizeYValue_);
}

void frmOrvinel::comboSize_x_Validate(bool& cancel)
{
    Show(ValueRules::SizeValue(comboSize_x->currentText(), QStringLiteral("x-size")),
         comboSize_x->lineEdit(), cancel);
}

void frmOrvinel::comboSize_y_Validate(bool& cancel)
{
    Show(ValueRules::SizeValue(comboSize_y->currentText(), QStringLiteral("y-size")),
         comboSize_y->lineEdit(), cancel);
}

// ---- Units lists ------------------------------------------------------------

void frmOrvinel::UnitPicked(QLineEdit* qualifiedField)
{
    // Every pick empties the field, even of the unit shown before.
    qualifiedField->setText(QString());
    AutoRefreshStep();
}

void frmOrvinel::comboSize_x_units_Click()
{
    comboSize_x->setEditText(QString());
    AutoRefreshStep();
}

void frmOrvinel::comboSize_y_units_Click()
{
    comboSize_y->setEditText(QString());
    AutoRefreshStep();
}

// ---- Value fields -----------------------------------------------------------

// ---- Validation -------------------------------------------------------------

void frmOrvinel::Show(const ValueRules::Decision& decision, QLineEdit* field, bool& cancel)
{
    using Decision = ValueRules::Decision;
    if (decision.verdict == Decision::Verdict::Refused)
        cancel = true; // before the box, so the focus stays
    else if (decision.verdict == Decision::Verdict::Replaced)
        // Raises the field's Change, so Auto-Refresh writes the new text
        // before the box shows.
        field->setText(decision.replacement);
    if (decision.box == Decision::Box::DataError)
        services_.DataError(this, decision.message);
    else if (decision.box == Decision::Box::Notice)
        services_.Notice(this, decision.message);
}

void frmOrvinel::txtOverlay_x_Validate(bool& cancel)
{
    Show(ValueRules::PointValue(txtOverlay_x->text(), QStringLiteral("overlay x value")),
         txtOverlay_x, cancel);
}

void frmOrvinel::txtOverlay_y_Validate(bool& cancel)
{
    Show(ValueRules::PointValue(txtOverlay_y->text(), QStringLiteral("overlay y value")),
         txtOverlay_y, cancel);
}

void frmOrvinel::txtScreen_x_Validate(bool& cancel)
{
    Show(ValueRules::PointValue(txtScreen_x->text(), QStringLiteral("screen x value")), txtScreen_x,
         cancel);
}

void frmOrvinel::txtScreen_y_Validate(bool& cancel)
{
    Show(ValueRules::PointValue(txtScreen_y->text(), QStringLiteral("screen y value")), txtScreen_y,
         cancel);
}

void frmOrvinel::txtRotation_x_Validate(bool& cancel)
{
    Show(ValueRules::PointValue(txtRotation_x->text(), QStringLiteral("rotation x value")),
         txtRotation_x, cancel);
}

void frmOrvinel::txtRotation_y_Validate(bool& cancel)
{
    Show(ValueRules::PointValue(txtRotation_y->text(), QStringLiteral("rotation y value")),
         txtRotation_y, cancel);
}

void frmOrvinel::txtRotation_Validate(bool& cancel)
{
    Show(ValueRules::RotationAngle(txtRotation->text()), txtRotation, cancel);
}

void frmOrvinel::txtDraw_order_Validate(bool& cancel)
{
    Show(ValueRules::DrawOrder(txtDraw_order->text()), txtDraw_order, cancel);
}

// ---- Commands ---------------------------------------------------------------
// What happens on disk and in outside programs lives in commands/; here the
// outcome reaches the controls.

void frmOrvinel::cmdOpen_graphic_file_Click()
{
    const std::optional<GraphicChoice> choice = Commands::cmdOpen_graphic_file(*dialog_);
    if (!choice)
        return;
    graphicFilePath_ = choice->GraphicFilePath;
    UpdateCommandStates();
    lblOpen_graphic_file->setText(graphicFilePath_);
    txtWidth->setText(choice->widthText);
    txtHeight->setText(choice->heightText);
    setWindowTitle(choice->windowCaption);
    // Choosing a picture writes nothing, but the preview shows it at once.
    UpdatePreview();
}

void frmOrvinel::cmdSave_As_Click()
{
    const std::optional<QString> chosen = Commands::AskOutputFilePath(*dialog_, services_, this);
    if (!chosen)
        return;
    // A failed write leaves the earlier output file in force.
    const QString earlier = std::exchange(outputFilePath_, *chosen);
    if (!SaveOverlayFile()) {
        outputFilePath_ = earlier;
        return;
    }
    lblOutput_file->setText(outputFilePath_);
    UpdateCommandStates();
}

void frmOrvinel::cmdCreate_Network_Link_Click()
{
    // The viewer is about to read the overlay file: it holds the latest state.
    WaitForWrites();
    Commands::cmdCreate_Network_Link(networkLink_, outputFilePath_, *dialog_, services_, this);
    UpdateCommandStates();
}

void frmOrvinel::cmdHelp_Click()
{
    Commands::cmdHelp(services_, this);
}

void frmOrvinel::cmdNew_Program_Click()
{
    Commands::cmdNew_Program(services_, this);
}

void frmOrvinel::lblTarnwell_Click()
{
    Commands::lblTarnwell(services_, this);
}

// ---- Preview ----------------------------------------------------------------

void frmOrvinel::cmdPreview_Click()
{
    if (!preview_)
        preview_ = new PreviewWindow(this);
    preview_->ShowBeside(this, Snapshot());
}

void frmOrvinel::UpdatePreview()
{
    // A closed preview costs nothing: opening it shows the values of that
    // moment.
    if (preview_ && preview_->isVisible())
        preview_->ShowSettings(Snapshot());
}

void frmOrvinel::closeEvent(QCloseEvent* event)
{
    // The file keeps the last change, and a failure is told while the
    // window is still there.
    WaitForWrites();
    if (preview_)
        preview_->close();
    QWidget::closeEvent(event);
}

void frmOrvinel::cmdExit_Click()
{
    Commands::DeleteNetworkLinkFile(networkLink_.NetworkLinkFilePath, services_, this);
    close();
}
