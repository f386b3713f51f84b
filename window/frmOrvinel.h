#pragma once

#include "BackgroundTask.h"
#include "Commands.h"
#include "DocumentBinding.h"
#include "FormBuilder.h"
#include "OverlayDocument.h"
#include "UndoHistory.h"
#include "ValueRules.h"

#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

class OverlaySaver;
class QAction;
class QCloseEvent;
class QScrollArea;
class FocusValidation;
struct HandEdit;
class PreviewWindow;

// The program's one window. It shows the overlay document (OverlayDocument)
// through its controls and hands every edit to it; the document's changes come
// back to the controls, the preview and, with Auto-Refresh, the file. Every
// control carries its name as its objectName.
//
// Life of a window: construct, Form_Load(), show().
class frmOrvinel : public QWidget, private FormControls
{
    Q_OBJECT
public:
    explicit frmOrvinel(Services& services, QWidget* parent = nullptr);
    ~frmOrvinel() override;
    Q_DISABLE_COPY_MOVE(frmOrvinel)

    // Sizes and places the window for the primary screen (centred on it,
    // within its free area, scrolling where it does not fit) and shows the
    // document's start values. Call once, before the window is first shown.
    void Form_Load();

    const QString& OutputFilePath() const { return Snapshot().outputFile; }
    const QString& GraphicFilePath() const { return Snapshot().picture; }
    const QString& NetworkLinkFilePath() const { return networkLink_.NetworkLinkFilePath; }
    const QString& GoogleEarthPath() const { return networkLink_.GoogleEarthPath; }
    const QString& OverlayColor() const { return Snapshot().colour; }

    // What every write reads.
    const OverlaySettings& Snapshot() const { return document_->Settings(); }

    // Writes the overlay file from the document, once the auto-refresh writes handed over before it
    // are done. On failure the user is told which file and why, and nothing else changes. Returns
    // whether the file was written.
    bool SaveOverlayFile();
    // Returns once every auto-refresh write handed over has reached the disk
    // or failed, after telling a failure not told yet. Commands that report
    // on a write or end the program call it first.
    void WaitForWrites();

    // Opens an overlay file (the menu, a drop, the command line): takes its
    // values into the document without writing anything, adopts it as the
    // output file when a write keeps everything it holds (a KML file is
    // written back with only its overlay changed), and tells what it would
    // not keep. A file that cannot be opened is told and changes
    // nothing. The file is read off the window's thread; a long read shows
    // its progress (after `openProgressAfter`) with a Cancel that leaves
    // everything as it was.
    // `which` is the screen overlay to edit, from 0; with -1, a file holding
    // several asks which.
    void OpenOverlayFile(const QString& path, int which = -1);
    std::chrono::milliseconds openProgressAfter = kShowProgressAfter;

protected:
    // Waits for the writes under way, then asks before settings in no file
    // are lost; the preview goes with the window.
    void closeEvent(QCloseEvent* event) override;

private:
    // Event handlers, named control_event, wired to the controls' signals.
    void cmdOpen_graphic_file_Click();
    void cmdSave_As_Click() { SaveAs(); }
    void cmdSave_Refresh_Click() { SaveOverlayFile(); }
    void cmdCreate_Network_Link_Click();
    void cmdHelp_Click();
    void cmdExit_Click();
    void cmdNew_Program_Click();
    void lblTarnwell_Click();
    // Opens the "Overlay Preview" window, or brings the open one to the front.
    void cmdPreview_Click();

    // The menus; their other entries are the buttons' handlers.
    void mnuOpenOverlayFile_Click();
    // Another screen overlay of the file, after asking about unsaved changes.
    void mnuChooseScreenOverlay_Click();
    // The overlay put into a KML file the user picks, which keeps the rest.
    void mnuAddOverlayToKml_Click();
    // A new overlay (the start values) in the file being edited, or the
    // overlay taken out of it; each is one undo step.
    void mnuAddScreenOverlay_Click();
    void mnuRemoveScreenOverlay_Click();
    void ChangeOverlays(const QString& step, const QString& what, Overlay::KmlInPlaceRead read);
    void mnuExportKmz_Click();
    void mnuAbout_Click() { Commands::cmdAbout(services_, this); }
    // A file dropped on the window: an overlay file opens, a picture is taken
    // as if chosen in the picture dialog.
    void FileDropped(const QString& path);

    void optPreset_Click(int index);
    void chkAuto_Refresh_Click() { AutoRefreshStep(); }
    void sliderTransparency_Change();

    // A pick shows in the list's text, which the document already holds.
    void comboSize_x_Click() { Typed(comboSize_x); }
    void comboSize_y_Click() { Typed(comboSize_y); }
    void comboSize_x_Change() { Typed(comboSize_x); }
    void comboSize_y_Change() { Typed(comboSize_y); }
    void comboSize_x_Validate(bool& cancel);
    void comboSize_y_Validate(bool& cancel);

    void comboOverlay_x_units_Click() { UnitPicked(comboOverlay_x_units); }
    void comboOverlay_y_units_Click() { UnitPicked(comboOverlay_y_units); }
    void comboScreen_x_units_Click() { UnitPicked(comboScreen_x_units); }
    void comboScreen_y_units_Click() { UnitPicked(comboScreen_y_units); }
    void comboRotation_x_units_Click() { UnitPicked(comboRotation_x_units); }
    void comboRotation_y_units_Click() { UnitPicked(comboRotation_y_units); }
    void comboSize_x_units_Click() { UnitPicked(comboSize_x_units); }
    void comboSize_y_units_Click() { UnitPicked(comboSize_y_units); }

