#include "frmOrvinel.h"

#include "BackgroundTask.h"
#include "ClickableLabel.h"
#include "Commands.h"
#include "CommonDialog.h"
#include "FileDrop.h"
#include "FocusValidation.h"
#include "FormBuilder.h"
#include "MenuBar.h"
#include "OverlaySaver.h"
#include "PlatformProfile.h"
#include "PreviewWindow.h"
#include "ScreenFit.h"
#include "Services.h"
#include "UndoHistory.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMenuBar>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollArea>
#include <QStyle>
#include <QVBoxLayout>

#include <utility>

frmOrvinel::frmOrvinel(Services& services, QWidget* parent) : QWidget(parent), services_(services)
{
    document_ = new OverlayDocument(this);
    CreateControls();
    history_ = std::make_unique<UndoHistory>(
        [this] { return document_->State(); },
        [this](const DocumentState& state) { document_->Restore(state); }, this);
    CreateMenus();
    ConnectHandlers();
    ConnectHistory();
    RegisterValidators();
    dialog_ = std::make_unique<CommonDialog>(services_, this);
    saver_ = std::make_unique<OverlaySaver>(services_, this);
    connect(saver_.get(), &OverlaySaver::written, document_, &OverlayDocument::Wrote);
}

frmOrvinel::~frmOrvinel() = default;

void frmOrvinel::CreateControls()
{
    clientArea_ = new QWidget(this);
    clientArea_->setObjectName(QStringLiteral("clientArea"));
    static_cast<FormControls&>(*this) = BuildForm(clientArea_);
    binding_ = std::make_unique<DocumentBinding>(static_cast<const FormControls&>(*this), this);
}

void frmOrvinel::CreateMenus()
{
    // Every command a menu offers, in menu order: one line an entry. Each runs
    // the focused field's check first, as a click on a button does.
    // Undo and Redo run no check: they put back values that were accepted.
    undo_ = history_->MakeUndoAction(this);
    redo_ = history_->MakeRedoAction(this);
    const std::pair<MenuEntry, void (frmOrvinel::*)()> entries[] = {
        {{"&File", "&Open Overlay File...", QKeySequence::Open, nullptr, {}, nullptr},
         &frmOrvinel::mnuOpenOverlayFile_Click},
        {{"&File", "&Choose Screen Overlay...", QKeySequence::UnknownKey, nullptr, {}, nullptr},
         &frmOrvinel::mnuChooseScreenOverlay_Click},
        {{"&File",
          "A&dd Screen Overlay to This File",
          QKeySequence::UnknownKey,
          nullptr,
          {},
          nullptr},
         &frmOrvinel::mnuAddScreenOverlay_Click},
        {{"&File", "&Remove This Screen Overlay", QKeySequence::UnknownKey, nullptr, {}, nullptr},
         &frmOrvinel::mnuRemoveScreenOverlay_Click},
        {{"&File",
          "&Add Overlay to Another KML File...",
          QKeySequence::UnknownKey,
          nullptr,
          {},
          nullptr},
         &frmOrvinel::mnuAddOverlayToKml_Click},
        {{"&File", "&Export as KMZ...", QKeySequence::UnknownKey, "Ctrl+E", {}, nullptr},
         &frmOrvinel::mnuExportKmz_Click},
        {{"&File", nullptr, QKeySequence::UnknownKey, nullptr, {}, nullptr}, nullptr},
        {{"&File", "E&xit", QKeySequence::Quit, nullptr, {}, nullptr}, &frmOrvinel::cmdExit_Click},
        {{"&Edit", "Undo", QKeySequence::Undo, nullptr, {}, undo_}, nullptr},
        {{"&Edit", "Redo", QKeySequence::Redo, nullptr, {}, redo_}, nullptr},
        {{"&Help", "&User Guide", QKeySequence::HelpContents, nullptr, {}, nullptr},
         &frmOrvinel::cmdHelp_Click},
        {{"&Help", "&About Orvinel", QKeySequence::UnknownKey, nullptr, {}, nullptr},
         &frmOrvinel::mnuAbout_Click},
    };
    std::vector<MenuEntry> menus;
    for (auto [entry, handler] : entries) {
        if (handler)
            entry.triggered = [this, handler = handler] {
                if (validation_->CheckFocused())
                    (this->*handler)();
            };
        menus.push_back(std::move(entry));
    }
    // The menu bar sits above the client area, which keeps its size; on a
    // screen too small for it, the client area scrolls below the menu bar.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(BuildMenuBar(this, menus));
    exportKmz_ = findChild<QAction*>(QStringLiteral("mnuExportasKMZ"));
    chooseOverlay_ = findChild<QAction*>(QStringLiteral("mnuChooseScreenOverlay"));
    addToKml_ = findChild<QAction*>(QStringLiteral("mnuAddOverlaytoAnotherKMLFile"));
    addOverlay_ = findChild<QAction*>(QStringLiteral("mnuAddScreenOverlaytoThisFile"));
    removeOverlay_ = findChild<QAction*>(QStringLiteral("mnuRemoveThisScreenOverlay"));
    scrollArea_ = new QScrollArea(this);
    scrollArea_->setObjectName(QStringLiteral("scrollArea"));
    scrollArea_->setFrameShape(QFrame::NoFrame);
    // No stop of its own: Tab goes from control to control, and the area
    // scrolls to show the one with the focus.
    scrollArea_->setFocusPolicy(Qt::NoFocus);
    scrollArea_->setWidget(clientArea_);
    layout->addWidget(scrollArea_);

    new FileDrop(
        this,
        [](const QString& path) {
            return Commands::IsOverlayFileName(path) || Commands::IsPictureFileName(path);
        },
        [this](const QString& path) { FileDropped(path); });
}

