#pragma once

#include <QApplication>
#include <QPalette>
#include <QStyleFactory>

#include <utility>

// The screenshot tools' palette: with ORVINEL_SHOT_PALETTE=dark, Fusion in a
// dark palette such as a desktop's dark theme gives; otherwise the platform's
// own look. Call after the QApplication is made.
inline void UseShotPalette()
{
    if (qgetenv("ORVINEL_SHOT_PALETTE") != "dark")
        return;
    const QColor window(0x20, 0x20, 0x20);
    const QColor text(0xe8, 0xe8, 0xe8);
    const QColor faint(0x80, 0x80, 0x80);
    QPalette p(window);
    for (const auto& [role, colour] : {std::pair{QPalette::Window, window},
                                       {QPalette::WindowText, text},
                                       {QPalette::Base, QColor(0x2b, 0x2b, 0x2b)},
                                       {QPalette::AlternateBase, QColor(0x33, 0x33, 0x33)},
                                       {QPalette::Button, QColor(0x33, 0x33, 0x33)},
                                       {QPalette::ButtonText, text},
                                       {QPalette::Text, text},
                                       {QPalette::ToolTipBase, QColor(0x2f, 0x36, 0x40)},
                                       {QPalette::ToolTipText, text},
                                       {QPalette::PlaceholderText, faint},
                                       {QPalette::Link, QColor(0x8a, 0xb4, 0xf8)},
                                       {QPalette::LinkVisited, QColor(0xc5, 0x8a, 0xf9)},
                                       {QPalette::Highlight, QColor(0x3d, 0x7a, 0xd6)},
                                       {QPalette::HighlightedText, Qt::white}})
        p.setColor(role, colour);
    for (const QPalette::ColorRole role :
         {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
        p.setColor(QPalette::Disabled, role, faint);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setPalette(p);
}
