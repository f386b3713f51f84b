#pragma once

#include <QIcon>
#include <QSize>
#include <QString>

// The program's icon for its windows, from the PNGs compiled into the
// executable under ":/icons". Every drawn size is added, so the window manager
// picks the hand-checked 32 px picture instead of a scaled-down large one.
inline QIcon orvinelWindowIcon()
{
    QIcon icon;
    for (const int size : {32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/orvinel-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}
