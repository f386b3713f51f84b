#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <functional>
#include <vector>

// Reading a picture for the preview, in two steps: the header on the
// window's thread, so the overlay is placed at once, and the pixels on a
// worker thread, decoded no larger than the preview draws them. Both open
// the file through Overlay::OpenPictureFile, so neither ever waits on a pipe.

struct PictureHeader
{
    // The picture's own size; invalid when the header cannot be read.
    QSize size;
    // Why the picture cannot be read; empty when its header reads.
    QString problem;
};

PictureHeader ReadPictureHeader(const QString& path);

struct PreparedPicture
{
    // The picture at the size asked for, premultiplied, and after it, once
    // AddHalvings has run, its successive halvings. Empty on failure.
    std::vector<QImage> levels;
    // What the first paint draws the picture from (ScaledFromLevels for the
    // size it was drawn at when it was asked for, `fittedFor`).
    QImage fitted;
    QSize fittedFor;
    QString problem;
};

// Device pixels for a drawn length: at least one, at most ten million (also
// for lengths too large or not finite to hold in an int).
int DevicePixels(double drawn);

// One halving as the preview steps down: rounded up, never below 1.
QSize Halved(QSize size);

// The size a picture of `native` pixels is decoded at to cover `wanted`:
// `native` halved as often as still covers `wanted` in both directions, and
// never below 64 pixels (small drawings scale from that).
QSize DecodeSizeFor(QSize native, QSize wanted);

// Decodes the picture at `path` (of `native` size by its header) at `target`,
// to be drawn at `drawn` device pixels. Thread-safe.
PreparedPicture DecodePicture(const QString& path, QSize native, QSize target, QSize drawn);

// Adds to `levels` the successive halvings of its last down to about 64
// pixels, so that a smaller drawing scales from a copy near its own size.
// Stops early once `stillWanted` says nobody waits for them any more.
void AddHalvings(std::vector<QImage>& levels, const std::function<bool()>& stillWanted);

// The picture to draw at `size` pixels: the nearest level that is at least
// as large (the largest when none is), as it is when it is within a quarter
// of `size` (the painter's own smoothing is as good as any that close), else
// smoothly scaled to `size`.
QImage ScaledFromLevels(const std::vector<QImage>& levels, QSize size);

// Lets formats that cannot be decoded at a reduced size (GIF, BMP...) pass
// Qt's 128 MB limit up to a larger, still bounded one. Call on the window's
// thread before any decode starts: the limit is shared by every reader.
void AllowLargePictures();
