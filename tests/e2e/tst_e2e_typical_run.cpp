// The typical run through the real window: a picture, a preset, Save As, the
// network link with the viewer located, Auto-Refresh and the slider, Exit.
// After each step: what the user sees, and the files byte for byte and as a
// parser reads them.

#include "E2eSupport.h"
#include "PlatformProfile.h"

#include <QImage>
#include <QSlider>

namespace {

QByteArray OverlayBytes(const QString& picture, const char* color)
{
    return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                      "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<ScreenOverlay>\n<color>") +
           color + "</color><drawOrder>99</drawOrder><Icon>\n<href>" + picture.toUtf8() +
           "</href>\n</Icon>\n"
           "<overlayXY x=\"1\" y=\"0\" xunits=\"fraction\" yunits=\"fraction\" />\n"
           "<screenXY x=\"1\" y=\"0\" xunits=\"fraction\" yunits=\"fraction\" />\n"
           "</ScreenOverlay>\n</kml>\n";
}

// What a parser reads back, "|"-joined: the error, three texts and the count
// of texts, both points as "x y xunits yunits" and the count of points.
QString ReadBack(const QString& path)
{
    const ParsedOverlay file = ParseOverlayFile(path);
    QStringList values{file.error, file.texts.value("color"), file.texts.value("drawOrder"),
                       file.texts.value("href"), QString::number(file.texts.size())};
    for (const QString& point : {QStringLiteral("overlayXY"), QStringLiteral("screenXY")})
        values += QStringList{file.Attr(point, "x"), file.Attr(point, "y"),
                              file.Attr(point, "xunits"), file.Attr(point, "yunits")}
                      .join(u' ');
    return values.join(u'|') % u'|' % QString::number(file.points.size());
}

QString Expected(const QString& picture, const char* color)
{
    return u'|' % QLatin1String(color) % u"|99|" % picture %
           u"|3|1 0 fraction fraction|1 0 fraction fraction|2";
}

} // namespace

class E2eTypicalRunTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pictureToExit()
    {
        if (QFileInfo::exists(PlatformProfile::Current().defaultViewerPath))
            QSKIP("A viewer stands at the usual place, so the locate dialog would not open.");
        E2eWindow run;
        QVERIFY(run.Open());
        frmOrvinel& w = *run.window;
        const QString picture = run.Path(QStringLiteral("Legend.gif"));
        const QString overlay = run.Path(QStringLiteral("legend.kml"));
        const QString link = run.Path(QStringLiteral("legend_Network_Link.kml"));
        const auto enabled = [&](const char* name) {
            return run.Get(name)->isEnabled();
        };
        QVERIFY(WriteAll(picture, Gif240x120()));
        QCOMPARE(QImage(picture).size(), QSize(240, 120)); // the whole picture decodes

        // 1. The picture: path, size, caption, Save As; no file written.
        QVERIFY(run.Choose(picture));
        QCOMPARE(run.Get<QLabel>("lblOpen_graphic_file")->text(), picture);
        QCOMPARE(run.Get<QLineEdit>("txtWidth")->text(), "240");
        QCOMPARE(run.Get<QLineEdit>("txtHeight")->text(), "120");
        QCOMPARE(w.windowTitle(), "Overlay Graphic: Legend.gif");
        QVERIFY(enabled("cmdSave_As"));
        QVERIFY(!enabled("cmdSave_Refresh") && !enabled("cmdCreate_Network_Link"));

        // 2. "Lower right": both points at 1, 0; still no file.
        WindowDriver::Click(run.Get("optPreset_8"));
        for (const char* field : {"txtOverlay_x", "txtScreen_x"})
            QCOMPARE(run.Get<QLineEdit>(field)->text(), "1");
        for (const char* field : {"txtOverlay_y", "txtScreen_y"})
            QCOMPARE(run.Get<QLineEdit>(field)->text(), "0");
        QCOMPARE(QDir(run.folder.path()).entryList(QDir::Files), QStringList{"Legend.gif"});

        // 3. Save As "legend": legend.kml written and shown; two more buttons.
        QVERIFY(run.SaveAs(run.Path(QStringLiteral("legend"))));
        QCOMPARE(w.OutputFilePath(), overlay);
        QCOMPARE(run.Get<QLabel>("lblOutput_file")->text(), overlay);
        QVERIFY(enabled("cmdSave_Refresh") && enabled("cmdCreate_Network_Link"));
        QVERIFY(!enabled("chkAuto_Refresh"));
        QCOMPARE(ReadAll(overlay), OverlayBytes(picture, "ffffffff"));
        QCOMPARE(ReadBack(overlay), Expected(picture, "ffffffff"));

        // 4. The network link: no viewer at the usual place, so the locate
        // dialog asks; the stand-in really runs on the link file.
        QVERIFY(run.Link());
        QCOMPARE(run.services.CallsOf(FakeServices::Kind::FileDialog).last().title,
                 "Locate Google Earth executable file");
        QCOMPARE(ReadAll(link), LinkFileBytes(overlay));
        QCOMPARE(ParseOverlayFile(link).texts, (QHash<QString, QString>{{"href", overlay}}));
        QTRY_COMPARE(ReadAll(run.Record()), QFile::encodeName(link) + '\n');
        QVERIFY(enabled("chkAuto_Refresh"));
        QCOMPARE(run.Get<QCheckBox>("chkAuto_Refresh")->checkState(), Qt::Unchecked);

        // 5. Ticking Auto-Refresh writes at once; then the slider to the
        // middle by keys (a click would jump to the pointer).
        QVERIFY(QFile::remove(overlay));
        WindowDriver::Click(run.Get("chkAuto_Refresh"));
        QCOMPARE(ReadAll(overlay), OverlayBytes(picture, "ffffffff"));
        auto* slider = run.Get<QSlider>("sliderTransparency");
        slider->setFocus();
        QTRY_VERIFY(slider->hasFocus());
        QTest::keyClick(slider, Qt::Key_Home);
        QCOMPARE(ParseOverlayFile(overlay).texts.value("color"), "00ffffff");
        for (int page = 0; page < 10; ++page)
            QTest::keyClick(slider, Qt::Key_PageUp);
        QCOMPARE(slider->value(), 50);
        QCOMPARE(ReadAll(overlay), OverlayBytes(picture, "80ffffff"));
        QCOMPARE(ReadBack(overlay), Expected(picture, "80ffffff"));

        // 6. Exit: the link file goes, the overlay file stays, the window closes.
        WindowDriver::Click(run.Get("cmdExit"));
        QTRY_VERIFY(!w.isVisible());
        QVERIFY(!QFileInfo::exists(link));
        QCOMPARE(ReadAll(overlay), OverlayBytes(picture, "80ffffff"));
        QCOMPARE(ReadAll(run.Record()), QFile::encodeName(link) + '\n'); // started once
        QCOMPARE(run.services.MessageCount(), 0);
    }
};

QTEST_MAIN(E2eTypicalRunTest)
#include "tst_e2e_typical_run.moc"