void frmOrvinel::ConnectHandlers()
{
    // Click: what the user does (clicked, activated); Change: every change of
    // the text, the program's own included (textChanged, editTextChanged).
    connect(document_, &OverlayDocument::changed, this, &frmOrvinel::document_Changed);
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

// ---- Start-up ---------------------------------------------------------------

void frmOrvinel::Form_Load()
{
    const QSize natural =
        clientArea_->size() + QSize(0, layout()->menuBar()->heightForWidth(clientArea_->width()));
    FitToScreen(this, natural, style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    networkLink_.GoogleEarthPath = PlatformProfile::Current().defaultViewerPath;
    binding_->Show(document_->State());
    UpdateCommandStates();
    history_->Rebase(); // the start values are no step
    // First in the tab order and the first step of the work, so it holds
    // the focus when the window opens.
    cmdOpen_graphic_file->setFocus();
}

void frmOrvinel::UpdateCommandStates()
{
    // Save/Refresh and the network link go off again only when an opened
    // file that is not adopted leaves no output file.
    const OverlaySettings& s = Snapshot();
    cmdSave_As->setEnabled(!s.picture.isEmpty());
    exportKmz_->setEnabled(!s.picture.isEmpty());
    addToKml_->setEnabled(!s.picture.isEmpty());
    cmdSave_Refresh->setEnabled(!s.outputFile.isEmpty());
    cmdCreate_Network_Link->setEnabled(!s.outputFile.isEmpty());
    chkAuto_Refresh->setEnabled(!networkLink_.NetworkLinkFilePath.isEmpty());
    const auto& inPlace = document_->InPlace();
    const bool several = inPlace && inPlace->labels.size() > 1 && !s.outputFile.isEmpty();
    chooseOverlay_->setEnabled(several);
    removeOverlay_->setEnabled(several);
    addOverlay_->setEnabled(!s.outputFile.isEmpty());
}

// ---- Writing ----------------------------------------------------------------

bool frmOrvinel::SaveOverlayFile()
{
    return saver_->Save(Snapshot(), document_->InPlace());
}

void frmOrvinel::WaitForWrites()
{
    saver_->WaitForWrites();
}

void frmOrvinel::document_Changed(OverlayDocument::Reach reach)
{
    binding_->Show(document_->State());
    UpdateCommandStates();
    if (reach == OverlayDocument::Reach::Written)
        AutoRefreshStep();
    else
        UpdatePreview();
}

void frmOrvinel::AutoRefreshStep()
{
    UpdatePreview();
    if (chkAuto_Refresh->isChecked() && !Snapshot().outputFile.isEmpty())
        saver_->Queue(Snapshot(), document_->InPlace());
}

void frmOrvinel::Typed(QWidget* control)
{
    document_->Set(binding_->FieldOf(control), DocumentBinding::TextOf(control));
}

void frmOrvinel::UnitPicked(QComboBox* unitsList)
{
    document_->PickUnits(binding_->FieldOf(unitsList), unitsList->currentText());
}

void frmOrvinel::optPreset_Click(int index)
{
    document_->ApplyPreset(index);
}

void frmOrvinel::sliderTransparency_Change()
{
    document_->SetTransparency(sliderTransparency->value());
}

// ---- Commands ---------------------------------------------------------------
// What happens on disk and in outside programs lives in commands/; here the
// outcome reaches the controls.

void frmOrvinel::cmdOpen_graphic_file_Click()
{
    if (const std::optional<GraphicChoice> choice = Commands::cmdOpen_graphic_file(*dialog_)) {
        history_->Note(tr("Choose Picture"));
        TakePicture(*choice);
    }
}

void frmOrvinel::TakePicture(const GraphicChoice& choice)
{
    // Taking a picture writes nothing, but the preview shows it at once.
    document_->TakePicture(choice);
}

bool frmOrvinel::SaveAs()
{
    const auto& inPlace = document_->InPlace();
    const std::optional<QString> chosen =
        Commands::AskOutputFilePath(*dialog_, services_, this, inPlace && inPlace->inArchive());
    // A relative picture link is written for the new folder, so that it still
    // names the same picture; a failed write leaves the earlier output file
    // and link in force.
    if (!chosen || !saver_->Save(document_->SettingsAt(*chosen), document_->InPlace()))
        return false;
    document_->SavedAs(*chosen);
    // Saving is not undone, but a state put back later names the same picture
    // from the new folder.
    const QString folder = document_->State().pictureFolder;
    history_->Rewrite(
        [&folder](DocumentState& state) { OverlayDocument::MoveFolder(state, folder); });
    history_->Rebase();
    return true;
}

void frmOrvinel::cmdCreate_Network_Link_Click()
{
    // The viewer is about to read the overlay file: it holds the latest state.
    WaitForWrites();
    Commands::cmdCreate_Network_Link(networkLink_, Snapshot().outputFile, *dialog_, services_,
                                     this);
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
    if (!preview_) {
        preview_ = new PreviewWindow(this);
        // Ctrl+Z and Ctrl+Shift+Z work there too.
        preview_->addAction(undo_);
        preview_->addAction(redo_);
        connect(preview_, &PreviewWindow::handEditStarted, this,
                &frmOrvinel::preview_handEditStarted);
        connect(preview_, &PreviewWindow::handEdited, this, &frmOrvinel::preview_handEdited);
        connect(preview_, &PreviewWindow::handEditFinished, this,
                &frmOrvinel::preview_handEditFinished);
    }
    preview_->ShowBeside(this, ForPreview());
}

void frmOrvinel::UpdatePreview()
{
    // A closed preview costs nothing: opening it shows the values of that
    // moment.
    if (preview_ && preview_->isVisible())
        preview_->ShowSettings(ForPreview());
}

OverlaySettings frmOrvinel::ForPreview() const
{
    OverlaySettings settings = Snapshot();
    settings.picture = document_->PictureToRead();
    return settings;
}

void frmOrvinel::closeEvent(QCloseEvent* event)
{
    // The file keeps the last change, and a failure is told while the
    // window is still there; then what reached the disk is known.
    WaitForWrites();
    if (!MayClose()) {
        event->ignore();
        return;
    }
    if (exiting_)
        Commands::DeleteNetworkLinkFile(networkLink_.NetworkLinkFilePath, services_, this);
    if (preview_)
        preview_->close();
    QWidget::closeEvent(event);
}

bool frmOrvinel::MayLeave(const QString& question)
{
    if (!document_->HasUnsavedChanges())
        return true;
    const QString output = Snapshot().outputFile;
    const QString name = output.isEmpty() ? tr("Untitled") : QFileInfo(output).fileName();
    switch (services_.AskSaveChanges(this, question.arg(name))) {
    case SaveChoice::Save:
        return output.isEmpty() ? SaveAs() : SaveOverlayFile();
    case SaveChoice::Discard:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

void frmOrvinel::cmdExit_Click()
{
    // closeEvent asks about unsaved changes, as for the frame's close button;
    // the link file goes only when the window does.
    const QScopedValueRollback exiting(exiting_, true);
    close();
}

// ---- Opening files ----------------------------------------------------------

void frmOrvinel::mnuOpenOverlayFile_Click()
{
    if (const std::optional<QString> path = Commands::AskOverlayFileToOpen(*dialog_))
        OpenOverlayFile(*path);
}

void frmOrvinel::mnuChooseScreenOverlay_Click()
{
    // An Auto-Refresh write under way is no unsaved change.
    WaitForWrites();
    const auto inPlace = document_->InPlace();
    const QString file = Snapshot().outputFile;
    if (!inPlace || file.isEmpty() ||
        !MayLeave(tr("Save changes to %1 before choosing another screen overlay?")))
        return;
    const int chosen =
        services_.AskOverlay(this, QFileInfo(file).fileName(), inPlace->labels, inPlace->which);
    if (chosen >= 0)
        OpenOverlayFile(file, chosen);
}

void frmOrvinel::mnuAddOverlayToKml_Click()
{
    const std::optional<QString> path = Commands::AskKmlToAddTo(*dialog_);
    if (!path)
        return;
    // The file being edited is written from the window: adding there would
    // be written over.
    if (QFileInfo(*path) == QFileInfo(Snapshot().outputFile)) {
        services_.Notice(this, tr("%1 is the file being edited: its overlays are chosen with "
                                  "File > Choose Screen Overlay.")
                                   .arg(QFileInfo(*path).fileName()));
        return;
    }
    Commands::AddOverlayToKml(*path, document_->SettingsAt(*path), services_, this);
}

void frmOrvinel::mnuAddScreenOverlay_Click()
{
    const OverlaySettings& s = Snapshot();
    if (s.outputFile.isEmpty())
        return;
    // A file in Orvinel's own form is edited in place from now on.
    const auto inPlace = document_->InPlace() ? document_->InPlace() : Overlay::OwnFormInPlace(s);
    ChangeOverlays(tr("Add Screen Overlay"), tr("added"),
                   Overlay::WithAnotherOverlay(*inPlace, s, OverlayDocument::StartSettings()));
}

void frmOrvinel::mnuRemoveScreenOverlay_Click()
{
    const auto inPlace = document_->InPlace();
    if (inPlace && inPlace->labels.size() > 1)
        ChangeOverlays(tr("Remove Screen Overlay"), tr("removed"),
                       Overlay::WithoutThisOverlay(*inPlace));
}

void frmOrvinel::ChangeOverlays(const QString& step, const QString& what,
                                Overlay::KmlInPlaceRead read)
{
    std::optional<OverlayOpening> opening =
        Commands::InPlaceOpening(std::move(read), Snapshot().outputFile, what, services_, this);
    if (!opening)
        return;
    history_->Note(step);
    document_->Replace(opening->settings, opening->picture, opening->pictureFolder,
                       opening->inPlace);
    history_->Flush();
}

void frmOrvinel::mnuExportKmz_Click()
{
    const QString picture = document_->PictureToRead();
    const QString suggested = Commands::KmzPathFor(Snapshot().outputFile, picture);
    if (const std::optional<QString> path =
            Commands::AskKmzFilePath(*dialog_, services_, this, suggested))
        Commands::ExportKmz(*path, Snapshot(), picture, services_, this);
}

void frmOrvinel::FileDropped(const QString& path)
{
    // A drop is a command like a click: the focused field is checked first.
    if (!validation_->CheckFocused())
        return;
    if (Commands::IsOverlayFileName(path))
        OpenOverlayFile(path);
    else {
        history_->Note(tr("Choose Picture"));
        TakePicture(Commands::MeasureGraphic(path));
    }
}

void frmOrvinel::OpenOverlayFile(const QString& path, int which)
{
    if (opening_)
        return;
    OpenedKmz read;
    const auto readAt = [&](int overlay) {
        ReadControl control;
        const QScopedValueRollback busy(opening_, true);
        return RunWithProgress(
            this, tr("Opening %1 ...").arg(QFileInfo(path).fileName()), control,
            [&] { read = Overlay::ReadAnyOverlayFile(path, &control, overlay); },
            openProgressAfter);
    };
    if (!readAt(qMax(which, 0)))
        return;
    if (which < 0 && read.overlay.ok() && read.overlayLabels.size() > 1) {
        const int chosen =
            services_.AskOverlay(this, QFileInfo(path).fileName(), read.overlayLabels, 0);
        if (chosen < 0 || (chosen > 0 && !readAt(chosen)))
            return;
    }
    const FileStamp stamp = read.stamp;
    std::optional<OverlayOpening> opening =
        Commands::OverlayToOpen(path, std::move(read), services_, this);
    if (!opening)
        return;
    // Writes of the earlier values finish first, to the earlier output file.
    WaitForWrites();
    history_->Note(tr("Open %1").arg(QFileInfo(path).fileName()));
    document_->Open(opening->settings, opening->picture, opening->pictureFolder, opening->inPlace);
    if (!opening->settings.outputFile.isEmpty())
        saver_->Stamp(opening->settings.outputFile, stamp);
    // A file that is not written back: Auto-Refresh would silently write
    // nothing on every change.
    if (Snapshot().outputFile.isEmpty() && chkAuto_Refresh->isChecked()) {
        chkAuto_Refresh->setChecked(false);
        opening->notice += (opening->notice.isEmpty() ? QString() : QStringLiteral("\n\n")) +
                           tr("Auto-Refresh is now off: this file is not written back. Use Save "
                              "As to choose the file it writes.");
    }
    history_->Flush(); // its step is complete, even when opened from no event
    UpdatePreview();
    if (!opening->notice.isEmpty())
        services_.Notice(this, opening->notice);
}

// ---- Placing by hand in the preview -------------------------------------------

void frmOrvinel::preview_handEditStarted()
{
    history_->Hold();
    handStart_ = history_->Current();
    handWhat_.clear();
}

void frmOrvinel::preview_handEdited(const HandEdit& edit)
{
    handWhat_ = edit.what;
    // Every move reaches the file; the last write holds the release's values.
    document_->ApplyHandEdit(edit.fields);
}

void frmOrvinel::preview_handEditFinished(bool cancelled)
{
    if (cancelled)
        document_->Restore(handStart_);
    else
        history_->Note(handWhat_);
    history_->Release();
}
