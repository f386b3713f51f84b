#pragma once

// Drives the real main window the way a user does: clicks, keys and list
// picks, under the offscreen platform, with the services double recording
// every message.

#include "ControlTable.h"
#include "FakeServices.h"
#include "KmlParse.h"
#include "PlatformProfile.h"
#include "PreviewWindow.h"
#include "frmOrvinel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <memory>

// A 240 by 120 GIF89a whose few pixels Qt reads as the whole picture (Qt
// cannot write GIF).
inline const QByteArray kGif =
    QByteArray::fromHex("474946383961f0007800800000000000ffffff2c00000000f000780002012c003b");

inline QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes `bytes` to `path`, making its folder first.
inline bool WriteAll(const QString& path, const QByteArray& bytes = kGif)
{
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).absolutePath()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

inline QList<QWidget*> VisibleTopLevels()
{
    QList<QWidget*> visible = QApplication::topLevelWidgets();
    visible.removeIf([](const QWidget* widget) { return !widget->isVisible(); });
    return visible;
}

// With a services double of `Double`'s kind (FakeServices or one built on it).
template <class Double> class WindowDriverWith
{
public:
    Double services;
    std::unique_ptr<frmOrvinel> window;
    QTemporaryDir folder;

    // A fresh window, loaded, shown and active, and no overlay file yet;
    // withOutputFile, as PrepareOutputFile leaves it.
    bool Open(bool withOutputFile = false)
    {
        RemoveOutputFile();
        window = std::make_unique<frmOrvinel>(services);
        window->Form_Load();
        window->show();
        return QTest::qWaitForWindowActive(window.get()) &&
               (!withOutputFile || PrepareOutputFile());
    }

    // Closes the window and forgets its calls; true once no window is left.
    bool Close()
    {
        window.reset();
        services.calls.clear();
        services.onMessage = nullptr;
        return QTest::qWaitFor([] { return VisibleTopLevels().isEmpty(); });
    }

    // A control by name; the test stops with the name when it is missing.
    template <class T = QWidget> T* Get(QAnyStringView name) const
    {
        T* control = window->template findChild<T*>(name.toString());
        if (!control)
            qFatal("The window has no control %s of the expected kind",
                   qPrintable(name.toString()));
        return control;
    }

    // The text of a field or a size list.
    QString Text(QAnyStringView name) const
    {
        auto* list = qobject_cast<QComboBox*>(Get(name));
        return list ? list->currentText() : Get<QLineEdit>(name)->text();
    }

    // What the controls show of the settings, "control=text" each; with
    // `settings`, what they should show of those.
    QStringList Shown(const OverlaySettings* settings = nullptr) const
    {
        QStringList shown;
        for (const ControlTable::Binding& bound : ControlTable::kBindings)
            shown << QLatin1String(bound.control) % u'=' %
                         (settings ? settings->*bound.field : Text(bound.control));
        return shown;
    }

    // Every message box so far, as "kind|title|text".
    QStringList Messages() const
    {
        const QStringList kinds = {"DataError", "Notice", "AskYesNo", "AskSaveChanges", "Failure"};
        QStringList told;
        for (const FakeServices::Call& call : services.calls) {
            if (int(call.kind) < kinds.size())
                told.append(kinds[int(call.kind)] % u'|' % call.title % u'|' % call.text);
        }
        return told;
    }

    // Each call of this kind as its dialog title, program or address.
    QStringList Calls(FakeServices::Kind kind) const
    {
        QStringList seen;
        for (const FakeServices::Call& call : services.CallsOf(kind))
            seen << call.title + call.program + call.url.toString();
        return seen;
    }
    // The text of the one message of this kind, or how many there were.
    QString Only(FakeServices::Kind kind) const
    {
        const QList<FakeServices::Call> told = services.CallsOf(kind);
        return told.size() == 1 ? told[0].text : QString::number(told.size()) + u" messages";
    }

    QString OutputPath() const { return folder.filePath(QStringLiteral("overlay.kml")); }
    // A file (the overlay file by default) once the window's writes have
    // reached the disk: as bytes, and as a standard XML parser reads it back
    // (nothing when it is missing or not well formed).
    QHash<QString, QString> ReadBack(const QString& path = {}) const
    {
        return ParseKmlFile(Written(path.isEmpty() ? OutputPath() : path));
    }
    QByteArray Bytes(const QString& path) const { return ReadAll(Written(path)); }
    void RemoveOutputFile() const { QFile::remove(Written(OutputPath())); }
    bool OutputFileExists() const { return QFile::exists(Written(OutputPath())); }
    const QString& Written(const QString& path) const
    {
        if (window)
            window->WaitForWrites();
        return path;
    }

    // What a user does before Auto-Refresh can be ticked: chooses a picture,
    // saves as `path` and creates the network link (the fake finds and
    // "starts" the viewer). The file Save As wrote is removed again and the
    // calls are forgotten, so a test sees only its own. True when all went.
    bool PrepareOutputFile(const QString& path = QString())
    {
        const QString output = path.isEmpty() ? OutputPath() : path;
        services.existingFiles = {PlatformProfile::Current().defaultViewerPath};
        services.fileDialogAnswers = {folder.filePath(QStringLiteral("Legend.gif")), output};
        for (const char* command : {"cmdOpen_graphic_file", "cmdSave_As", "cmdCreate_Network_Link"})
            Click(Get(command));
        const bool ready = services.fileDialogAnswers.empty() &&
                           Get<QCheckBox>("chkAuto_Refresh")->isEnabled() && QFile::remove(output);
        services.calls.clear();
        writesBefore = services.WritesMade();
        return ready;
    }

    // Overlay writes that reached the disk since PrepareOutputFile.
    int Writes()
    {
        Written(OutputPath());
        return services.WritesMade() - writesBefore;
    }
    int writesBefore = 0;

    // Clicks Preview and, once the preview is shown and active, goes back to
    // the main window as a user's click into it does; the preview window.
    PreviewWindow* OpenPreview() const
    {
        Click(Get("cmdPreview"));
        auto* preview = window->template findChild<PreviewWindow*>();
        if (!preview || !QTest::qWaitForWindowActive(preview))
            return nullptr;
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get()) ? preview : nullptr;
    }

    // Ticks Auto-Refresh with a click; true once it shows ticked.
    bool Tick() const
    {
        auto* box = Get<QCheckBox>("chkAuto_Refresh");
        Click(box);
        return QTest::qWaitFor([box] { return box->isChecked(); });
    }

    // A left click in the middle of a control, as the mouse gives it.
    static void Click(QWidget* control)
    {
        QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    }

    // Clicks a field, selects all of its text and types over it; true when
    // the focus went there.
    static bool Retype(QWidget* control, const QString& text)
    {
        Click(control);
        if (!QTest::qWaitFor([&] { return control->hasFocus(); }))
            return false;
        QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(control, Qt::Key_Delete);
        QTest::keyClicks(control, text);
        return true;
    }

    // Opens the list with a click on its arrow, moves to the item with the
    // arrow keys and takes it with Return, as a user picks; true when the
    // list opened and closed again. (Keys rather than a second click: the
    // open list ignores a release that comes too soon after it opened.)
    static bool Pick(QComboBox* list, const QString& item)
    {
        const int row = list->findText(item);
        QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(list->width() - 6, list->height() / 2));
        QAbstractItemView* view = list->view();
        if (row < 0 || !QTest::qWaitFor([&] { return view->isVisible(); }))
            return false;
        QTest::keyClick(view, Qt::Key_Home);
        for (int i = 0; i < row; ++i)
            QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        return QTest::qWaitFor([&] { return !view->isVisible(); });
    }
};
using WindowDriver = WindowDriverWith<FakeServices>;
