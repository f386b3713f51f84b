#pragma once

#include "BackgroundTask.h"
#include "Commands.h"
#include "FormBuilder.h"
#include "OverlaySettings.h"
#include "UndoHistory.h"
#include "ValueRules.h"

#include <QString>
#include <QWidget>

#include <memory>
#include <utility>
#include <vector>

class OverlaySaver;
class QAction;
class QCloseEvent;
class QComboBox;
class QLineEdit;
class FocusValidation;
struct HandEdit;
class PreviewWindow;
class QCloseEvent;

// The program's one window. Its controls are the store of the overlay
// parameters; the values that have no control of their own are the module
// variables below. Every control carries its name as its objectName.
//
// Life of a window: construct, Form_Load(), show().
class frmOrvinel : public QWidget, private FormControls
{
    Q_OBJECT
public:
    explicit frmOrvinel(Services& services, QWidget* parent = nullptr);
    ~frmOrvinel() override;
    Q_DISABLE_COPY_MOVE(frmOrvinel)

    // Centres the window on the whole primary screen and sets the start
    // values (ResetToDefaults). Call once, before the window is first shown.
    void Form_Load();

    // Module variables.
    const QString& OutputFilePath() const { return outputFilePath_; }
    const QString& GraphicFilePath() const { return graphicFilePath_; }
    const QString& NetworkLinkFilePath() const { return networkLink_.NetworkLinkFilePath; }
    const QString& GoogleEarthPath() const { return networkLink_.GoogleEarthPath; }
    const QString& OverlayColor() const { return overlayColor_; }
    // The size list texts after the size-word rule, as of the last pick or
    // successful write.
    const QString& SizeXValue() const { return sizeXValue_; }
    const QString& SizeYValue() const { return sizeYValue_; }

    // The controls and module variables as the file holds them: what every
    // write and the preview read.
    OverlaySettings Snapshot() const;

    // Writes the overlay file from one snapshot of the controls and module
    // variables, once the auto-refresh writes handed over before it are done.
    // On failure the user is told which file and why, and nothing else
    // changes. Returns whether the file was written.
    bool SaveOverlayFile();
    // Returns once every auto-refresh write handed over has reached the disk
    // or failed, after telling a failure not told yet. Commands that report
    // on a write or end the program call it first.
    void WaitForWrites();

    // Opens an overlay file (the menu, a drop, the command line): fills every
    // control with its values without writing anything, adopts it as the
    // output file when a write keeps everything it holds, and tells what it
    // would not keep. A file that cannot be opened is told and changes
    // nothing. The file is read off the window's thread; a long read shows
    // its progress (after `openProgressAfter`) with a Cancel that leaves
    // everything as it was.
    void OpenOverlayFile(const QString& path);
    std::chrono::milliseconds openProgressAfter = kShowProgressAfter;

protected:
    // The preview goes with the window.
    void closeEvent(QCloseEvent* event) override;

private:
    // Event handlers, named control_event, wired to the controls' signals.
    void cmdOpen_graphic_file_Click();
    void cmdSave_As_Click();
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
    void mnuExportKmz_Click();
    void mnuAbout_Click() { Commands::cmdAbout(services_, this); }
    // A file dropped on the window: an overlay file opens, a picture is taken
    // as if chosen in the picture dialog.
    void FileDropped(const QString& path);

    void optPreset_Click(int index);
    void chkAuto_Refresh_Click() { AutoRefreshStep(); }
    void sliderTransparency_Change();

    void comboSize_x_Click();
    void comboSize_y_Click();
    void comboSize_x_Change() { AutoRefreshStep(); }
    void comboSize_y_Change() { AutoRefreshStep(); }
    void comboSize_x_Validate(bool& cancel);
    void comboSize_y_Validate(bool& cancel);

    void comboOverlay_x_units_Click() { UnitPicked(txtOverlay_x); }
    void comboOverlay_y_units_Click() { UnitPicked(txtOverlay_y); }
    void comboScreen_x_units_Click() { UnitPicked(txtScreen_x); }
    void comboScreen_y_units_Click() { UnitPicked(txtScreen_y); }
    void comboRotation_x_units_Click() { UnitPicked(txtRotation_x); }
    void comboRotation_y_units_Click() { UnitPicked(txtRotation_y); }
    void comboSize_x_units_Click();
    void comboSize_y_units_Click();

    void txtOverlay_x_Change() { AutoRefreshStep(); }
    void txtOverlay_y_Change() { AutoRefreshStep(); }
    void txtScreen_x_Change() { AutoRefreshStep(); }
    // A choice of this program: the screen y field refreshes like its siblings.
    void txtScreen_y_Change() { AutoRefreshStep(); }
    void txtRotation_x_Change() { AutoRefreshStep(); }
    void txtRotation_y_Change() { AutoRefreshStep(); }
    void txtRotation_Change() { AutoRefreshStep(); }
    void txtDraw_order_Change() { AutoRefreshStep(); }
    // A choice of this program: a new title reaches the viewer at once too.
    void txtOverlay_title_Change() { AutoRefreshStep(); }

