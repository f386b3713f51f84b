#pragma once

// Drives the real main window the way a user does: clicks, keys and list
// picks, under the offscreen platform, with the services double recording
// every message.

#include "FakeServices.h"
#include "frmOrvinel.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <memory>

// A control by name; the test stops with the name when it is missing.
template <class T> T* Find(const QWidget* window, const char* name)
{
    T* control = window->findChild<T*>(QString::fromLatin1(name));
    if (!control)
        qFatal("The window has no control %s of the expected kind", name);
    return control;
}

inline QList<QWidget*> VisibleTopLevels()
{
    QList<QWidget*> visible;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible())
            visible.append(widget);
    }
    return visible;
}

// The overlay file read back with an XML parser: element texts by name and
// the four point elements' attributes.
struct ParsedOverlay
{
    bool wellFormed = false;
    QString error;
    QHash<QString, QString> texts;
    QHash<QString, QXmlStreamAttributes> points;

    QString Attr(const QString& element, const char* attribute) const
    {
        return points.value(element).value(QLatin1String(attribute)).toString();
    }
};

inline ParsedOverlay ParseOverlayFile(const QString& path)
{
    ParsedOverlay parsed;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        parsed.error = file.errorString();
        return parsed;
    }
    QXmlStreamReader reader(&file);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QString name = reader.name().toString();
        if (name == QLatin1String("overlayXY") || name == QLatin1String("screenXY") ||
            name == QLatin1String("rotationXY") || name == QLatin1String("size")) {
            parsed.points.insert(name, reader.attributes());
        } else if (name == QLatin1String("name") || name == QLatin1String("color") ||
                   name == QLatin1String("drawOrder") || name == QLatin1String("href") ||
                   name == QLatin1String("rotation")) {
            parsed.texts.insert(name, reader.readElementText());
        }
    }
    parsed.wellFormed = !reader.hasError();
    if (reader.hasError())
        parsed.error = reader.errorString();
    return parsed;
}

class WindowDriver
{
public:
    FakeServices services;
    std::unique_ptr<frmOrvinel> window;
    QTemporaryDir folder;

    // A fresh window, loaded, shown and active, and no overlay file yet.
    bool Open()
    {
        RemoveOutputFile();
        window = std::make_unique<frmOrvinel>(services);
        window->Form_Load();
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }

    template <class T = QWidget> T* Get(const char* name) const
    {
        return Find<T>(window.get(), name);
    }

    QString OutputPath() const { return folder.filePath(QStringLiteral("overlay.kml")); }

    // What a Save As and the network link leave behind: a named overlay
    // file, Save/Refresh enabled, and Auto-Refresh ready to be ticked.
    void PrepareOutputFile(const QString& path = QString())
    {
        window->SetOutputFilePath(path.isEmpty() ? OutputPath() : path);
        window->EnableSaveRefresh();
        window->EnableAutoRefresh();
    }

    void RemoveOutputFile() const { QFile::remove(OutputPath()); }
    bool OutputFileExists() const { return QFile::exists(OutputPath()); }

    // A left click in the middle of a control, as the mouse gives it.
    static void Click(QWidget* control)
    {
        QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center());
    }

    // Clicks into a field and types; true when the focus went there.
    static bool TypeInto(QWidget* control, const QString& text)
    {
        Click(control);
        if (!QTest::qWaitFor([&] { return control->hasFocus(); }))
            return false;
        QTest::keyClicks(control, text);
        return true;
    }

    // Clicks a field, selects all of its text and types over it.
    static bool Retype(QWidget* control, const QString& text)
    {
        Click(control);
        if (!QTest::qWaitFor([&] { return control->hasFocus(); }))
            return false;
        QTest::keyClick(control, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(control, Qt::Key_Delete);
        else
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
        if (row < 0)
            return false;
        QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(list->width() - 6, list->height() / 2));
        QAbstractItemView* view = list->view();
        if (!QTest::qWaitFor([&] { return view->isVisible(); }))
            return false;
        QTest::keyClick(view, Qt::Key_Home);
        for (int i = 0; i < row; ++i)
            QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Return);
        return QTest::qWaitFor([&] { return !view->isVisible(); });
    }
};
