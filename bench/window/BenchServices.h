#pragma once

#include "PlatformProfile.h"
#include "QtServices.h"

#include <QStringList>

#include <atomic>
#include <chrono>
#include <thread>

// The real services, except that the file dialogs take their answers from a
// list and the viewer counts as found and started, so a window can be driven
// through its own commands with nobody there. Writes are counted, and can be
// made as slow as a busy disk.
struct BenchServices : QtServices
{
    QStringList answers;
    std::chrono::milliseconds writeDelay{0};
    std::atomic<int> writes{0};

    WriteResult WriteFile(const QString& path, const QByteArray& bytes) override
    {
        std::this_thread::sleep_for(writeDelay);
        WriteResult result = QtServices::WriteFile(path, bytes);
        ++writes;
        return result;
    }

    QString ShowFileDialog(QWidget* /*parent*/, FileDialogMode /*mode*/, const QString& /*title*/,
                           const QString& /*filter*/, const QString& /*suggested*/) override
    {
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    bool OrdinaryFileExists(const QString& path) override
    {
        return path == PlatformProfile::Current().defaultViewerPath ||
               QtServices::OrdinaryFileExists(path);
    }
    StartResult StartProgram(const QString& /*program*/, const QStringList& /*arguments*/) override
    {
        return {true, {}};
    }
};