    void txtOverlay_x_Validate(bool& cancel);
    void txtOverlay_y_Validate(bool& cancel);
    void txtScreen_x_Validate(bool& cancel);
    void txtScreen_y_Validate(bool& cancel);
    void txtRotation_x_Validate(bool& cancel);
    void txtRotation_y_Validate(bool& cancel);
    void txtRotation_Validate(bool& cancel);
    void txtDraw_order_Validate(bool& cancel);

    void CreateControls();
    void CreateMenus();
    void ConnectHandlers();
    void RegisterValidators();
    void ResetToDefaults();
    // Enables what the working order allows now: Save As once a picture is
    // chosen, Save/Refresh and the network link once an output file is set,
    // Auto-Refresh once a link file is written. Runs after every command;
    // nothing is ever switched off again.
    void UpdateCommandStates();

    // Brings the open preview up to date, then, if Auto-Refresh is ticked,
    // writes the overlay file.
    void AutoRefreshStep();
    // Shows the current values in the preview; nothing while it is closed.
    void UpdatePreview();
    // What the preview draws: the settings with a relative picture link taken
    // from the folder it is relative to.
    OverlaySettings ForPreview(OverlaySettings settings) const;
    // Takes the picture over, as its choice in the dialog does.
    void TakePicture(const GraphicChoice& choice);
    // The controls and module variables from an opened file, with no write.
    void Fill(const OverlayOpening& opening);
    // Checks the option whose preset the points match; none when no preset does.
    void ShowMatchingPreset();
    // Checks the option `id`; none for -1.
    void CheckPreset(int id);
    // Sets the controls of `settings`' fields (the output file aside).
    void SetFields(const OverlaySettings& settings);
    void SetField(OverlayField field, const QString& text);

    // Undo and redo: what the user does is noted to the history, which
    // compares the states before and after.
    void ConnectHistory();
    WindowState CurrentState() const;
    // A typed control's merge id for the history.
    int TypingField(const QWidget* control) const;
    // Puts a recorded state back through the controls, quietly, then one
    // Auto-Refresh step.
    void ApplyState(const WindowState& state);

    // Placing by hand in the preview: one undo step from press to release.
    void preview_handEditStarted();
    void preview_handEdited(const HandEdit& edit);
    void preview_handEditFinished(bool cancelled);
    // A pick in a units list empties the value it qualifies.
    void UnitPicked(QLineEdit* qualifiedField);
    void SizeListPicked(QComboBox* sizeList, QString& sizeValue);

    // Shows what a value rule decided for `field`: a refusal keeps the focus
    // there, a replacement takes the text's place; then the rule's message.
    void Show(const ValueRules::Decision& decision, QLineEdit* field, bool& cancel);

    template <class T> T* Control(const char* name) const;

    Services& services_;
    FocusValidation* validation_ = nullptr;
    // CommonDialog1: the one file dialog every command shares.
    std::unique_ptr<CommonDialog> dialog_;
    // A window of its own, made on the first Preview click; a child, so it
    // goes when this window is destroyed.
    PreviewWindow* preview_ = nullptr;

    // The controls that hold the settings' fields, for the snapshot.
    std::vector<std::pair<OverlayField, QWidget*>> fieldControls_;
    // The controls' own area below the menu bar.
    QWidget* clientArea_ = nullptr;
    // File > Export as KMZ, enabled with Save As.
    QAction* exportKmz_ = nullptr;
    // While an opened file fills the controls: no write, no preview update.
    bool filling_ = false;
    // While a file is read for opening: another open waits its turn.
    bool opening_ = false;
    QString outputFilePath_;
    QString graphicFilePath_;
    // The folder a relative picture link is taken from: the folder of the
    // file it was read from or last saved to.
    QString pictureFolder_;
    // GoogleEarthPath and NetworkLinkFilePath, as the network link command
    // reads and updates them.
    NetworkLinkState networkLink_;
    QString overlayColor_;
    QString sizeXValue_;
    QString sizeYValue_;
    // Writes the overlay file; auto-refresh writes never on the window's thread.
    std::unique_ptr<OverlaySaver> saver_;
    // A child (the tests find its stack), but gone before the controls, so no
    // focus change on the way out reaches it.
    std::unique_ptr<UndoHistory> history_;
    QAction* undo_ = nullptr;
    QAction* redo_ = nullptr;
    // The state when a hand edit started, for its cancel.
    WindowState handStart_;
    QString handWhat_;
};