    void txtOverlay_x_Change() { Typed(txtOverlay_x); }
    void txtOverlay_y_Change() { Typed(txtOverlay_y); }
    void txtScreen_x_Change() { Typed(txtScreen_x); }
    // A choice of this program: the screen y field refreshes like its siblings.
    void txtScreen_y_Change() { Typed(txtScreen_y); }
    void txtRotation_x_Change() { Typed(txtRotation_x); }
    void txtRotation_y_Change() { Typed(txtRotation_y); }
    void txtRotation_Change() { Typed(txtRotation); }
    void txtDraw_order_Change() { Typed(txtDraw_order); }
    // A choice of this program: a new title reaches the viewer at once too.
    void txtOverlay_title_Change() { Typed(txtOverlay_title); }

    void txtOverlay_x_Validate(bool& cancel);
    void txtOverlay_y_Validate(bool& cancel);
    void txtScreen_x_Validate(bool& cancel);
    void txtScreen_y_Validate(bool& cancel);
    void txtRotation_x_Validate(bool& cancel);
    void txtRotation_y_Validate(bool& cancel);
    void txtRotation_Validate(bool& cancel);
    void txtDraw_order_Validate(bool& cancel);

    // Asks for a file and writes it there; whether it was written.
    bool SaveAs();
    // Whether the window may close: nothing is in no file, or the user saved
    // it or chose to lose it.
    bool MayClose() { return MayLeave(tr("Save changes to %1 before closing?")); }
    // As MayClose, asking `question` (%1: the file's name).
    bool MayLeave(const QString& question);

    void CreateControls();
    void CreateMenus();
    void ConnectHandlers();
    void RegisterValidators();
    // Enables what the working order allows now: Save As once a picture is
    // chosen, Save/Refresh and the network link once an output file is set,
    // Auto-Refresh once a link file is written.
    void UpdateCommandStates();

    // The document changed: the controls show it, then the preview, and the
    // file too when the change reaches it and Auto-Refresh is ticked.
    void document_Changed(OverlayDocument::Reach reach);
    // Brings the open preview up to date, then, if Auto-Refresh is ticked,
    // writes the overlay file.
    void AutoRefreshStep();
    // Shows the current values in the preview; nothing while it is closed.
    void UpdatePreview();
    // What the preview draws: the settings with a relative picture link taken
    // from the folder it is relative to.
    OverlaySettings ForPreview() const;
    // Takes the picture over, as its choice in the dialog does.
    void TakePicture(const GraphicChoice& choice);
    // Text typed into a bound control reaches the document.
    void Typed(QWidget* control);
    // A pick in a units list empties the value it qualifies.
    void UnitPicked(QComboBox* unitsList);

    // Undo and redo: what the user does is noted to the history, which
    // compares the document's states before and after.
    void ConnectHistory();

    // Placing by hand in the preview: one undo step from press to release.
    void preview_handEditStarted();
    void preview_handEdited(const HandEdit& edit);
    void preview_handEditFinished(bool cancelled);

    // Shows what a value rule decided for `field`: a refusal keeps the focus
    // there, a replacement takes the text's place; then the rule's message.
    void Show(const ValueRules::Decision& decision, QLineEdit* field, bool& cancel);

    Services& services_;
    // The overlay being edited; a child, made before the controls.
    OverlayDocument* document_ = nullptr;
    FocusValidation* validation_ = nullptr;
    // CommonDialog1: the one file dialog every command shares.
    std::unique_ptr<CommonDialog> dialog_;
    // A window of its own, made on the first Preview click; a child, so it
    // goes when this window is destroyed.
    PreviewWindow* preview_ = nullptr;

    // The controls bound to the document's fields.
    std::unique_ptr<DocumentBinding> binding_;
    // The controls' own area below the menu bar, in a scroll area that
    // scrolls only on a screen too small for it.
    QWidget* clientArea_ = nullptr;
    QScrollArea* scrollArea_ = nullptr;
    // File > Export as KMZ, enabled with Save As.
    QAction* exportKmz_ = nullptr;
    QAction* chooseOverlay_ = nullptr;
    QAction* addToKml_ = nullptr;
    QAction* addOverlay_ = nullptr;
    QAction* removeOverlay_ = nullptr;
    // While a file is read for opening: another open waits its turn.
    bool opening_ = false;
    // While Exit closes the window: the link file goes with it.
    bool exiting_ = false;
    // GoogleEarthPath and NetworkLinkFilePath, as the network link command
    // reads and updates them.
    NetworkLinkState networkLink_;
    // Writes the overlay file; auto-refresh writes never on the window's thread.
    std::unique_ptr<OverlaySaver> saver_;
    // A child (the tests find its stack), but gone before the controls, so no
    // focus change on the way out reaches it.
    std::unique_ptr<UndoHistory> history_;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    // The state when a hand edit started, for its cancel.
    DocumentState handStart_;
    QString handWhat_;
};
